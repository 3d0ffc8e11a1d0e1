#include "platform/jetsql/jet_sql_text.hpp"

#include <sqlite3.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "platform/winbase/win_codepage.hpp"
#include "platform/winbase/win_compare.hpp"

namespace {

std::u16string real_text(double value) {
    char buffer[40];
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
    else std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return win_utf8_to_utf16(buffer);
}

// Upper case of each BMP character: the first code point that folds to it.
const std::array<char16_t, 0x10000>& upper_table() {
    static const std::array<char16_t, 0x10000> table = [] {
        std::array<char16_t, 0x10000> built{};
        for (char32_t c = 0; c < 0x10000; ++c) built[c] = char16_t(c);
        std::array<bool, 0x10000> is_set{};
        for (char32_t c = 0; c < 0x10000; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF) continue;
            // Micro sign, combining iota and capital sharp s fold onto letters that have
            // an upper case of their own (Mu, Iota) or none that VBA uses (sharp s).
            if (c == 0x00B5 || c == 0x0345 || c == 0x1E9E) continue;
            char32_t folded = win_fold_case(c);
            if (folded == c || folded >= 0x10000 || is_set[folded]) continue;
            built[folded] = char16_t(c);
            is_set[folded] = true;
        }
        return built;
    }();
    return table;
}

}   // namespace

std::u16string jet_sql_value_text(sqlite3_value* value) {
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: {
        std::string digits = std::to_string(sqlite3_value_int64(value));
        return std::u16string(digits.begin(), digits.end());
    }
    case SQLITE_FLOAT: return real_text(sqlite3_value_double(value));
    default: {
        const void* text = sqlite3_value_text16(value);
        int bytes = sqlite3_value_bytes16(value);
        if (text == nullptr) return {};
        return std::u16string(static_cast<const char16_t*>(text), std::size_t(bytes) / 2);
    }
    }
}

std::u16string jet_sql_upper(std::u16string_view text) {
    const std::array<char16_t, 0x10000>& table = upper_table();
    std::u16string result(text);
    for (char16_t& c : result) c = table[c];
    return result;
}
