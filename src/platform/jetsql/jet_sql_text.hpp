#pragma once
// jet_sql_text.hpp - text as Access functions see it: a SQLite value read as UTF-16 (numbers
// printed as VBA's Str does, without a trailing ".0"), and upper case by the inverse of the
// simple case folding.

#include <string>

struct sqlite3_value;

std::u16string jet_sql_value_text(sqlite3_value* value);
std::u16string jet_sql_upper(std::u16string_view text);
