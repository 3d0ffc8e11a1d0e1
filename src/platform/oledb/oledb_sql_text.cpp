// oledb_sql_text.cpp - bracketed names and quoted literals.

#include "platform/oledb/oledb_sql_text.hpp"

namespace {

std::string doubled(std::string_view text, char special) {
    std::string result;
    result.reserve(text.size() + 2);
    for (const char c : text) {
        result += c;
        if (c == special) result += special;
    }
    return result;
}

}   // namespace

std::string oledb_bracket(std::string_view name) { return "[" + doubled(name, ']') + "]"; }

std::string oledb_unicode_literal(std::string_view text) {
    return "N'" + doubled(text, '\'') + "'";
}
