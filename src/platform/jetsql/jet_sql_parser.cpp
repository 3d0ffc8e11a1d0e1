#include "platform/jetsql/jet_sql_parser.hpp"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/jetsql/jet_sql_date.hpp"
#include "platform/jetsql/jet_sql_errors.hpp"
#include "platform/jetsql/jet_sql_lexer.hpp"
#include "platform/winbase/win_codepage.hpp"

namespace {

// Deeper nesting than this is refused before SQLite's own expression limit could be met.
constexpr int MAX_NESTING = 200;

// Words that end an expression or a name list; they cannot be bare column names.
constexpr std::u16string_view RESERVED[] = {
    u"SELECT",  u"FROM",  u"WHERE",     u"GROUP",  u"BY",       u"HAVING",      u"ORDER",
    u"AS",      u"ON",    u"JOIN",      u"INNER",  u"LEFT",     u"RIGHT",       u"OUTER",
    u"AND",     u"OR",    u"NOT",       u"XOR",    u"LIKE",     u"BETWEEN",     u"IN",
    u"IS",      u"NULL",  u"ASC",       u"DESC",   u"DISTINCT", u"DISTINCTROW", u"TOP",
    u"PERCENT", u"UNION", u"MOD",       u"EXISTS", u"TRUE",     u"FALSE",       u"ALL",
    u"SOME",    u"ANY",   u"PARAMETERS"};

class parser {
public:
    explicit parser(std::u16string_view statement)
        : text(statement), tokens(jet_sql_tokenize(statement)) {}

    std::unique_ptr<jet_sql_select> statement() {
        std::vector<std::u16string> declared;
        if (accept_keyword(u"PARAMETERS")) declared = parameters();
        if (!peek().is_keyword(u"SELECT")) throw jet_sql_invalid_statement();
        std::unique_ptr<jet_sql_select> select = union_statement();
        select->parameters = std::move(declared);
        if (peek().is_symbol(u";")) ++pos;
        if (peek().kind == jet_sql_token_kind::end) return select;
        if (peek().kind == jet_sql_token_kind::bad) fail();
        // An operand right after the last clause's expression is an operator missing in it.
        bool is_operand = peek().kind != jet_sql_token_kind::symbol && !is_reserved(peek());
        if (is_operand && last_expression_end == pos) {
            in_expression = true;
            expression_start = last_expression_start;
            fail();
        }
        throw jet_sql_trailing_characters();
        return select;
    }

private:
    enum class clause { select_list, from, other };

    const jet_sql_token& peek(std::size_t ahead = 0) const {
        std::size_t at = pos + ahead;
        return at < tokens.size() ? tokens[at] : tokens.back();
    }
    const jet_sql_token& take() {
        const jet_sql_token& token = peek();
        if (pos < tokens.size() - 1) ++pos;
        return token;
    }
    bool accept_keyword(std::u16string_view keyword) {
        if (!peek().is_keyword(keyword)) return false;
        ++pos;
        return true;
    }
    bool accept_symbol(std::u16string_view symbol) {
        if (!peek().is_symbol(symbol)) return false;
        ++pos;
        return true;
    }

    [[noreturn]] void fail() {
        if (current_clause == clause::from) throw jet_sql_from_error();
        if (in_expression) {
            std::size_t end = peek().kind == jet_sql_token_kind::end ? text.size() : peek().end;
            throw jet_sql_expression_error(text.substr(expression_start, end - expression_start));
        }
        throw jet_sql_select_error();
    }

    // A wrapped statement may keep its own ';' (DAO's row count wraps the user's text).
    void close_subquery() {
        accept_symbol(u";");
        if (!accept_symbol(u")")) fail();
    }

    static bool is_reserved(const jet_sql_token& token) {
        for (std::u16string_view word : RESERVED)
            if (token.is_keyword(word)) return true;
        return false;
    }

    bool is_name_token(const jet_sql_token& token) const {
        if (token.kind == jet_sql_token_kind::name) return !token.text.empty();
        return token.kind == jet_sql_token_kind::word && !is_reserved(token);
    }

