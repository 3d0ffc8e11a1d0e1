#include "platform/jetsql/jet_sql_lexer.hpp"

namespace {

bool is_word_start(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c >= 0x80;
}

bool is_word_char(char16_t c) { return is_word_start(c) || (c >= u'0' && c <= u'9'); }

bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool is_space(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f' || c == u'\v';
}

char16_t ascii_upper(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }

class lexer {
public:
    explicit lexer(std::u16string_view statement) : input(statement) {}

    std::vector<jet_sql_token> run() {
        std::vector<jet_sql_token> tokens;
        for (;;) {
            while (pos < input.size() && is_space(input[pos])) ++pos;
            jet_sql_token token = next_token();
            bool done = token.kind == jet_sql_token_kind::end
                        || token.kind == jet_sql_token_kind::bad;
            tokens.push_back(std::move(token));
            if (done) break;
        }
        if (tokens.back().kind == jet_sql_token_kind::bad)
            tokens.push_back(make(jet_sql_token_kind::end, input.size(), {}));
        return tokens;
    }

private:
    jet_sql_token make(jet_sql_token_kind kind, std::size_t start, std::u16string text) {
        jet_sql_token token;
        token.kind = kind;
        token.text = std::move(text);
        token.offset = start;
        token.end = pos;
        return token;
    }

    jet_sql_token next_token() {
        std::size_t start = pos;
        if (pos >= input.size()) return make(jet_sql_token_kind::end, start, {});
        char16_t c = input[pos];
        if (is_word_start(c)) {
            while (pos < input.size() && is_word_char(input[pos])) ++pos;
            return make(jet_sql_token_kind::word, start,
                        std::u16string(input.substr(start, pos - start)));
        }
        if (is_digit(c) || (c == u'.' && pos + 1 < input.size() && is_digit(input[pos + 1])))
            return number(start);
        if (c == u'[') return delimited(start, u']', jet_sql_token_kind::name, false);
        if (c == u'#') return delimited(start, u'#', jet_sql_token_kind::date, false);
        if (c == u'\'' || c == u'"') return delimited(start, c, jet_sql_token_kind::text, true);
        return symbol(start);
    }

    jet_sql_token number(std::size_t start) {
        while (pos < input.size() && is_digit(input[pos])) ++pos;
        if (pos < input.size() && input[pos] == u'.') {
            ++pos;
            while (pos < input.size() && is_digit(input[pos])) ++pos;
        }
        if (pos < input.size() && (input[pos] == u'e' || input[pos] == u'E')) {
            std::size_t mark = pos++;
            if (pos < input.size() && (input[pos] == u'+' || input[pos] == u'-')) ++pos;
            if (pos < input.size() && is_digit(input[pos])) {
                while (pos < input.size() && is_digit(input[pos])) ++pos;
            } else {
                pos = mark;
            }
        }
        return make(jet_sql_token_kind::number, start,
                    std::u16string(input.substr(start, pos - start)));
    }

    // [name], #date# and quoted strings; only strings know a doubled closing quote.
    jet_sql_token delimited(std::size_t start, char16_t close, jet_sql_token_kind kind,
                            bool doubled_quote) {
        std::u16string text;
        ++pos;
        while (pos < input.size()) {
            char16_t c = input[pos++];
            if (c != close) {
                text.push_back(c);
                continue;
            }
            if (doubled_quote && pos < input.size() && input[pos] == close) {
                text.push_back(close);
                ++pos;
                continue;
            }
            return make(kind, start, std::move(text));
        }
        return make(jet_sql_token_kind::bad, start, std::u16string(input.substr(start)));
    }

    jet_sql_token symbol(std::size_t start) {
        char16_t c = input[pos++];
        if ((c == u'<' || c == u'>') && pos < input.size()) {
            char16_t following = input[pos];
            if (following == u'=' || (c == u'<' && following == u'>')) ++pos;
        }
        static constexpr std::u16string_view singles = u"(),.!*+-/\\^&=<>;";
        if (singles.find(c) == std::u16string_view::npos)
            return make(jet_sql_token_kind::bad, start, std::u16string(1, c));
        return make(jet_sql_token_kind::symbol, start,
                    std::u16string(input.substr(start, pos - start)));
    }

    std::u16string_view input;
    std::size_t pos = 0;
};

}   // namespace

bool jet_sql_token::is_keyword(std::u16string_view keyword) const {
    if (kind != jet_sql_token_kind::word || text.size() != keyword.size()) return false;
    for (std::size_t char_idx = 0; char_idx < text.size(); ++char_idx)
        if (ascii_upper(text[char_idx]) != ascii_upper(keyword[char_idx])) return false;
    return true;
}

std::vector<jet_sql_token> jet_sql_tokenize(std::u16string_view statement) {
    return lexer(statement).run();
}
