#include "platform/winbase/win_locale.hpp"

#include <cstdlib>

namespace {

struct language_code_page {
    std::string_view language;
    std::uint16_t code_page;
};

// Windows' ANSI code page of each language's default locale.
constexpr language_code_page LANGUAGES[] = {
    {"ja", 932},  {"ko", 949},  {"ru", 1251}, {"uk", 1251}, {"bg", 1251}, {"be", 1251},
    {"mk", 1251}, {"sr", 1251}, {"pl", 1250}, {"cs", 1250}, {"sk", 1250}, {"hu", 1250},
    {"ro", 1250}, {"hr", 1250}, {"sl", 1250}, {"sq", 1250}, {"el", 1253}, {"tr", 1254},
    {"az", 1254}, {"he", 1255}, {"ar", 1256}, {"fa", 1256}, {"ur", 1256}, {"et", 1257},
    {"lv", 1257}, {"lt", 1257}, {"vi", 1258}, {"th", 874}};

// Chinese splits by territory: Traditional (Taiwan, Hong Kong, Macao) is Big5, 950; the rest
// is GBK, 936.
std::uint16_t chinese_code_page(std::string_view territory) {
    return territory == "TW" || territory == "HK" || territory == "MO" ? 950 : 936;
}

}   // namespace

std::uint16_t win_locale_code_page(std::string_view locale_name) {
    // language[_territory][.codeset][@modifier]
    std::size_t language_end = locale_name.find_first_of("_.@");
    std::string_view language = locale_name.substr(0, language_end);
    std::string_view territory;
    if (language_end != std::string_view::npos && locale_name[language_end] == '_') {
        std::string_view rest = locale_name.substr(language_end + 1);
        territory = rest.substr(0, rest.find_first_of(".@"));
    }
    if (language == "zh") return chinese_code_page(territory);
    for (const language_code_page& entry : LANGUAGES)
        if (entry.language == language) return entry.code_page;
    return 0;
}

win_user_locale win_get_user_locale() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return {variable, value};
    }
    return {};
}
