// dbl_parse_expr.cpp - names, SELECT and expressions, and literal typing: an integer that
// fits is int, a longer one numeric(p,0); 1.50 is numeric(3,2); 1.5E+300 is float;
// 'x' is varchar, N'x' nvarchar, 0x.. varbinary, NULL an untyped (int) null.
#include "dbl_parse_state.hpp"

#include "dbl_error.hpp"
#include "dbl_number.hpp"
#include "dbl_parser.hpp"
#include "dbl_text.hpp"

#include <cfloat>
#include <cmath>
#include <cstdlib>

namespace {

const char* const RESERVED[] = {"ADD",          "ALL",
                                "ALTER",        "AND",
                                "ANY",          "AS",
                                "ASC",          "BEGIN",
                                "BETWEEN",      "BULK",
                                "BY",           "CASCADE",
                                "CASE",         "CHECK",
                                "CLUSTERED",    "COLLATE",
                                "COLUMN",       "COMMIT",
                                "CONSTRAINT",   "CREATE",
                                "CROSS",        "CURRENT_TIMESTAMP",
                                "DATABASE",     "DEFAULT",
                                "DELETE",       "DESC",
                                "DISTINCT",     "DROP",
                                "ELSE",         "END",
                                "EXEC",         "EXECUTE",
                                "EXISTS",       "FOREIGN",
                                "FROM",         "FULL",
                                "GROUP",        "HAVING",
                                "IDENTITY",     "IDENTITY_INSERT",
                                "IF",           "IN",
                                "INDEX",        "INNER",
                                "INSERT",       "INTO",
                                "IS",           "JOIN",
                                "KEY",          "LEFT",
                                "LIKE",         "NOCHECK",
                                "NONCLUSTERED", "NOT",
                                "NULL",         "OF",
                                "OFF",          "ON",
                                "OR",           "ORDER",
                                "OUTER",        "PRIMARY",
                                "PROCEDURE",    "REFERENCES",
                                "RIGHT",        "ROWGUIDCOL",
                                "SELECT",       "SET",
                                "TABLE",        "TOP",
                                "TRANSACTION",  "UNION",
                                "UNIQUE",       "UPDATE",
                                "USE",          "VALUES",
                                "WHERE",        "WITH"};

const char* const STATEMENT_STARTS[] = {"SELECT", "INSERT", "CREATE", "DROP",   "USE",
                                        "ALTER",  "SET",    "EXEC",   "EXECUTE"};
const char* const AGGREGATES[] = {"COUNT", "MIN", "MAX", "SUM", "AVG"};

dbl_expr_ptr make_expr(dbl_expr_kind kind) {
    auto e = std::make_unique<dbl_expr>();
    e->kind = kind;
    return e;
}

dbl_expr_ptr binary(dbl_expr_kind kind, std::string op, dbl_expr_ptr left, dbl_expr_ptr right) {
    auto e = make_expr(kind);
    e->name = std::move(op);
    e->written = left->written + " " + e->name + " " + right->written;
    e->args.push_back(std::move(left));
    e->args.push_back(std::move(right));
    return e;
}

std::string lowered(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return out;
}

}   // namespace

std::string dbl_name::written() const {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? "." : "") + parts[i];
    return text;
}

bool dbl_parse_state::is_statement_start() const {
    for (const char* word : STATEMENT_STARTS)
        if (peek().is(word)) return true;
    return false;
}

bool dbl_parse_state::is_reserved(const dbl_token& token) const {
    if (token.kind != dbl_token_kind::WORD) return false;
    for (const char* word : RESERVED)
        if (token.is(word)) return true;
    return false;
}

void dbl_parse_state::fail() const {
    const dbl_token& token = peek().kind == dbl_token_kind::END && at > 0 ? tokens[at - 1] : peek();
    if (is_reserved(token)) throw dbl_err::syntax_keyword(dbl_utf8(token.raw));
    bool quoted = token.kind == dbl_token_kind::STRING || token.kind == dbl_token_kind::NSTRING
                  || token.kind == dbl_token_kind::QUOTED_NAME;
    throw dbl_err::syntax(quoted ? token.utf8 : dbl_utf8(token.raw));
}

namespace {

dbl_sql_error nested_too_deeply() {
    return dbl_sql_error(191, 1, 15,
                         "Some part of your SQL statement is nested too deeply. "
                         "Rewrite the query or break it up into smaller queries.",
                         dbl_scope::BATCH);
}

}   // namespace

dbl_parse_state::nesting_guard::nesting_guard(dbl_parse_state& new_state) : state(new_state) {
    if (++state.depth <= MAX_NESTING) return;
    --state.depth;
    throw nested_too_deeply();
}

