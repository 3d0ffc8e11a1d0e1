#pragma once
// oledb_sql_text.hpp - names and literals written into T-SQL by the provider stand-in.
// A name goes between brackets with every ']' doubled, a text value between N'...' with every
// quote doubled, so no name or value can end its token early.

#include <string>
#include <string_view>

std::string oledb_bracket(std::string_view name);
std::string oledb_unicode_literal(std::string_view text);