    std::u16string name() {
        if (!is_name_token(peek())) fail();
        return take().text;
    }

    struct depth_guard {
        explicit depth_guard(int& depth_ref) : depth(depth_ref) {
            if (++depth > MAX_NESTING) throw jet_sql_too_complex();
        }
        ~depth_guard() { --depth; }
        int& depth;
    };

    // ---- statement ----

    // PARAMETERS [name] type[(size)], ...; the types matter only to a caller giving values.
    std::vector<std::u16string> parameters() {
        std::vector<std::u16string> names;
        do {
            names.push_back(name());
            if (!is_name_token(peek())) fail();
            take();
            if (accept_symbol(u"(")) {
                if (peek().kind != jet_sql_token_kind::number) fail();
                take();
                if (!accept_symbol(u")")) fail();
            }
        } while (accept_symbol(u","));
        if (!accept_symbol(u";")) fail();
        return names;
    }

    // The ORDER BY after the last SELECT of a union orders the whole result, so it moves to
    // the first; one inside an earlier SELECT is Access's syntax error.
    std::unique_ptr<jet_sql_select> union_statement() {
        std::unique_ptr<jet_sql_select> first = select_statement();
        if (!peek().is_keyword(u"UNION")) return first;
        if (!first->order_by.empty()) fail();
        while (accept_keyword(u"UNION")) {
            jet_sql_union_part part;
            part.all = accept_keyword(u"ALL");
            bool is_wrapped = accept_symbol(u"(");
            if (!peek().is_keyword(u"SELECT")) fail();
            part.select = select_statement();
            if (is_wrapped) close_subquery();
            first->unions.push_back(std::move(part));
            jet_sql_select& last = *first->unions.back().select;
            if (!last.order_by.empty() && peek().is_keyword(u"UNION")) fail();
            first->order_by = std::move(last.order_by);
            last.order_by.clear();
        }
        if (first->order_by.empty() && accept_keyword(u"ORDER")) order_by(*first);
        return first;
    }

    std::unique_ptr<jet_sql_select> select_statement() {
        depth_guard guard(depth);
        auto select = std::make_unique<jet_sql_select>();
        clause outer_clause = current_clause;
        current_clause = clause::other;
        take();   // SELECT
        if (accept_keyword(u"DISTINCT")) select->distinct = true;
        else if (accept_keyword(u"DISTINCTROW")) select->distinct_row = true;
        else accept_keyword(u"ALL");
        if (accept_keyword(u"TOP")) top(*select);
        select_list(*select);
        if (!accept_keyword(u"FROM")) fail();
        current_clause = clause::from;
        do select->from.push_back(join_chain());
        while (accept_symbol(u","));
        current_clause = clause::other;
        if (accept_keyword(u"WHERE")) select->where = top_expression();
        if (accept_keyword(u"GROUP")) {
            if (!accept_keyword(u"BY")) fail();
            do select->group_by.push_back(top_expression());
            while (accept_symbol(u","));
        }
        if (accept_keyword(u"HAVING")) select->having = top_expression();
        if (accept_keyword(u"ORDER")) order_by(*select);
        current_clause = outer_clause;
        return select;
    }

    void top(jet_sql_select& select) {
        if (peek().kind != jet_sql_token_kind::number) fail();
        std::string digits = win_utf16_to_utf8(take().text);
        if (digits.find_first_not_of("0123456789") != std::string::npos) fail();
        errno = 0;
        long long count = std::strtoll(digits.c_str(), nullptr, 10);
        if (errno == ERANGE || count <= 0) fail();
        select.has_top = true;
        select.top = count;
        select.top_percent = accept_keyword(u"PERCENT");
        if (select.top_percent && count > 100) fail();
    }

    void select_list(jet_sql_select& select) {
        current_clause = clause::select_list;
        do select.items.push_back(select_item());
        while (accept_symbol(u","));
        current_clause = clause::other;
    }