void dbl_parse_state::nesting_chain::add() {
    if (state.depth + 1 > MAX_NESTING) throw nested_too_deeply();
    ++state.depth;
    ++links;
}

std::int64_t dbl_parse_state::whole_number() {
    const dbl_token& token = peek();
    bool digits_only = token.kind == dbl_token_kind::NUMBER && !token.utf8.empty()
                       && token.utf8.size() <= 18
                       && token.utf8.find_first_not_of("0123456789") == std::string::npos;
    if (!digits_only) fail();
    next();
    return std::stoll(token.utf8);
}

std::string dbl_parse_state::name_part() {
    const dbl_token& token = peek();
    bool ok = token.kind == dbl_token_kind::QUOTED_NAME
              || (token.kind == dbl_token_kind::WORD && !is_reserved(token));
    if (!ok || token.text.empty()) fail();
    next();
    return token.utf8;
}

dbl_name dbl_parse_state::name() {
    dbl_name result;
    result.parts.push_back(name_part());
    while (accept(".")) {
        if (result.parts.size() >= 4) fail();
        if (peek().is(".")) {
            result.parts.emplace_back();
            continue;
        }
        result.parts.push_back(name_part());
    }
    return result;
}

std::unique_ptr<dbl_select> dbl_parse_state::select_body() {
    nesting_guard guard(*this);
    auto select = std::make_unique<dbl_select>();
    if (accept("TOP")) {
        bool parens = accept("(");
        select->top = whole_number();
        if (parens) expect(")");
    }
    select_items(*select);
    if (accept("FROM")) select->from = source();
    if (accept("WHERE")) select->where = expression();
    if (accept("ORDER")) {
        expect("BY");
        do {
            dbl_order_item item;
            item.expr = expression();
            item.b_descending = accept("DESC");
            if (!item.b_descending) accept("ASC");
            select->order.push_back(std::move(item));
        } while (accept(","));
    }
    return select;
}

void dbl_parse_state::select_items(dbl_select& select) {
    do {
        dbl_select_item item;
        if (accept("*")) {
            select.items.push_back(std::move(item));
            continue;
        }
        bool named_alias = (peek().kind == dbl_token_kind::WORD
                            || peek().kind == dbl_token_kind::QUOTED_NAME)
                           && !is_reserved(peek()) && peek_at(1).is("=");
        if (named_alias) {
            item.alias = name_part();
            item.b_has_alias = true;
            next();
            item.expr = expression();
        } else {
            item.expr = expression();
            if (accept("AS")) {
                item.alias = peek().kind == dbl_token_kind::STRING ? peek().utf8 : name_part();
                if (peek().kind == dbl_token_kind::STRING) next();
                item.b_has_alias = true;
            } else if ((peek().kind == dbl_token_kind::WORD && !is_reserved(peek()))
                       || peek().kind == dbl_token_kind::QUOTED_NAME) {
                item.alias = name_part();
                item.b_has_alias = true;
            }
        }
        select.items.push_back(std::move(item));
    } while (accept(","));
}

dbl_source dbl_parse_state::source() {
    dbl_source from;
    if (accept("(")) {
        expect("SELECT");
        from.subquery = select_body();
        expect(")");
        accept("AS");
        from.alias = name_part();
        return from;
    }
    from.table = name();
    // "AS alias", or the alias alone: a word that is not reserved, or a quoted name.
    if (accept("AS") || (peek().kind == dbl_token_kind::WORD && !is_reserved(peek()))
        || peek().kind == dbl_token_kind::QUOTED_NAME)
        from.alias = name_part();
    if (accept("WITH")) {   // table hints such as (NOLOCK) change nothing here
        expect("(");
        while (!accept(")")) {
            if (at_end()) fail();
            next();
        }
    }
    return from;
}

dbl_expr_ptr dbl_parse_state::expression() {
    nesting_guard guard(*this);
    return or_expr();
}

dbl_expr_ptr dbl_parse_state::or_expr() {
    auto left = and_expr();
    nesting_chain chain(*this);
    while (accept("OR")) {
        chain.add();
        left = binary(dbl_expr_kind::OR, "OR", std::move(left), and_expr());
    }
    return left;
}

dbl_expr_ptr dbl_parse_state::and_expr() {
    auto left = not_expr();
    nesting_chain chain(*this);
    while (accept("AND")) {
        chain.add();
        left = binary(dbl_expr_kind::AND, "AND", std::move(left), not_expr());
    }
    return left;
}

dbl_expr_ptr dbl_parse_state::not_expr() {
    if (!accept("NOT")) return predicate();
    nesting_guard guard(*this);
    auto e = make_expr(dbl_expr_kind::NOT);
    e->args.push_back(not_expr());
    e->written = "NOT " + e->args[0]->written;
    return e;
}

