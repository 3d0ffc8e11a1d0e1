#pragma once
// dbl_convert.hpp - implicit conversion of a value to a column type with SQL Server's checks:
// overflow (220, 232, 8115), failed conversion (241, 242, 245, 8114, 8169, 235), truncation
// (2628, only when trailing characters other than spaces would be lost), and refused pairs
// (206, 257). char, nchar and binary are padded to their length.

#include "dbl_type.hpp"

#include <string>

// Where a value goes, for the truncation message; empty when it is only compared.
struct dbl_target {
    std::string table;   // db.dbo.t
    std::string column;
    // SET ANSI_WARNINGS OFF: a value too long for the column is cut to fit, without 2628.
    bool b_truncate_silently = false;
};

dbl_value dbl_convert(const dbl_typed& from, const dbl_type& to, const dbl_target& target);
// The text SQL Server shows for a value in messages and when it becomes a varchar.
std::u16string dbl_value_text(const dbl_typed& from);
std::string dbl_guid_text(const std::string& wire_bytes);
