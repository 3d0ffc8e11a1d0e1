// dbl_eval.cpp - expression evaluation and comparison.
#include "dbl_eval.hpp"

#include "dbl_convert.hpp"
#include "dbl_error.hpp"
#include "dbl_like.hpp"
#include "dbl_number.hpp"
#include "dbl_text.hpp"

#include <cmath>

namespace {

enum class truth { FALSE, TRUE, UNKNOWN };

dbl_typed typed(dbl_type type, dbl_value value) { return dbl_typed{type, std::move(value)}; }

const dbl_target NO_TARGET{};

// The type both sides of a comparison are brought to, by SQL Server's precedence.
int precedence(const dbl_type& type) {
    switch (type.kind) {
    case dbl_kind::DATETIME2: return 30;
    case dbl_kind::DATETIME: return 29;
    case dbl_kind::FLOAT: return 28;
    case dbl_kind::REAL: return 27;
    case dbl_kind::DECIMAL:
    case dbl_kind::NUMERIC: return 26;
    case dbl_kind::MONEY: return 25;
    case dbl_kind::BIGINT: return 24;
    case dbl_kind::INT: return 23;
    case dbl_kind::SMALLINT: return 22;
    case dbl_kind::TINYINT: return 21;
    case dbl_kind::BIT: return 20;
    case dbl_kind::NTEXT: return 19;
    case dbl_kind::TEXT: return 18;
    case dbl_kind::IMAGE: return 17;
    case dbl_kind::GUID: return 16;
    case dbl_kind::NVARCHAR: return 15;
    case dbl_kind::NCHAR: return 14;
    case dbl_kind::VARCHAR: return 13;
    case dbl_kind::CHAR: return 12;
    case dbl_kind::VARBINARY: return 11;
    case dbl_kind::BINARY: return 10;
    }
    return 0;
}

int sign(long double difference) { return difference < 0 ? -1 : difference > 0 ? 1 : 0; }

int compare_text(std::u16string a, std::u16string b) {
    a = dbl_fold(a);
    b = dbl_fold(b);
    while (!a.empty() && a.back() == u' ') a.pop_back();
    while (!b.empty() && b.back() == u' ') b.pop_back();
    return a < b ? -1 : a > b ? 1 : 0;
}

int compare_same(const dbl_typed& a, const dbl_typed& b) {
    const dbl_type& type = a.type;
    if (type.is_text()) return compare_text(dbl_value_text(a), dbl_value_text(b));
    if (type.is_binary() || type.kind == dbl_kind::GUID)
        return a.value.bytes < b.value.bytes ? -1 : a.value.bytes > b.value.bytes ? 1 : 0;
    if (type.kind == dbl_kind::REAL || type.kind == dbl_kind::FLOAT)
        return sign((long double)a.value.floating - b.value.floating);
    if (type.kind == dbl_kind::DECIMAL || type.kind == dbl_kind::NUMERIC) {
        int scale = std::max(a.type.scale, b.type.scale);
        __int128 x = dbl_rescale(a.value.decimal, a.type.scale, scale);
        __int128 y = dbl_rescale(b.value.decimal, b.type.scale, scale);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    return a.value.integer < b.value.integer ? -1 : a.value.integer > b.value.integer ? 1 : 0;
}

dbl_type common_type(const dbl_type& a, const dbl_type& b) {
    const dbl_type& higher = precedence(a) >= precedence(b) ? a : b;
    if ((higher.kind == dbl_kind::DECIMAL || higher.kind == dbl_kind::NUMERIC)) {
        int scale = std::max(a.is_exact() ? a.scale : 0, b.is_exact() ? b.scale : 0);
        return dbl_make_type(dbl_kind::NUMERIC, 0, 38, scale);
    }
    dbl_type result = higher;
    if (result.is_text() || result.is_binary()) result.length = DBL_MAX_LENGTH;
    return result;
}

truth compare_op(const std::string& op, const dbl_typed& a, const dbl_typed& b) {
    if (a.value.b_null || b.value.b_null) return truth::UNKNOWN;
    int order = dbl_compare(a, b);
    bool result = op == "="    ? order == 0
                  : op == "<>" ? order != 0
                  : op == "<"  ? order < 0
                  : op == ">"  ? order > 0
                  : op == "<=" ? order <= 0
                               : order >= 0;
    return result ? truth::TRUE : truth::FALSE;
}

truth logic(const dbl_expr& e, const dbl_eval_context& context);

truth in_list(const dbl_expr& e, const dbl_eval_context& context) {
    dbl_typed left = dbl_eval(*e.args[0], context);
    bool unknown = left.value.b_null;
    for (std::size_t i = 1; i < e.args.size() && !unknown; ++i) {
        truth t = compare_op("=", left, dbl_eval(*e.args[i], context));
        if (t == truth::TRUE) return e.b_negated ? truth::FALSE : truth::TRUE;
        if (t == truth::UNKNOWN) unknown = true;
    }
    if (unknown) return truth::UNKNOWN;
    return e.b_negated ? truth::TRUE : truth::FALSE;
}

truth logic(const dbl_expr& e, const dbl_eval_context& context) {
    switch (e.kind) {
    case dbl_expr_kind::AND: {
        truth a = logic(*e.args[0], context);
        if (a == truth::FALSE) return a;
        truth b = logic(*e.args[1], context);
        if (b == truth::FALSE) return b;
        return a == truth::TRUE && b == truth::TRUE ? truth::TRUE : truth::UNKNOWN;
    }
    case dbl_expr_kind::OR: {
        truth a = logic(*e.args[0], context);
        if (a == truth::TRUE) return a;
        truth b = logic(*e.args[1], context);
        if (b == truth::TRUE) return b;
        return a == truth::FALSE && b == truth::FALSE ? truth::FALSE : truth::UNKNOWN;
    }
    case dbl_expr_kind::NOT: {
        truth a = logic(*e.args[0], context);
        return a == truth::UNKNOWN ? a : a == truth::TRUE ? truth::FALSE : truth::TRUE;
    }
    case dbl_expr_kind::COMPARE:
        return compare_op(e.name, dbl_eval(*e.args[0], context), dbl_eval(*e.args[1], context));
    case dbl_expr_kind::IS_NULL: {
        bool is_null = dbl_eval(*e.args[0], context).value.b_null;
        return is_null != e.b_negated ? truth::TRUE : truth::FALSE;
    }
    case dbl_expr_kind::IN_LIST: return in_list(e, context);
    case dbl_expr_kind::LIKE: {
        dbl_typed text = dbl_eval(*e.args[0], context);
        dbl_typed pattern = dbl_eval(*e.args[1], context);
        if (text.value.b_null || pattern.value.b_null) return truth::UNKNOWN;
        bool match = dbl_like(dbl_value_text(text), dbl_value_text(pattern));
        return match != e.b_negated ? truth::TRUE : truth::FALSE;
    }
    default: throw dbl_err::syntax(e.written);
    }
}

dbl_typed arithmetic(const dbl_expr& e, const dbl_eval_context& context) {
    dbl_typed a = dbl_eval(*e.args[0], context);
    dbl_typed b = dbl_eval(*e.args[1], context);
    const std::string& op = e.name;
    if (op == "+" && a.type.is_text() && b.type.is_text()) {
        dbl_type type = a.type.is_wide_text() || b.type.is_wide_text()
                            ? dbl_make_type(dbl_kind::NVARCHAR, DBL_MAX_LENGTH)
                            : dbl_make_type(dbl_kind::VARCHAR, DBL_MAX_LENGTH);
        if (a.value.b_null || b.value.b_null) return typed(type, dbl_null());
        std::u16string joined = dbl_value_text(a) + dbl_value_text(b);
        return typed(type, type.is_wide_text() ? dbl_wide_value(joined)
                                               : dbl_bytes_value(dbl_to_cp1252(joined)));
    }
    dbl_type type = common_type(a.type, b.type);
    if (!type.is_numeric()) type = dbl_make_type(dbl_kind::FLOAT);
    if (a.value.b_null || b.value.b_null) return typed(type, dbl_null());
    if (type.is_integer() || type.kind == dbl_kind::MONEY) {
        if (type.kind != dbl_kind::MONEY && type.kind != dbl_kind::BIGINT)
            type = dbl_make_type(dbl_kind::INT);
        std::int64_t x = dbl_convert(a, type, NO_TARGET).integer;
        std::int64_t y = dbl_convert(b, type, NO_TARGET).integer;
        if ((op == "/" || op == "%") && y == 0) throw dbl_err::divide_by_zero();
        __int128 r = op == "+"   ? __int128(x) + y
                     : op == "-" ? __int128(x) - y
                     : op == "*" ? __int128(x) * y
                     : op == "/" ? __int128(x / y)
                                 : __int128(x % y);
        if (type.kind == dbl_kind::MONEY && op == "*") r /= 10000;
        __int128 limit = type.kind == dbl_kind::INT ? INT32_MAX : INT64_MAX;
        if (r > limit || r < -limit - 1)
            throw dbl_err::overflow_converting("expression", type.base_name());
        return typed(type, dbl_int(std::int64_t(r)));
    }
    dbl_type as_float = dbl_make_type(dbl_kind::FLOAT);
    double x = dbl_convert(a, as_float, NO_TARGET).floating;
    double y = dbl_convert(b, as_float, NO_TARGET).floating;
    if ((op == "/" || op == "%") && y == 0) throw dbl_err::divide_by_zero();
    double r = op == "+"   ? x + y
               : op == "-" ? x - y
               : op == "*" ? x * y
               : op == "/" ? x / y
                           : std::fmod(x, y);
    dbl_typed result = typed(as_float, dbl_value{});
    result.value.b_null = false;
    result.value.floating = r;
    if (type.kind == dbl_kind::FLOAT || type.kind == dbl_kind::REAL) return result;
    dbl_type exact = dbl_make_type(dbl_kind::NUMERIC, 0, 38, std::max(type.scale, 6));
    return typed(exact, dbl_convert(result, exact, NO_TARGET));
}

}   // namespace

dbl_typed dbl_eval_function(const dbl_expr& e, const dbl_eval_context& context);   // functions

int dbl_compare(const dbl_typed& a, const dbl_typed& b) {
    if (a.type.kind == b.type.kind
        && (a.type.kind != dbl_kind::DATETIME2 || a.type.scale == b.type.scale))
        return compare_same(a, b);
    if (a.type.is_text() && b.type.is_text()) return compare_same(a, b);
    if (a.type.is_binary() && b.type.is_binary()) return compare_same(a, b);
    dbl_type common = common_type(a.type, b.type);
    if (common.kind == dbl_kind::DATETIME) common = dbl_make_type(dbl_kind::DATETIME2, 0, 0, 7);
    dbl_typed x{common, dbl_convert(a, common, NO_TARGET)};
    dbl_typed y{common, dbl_convert(b, common, NO_TARGET)};
    return compare_same(x, y);
}

int dbl_find_column(const dbl_expr& ref, const dbl_eval_context& context) {
    const std::vector<std::string>& parts = ref.column.parts;
    if (parts.size() > 1) {
        std::string qualifier;
        for (std::size_t i = 0; i + 1 < parts.size(); ++i) qualifier += (i ? "." : "") + parts[i];
        bool known = false;
        for (const std::string& name : context.qualifiers)
            known = known || dbl_same_name(name, qualifier);
        if (!known)
            throw dbl_sql_error(4104, 1, 16,
                                "The multi-part identifier \"" + ref.written
                                    + "\" could not be bound.",
                                dbl_scope::BATCH);
    }
    if (context.columns) {
        for (std::size_t i = 0; i < context.columns->size(); ++i)
            if (dbl_same_name((*context.columns)[i].name, ref.column.last())) return int(i);
    }
    throw dbl_err::invalid_column(ref.column.last());
}

dbl_typed dbl_eval(const dbl_expr& e, const dbl_eval_context& context) {
    switch (e.kind) {
    case dbl_expr_kind::LITERAL: return e.literal;
    case dbl_expr_kind::COLUMN: {
        int index = dbl_find_column(e, context);
        dbl_value value = context.row ? (*context.row)[std::size_t(index)] : dbl_null();
        return typed((*context.columns)[std::size_t(index)].type, value);
    }
    case dbl_expr_kind::FUNCTION:
    case dbl_expr_kind::VARIABLE: return dbl_eval_function(e, context);
    case dbl_expr_kind::ARITHMETIC: return arithmetic(e, context);
    case dbl_expr_kind::NEGATE: {
        dbl_typed value = dbl_eval(*e.args[0], context);
        if (value.value.b_null) return value;
        value.value.integer = -value.value.integer;
        value.value.decimal = -value.value.decimal;
        value.value.floating = -value.value.floating;
        return value;
    }
    case dbl_expr_kind::AGGREGATE:
        throw dbl_sql_error(147, 1, 15,
                            "An aggregate may not appear in the WHERE clause unless "
                            "it is in a subquery contained in a HAVING clause or a select list, "
                            "and the column being aggregated is an outer reference.",
                            dbl_scope::BATCH);
    default: {
        truth t = logic(e, context);
        dbl_typed result{dbl_make_type(dbl_kind::BIT), dbl_int(t == truth::TRUE ? 1 : 0)};
        if (t == truth::UNKNOWN) result.value = dbl_null();
        return result;
    }
    }
}

bool dbl_eval_condition(const dbl_expr& e, const dbl_eval_context& context) {
    if (e.kind == dbl_expr_kind::COLUMN || e.kind == dbl_expr_kind::LITERAL
        || e.kind == dbl_expr_kind::FUNCTION || e.kind == dbl_expr_kind::ARITHMETIC)
        throw dbl_sql_error(4145, 1, 15,
                            "An expression of non-boolean type specified in a "
                            "context where a condition is expected, near '"
                                + e.written + "'.",
                            dbl_scope::BATCH);
    return logic(e, context) == truth::TRUE;
}
