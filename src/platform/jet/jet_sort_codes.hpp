#pragma once
// jet_sort_codes.hpp - the General sort order (the "General Legacy" order of Access 2000 to
// 2007, sort order 1033 version 0) as an index key spells text: each character maps to
// inline bytes that decide the order, and possibly to an accent code that breaks ties
// between texts equal once accents are dropped, or to a code kept apart for punctuation
// that the order skips. Case never counts: 'a' and 'A' share their codes.
// Known: U+0000..U+017F (Latin-1, Latin Extended-A), Greek U+0384..U+03CE, Cyrillic
// U+0400..U+045F and Arabic U+060C..U+0652, as Jackcess's published code tables give them
// and index pages Access wrote confirm; other characters have no code here.

#include <cstdint>
#include <optional>
#include <string_view>

enum class jet_sort_kind : std::uint8_t {
    ignored,      // no part in the key (NUL)
    simple,       // inline bytes only
    accented,     // inline bytes and an accent code
    unprintable,  // a code in the key's tail, none inline (control characters, ' and -)
};

struct jet_sort_code {
    jet_sort_kind kind = jet_sort_kind::ignored;
    std::string_view inline_bytes;   // bytes in key order
    std::uint8_t extra = 0;          // accent code, or the unprintable's code
};

// The codes of one UTF-16 unit; nothing for a character outside the known ranges.
std::optional<jet_sort_code> jet_general_sort_code(char16_t unit);