dbl_expr_ptr dbl_parse_state::predicate() {
    auto left = additive();
    static const char* const comparisons[] = {"=", "<>", "!=", "<", ">", "<=", ">="};
    for (const char* op : comparisons) {
        if (accept(op))
            return binary(dbl_expr_kind::COMPARE, op[0] == '!' ? "<>" : op, std::move(left),
                          additive());
    }
    if (accept("IS")) {
        auto e = make_expr(dbl_expr_kind::IS_NULL);
        e->b_negated = accept("NOT");
        expect("NULL");
        e->args.push_back(std::move(left));
        return e;
    }
    bool negated = accept("NOT");
    if (accept("IN")) {
        auto e = make_expr(dbl_expr_kind::IN_LIST);
        e->b_negated = negated;
        e->args.push_back(std::move(left));
        expect("(");
        do e->args.push_back(expression());
        while (accept(","));
        expect(")");
        return e;
    }
    if (accept("LIKE")) {
        auto e = binary(dbl_expr_kind::LIKE, "LIKE", std::move(left), additive());
        e->b_negated = negated;
        return e;
    }
    if (negated) fail();
    return left;
}

dbl_expr_ptr dbl_parse_state::additive() {
    auto left = multiplicative();
    nesting_chain chain(*this);
    while (peek().is("+") || peek().is("-")) {
        chain.add();
        std::string op = peek().utf8;
        next();
        left = binary(dbl_expr_kind::ARITHMETIC, op, std::move(left), multiplicative());
    }
    return left;
}

dbl_expr_ptr dbl_parse_state::multiplicative() {
    auto left = unary();
    nesting_chain chain(*this);
    while (peek().is("*") || peek().is("/") || peek().is("%")) {
        chain.add();
        std::string op = peek().utf8;
        next();
        left = binary(dbl_expr_kind::ARITHMETIC, op, std::move(left), unary());
    }
    return left;
}

dbl_expr_ptr dbl_parse_state::unary() {
    nesting_guard guard(*this);
    if (accept("+")) return unary();
    if (!accept("-")) return primary();
    if (peek().kind == dbl_token_kind::NUMBER) return literal(true);
    auto e = make_expr(dbl_expr_kind::NEGATE);
    e->args.push_back(unary());
    e->written = "-" + e->args[0]->written;
    return e;
}

dbl_expr_ptr dbl_parse_state::primary() {
    const dbl_token& token = peek();
    switch (token.kind) {
    case dbl_token_kind::NUMBER:
    case dbl_token_kind::STRING:
    case dbl_token_kind::NSTRING:
    case dbl_token_kind::BINARY: return literal(false);
    case dbl_token_kind::VARIABLE: {
        auto e = make_expr(dbl_expr_kind::VARIABLE);
        e->name = dbl_fold_name(token.utf8);
        e->written = token.utf8;
        next();
        return e;
    }
    default: break;
    }
    if (token.is("NULL")) return literal(false);
    if (accept("(")) {
        auto inner = expression();
        expect(")");
        inner->written = "(" + inner->written + ")";
        return inner;
    }
    if (token.is("CURRENT_TIMESTAMP")) {
        next();
        auto e = make_expr(dbl_expr_kind::FUNCTION);
        e->name = "getdate";
        e->written = "getdate()";
        return e;
    }
    dbl_name n = name();
    if (peek().is("(")) return call(n);
    auto e = make_expr(dbl_expr_kind::COLUMN);
    e->written = n.written();
    e->column = std::move(n);
    return e;
}

// CONVERT(type, expression [, style]); the style is read and has no effect here. A type
// name SQL Server does not know is 243; the pairs it refuses are checked when evaluated.
dbl_expr_ptr dbl_parse_state::convert_call() {
    auto e = make_expr(dbl_expr_kind::FUNCTION);
    e->name = "convert";
    const std::string type_name = name_part();
    std::vector<int> sizes;
    bool b_max = false;
    std::string sizes_written;
    if (accept("(")) {
        if (accept("MAX")) {
            b_max = true;
            sizes_written = "max";
        } else {
            do {
                sizes.push_back(int(whole_number()));
                sizes_written += (sizes_written.empty() ? "" : ",") + std::to_string(sizes.back());
            } while (accept(","));
        }
        expect(")");
    }
    const std::string lowered_type = lowered(type_name);
    if ((lowered_type == "date" || lowered_type == "time") && sizes.empty() && !b_max) {
        e->date_part = lowered_type;
    } else if (!dbl_type_from_name(type_name, sizes, b_max, e->literal.type)) {
        throw dbl_sql_error(243, 1, 16, "Type " + type_name + " is not a defined system type.",
                            dbl_scope::BATCH);
    }
    expect(",");
    e->args.push_back(expression());
    std::string style;
    if (accept(",")) style = "," + std::to_string(whole_number());
    expect(")");
    // As SQL Server shows it in a default: CONVERT([date],getdate())
    e->written = "CONVERT([" + lowered_type + "]"
                 + (sizes_written.empty() ? "" : "(" + sizes_written + ")") + ","
                 + e->args.back()->written + style + ")";
    return e;
}

