#pragma once
// jet_sql_lexer.hpp - splits Access SQL (UTF-16) into tokens: bare words, [bracketed names],
// '...' and "..." strings (the quote doubled inside), numbers, #date# literals and operators.
// Malformed input never throws here: it becomes a `bad` token the parser reports in context.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class jet_sql_token_kind : std::uint8_t {
    word,     // bare identifier or keyword
    name,     // [bracketed]
    text,     // string literal, quotes removed
    number,   // digits as written
    date,     // the text between # and #
    symbol,   // ( ) , . ! * + - / \ ^ & = <> < > <= >= ;
    bad,      // unterminated literal or a character Access does not know
    end,
};

struct jet_sql_token {
    jet_sql_token_kind kind = jet_sql_token_kind::end;
    std::u16string text;
    std::size_t offset = 0;   // where it starts in the statement
    std::size_t end = 0;      // one past its last character

    bool is_symbol(std::u16string_view symbol) const {
        return kind == jet_sql_token_kind::symbol && text == symbol;
    }
    // Case-blind ASCII keyword test; only bare words can be keywords.
    bool is_keyword(std::u16string_view keyword) const;
};

std::vector<jet_sql_token> jet_sql_tokenize(std::u16string_view statement);
