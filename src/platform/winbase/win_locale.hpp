// win_locale.hpp - GetACP: the ANSI code page Windows pairs with the user's locale. Here the
// locale is the POSIX one, read from LC_ALL, LC_CTYPE and LANG (the first one set wins, as
// setlocale does), and its language (and, for Chinese, territory) picks the code page.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The code page Windows uses for a locale name such as "zh_CN.UTF-8", "ru_RU" or "el";
// 0 when the language is one Windows writes in Windows-1252 or the name is C/POSIX/empty.
std::uint16_t win_locale_code_page(std::string_view locale_name);

struct win_user_locale {
    std::string variable;   // "LC_ALL", "LC_CTYPE", "LANG"; empty when none is set
    std::string value;
};

// The user's locale as the C library would take it from the environment.
win_user_locale win_get_user_locale();
