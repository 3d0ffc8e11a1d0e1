// win_letter.hpp - the Windows C runtime's iswalpha: a letter by its Unicode category, for
// every code point and whatever the locale (glibc's iswalpha in the C locale knows only
// A-Z and a-z, so a name starting with Π or Ä would count as no letter).
#pragma once

#include <string_view>

bool win_iswalpha(char32_t code_point);
// The first code point of a UTF-16 text (a surrogate pair read whole); 0 for empty text.
char32_t win_first_code_point(std::u16string_view text);
