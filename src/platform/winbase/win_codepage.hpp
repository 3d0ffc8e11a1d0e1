// win_codepage.hpp - the code-page conversions Windows does with MultiByteToWideChar and
// WideCharToMultiByte: UTF-8 <-> UTF-16, and Windows-1252 (the ANSI code page of files written
// on Western Windows) -> UTF-16. Well-formed text round-trips exactly. Invalid input never
// stops a conversion: each bad UTF-8 sequence (maximal subpart, as Unicode 6.3 recommends) and
// each unpaired surrogate becomes one U+FFFD, and `replaced` counts them so the toolkit can
// trace it (tk/tk_utf.hpp is the door the rest of the program uses).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr char16_t WIN_REPLACEMENT_CHAR = u'\uFFFD';

std::u16string win_utf8_to_utf16(std::string_view text, std::size_t* replaced = nullptr);
std::string win_utf16_to_utf8(std::u16string_view text, std::size_t* replaced = nullptr);

// Every byte decodes: the five bytes 1252 leaves undefined (81 8D 8F 90 9D) map to the C1
// controls of the same value, as Windows' own table does.
std::u16string win_cp1252_to_utf16(std::string_view text);
std::string win_cp1252_to_utf8(std::string_view text);

// UTF-16 -> Windows-1252 for the few narrow interfaces that need it; a character 1252 lacks
// becomes '?', as WideCharToMultiByte's default character.
std::string win_utf16_to_cp1252(std::u16string_view text, std::size_t* replaced = nullptr);
