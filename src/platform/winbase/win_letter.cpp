// win_letter.cpp - Unicode letters by binary search over the generated ranges.
#include "platform/winbase/win_letter.hpp"

#include <algorithm>

#include "platform/winbase/win_letter_table.hpp"

bool win_iswalpha(char32_t code_point) {
    const win_letter_range* end = WIN_LETTER_TABLE + WIN_LETTER_TABLE_SIZE;
    const win_letter_range* found = std::upper_bound(
        WIN_LETTER_TABLE, end, code_point,
        [](char32_t wanted, const win_letter_range& range) { return wanted < range.first; });
    if (found == WIN_LETTER_TABLE) return false;
    return code_point <= (found - 1)->last;
}

char32_t win_first_code_point(std::u16string_view text) {
    if (text.empty()) return 0;
    const char16_t lead = text[0];
    const bool is_pair = lead >= 0xD800 && lead <= 0xDBFF && text.size() > 1 && text[1] >= 0xDC00
                         && text[1] <= 0xDFFF;
    if (!is_pair) return lead;
    return 0x10000 + ((char32_t(lead) - 0xD800) << 10) + (char32_t(text[1]) - 0xDC00);
}
