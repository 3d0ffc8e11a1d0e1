// win_codepage.cpp - UTF-8 / UTF-16 / Windows-1252 conversions (see the header for the rules).
// The UTF-8 decoder follows the Unicode "maximal subpart" practice: a sequence that goes wrong
// is replaced by one U+FFFD up to the first byte that could not continue it, and that byte is
// looked at again as a possible start. Overlongs, surrogates (ED A0..BF) and code points past
// U+10FFFF are refused at the second byte, so each of their bytes becomes its own U+FFFD.
#include "platform/winbase/win_codepage.hpp"

#include <array>
#include <cstdint>

namespace {

void count(std::size_t* replaced) {
    if (replaced != nullptr) ++*replaced;
}

void append_utf16(std::u16string& out, char32_t code_point) {
    if (code_point < 0x10000) {
        out.push_back(char16_t(code_point));
        return;
    }
    code_point -= 0x10000;
    out.push_back(char16_t(0xD800 + (code_point >> 10)));
    out.push_back(char16_t(0xDC00 + (code_point & 0x3FF)));
}

void append_utf8(std::string& out, char32_t code_point) {
    if (code_point < 0x80) {
        out.push_back(char(code_point));
    } else if (code_point < 0x800) {
        out.push_back(char(0xC0 | (code_point >> 6)));
        out.push_back(char(0x80 | (code_point & 0x3F)));
    } else if (code_point < 0x10000) {
        out.push_back(char(0xE0 | (code_point >> 12)));
        out.push_back(char(0x80 | ((code_point >> 6) & 0x3F)));
        out.push_back(char(0x80 | (code_point & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (code_point >> 18)));
        out.push_back(char(0x80 | ((code_point >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((code_point >> 6) & 0x3F)));
        out.push_back(char(0x80 | (code_point & 0x3F)));
    }
}

// The range the second byte of a sequence may take, by lead byte (Unicode table 3-7).
struct lead_rule {
    int trail_count;
    std::uint8_t second_low;
    std::uint8_t second_high;
};

lead_rule rule_for(std::uint8_t lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return {1, 0x80, 0xBF};
    if (lead == 0xE0) return {2, 0xA0, 0xBF};
    if (lead == 0xED) return {2, 0x80, 0x9F};
    if (lead >= 0xE1 && lead <= 0xEF) return {2, 0x80, 0xBF};
    if (lead == 0xF0) return {3, 0x90, 0xBF};
    if (lead >= 0xF1 && lead <= 0xF3) return {3, 0x80, 0xBF};
    if (lead == 0xF4) return {3, 0x80, 0x8F};
    return {0, 0, 0};   // ASCII is handled before; 80..C1 and F5..FF never start a sequence
}

// Windows-1252's 0x80..0x9F; the undefined five keep their C1 value.
constexpr std::array<char16_t, 32> CP1252_HIGH_CONTROLS = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t cp1252_char(std::uint8_t byte) {
    if (byte >= 0x80 && byte <= 0x9F) return CP1252_HIGH_CONTROLS[byte - 0x80];
    return char16_t(byte);
}

}   // namespace

std::u16string win_utf8_to_utf16(std::string_view text, std::size_t* replaced) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const std::uint8_t lead = std::uint8_t(text[at]);
        if (lead < 0x80) {
            out.push_back(char16_t(lead));
            ++at;
            continue;
        }
        const lead_rule rule = rule_for(lead);
        if (rule.trail_count == 0) {
            out.push_back(WIN_REPLACEMENT_CHAR);
            count(replaced);
            ++at;
            continue;
        }
        char32_t code_point = lead & (0x3F >> rule.trail_count);
        std::size_t next = at + 1;
        int trail_idx = 0;
        for (; trail_idx < rule.trail_count && next < text.size(); ++trail_idx, ++next) {
            const std::uint8_t trail = std::uint8_t(text[next]);
            const std::uint8_t low = trail_idx == 0 ? rule.second_low : 0x80;
            const std::uint8_t high = trail_idx == 0 ? rule.second_high : 0xBF;
            if (trail < low || trail > high) break;
            code_point = (code_point << 6) | (trail & 0x3F);
        }
        if (trail_idx == rule.trail_count) {
            append_utf16(out, code_point);
        } else {
            out.push_back(WIN_REPLACEMENT_CHAR);
            count(replaced);
        }
        at = next;
    }
    return out;
}

std::string win_utf16_to_utf8(std::u16string_view text, std::size_t* replaced) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at];
        if (unit < 0xD800 || unit > 0xDFFF) {
            append_utf8(out, unit);
            continue;
        }
        const bool has_low = unit <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00
                             && text[at + 1] <= 0xDFFF;
        if (!has_low) {
            append_utf8(out, WIN_REPLACEMENT_CHAR);
            count(replaced);
            continue;
        }
        append_utf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[at + 1] - 0xDC00));
        ++at;
    }
    return out;
}

std::u16string win_cp1252_to_utf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (const char byte : text) out.push_back(cp1252_char(std::uint8_t(byte)));
    return out;
}

std::string win_cp1252_to_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char byte : text) append_utf8(out, cp1252_char(std::uint8_t(byte)));
    return out;
}

std::string win_utf16_to_cp1252(std::u16string_view text, std::size_t* replaced) {
    std::string out;
    out.reserve(text.size());
    for (const char16_t unit : text) {
        if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
            out.push_back(char(unit));
            continue;
        }
        char byte = '?';
        for (std::size_t high_idx = 0; high_idx < CP1252_HIGH_CONTROLS.size(); ++high_idx) {
            if (CP1252_HIGH_CONTROLS[high_idx] == unit) byte = char(0x80 + high_idx);
        }
        if (byte == '?') count(replaced);
        out.push_back(byte);
    }
    return out;
}
