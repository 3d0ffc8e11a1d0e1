#pragma once
// dbl_lexer.hpp - splits a T-SQL batch (UTF-16, as it arrives) into tokens. Names in
// [brackets] keep "]]" as one "]"; "double quotes" are names under QUOTED_IDENTIFIER ON and
// strings otherwise; N'..' stays UTF-16 so surrogate pairs and any code unit survive.

#include <string>
#include <vector>

enum class dbl_token_kind {
    WORD,
    QUOTED_NAME,
    STRING,
    NSTRING,
    NUMBER,
    BINARY,
    VARIABLE,
    SYMBOL,
    END
};

struct dbl_token {
    dbl_token_kind kind = dbl_token_kind::END;
    std::u16string raw;    // the characters as written
    std::u16string text;   // the name or string value, quotes removed
    std::string utf8;      // text in UTF-8, for names and keywords
    int line = 1;
    bool is(const char* word) const;   // a WORD or SYMBOL equal to `word`, case-blind
};

// Throws 105 for an unclosed quote or bracket.
std::vector<dbl_token> dbl_lex(const std::u16string& batch, bool b_quoted_identifier);