    jet_sql_select_item select_item() {
        jet_sql_select_item item;
        if (accept_symbol(u"*")) {
            item.is_star = true;
            return item;
        }
        if (is_name_token(peek()) && (peek(1).is_symbol(u".") || peek(1).is_symbol(u"!"))
            && peek(2).is_symbol(u"*")) {
            item.is_star = true;
            item.star_qualifier = take().text;
            pos += 2;
            return item;
        }
        item.expr = top_expression();
        if (accept_keyword(u"AS")) item.alias = name();
        return item;
    }

    void order_by(jet_sql_select& select) {
        if (!accept_keyword(u"BY")) fail();
        do {
            jet_sql_order_item item;
            item.expr = top_expression();
            if (accept_keyword(u"DESC")) item.descending = true;
            else accept_keyword(u"ASC");
            select.order_by.push_back(std::move(item));
        } while (accept_symbol(u","));
    }

    // ---- FROM ----

    jet_sql_source_ptr join_chain() {
        depth_guard guard(depth);
        jet_sql_source_ptr left = join_operand();
        for (;;) {
            jet_sql_join_kind kind;
            if (accept_keyword(u"INNER")) kind = jet_sql_join_kind::inner;
            else if (accept_keyword(u"LEFT")) kind = jet_sql_join_kind::left;
            else if (accept_keyword(u"RIGHT")) kind = jet_sql_join_kind::right;
            else break;
            if (kind != jet_sql_join_kind::inner) accept_keyword(u"OUTER");
            if (!accept_keyword(u"JOIN")) fail();
            auto join = std::make_unique<jet_sql_source>();
            join->kind = jet_sql_source::kind_t::join;
            join->join = kind;
            join->left = std::move(left);
            join->right = join_operand();
            if (!accept_keyword(u"ON")) fail();
            join->on = top_expression();
            current_clause = clause::from;
            left = std::move(join);
        }
        return left;
    }

    jet_sql_source_ptr join_operand() {
        auto source = std::make_unique<jet_sql_source>();
        if (accept_symbol(u"(")) {
            if (peek().is_keyword(u"SELECT")) {
                source->kind = jet_sql_source::kind_t::query;
                source->query = union_statement();
                current_clause = clause::from;
                close_subquery();
                source_alias(*source);
                return source;
            }
            source = join_chain();
            if (!accept_symbol(u")")) fail();
            return source;
        }
        source->kind = jet_sql_source::kind_t::table;
        source->table_name = name();
        source_alias(*source);
        return source;
    }

    void source_alias(jet_sql_source& source) {
        if (accept_keyword(u"AS")) {
            source.alias = name();
        } else if (is_name_token(peek())) {
            source.alias = take().text;
        }
    }

    // ---- expressions ----

    jet_sql_expr_ptr top_expression() {
        bool outer_in_expression = in_expression;
        std::size_t outer_start = expression_start;
        clause outer_clause = current_clause;
        if (!in_expression) expression_start = peek().offset;
        in_expression = true;
        if (current_clause == clause::from) current_clause = clause::other;
        jet_sql_expr_ptr expr = or_expression();
        if (!outer_in_expression) {
            last_expression_start = expression_start;
            last_expression_end = pos;
        }
        in_expression = outer_in_expression;
        expression_start = outer_start;
        current_clause = outer_clause;
        return expr;
    }

    jet_sql_expr_ptr node(jet_sql_expr_kind kind, std::size_t start) {
        auto expr = std::make_unique<jet_sql_expr>();
        expr->kind = kind;
        std::size_t end = pos > 0 ? tokens[pos - 1].end : start;
        expr->source = std::u16string(text.substr(start, end > start ? end - start : 0));
        return expr;
    }

    jet_sql_expr_ptr binary(std::u16string op, jet_sql_expr_ptr left, jet_sql_expr_ptr right,
                            std::size_t start) {
        jet_sql_expr_ptr expr = node(jet_sql_expr_kind::binary, start);
        expr->op = std::move(op);
        expr->args.push_back(std::move(left));
        expr->args.push_back(std::move(right));
        return expr;
    }

