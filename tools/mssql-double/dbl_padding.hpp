#pragma once
// dbl_padding.hpp - SET ANSI_PADDING OFF, fixed into a column when it is created: which
// columns it changes and what becomes of the values stored into them. SQL Server's table
// for SET ANSI_PADDING: varchar(n) and varbinary(n) lose trailing blanks and zeros, and so
// do char(n) and binary(n) that allow NULL (instead of being padded); NOT NULL char and
// binary are padded either way, and nchar, nvarchar, text, ntext, image and the (max)
// types always behave as under ON.

#include "dbl_type.hpp"

bool dbl_trims_without_padding(const dbl_type& type, bool b_nullable);
// Trailing blanks of char types, trailing zero bytes of binary types.
void dbl_trim_trailing(dbl_value& value, const dbl_type& type);
