// jet_sql_bind_expr.cpp - literals, operators and predicates as SQLite SQL. Jet's truth values
// are -1 and 0, so every comparison and logical operator is negated into that form; currency
// stays a scaled integer while it meets only currency and whole numbers.

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "platform/jetsql/jet_sql_binder_impl.hpp"
#include "platform/jetsql/jet_sql_date.hpp"
#include "platform/jetsql/jet_sql_errors.hpp"
#include "platform/winbase/win_compare.hpp"

namespace {

void absorb(jet_sql_emitted& into, const jet_sql_emitted& part) {
    into.has_aggregate = into.has_aggregate || part.has_aggregate;
    if (into.ungrouped.empty()) into.ungrouped = part.ungrouped;
}

jet_sql_emitted truth(const std::string& sql) {
    jet_sql_emitted result;
    result.sql = "(-(" + sql + "))";
    result.type = jet_sql_type::of(JET_TYPE_BOOLEAN);
    return result;
}

bool compares_as_text(const jet_sql_emitted& left, const jet_sql_emitted& right) {
    return left.type.is_text() || right.type.is_text();
}

// Both sides of a comparison in one representation: scaled currency only against currency.
void align_for_compare(jet_sql_emitted& left, jet_sql_emitted& right) {
    bool same_scale = left.type.is_currency() == right.type.is_currency();
    bool has_decimal = left.type.is_decimal() || right.type.is_decimal();
    if (same_scale && !has_decimal) return;
    if (left.type.is_number()) left.sql = jet_sql_binder::as_double(left);
    if (right.type.is_number()) right.sql = jet_sql_binder::as_double(right);
}

bool is_integer_arithmetic(const jet_sql_type& left, const jet_sql_type& right) {
    return left.is_integer() && right.is_integer();
}

// Decimal meeting Decimal or a whole number stays exact (jet_sql_decimal.hpp).
bool is_exact_decimal(const jet_sql_type& left, const jet_sql_type& right) {
    return (left.is_decimal() || right.is_decimal()) && (left.is_decimal() || left.is_integer())
           && (right.is_decimal() || right.is_integer());
}

jet_sql_type integer_result(const jet_sql_type& left, const jet_sql_type& right) {
    bool is_big = left.type_code == JET_TYPE_BIGINT || right.type_code == JET_TYPE_BIGINT;
    return jet_sql_type::of(is_big ? JET_TYPE_BIGINT : JET_TYPE_INT32);
}

}   // namespace

// Equal literals share one parameter, so an expression repeated in GROUP BY and in the select
// list reads as the same SQL and the grouping check can match the two.
std::string jet_sql_binder::param(jet_sql_param value) {
    for (std::size_t param_idx = 0; param_idx < params.size(); ++param_idx) {
        const jet_sql_param& known = params[param_idx];
        if (known.kind == value.kind && known.integer_value == value.integer_value
            && std::bit_cast<std::uint64_t>(known.real_value)
                   == std::bit_cast<std::uint64_t>(value.real_value)
            && known.text == value.text)
            return "?" + std::to_string(param_idx + 1);
    }
    params.push_back(std::move(value));
    return "?" + std::to_string(params.size());
}

std::string jet_sql_binder::as_double(const jet_sql_emitted& value) {
    if (value.type.is_currency()) return "(CAST(" + value.sql + " AS REAL) / 10000.0)";
    if (value.type.is_decimal()) return "CAST(" + value.sql + " AS REAL)";
    return value.sql;
}

std::string jet_sql_binder::convert(const jet_sql_emitted& value, const jet_sql_type& target) {
    if (value.type.is_unknown()) return value.sql;
    // VBA rounds to Currency half to even: CCur(0.03125) is 0.0312.
    if (target.is_currency() && !value.type.is_currency())
        return "CAST(jet_round(" + as_double(value) + " * 10000.0) AS INTEGER)";
    if (target.is_decimal() && value.type.is_decimal()) return value.sql;
    if (!target.is_currency() && (value.type.is_currency() || value.type.is_decimal()))
        return as_double(value);
    return value.sql;
}