dbl_expr_ptr dbl_parse_state::call(const dbl_name& function) {
    expect("(");
    if (function.parts.size() == 1 && lowered(function.last()) == "convert") return convert_call();
    std::string fname = lowered(function.last());
    bool aggregate = false;
    for (const char* candidate : AGGREGATES) aggregate = aggregate || fname == lowered(candidate);
    auto e = make_expr(aggregate ? dbl_expr_kind::AGGREGATE : dbl_expr_kind::FUNCTION);
    e->name = fname;
    std::string args_written;
    if (aggregate && accept("*")) {
        e->b_star = true;
        args_written = "*";
    } else if (!peek().is(")")) {
        do {
            e->args.push_back(expression());
            args_written += (args_written.empty() ? "" : ",") + e->args.back()->written;
        } while (accept(","));
    }
    expect(")");
    e->written = fname + "(" + args_written + ")";
    return e;
}

dbl_expr_ptr dbl_parse_state::literal(bool negative) {
    const dbl_token& token = peek();
    auto e = make_expr(dbl_expr_kind::LITERAL);
    e->written = (negative ? "-" : "") + dbl_utf8(token.raw);
    dbl_typed& lit = e->literal;
    lit.value.b_null = false;
    int text_length = std::max<int>(1, int(token.text.size()));
    if (token.is("NULL")) {
        lit.type = dbl_make_type(dbl_kind::INT);
        lit.value.b_null = true;
    } else if (token.kind == dbl_token_kind::STRING) {
        lit.value.bytes = dbl_to_cp1252(token.text);
        lit.type = dbl_make_type(dbl_kind::VARCHAR, text_length);
    } else if (token.kind == dbl_token_kind::NSTRING) {
        lit.value.wide = token.text;
        lit.type = dbl_make_type(dbl_kind::NVARCHAR, text_length);
    } else if (token.kind == dbl_token_kind::BINARY) {
        std::string hex = token.utf8.substr(2);
        if (hex.size() % 2) hex.insert(hex.begin(), '0');
        for (std::size_t i = 0; i < hex.size(); i += 2)
            lit.value.bytes.push_back(char(std::stoi(hex.substr(i, 2), nullptr, 16)));
        lit.type = dbl_make_type(dbl_kind::VARBINARY,
                                 std::max<int>(1, int(lit.value.bytes.size())));
    } else {
        std::string text = (negative ? "-" : "") + token.utf8;
        if (text.find_first_of("eE") != std::string::npos) {
            lit.type = dbl_make_type(dbl_kind::FLOAT);
            lit.value.floating = std::strtod(text.c_str(), nullptr);
            if (std::isinf(lit.value.floating))
                throw dbl_sql_error(168, 1, 15,
                                    "The floating point value '" + token.utf8
                                        + "' is out of the range of computer representation "
                                          "(8 bytes).",
                                    dbl_scope::BATCH);
            // float has no subnormals: 2.23E-308 is the smallest value after 0 ("float and
            // real"), and SQL Server reads a smaller literal as 0 with warning 337.
            if (lit.value.floating != 0 && std::fabs(lit.value.floating) < DBL_MIN) {
                lit.value.floating = 0;
                warnings.emplace_back(337, 1, 10,
                                      "Warning: the floating point value '" + token.utf8
                                          + "' is too small. It will be interpreted as 0.");
            }
        } else {
            auto parsed = dbl_parse_decimal(text);
            if (!parsed)
                throw dbl_sql_error(1007, 1, 15,
                                    "The number '" + token.utf8
                                        + "' is out of "
                                          "the range for numeric representation (maximum precision "
                                          "38).",
                                    dbl_scope::BATCH);
            bool whole = text.find('.') == std::string::npos;
            if (whole && parsed->unscaled >= INT32_MIN && parsed->unscaled <= INT32_MAX) {
                lit.type = dbl_make_type(dbl_kind::INT);
                lit.value.integer = std::int64_t(parsed->unscaled);
            } else {
                lit.type = dbl_make_type(dbl_kind::NUMERIC, 0, parsed->precision, parsed->scale);
                lit.value.decimal = parsed->unscaled;
            }
        }
    }
    next();
    return e;
}