    jet_sql_expr_ptr or_expression() {
        depth_guard guard(depth);
        std::size_t start = peek().offset;
        jet_sql_expr_ptr left = and_expression();
        for (;;) {
            std::u16string op;
            if (accept_keyword(u"OR")) op = u"OR";
            else if (accept_keyword(u"XOR")) op = u"XOR";
            else return left;
            left = binary(op, std::move(left), and_expression(), start);
        }
    }

    jet_sql_expr_ptr and_expression() {
        std::size_t start = peek().offset;
        jet_sql_expr_ptr left = not_expression();
        while (accept_keyword(u"AND"))
            left = binary(u"AND", std::move(left), not_expression(), start);
        return left;
    }

    jet_sql_expr_ptr not_expression() {
        depth_guard guard(depth);
        std::size_t start = peek().offset;
        if (!accept_keyword(u"NOT")) return comparison();
        jet_sql_expr_ptr operand = not_expression();
        jet_sql_expr_ptr expr = node(jet_sql_expr_kind::logical_not, start);
        expr->args.push_back(std::move(operand));
        return expr;
    }

    jet_sql_expr_ptr comparison() {
        std::size_t start = peek().offset;
        jet_sql_expr_ptr left = concatenation();
        for (std::u16string_view op : {u"=", u"<>", u"<=", u">=", u"<", u">"}) {
            if (accept_symbol(op))
                return binary(std::u16string(op), std::move(left), concatenation(), start);
        }
        if (accept_keyword(u"IS")) {
            bool negated = accept_keyword(u"NOT");
            if (!accept_keyword(u"NULL")) fail();
            jet_sql_expr_ptr expr = node(jet_sql_expr_kind::is_null, start);
            expr->negated = negated;
            expr->args.push_back(std::move(left));
            return expr;
        }
        bool negated = accept_keyword(u"NOT");
        if (accept_keyword(u"LIKE"))
            return with_operands(jet_sql_expr_kind::like, negated, std::move(left), start);
        if (accept_keyword(u"BETWEEN")) return between(negated, std::move(left), start);
        if (accept_keyword(u"IN")) return in(negated, std::move(left), start);
        if (negated) fail();
        return left;
    }

    jet_sql_expr_ptr with_operands(jet_sql_expr_kind kind, bool negated, jet_sql_expr_ptr left,
                                   std::size_t start) {
        jet_sql_expr_ptr right = concatenation();
        jet_sql_expr_ptr expr = node(kind, start);
        expr->negated = negated;
        expr->args.push_back(std::move(left));
        expr->args.push_back(std::move(right));
        return expr;
    }

    jet_sql_expr_ptr between(bool negated, jet_sql_expr_ptr left, std::size_t start) {
        jet_sql_expr_ptr low = concatenation();
        if (!accept_keyword(u"AND")) fail();
        jet_sql_expr_ptr high = concatenation();
        jet_sql_expr_ptr expr = node(jet_sql_expr_kind::between, start);
        expr->negated = negated;
        expr->args.push_back(std::move(left));
        expr->args.push_back(std::move(low));
        expr->args.push_back(std::move(high));
        return expr;
    }

    jet_sql_expr_ptr in(bool negated, jet_sql_expr_ptr left, std::size_t start) {
        if (!accept_symbol(u"(")) fail();
        if (peek().is_keyword(u"SELECT")) {
            std::unique_ptr<jet_sql_select> query = select_statement();
            close_subquery();
            jet_sql_expr_ptr expr = node(jet_sql_expr_kind::in_query, start);
            expr->negated = negated;
            expr->args.push_back(std::move(left));
            expr->query = std::move(query);
            return expr;
        }
        std::vector<jet_sql_expr_ptr> values;
        do values.push_back(or_expression());
        while (accept_symbol(u","));
        if (!accept_symbol(u")")) fail();
        jet_sql_expr_ptr expr = node(jet_sql_expr_kind::in_list, start);
        expr->negated = negated;
        expr->args.push_back(std::move(left));
        for (jet_sql_expr_ptr& value : values) expr->args.push_back(std::move(value));
        return expr;
    }