jet_sql_emitted jet_sql_binder::emit(const jet_sql_expr& expr, jet_sql_scope& scope) {
    jet_sql_emitted result;
    jet_sql_param value;
    switch (expr.kind) {
    case jet_sql_expr_kind::null_literal: result.sql = "NULL"; return result;
    case jet_sql_expr_kind::integer_literal:
        if (expr.integer_value <= std::numeric_limits<std::int32_t>::max()) {
            value.integer_value = expr.integer_value;
            result.type = jet_sql_type::of(JET_TYPE_INT32);
        } else {
            value.kind = jet_sql_param::kind_t::real;
            value.real_value = double(expr.integer_value);
            result.type = jet_sql_type::of(JET_TYPE_FLOAT64);
        }
        result.sql = param(value);
        return result;
    case jet_sql_expr_kind::real_literal:
    case jet_sql_expr_kind::date_literal:
        value.kind = jet_sql_param::kind_t::real;
        value.real_value = expr.real_value;
        result.sql = param(value);
        result.type = jet_sql_type::of(
            expr.kind == jet_sql_expr_kind::date_literal ? JET_TYPE_DATETIME : JET_TYPE_FLOAT64);
        return result;
    case jet_sql_expr_kind::text_literal:
        value.kind = jet_sql_param::kind_t::text;
        value.text = expr.text;
        result.sql = param(value);
        result.type = expr.text.size() <= 255 ? jet_sql_type::text(
                          std::uint16_t(std::max<std::size_t>(expr.text.size(), 1)))
                                              : jet_sql_type::of(JET_TYPE_MEMO);
        return result;
    case jet_sql_expr_kind::bool_literal:
        value.integer_value = expr.integer_value;
        result.sql = param(value);
        result.type = jet_sql_type::of(JET_TYPE_BOOLEAN);
        return result;
    case jet_sql_expr_kind::column: result = emit_column(expr, scope); break;
    case jet_sql_expr_kind::star: throw jet_sql_expression_error(expr.source);
    case jet_sql_expr_kind::call: result = emit_call(expr, scope); break;
    case jet_sql_expr_kind::binary: result = emit_binary(expr, scope); break;
    case jet_sql_expr_kind::negate: {
        jet_sql_emitted operand = emit(*expr.args[0], scope);
        result.sql = "(-" + operand.sql + ")";
        result.type = operand.type.is_text() ? jet_sql_type::of(JET_TYPE_FLOAT64)
                      : operand.type.type_code == JET_TYPE_BOOLEAN
                          ? jet_sql_type::of(JET_TYPE_INT16)
                          : operand.type;
        absorb(result, operand);
        break;
    }
    case jet_sql_expr_kind::logical_not: {
        jet_sql_emitted operand = emit(*expr.args[0], scope);
        result = truth("NOT " + operand.sql);
        absorb(result, operand);
        break;
    }
    case jet_sql_expr_kind::exists:
    case jet_sql_expr_kind::in_query:
    case jet_sql_expr_kind::scalar_query: result = emit_query_value(expr, scope); break;
    default: result = emit_predicate(expr, scope); break;
    }
    if (!in_aggregate)
        for (const std::string& term : scope.group_sql)
            if (term == result.sql) result.ungrouped.clear();
    return result;
}

// A text literal compared with a date or a number is read as one, as Access does; text that
// is neither is Jet's type mismatch rather than a comparison that silently never matches.
void jet_sql_binder::coerce_literal(const jet_sql_expr& literal, const jet_sql_type& other,
                                    jet_sql_emitted& emitted) {
    if (literal.kind != jet_sql_expr_kind::text_literal) return;
    if (!other.is_date() && !other.is_number()) return;
    jet_sql_param value;
    value.kind = jet_sql_param::kind_t::real;
    std::optional<double> number = other.is_date() ? jet_sql_parse_date(literal.text)
                                                   : jet_sql_parse_number(literal.text);
    if (!number) throw jet_sql_type_mismatch();
    value.real_value = *number;
    emitted.sql = param(value);
    emitted.type = jet_sql_type::of(other.is_date() ? JET_TYPE_DATETIME : JET_TYPE_FLOAT64);
}

