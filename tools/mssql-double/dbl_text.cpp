// dbl_text.cpp - UTF-8, UTF-16 and Windows-1252 conversions and case folding.
#include "dbl_text.hpp"

#include <array>
#include <cstdint>

namespace {

// Windows-1252 bytes 0x80..0x9F; the five unassigned ones map to the C1 control itself.
constexpr std::array<char16_t, 32> CP1252_HIGH = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void append_utf16(std::u16string& out, std::uint32_t code) {
    if (code >= 0x10000) {
        code -= 0x10000;
        out.push_back(char16_t(0xD800 + (code >> 10)));
        out.push_back(char16_t(0xDC00 + (code & 0x3FF)));
    } else {
        out.push_back(char16_t(code));
    }
}

void append_utf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out.push_back(char(code));
    } else if (code < 0x800) {
        out.push_back(char(0xC0 | (code >> 6)));
        out.push_back(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(char(0xE0 | (code >> 12)));
        out.push_back(char(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(char(0x80 | (code & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (code >> 18)));
        out.push_back(char(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(char(0x80 | (code & 0x3F)));
    }
}

}   // namespace

std::u16string dbl_utf16(const std::string& utf8) {
    std::u16string out;
    std::size_t at = 0;
    while (at < utf8.size()) {
        auto lead = std::uint8_t(utf8[at]);
        int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
        if (extra < 0) {
            out.push_back(0xFFFD);
            ++at;
            continue;
        }
        std::uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
        bool ok = true;
        for (int i = 1; i <= extra; ++i) {
            if (at + i >= utf8.size() || (std::uint8_t(utf8[at + i]) & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            code = (code << 6) | (std::uint8_t(utf8[at + i]) & 0x3F);
        }
        if (!ok) {
            out.push_back(0xFFFD);
            ++at;
            continue;
        }
        append_utf16(out, code);
        at += extra + 1;
    }
    return out;
}

std::string dbl_utf8(const std::u16string& utf16) {
    std::string out;
    out.reserve(utf16.size());   // every token of a batch passes here
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        std::uint32_t c = utf16[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00
            && utf16[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        append_utf8(out, c);
    }
    return out;
}

std::string dbl_to_cp1252(const std::u16string& text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c < 0x80 || (c >= 0xA0 && c < 0x100)) {
            out.push_back(char(c));
            continue;
        }
        char mapped = '?';
        for (std::size_t i = 0; i < CP1252_HIGH.size(); ++i)
            if (CP1252_HIGH[i] == c) mapped = char(0x80 + i);
        out.push_back(mapped);
    }
    return out;
}

std::u16string dbl_from_cp1252(const std::string& bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (char byte : bytes) {
        auto b = std::uint8_t(byte);
        out.push_back(b >= 0x80 && b < 0xA0 ? CP1252_HIGH[b - 0x80] : char16_t(b));
    }
    return out;
}

char16_t dbl_fold(char16_t c) {
    if (c >= u'A' && c <= u'Z') return char16_t(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return char16_t(c + 32);
    return c;
}

char16_t dbl_fold_width(char16_t c) {
    // U+FF01..U+FF5E are ASCII's '!'..'~' at full width; U+FFE0..U+FFE6 the signs of Latin-1
    // and the won sign. Halfwidth katakana fold to fullwidth only with voicing marks joined,
    // which this double does not do.
    static constexpr char16_t WIDE_SIGNS[] = {0x00A2, 0x00A3, 0x00AC, 0x00AF,
                                              0x00A6, 0x00A5, 0x20A9};
    if (c >= 0xFF01 && c <= 0xFF5E) return char16_t(c - 0xFEE0);
    if (c >= 0xFFE0 && c <= 0xFFE6) return WIDE_SIGNS[c - 0xFFE0];
    if (c == 0x3000) return u' ';
    return c;
}

char16_t dbl_collate(char16_t c) { return dbl_fold(dbl_fold_width(c)); }

std::u16string dbl_fold(const std::u16string& text) {
    std::u16string out = text;
    for (char16_t& c : out) c = dbl_collate(c);
    return out;
}

std::string dbl_fold_name(const std::string& utf8) { return dbl_utf8(dbl_fold(dbl_utf16(utf8))); }

bool dbl_same_name(const std::string& a, const std::string& b) {
    return dbl_fold_name(a) == dbl_fold_name(b);
}
