// win_compare.hpp - the CompareStringW stand-in. Names compare case-blind by Unicode simple
// case folding (CaseFolding.txt status C and S) over UTF-16, code point by code point, then by
// code point order. One character folds to one character, so "Straße" differs from "STRASSE"
// (ß would need the full folding to "ss") while "ÄRGER" equals "ärger". No locale tailoring:
// Turkish dotted and dotless i fold as everywhere else. Surrogate pairs fold as one code point;
// a lone surrogate compares as itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The simple case folding of one code point (itself when it has none).
char32_t win_fold_case(char32_t code_point);

// UTF-16 text with every code point folded; equal texts fold to equal strings.
std::u16string win_fold_case(std::u16string_view text);

// Three-way: negative, 0 or positive, ordering by folded code points.
int win_compare_ignore_case(std::u16string_view left, std::u16string_view right);
bool win_equal_ignore_case(std::u16string_view left, std::u16string_view right);

// The platform call as the converter's code makes it. Flags: NORM_IGNORECASE folds case;
// without it the texts compare by code point. A length of -1 means NUL-terminated.
// Returns CSTR_LESS_THAN, CSTR_EQUAL or CSTR_GREATER_THAN, 0 for a null text.
inline constexpr std::uint32_t WIN_LOCALE_SYSTEM_DEFAULT = 0x0800;
inline constexpr std::uint32_t WIN_LOCALE_USER_DEFAULT = 0x0400;
inline constexpr std::uint32_t WIN_NORM_IGNORECASE = 0x00000001;
inline constexpr int WIN_CSTR_LESS_THAN = 1;
inline constexpr int WIN_CSTR_EQUAL = 2;
inline constexpr int WIN_CSTR_GREATER_THAN = 3;

int CompareStringW(std::uint32_t locale, std::uint32_t flags, const char16_t* left, int left_length,
                   const char16_t* right, int right_length);
