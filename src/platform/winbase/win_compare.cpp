// win_compare.cpp - case-blind comparison by simple case folding (rule in the header). Code
// points are read from UTF-16 one at a time; a well-formed surrogate pair is one code point,
// so supplementary letters (Deseret, Osage, Adlam...) fold too.
#include "platform/winbase/win_compare.hpp"

#include <algorithm>

#include "platform/winbase/win_case_fold_table.hpp"

namespace {

// Reads the code point at `at` and moves past it; a lone surrogate reads as itself.
char32_t next_code_point(std::u16string_view text, std::size_t& at) {
    const char16_t unit = text[at++];
    if (unit >= 0xD800 && unit <= 0xDBFF && at < text.size() && text[at] >= 0xDC00
        && text[at] <= 0xDFFF) {
        return 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[at++] - 0xDC00);
    }
    return unit;
}

int compare_code_points(std::u16string_view left, std::u16string_view right, bool fold) {
    std::size_t left_at = 0;
    std::size_t right_at = 0;
    while (left_at < left.size() && right_at < right.size()) {
        char32_t left_point = next_code_point(left, left_at);
        char32_t right_point = next_code_point(right, right_at);
        if (fold) {
            left_point = win_fold_case(left_point);
            right_point = win_fold_case(right_point);
        }
        if (left_point != right_point) return left_point < right_point ? -1 : 1;
    }
    if (left_at < left.size()) return 1;
    if (right_at < right.size()) return -1;
    return 0;
}

std::u16string_view view_of(const char16_t* text, int length) {
    if (length >= 0) return std::u16string_view(text, std::size_t(length));
    return std::u16string_view(text);
}

}   // namespace

char32_t win_fold_case(char32_t code_point) {
    if (code_point < 0x41) return code_point;
    const win_case_fold_pair* end = WIN_CASE_FOLD_TABLE + WIN_CASE_FOLD_TABLE_SIZE;
    const win_case_fold_pair* found = std::lower_bound(
        WIN_CASE_FOLD_TABLE, end, code_point,
        [](const win_case_fold_pair& pair, char32_t key) { return pair.code_point < key; });
    if (found == end || found->code_point != code_point) return code_point;
    return found->folded;
}

std::u16string win_fold_case(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const char32_t folded = win_fold_case(next_code_point(text, at));
        if (folded < 0x10000) {
            out.push_back(char16_t(folded));
        } else {
            out.push_back(char16_t(0xD800 + ((folded - 0x10000) >> 10)));
            out.push_back(char16_t(0xDC00 + ((folded - 0x10000) & 0x3FF)));
        }
    }
    return out;
}

int win_compare_ignore_case(std::u16string_view left, std::u16string_view right) {
    return compare_code_points(left, right, true);
}

bool win_equal_ignore_case(std::u16string_view left, std::u16string_view right) {
    return compare_code_points(left, right, true) == 0;
}

int CompareStringW(std::uint32_t /*locale*/, std::uint32_t flags, const char16_t* left,
                   int left_length, const char16_t* right, int right_length) {
    if (left == nullptr || right == nullptr) return 0;
    const bool fold = (flags & WIN_NORM_IGNORECASE) != 0;
    const int order = compare_code_points(view_of(left, left_length), view_of(right, right_length),
                                          fold);
    if (order < 0) return WIN_CSTR_LESS_THAN;
    if (order > 0) return WIN_CSTR_GREATER_THAN;
    return WIN_CSTR_EQUAL;
}