jet_sql_emitted jet_sql_binder::emit_binary(const jet_sql_expr& expr, jet_sql_scope& scope) {
    jet_sql_emitted left = emit(*expr.args[0], scope);
    jet_sql_emitted right = emit(*expr.args[1], scope);
    jet_sql_emitted result;
    const std::u16string& op = expr.op;
    if (op == u"AND" || op == u"OR") {
        result = truth(left.sql + (op == u"AND" ? " AND " : " OR ") + right.sql);
    } else if (op == u"XOR") {
        result = truth("(" + left.sql + " <> 0) <> (" + right.sql + " <> 0)");
    } else if (op == u"=" || op == u"<>" || op == u"<" || op == u">" || op == u"<="
               || op == u">=") {
        coerce_literal(*expr.args[0], right.type, left);
        coerce_literal(*expr.args[1], left.type, right);
        bool is_text = compares_as_text(left, right);
        align_for_compare(left, right);
        std::string symbol(op.begin(), op.end());
        result = truth(left.sql + " " + symbol + " " + jet_sql_collated(right.sql, is_text));
    } else if (op == u"&") {
        result.sql = "jet_concat(" + convert(left, jet_sql_type::of(JET_TYPE_FLOAT64)) + ", "
                     + convert(right, jet_sql_type::of(JET_TYPE_FLOAT64)) + ")";
        result.type = jet_sql_type::of(JET_TYPE_MEMO);
    } else {
        return emit_arithmetic(expr, left, right);
    }
    absorb(result, left);
    absorb(result, right);
    return result;
}

jet_sql_emitted jet_sql_binder::emit_arithmetic(const jet_sql_expr& expr,
                                                const jet_sql_emitted& left,
                                                const jet_sql_emitted& right) {
    jet_sql_emitted result;
    absorb(result, left);
    absorb(result, right);
    const std::u16string& op = expr.op;
    const jet_sql_type& lt = left.type;
    const jet_sql_type& rt = right.type;
    std::string a = as_double(left), b = as_double(right);
    if (op == u"+" && lt.is_text() && rt.is_text()) {
        result.sql = "(" + left.sql + " || " + right.sql + ")";
        result.type = jet_sql_type::of(JET_TYPE_MEMO);
    } else if ((op == u"+" || op == u"-") && (lt.is_currency() || rt.is_currency())
               && (lt.is_currency() || lt.is_integer()) && (rt.is_currency() || rt.is_integer())) {
        std::string scaled_left = lt.is_currency() ? left.sql : "(" + left.sql + " * 10000)";
        std::string scaled_right = rt.is_currency() ? right.sql : "(" + right.sql + " * 10000)";
        std::string symbol = op == u"+" ? " + " : " - ";
        result.sql = "(" + scaled_left + symbol + scaled_right + ")";
        result.type = jet_sql_type::of(JET_TYPE_CURRENCY);
    } else if (op == u"*"
               && ((lt.is_currency() && rt.is_integer())
                   || (lt.is_integer() && rt.is_currency()))) {
        result.sql = "(" + left.sql + " * " + right.sql + ")";
        result.type = jet_sql_type::of(JET_TYPE_CURRENCY);
    } else if ((op == u"+" || op == u"-" || op == u"*") && is_exact_decimal(lt, rt)) {
        const char* function = op == u"+"   ? "jet_dec_add("
                               : op == u"-" ? "jet_dec_sub("
                                            : "jet_dec_mul(";
        result.sql = function + left.sql + ", " + right.sql + ")";
        int left_scale = lt.is_decimal() ? lt.scale : 0;
        int right_scale = rt.is_decimal() ? rt.scale : 0;
        result.type = jet_sql_type::of(JET_TYPE_NUMERIC);
        result.type.precision = 28;
        result.type.scale = std::uint8_t(op == u"*" ? std::min(left_scale + right_scale, 28)
                                                    : std::max(left_scale, right_scale));
    } else if (op == u"+" || op == u"-" || op == u"*") {
        std::string symbol = op == u"+" ? " + " : op == u"-" ? " - " : " * ";
        result.sql = "(" + a + symbol + b + ")";
        // A date moved by a number stays a date; the difference of two dates is days.
        const bool is_date_shift = op != u"*" && (lt.is_date() || rt.is_date())
                                   && !(op == u"-" && lt.is_date() && rt.is_date());
        if (is_integer_arithmetic(lt, rt)) result.type = integer_result(lt, rt);
        else if (is_date_shift) result.type = jet_sql_type::of(JET_TYPE_DATETIME);
        else result.type = jet_sql_type::of(JET_TYPE_FLOAT64);
    } else if (op == u"/") {
        result.sql = "jet_div(" + a + ", " + b + ")";
        result.type = jet_sql_type::of(JET_TYPE_FLOAT64);
    } else if (op == u"\\" || op == u"MOD") {
        result.sql = (op == u"MOD" ? "jet_mod(" : "jet_idiv(") + a + ", " + b + ")";
        result.type = integer_result(lt, rt);
    } else {
        result.sql = "jet_pow(" + a + ", " + b + ")";
        result.type = jet_sql_type::of(JET_TYPE_FLOAT64);
    }
    return result;
}

