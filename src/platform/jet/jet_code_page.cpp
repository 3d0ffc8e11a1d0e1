#include "platform/jet/jet_code_page.hpp"

#include <cstdlib>

#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_text.hpp"
#include "platform/winbase/win_locale.hpp"

namespace {

jet_code_page_choice checked(std::uint16_t code_page, jet_code_page_source source,
                             std::string origin) {
    if (!jet_text_decoder::can_decode(code_page)) {
        throw jet_error(JET_ERR_INVALID_ARGUMENT, "Invalid argument. Code page "
                                                      + std::to_string(code_page) + " (" + origin
                                                      + ") is not one this system can decode.");
    }
    return {code_page, source, std::move(origin)};
}

}   // namespace

std::optional<std::uint16_t> jet_parse_code_page(std::string_view text) {
    if (text.size() > 2 && (text[0] == 'c' || text[0] == 'C') && (text[1] == 'p' || text[1] == 'P'))
        text.remove_prefix(2);
    if (text.empty() || text.size() > 5) return std::nullopt;
    std::uint32_t number = 0;
    for (char digit : text) {
        if (digit < '0' || digit > '9') return std::nullopt;
        number = number * 10 + std::uint32_t(digit - '0');
    }
    if (number == 0 || number > 0xFFFF) return std::nullopt;
    return std::uint16_t(number);
}

jet_code_page_choice jet_choose_code_page(std::uint16_t chosen, std::string_view chosen_by,
                                          std::uint16_t header_field) {
    if (chosen != 0) return checked(chosen, jet_code_page_source::chosen, std::string(chosen_by));
    if (const char* setting = std::getenv(JET_CODE_PAGE_ENV); setting && *setting) {
        std::optional<std::uint16_t> code_page = jet_parse_code_page(setting);
        if (!code_page) {
            throw jet_error(JET_ERR_INVALID_ARGUMENT,
                            std::string("Invalid argument. ") + JET_CODE_PAGE_ENV
                                + " must be a code page number such as 936 or 1251.");
        }
        return checked(*code_page, jet_code_page_source::environment, JET_CODE_PAGE_ENV);
    }
    // A page the header names that cannot be decoded is a damaged field: the next rung decides.
    if (header_field != 0 && header_field != JET_DEFAULT_CODE_PAGE
        && jet_text_decoder::can_decode(header_field))
        return {header_field, jet_code_page_source::header, "file header"};
    win_user_locale locale = win_get_user_locale();
    if (std::uint16_t code_page = win_locale_code_page(locale.value); code_page != 0)
        return {code_page, jet_code_page_source::locale, locale.variable + "=" + locale.value};
    return {};
}

std::string jet_describe_code_page(const jet_code_page_choice& choice) {
    std::string text = "code page " + std::to_string(choice.code_page);
    switch (choice.source) {
    case jet_code_page_source::chosen:
    case jet_code_page_source::environment: return text + ", chosen by " + choice.origin;
    case jet_code_page_source::header: return text + ", named by the file header";
    case jet_code_page_source::locale: return text + ", paired with the locale " + choice.origin;
    case jet_code_page_source::fallback: break;
    }
    return text + ", the default (no choice, header or locale names another)";
}
