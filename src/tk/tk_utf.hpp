// tk_utf.hpp - the one door for text conversion above the platform layer. Narrow text is UTF-8,
// wide text UTF-16. Well-formed text round-trips; a bad byte or an unpaired surrogate becomes
// U+FFFD and the conversion traces "Invalid text replaced by U+FFFD (%zu)" (level 2). ANSI is
// Windows-1252, the code page of the Western Windows machines that wrote our input files.
#pragma once

#include <string>
#include <string_view>

std::u16string tk_utf8_to_utf16(std::string_view text);
std::string tk_utf16_to_utf8(std::u16string_view text);

std::u16string tk_ansi_to_utf16(std::string_view text);
std::string tk_ansi_to_utf8(std::string_view text);
std::string tk_utf16_to_ansi(std::u16string_view text);
