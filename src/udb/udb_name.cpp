// udb_name.cpp - name equality for the neutral model; see udb_name.hpp for the rule.
#include "udb/udb_name.hpp"

#include <climits>
#include <cstdint>

#include "platform/winbase/win_compare.hpp"
#include "tk/tk_exce.hpp"

bool udb_same_name(std::u16string_view left, std::u16string_view right) {
    // The platform call measures texts in int; no name comes near that.
    TK_ASSERT(left.size() <= INT_MAX && right.size() <= INT_MAX);
    // A null text makes the call fail; an empty view may carry one.
    const char16_t* left_text = left.empty() ? u"" : left.data();
    const char16_t* right_text = right.empty() ? u"" : right.data();
    return CompareStringW(WIN_LOCALE_SYSTEM_DEFAULT, WIN_NORM_IGNORECASE, left_text,
                          static_cast<int>(left.size()), right_text, static_cast<int>(right.size()))
           == WIN_CSTR_EQUAL;
}

bool udb_same_name(std::u16string_view left, std::u16string_view right, bool b_case_sensitive) {
    if (b_case_sensitive) return left == right;
    return udb_same_name(left, right);
}

std::u16string udb_fit_name(const std::u16string& name) {
    if (name.size() <= UDB_MAX_NAME_LENGTH) return name;
    std::uint32_t hash = 2166136261u;   // FNV-1a over the code units
    for (const char16_t unit : name) {
        hash = (hash ^ (unit & 0xFFu)) * 16777619u;
        hash = (hash ^ (unit >> 8)) * 16777619u;
    }
    constexpr std::size_t HASH_DIGITS = 8;
    std::size_t kept = UDB_MAX_NAME_LENGTH - HASH_DIGITS - 1;
    // Never split a surrogate pair: half a character is no name.
    if (name[kept - 1] >= 0xD800 && name[kept - 1] <= 0xDBFF) --kept;
    std::u16string fitted = name.substr(0, kept) + u"_";
    constexpr char16_t HEX[] = u"0123456789ABCDEF";
    for (std::size_t digit_idx = 0; digit_idx < HASH_DIGITS; ++digit_idx) {
        fitted += HEX[(hash >> (28 - 4 * digit_idx)) & 0xFu];
    }
    return fitted;
}
