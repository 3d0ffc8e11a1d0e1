#pragma once
// dbl_views.hpp - the catalogue views a SELECT may read: INFORMATION_SCHEMA.TABLES and
// INFORMATION_SCHEMA.COLUMNS of a database, and sys.databases.

#include "dbl_executor.hpp"

#include <optional>

std::optional<dbl_rowset> dbl_catalog_view(dbl_executor& ex, const dbl_name& name);

// Helpers shared with the catalogue procedures.
dbl_result_column dbl_view_column(const std::string& name, dbl_type type, bool b_nullable = true);
dbl_value dbl_view_text(const std::string& text);     // nvarchar
dbl_value dbl_view_narrow(const std::string& text);   // varchar
dbl_value dbl_view_number(std::int64_t number);
std::optional<int> dbl_char_length(const dbl_type& type);   // characters, -1 for (max)
std::optional<int> dbl_octet_length(const dbl_type& type);
std::optional<int> dbl_numeric_precision(const dbl_type& type);
std::optional<int> dbl_numeric_scale(const dbl_type& type);
