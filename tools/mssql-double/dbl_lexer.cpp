// dbl_lexer.cpp - the T-SQL tokenizer.
#include "dbl_lexer.hpp"

#include "dbl_error.hpp"
#include "dbl_limits.hpp"
#include "dbl_text.hpp"

namespace {

bool is_word_start(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u'#'
           || c >= 0x80;
}
bool is_word_part(char16_t c) {
    return is_word_start(c) || (c >= u'0' && c <= u'9') || c == u'$' || c == u'@';
}
bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool is_hex(char16_t c) {
    return is_digit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

class lexer {
public:
    lexer(const std::u16string& batch, bool quoted) : s(batch), b_quoted(quoted) {}

    std::vector<dbl_token> run() {
        std::vector<dbl_token> tokens;
        while (skip_blank_and_comments()) tokens.push_back(next());
        dbl_token end;
        end.line = line;
        tokens.push_back(end);
        return tokens;
    }

private:
    bool skip_blank_and_comments() {
        while (at < s.size()) {
            char16_t c = s[at];
            if (c == u'\n') {
                ++line;
                ++at;
                continue;
            }
            if (c == u' ' || c == u'\t' || c == u'\r' || c == 0xFEFF) {
                ++at;
                continue;
            }
            if (c == u'-' && peek(1) == u'-') {
                while (at < s.size() && s[at] != u'\n') ++at;
                continue;
            }
            if (c == u'/' && peek(1) == u'*') {
                skip_block_comment();
                continue;
            }
            return true;
        }
        return false;
    }

    void skip_block_comment() {
        int depth = 0;
        do {
            if (s[at] == u'/' && peek(1) == u'*') {
                ++depth;
                at += 2;
                continue;
            }
            if (s[at] == u'*' && peek(1) == u'/') {
                --depth;
                at += 2;
                continue;
            }
            if (s[at] == u'\n') ++line;
            ++at;
        } while (depth > 0 && at < s.size());
    }

    char16_t peek(std::size_t ahead) const { return at + ahead < s.size() ? s[at + ahead] : u'\0'; }

    dbl_token make(dbl_token_kind kind, std::size_t start) {
        dbl_token token;
        token.kind = kind;
        token.raw = s.substr(start, at - start);
        if (token.text.empty() && kind != dbl_token_kind::STRING && kind != dbl_token_kind::NSTRING
            && kind != dbl_token_kind::QUOTED_NAME)
            token.text = token.raw;
        token.line = line;
        return token;
    }

    dbl_token next() {
        std::size_t start = at;
        char16_t c = s[at];
        int start_line = line;
        dbl_token token;
        if ((c == u'N' || c == u'n') && peek(1) == u'\'') {
            ++at;
            token = quoted(u'\'', u'\'', dbl_token_kind::NSTRING, start);
        } else if (c == u'\'') {
            token = quoted(u'\'', u'\'', dbl_token_kind::STRING, start);
        } else if (c == u'[') {
            token = quoted(u'[', u']', dbl_token_kind::QUOTED_NAME, start);
        } else if (c == u'"') {
            token = quoted(u'"', u'"',
                           b_quoted ? dbl_token_kind::QUOTED_NAME : dbl_token_kind::STRING, start);
        } else if (c == u'0' && (peek(1) == u'x' || peek(1) == u'X')) {
            at += 2;
            while (at < s.size() && is_hex(s[at])) ++at;
            token = make(dbl_token_kind::BINARY, start);
        } else if (is_digit(c) || (c == u'.' && is_digit(peek(1)))) {
            token = number(start);
        } else if (c == u'@') {
            ++at;
            if (peek(0) == u'@') ++at;
            while (at < s.size() && is_word_part(s[at])) ++at;
            token = make(dbl_token_kind::VARIABLE, start);
        } else if (is_word_start(c)) {
            while (at < s.size() && is_word_part(s[at])) ++at;
            token = make(dbl_token_kind::WORD, start);
        } else {
            token = symbol(start);
        }
        token.line = start_line;
        if (token.kind == dbl_token_kind::WORD || token.kind == dbl_token_kind::QUOTED_NAME)
            dbl_check_identifier(token.text, start_line);
        token.utf8 = dbl_utf8(token.text);
        return token;
    }

    dbl_token number(std::size_t start) {
        while (at < s.size() && (is_digit(s[at]) || s[at] == u'.')) ++at;
        if (at < s.size() && (s[at] == u'e' || s[at] == u'E')) {
            std::size_t mark = at++;
            if (at < s.size() && (s[at] == u'+' || s[at] == u'-')) ++at;
            if (at < s.size() && is_digit(s[at])) {
                while (at < s.size() && is_digit(s[at])) ++at;
            } else {
                at = mark;
            }
        }
        return make(dbl_token_kind::NUMBER, start);
    }

    dbl_token symbol(std::size_t start) {
        static const char16_t* pairs[] = {u"<>", u"<=", u">=", u"!=", u"!<", u"!>"};
        for (const char16_t* pair : pairs) {
            if (s.compare(at, 2, pair) == 0) {
                at += 2;
                return make(dbl_token_kind::SYMBOL, start);
            }
        }
        ++at;
        return make(dbl_token_kind::SYMBOL, start);
    }

    dbl_token quoted(char16_t open, char16_t close, dbl_token_kind kind, std::size_t start) {
        (void)open;
        ++at;
        std::u16string value;
        while (true) {
            if (at >= s.size()) {
                throw dbl_err::unclosed_quote(dbl_utf8(value));
            }
            char16_t c = s[at];
            if (c == close) {
                if (peek(1) == close) {
                    value.push_back(close);
                    at += 2;
                    continue;
                }
                ++at;
                break;
            }
            if (c == u'\n') ++line;
            value.push_back(c);
            ++at;
        }
        dbl_token token = make(kind, start);
        token.text = value;
        return token;
    }

    const std::u16string& s;
    bool b_quoted;
    std::size_t at = 0;
    int line = 1;
};

}   // namespace

bool dbl_token::is(const char* word) const {
    if (kind != dbl_token_kind::WORD && kind != dbl_token_kind::SYMBOL) return false;
    // The parser asks every token several words; most differ in length.
    if (std::char_traits<char>::length(word) != raw.size()) return false;
    std::size_t i = 0;
    for (; word[i] != '\0'; ++i) {
        if (i >= raw.size() || dbl_fold(raw[i]) != dbl_fold(char16_t(word[i]))) return false;
    }
    return i == raw.size();
}

std::vector<dbl_token> dbl_lex(const std::u16string& batch, bool b_quoted_identifier) {
    return lexer(batch, b_quoted_identifier).run();
}