    // & binds loosest, then + -, Mod, \, and * / tightest, as in VBA.
    struct operator_level {
        std::u16string_view ops[2];
        bool is_keyword;
    };
    static constexpr operator_level OPERATOR_LEVELS[] = {{{u"&", {}}, false},
                                                         {{u"+", u"-"}, false},
                                                         {{u"MOD", {}}, true},
                                                         {{u"\\", {}}, false},
                                                         {{u"*", u"/"}, false}};

    std::u16string accept_operator(const operator_level& level) {
        for (std::u16string_view op : level.ops) {
            if (op.empty()) continue;
            if (level.is_keyword ? accept_keyword(op) : accept_symbol(op))
                return std::u16string(op);
        }
        return {};
    }

    jet_sql_expr_ptr concatenation() { return operator_chain(0); }

    jet_sql_expr_ptr operator_chain(std::size_t level) {
        if (level == std::size(OPERATOR_LEVELS)) return unary();
        std::size_t start = peek().offset;
        jet_sql_expr_ptr left = operator_chain(level + 1);
        for (;;) {
            std::u16string op = accept_operator(OPERATOR_LEVELS[level]);
            if (op.empty()) return left;
            left = binary(std::move(op), std::move(left), operator_chain(level + 1), start);
        }
    }

    jet_sql_expr_ptr unary() {
        depth_guard guard(depth);
        std::size_t start = peek().offset;
        if (accept_symbol(u"-")) {
            jet_sql_expr_ptr operand = unary();
            jet_sql_expr_ptr expr = node(jet_sql_expr_kind::negate, start);
            expr->args.push_back(std::move(operand));
            return expr;
        }
        if (accept_symbol(u"+")) return unary();
        return power();
    }

    jet_sql_expr_ptr power() {
        std::size_t start = peek().offset;
        jet_sql_expr_ptr left = primary();
        while (accept_symbol(u"^")) left = binary(u"^", std::move(left), primary(), start);
        return left;
    }

    jet_sql_expr_ptr primary() {
        depth_guard guard(depth);
        std::size_t start = peek().offset;
        const jet_sql_token& token = peek();
        switch (token.kind) {
        case jet_sql_token_kind::number: return number(start);
        case jet_sql_token_kind::text: {
            take();
            jet_sql_expr_ptr expr = node(jet_sql_expr_kind::text_literal, start);
            expr->text = token.text;
            return expr;
        }
        case jet_sql_token_kind::date: return date(start);
        case jet_sql_token_kind::symbol:
            if (accept_symbol(u"(")) return parenthesised(start);
            fail();
        case jet_sql_token_kind::word:
        case jet_sql_token_kind::name: return word(start);
        default: fail();
        }
    }

    jet_sql_expr_ptr number(std::size_t start) {
        std::string digits = win_utf16_to_utf8(take().text);
        bool is_integer = digits.find_first_not_of("0123456789") == std::string::npos;
        errno = 0;
        long long integer = is_integer ? std::strtoll(digits.c_str(), nullptr, 10) : 0;
        if (is_integer && errno != ERANGE) {
            jet_sql_expr_ptr expr = node(jet_sql_expr_kind::integer_literal, start);
            expr->integer_value = integer;
            return expr;
        }
        jet_sql_expr_ptr expr = node(jet_sql_expr_kind::real_literal, start);
        expr->real_value = std::strtod(digits.c_str(), nullptr);
        return expr;
    }

    jet_sql_expr_ptr date(std::size_t start) {
        std::optional<double> serial = jet_sql_parse_date(peek().text);
        if (!serial) fail();
        take();
        jet_sql_expr_ptr expr = node(jet_sql_expr_kind::date_literal, start);
        expr->real_value = *serial;
        return expr;
    }