jet_sql_emitted jet_sql_binder::emit_predicate(const jet_sql_expr& expr, jet_sql_scope& scope) {
    std::vector<jet_sql_emitted> operands;
    bool is_text = false;
    for (const jet_sql_expr_ptr& arg : expr.args) {
        operands.push_back(emit(*arg, scope));
        is_text = is_text || operands.back().type.is_text();
    }
    bool needs_double = false;
    for (const jet_sql_emitted& operand : operands)
        needs_double = needs_double || operand.type.is_currency() || operand.type.is_decimal();
    if (needs_double && expr.kind != jet_sql_expr_kind::is_null)
        for (jet_sql_emitted& operand : operands) operand.sql = as_double(operand);
    const char* negation = expr.negated ? "NOT " : "";
    jet_sql_emitted result;
    switch (expr.kind) {
    case jet_sql_expr_kind::is_null:
        result = truth(operands[0].sql + " IS " + negation + "NULL");
        break;
    case jet_sql_expr_kind::like:
        result.sql = std::string(expr.negated ? "(~" : "(") + "jet_like(" + operands[0].sql + ", "
                     + operands[1].sql + "))";
        result.type = jet_sql_type::of(JET_TYPE_BOOLEAN);
        break;
    case jet_sql_expr_kind::between:
        result = truth(jet_sql_collated(operands[0].sql, is_text) + " " + negation + "BETWEEN "
                       + operands[1].sql + " AND " + operands[2].sql);
        break;
    default: {   // in_list
        std::string list;
        for (std::size_t operand_idx = 1; operand_idx < operands.size(); ++operand_idx)
            list += (operand_idx == 1 ? "" : ", ") + operands[operand_idx].sql;
        result = truth(jet_sql_collated(operands[0].sql, is_text) + " " + negation + "IN (" + list
                       + ")");
        break;
    }
    }
    for (const jet_sql_emitted& operand : operands) absorb(result, operand);
    return result;
}

jet_sql_emitted jet_sql_binder::emit_query_value(const jet_sql_expr& expr, jet_sql_scope& scope) {
    bound_select inner = bind_select(*expr.query, &scope);
    if (expr.kind == jet_sql_expr_kind::exists) return truth("EXISTS (" + inner.sql + ")");
    if (inner.columns.size() != 1) throw jet_sql_subquery_fields();
    if (expr.kind == jet_sql_expr_kind::scalar_query) {
        jet_sql_emitted result;
        // jet_single fails when the subquery yields more than one row, as Access does.
        result.sql = "(SELECT jet_single(\"c0\") FROM (" + inner.sql + "))";
        result.type = inner.columns[0].type;
        return result;
    }
    jet_sql_emitted left = emit(*expr.args[0], scope);
    jet_sql_emitted column;
    column.type = inner.columns[0].type;
    bool is_text = left.type.is_text() || column.type.is_text();
    std::string left_sql = left.type.is_currency() != column.type.is_currency() ? as_double(left)
                                                                                : left.sql;
    std::string inner_column = column.type.is_currency() && !left.type.is_currency()
                                   ? "CAST(\"c0\" AS REAL) / 10000.0"
                                   : "\"c0\"";
    jet_sql_emitted result = truth(jet_sql_collated(left_sql, is_text)
                                   + (expr.negated ? " NOT IN " : " IN ") + "(SELECT "
                                   + inner_column + " FROM (" + inner.sql + "))");
    absorb(result, left);
    return result;
}
