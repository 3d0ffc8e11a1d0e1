#pragma once
// mss_lit.hpp - values made safe for SQL Server and written as T-SQL literals: dates outside
// 1753..9999 become 9999-12-30, doubles are clamped to float's range, decimals that do not fit
// their column become the column's largest value of the same sign. Text literals are N'...'
// with quotes doubled; dates '20240229 13:05:09'; binary text 0x.. or a quoted string.

#include "ole/ole_var.hpp"

#include <string>

struct t_ftd;

ole_variant mssql_get_safe_variant(const ole_variant& value);
std::u16string to_mssql_str(const std::u16string& text, VARTYPE vt);

// A date value as the literal statements use ('YYYYMMDD hh:mm:ss').
std::u16string mss_date_literal(const ole_variant& value);
// A number's text when it is one (digits, sign, point, exponent); empty otherwise.
std::u16string mss_number_literal(const std::u16string& text);
// A date and time with its milliseconds ('YYYYMMDD hh:mm:ss.mmm'), the same instant the bulk
// load sends; a time alone (year 0) goes out on 1899-12-30.
std::u16string mss_datetime_literal(const SYSTEMTIME& time);
// Bytes as 0x followed by two hex digits each, whatever the length.
std::u16string mss_binary_literal(const BYTE* data, std::size_t length);

// The precision and scale a decimal column's reserved word carries (scale + 256 x precision).
int mss_decimal_precision(const t_ftd& field);
int mss_decimal_scale(const t_ftd& field);

bool dec_is_out_of_range(const ole_variant& value, const t_ftd& field);
std::u16string gen_dec_value(const t_ftd& field, bool negative);