    jet_sql_expr_ptr parenthesised(std::size_t start) {
        if (peek().is_keyword(u"SELECT")) {
            std::unique_ptr<jet_sql_select> query = select_statement();
            close_subquery();
            jet_sql_expr_ptr expr = node(jet_sql_expr_kind::scalar_query, start);
            expr->query = std::move(query);
            return expr;
        }
        jet_sql_expr_ptr inner = or_expression();
        if (!accept_symbol(u")")) fail();
        return inner;
    }

    jet_sql_expr_ptr word(std::size_t start) {
        if (peek().kind == jet_sql_token_kind::word) {
            if (accept_keyword(u"NULL")) return node(jet_sql_expr_kind::null_literal, start);
            // Access's designer writes Yes/No (and On/Off) for True/False: "=No".
            bool is_true = peek().is_keyword(u"TRUE") || peek().is_keyword(u"YES")
                           || peek().is_keyword(u"ON");
            bool is_false = peek().is_keyword(u"FALSE") || peek().is_keyword(u"NO")
                            || peek().is_keyword(u"OFF");
            if ((is_true || is_false) && !peek(1).is_symbol(u"(") && !peek(1).is_symbol(u".")
                && !peek(1).is_symbol(u"!")) {
                take();
                jet_sql_expr_ptr expr = node(jet_sql_expr_kind::bool_literal, start);
                expr->integer_value = is_true ? -1 : 0;
                return expr;
            }
            if (accept_keyword(u"EXISTS")) return exists(start);
        }
        if (peek().kind == jet_sql_token_kind::word && peek(1).is_symbol(u"(")) return call(start);
        std::u16string first = name();
        jet_sql_expr_ptr expr;
        if (peek().is_symbol(u".") || peek().is_symbol(u"!")) {
            // [Forms]![Orders]![OrderID] names a form control, a parameter here: the qualifier
            // keeps every part before the last, op the last separator, so the parameter reads
            // as Access declares it ("Forms!Orders!OrderID").
            std::u16string separator = take().text;
            std::u16string second = name();
            while (peek().is_symbol(u".") || peek().is_symbol(u"!")) {
                first += separator + second;
                separator = take().text;
                second = name();
            }
            expr = node(jet_sql_expr_kind::column, start);
            expr->qualifier = std::move(first);
            expr->name = std::move(second);
            expr->op = std::move(separator);
        } else {
            expr = node(jet_sql_expr_kind::column, start);
            expr->name = std::move(first);
        }
        return expr;
    }

    jet_sql_expr_ptr exists(std::size_t start) {
        if (!accept_symbol(u"(") || !peek().is_keyword(u"SELECT")) fail();
        std::unique_ptr<jet_sql_select> query = select_statement();
        close_subquery();
        jet_sql_expr_ptr expr = node(jet_sql_expr_kind::exists, start);
        expr->query = std::move(query);
        return expr;
    }

    jet_sql_expr_ptr call(std::size_t start) {
        std::u16string function = take().text;
        take();   // (
        std::vector<jet_sql_expr_ptr> args;
        if (accept_symbol(u"*")) {
            args.push_back(node(jet_sql_expr_kind::star, start));
        } else if (!peek().is_symbol(u")")) {
            if (peek().is_keyword(u"DISTINCT")) fail();   // Jet has no Count(DISTINCT x)
            do args.push_back(or_expression());
            while (accept_symbol(u","));
        }
        if (!accept_symbol(u")")) fail();
        jet_sql_expr_ptr expr = node(jet_sql_expr_kind::call, start);
        expr->name = std::move(function);
        expr->args = std::move(args);
        return expr;
    }

    std::u16string_view text;
    std::vector<jet_sql_token> tokens;
    std::size_t pos = 0;
    int depth = 0;
    clause current_clause = clause::other;
    bool in_expression = false;
    std::size_t expression_start = 0;
    std::size_t last_expression_start = 0;   // of the last whole expression parsed
    std::size_t last_expression_end = 0;     // token index just after it
};

}   // namespace

std::unique_ptr<jet_sql_select> jet_sql_parse(std::u16string_view statement) {
    return parser(statement).statement();
}
