#pragma once
// jet_sort_codes.hpp - the General sort order (the "General Legacy" order of Access 2000 to
// 2007, sort order 1033 version 0) as an index key spells text: each UTF-16 unit maps to
// inline bytes that decide the order, and possibly to extra bytes that break ties between
// texts equal without them (accents), to a code kept apart for punctuation the order skips,
// to a change of the extra byte before it (combining marks), or to a 2-bit flag (kana
// voicing and width). Case never counts: 'a' and 'A' share their codes.
// Every UTF-16 unit has its codes, from Jackcess's published code tables
// (jet_sort_codes_table.cpp, generated from tools/jet-sort-codes), which index pages Access
// wrote confirm. Units the order does not weigh (unassigned ones among them) are ignored.
// Surrogates: the order gives neither half of a pair any weight, so a character beyond the
// BMP (an emoji, a rare ideograph) takes no part in a key, as in Access.
// Inline bytes are sort elements, each one byte (Latin letters, digits, common punctuation)
// or two (a lead byte and a weight); a letter Access spells as two or three (sharp s as ss,
// the ae and ffi ligatures) holds one element per letter (jet_index_key counts them).

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

enum class jet_sort_kind : std::uint8_t {
    ignored,       // no part in the key (NUL, most combining marks)
    simple,        // inline bytes only
    accented,      // inline bytes and extra bytes
    unprintable,   // a code in the key's tail, none inline (control characters, ' and -)
    modifier,      // added to the last extra byte written (its code in `extra`)
    flagged,       // inline bytes, maybe extra bytes, and a flag of 2 or 3
};

struct jet_sort_code {
    jet_sort_kind kind = jet_sort_kind::ignored;
    std::uint8_t inline_size = 0;
    std::array<std::uint8_t, 4> inline_bytes{};   // bytes in key order
    std::string_view extra;                       // extra bytes, or the unprintable's code
    std::uint8_t flag = 0;
    // Sort elements in the inline bytes.
    std::uint8_t elements = 0;

    std::span<const std::uint8_t> inline_view() const { return {inline_bytes.data(), inline_size}; }
};

// The codes of one UTF-16 unit.
jet_sort_code jet_general_sort_code(char16_t unit);
