#pragma once
// jet_code_page.hpp - which code page Jet 3 text is decoded in. A Jet 3 file stores text in the
// ANSI code page of the Windows machine that wrote it, and its header's code-page field is not
// reliable (seen: 1252 over GBK text), so the page is chosen in this order:
//   1. an explicit choice: the caller's (a command-line option, a profile key), else
//      VANTREL_CODEPAGE;
//   2. the header's field when it names a page other than 1252;
//   3. the ANSI code page Windows pairs with the user's locale (win_locale);
//   4. 1252.
// An explicit choice this system cannot decode is an error, never a silent fallback.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::uint16_t JET_DEFAULT_CODE_PAGE = 1252;
inline constexpr const char* JET_CODE_PAGE_ENV = "VANTREL_CODEPAGE";
// "Invalid argument."
inline constexpr int JET_ERR_INVALID_ARGUMENT = 3001;

enum class jet_code_page_source : std::uint8_t { chosen, environment, header, locale, fallback };

struct jet_code_page_choice {
    std::uint16_t code_page = JET_DEFAULT_CODE_PAGE;
    jet_code_page_source source = jet_code_page_source::fallback;
    std::string origin;   // who chose: "--codepage", "LANG=zh_CN.UTF-8", ...
};

// chosen: 0 for none; chosen_by names it in messages. Throws jet_error 3001 when the explicit
// choice (the caller's or VANTREL_CODEPAGE) is not a code page this system decodes.
jet_code_page_choice jet_choose_code_page(std::uint16_t chosen, std::string_view chosen_by,
                                          std::uint16_t header_field);

// "936" or "cp936" (any case) as a number; nullopt for anything else or 0.
std::optional<std::uint16_t> jet_parse_code_page(std::string_view text);

// One line for people: "code page 936, named by the file header".
std::string jet_describe_code_page(const jet_code_page_choice& choice);
