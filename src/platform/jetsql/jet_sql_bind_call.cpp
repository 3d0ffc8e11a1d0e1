// jet_sql_bind_call.cpp - Access's functions and aggregates as SQLite SQL. Names compare
// case-blind; an unknown one is Jet's "Undefined function", a wrong argument count a syntax
// error in the expression.

#include <string_view>

#include "platform/jetsql/jet_sql_binder_impl.hpp"
#include "platform/jetsql/jet_sql_errors.hpp"
#include "platform/jetsql/jet_sql_functions.hpp"
#include "platform/winbase/win_compare.hpp"

namespace {

bool is_named(const jet_sql_expr& expr, std::u16string_view name) {
    return win_equal_ignore_case(expr.name, name);
}

void absorb_all(jet_sql_emitted& into, const std::vector<jet_sql_emitted>& parts) {
    for (const jet_sql_emitted& part : parts) {
        into.has_aggregate = into.has_aggregate || part.has_aggregate;
        if (into.ungrouped.empty()) into.ungrouped = part.ungrouped;
    }
}

jet_sql_type text_result(const jet_sql_type& operand) {
    return operand.type_code == JET_TYPE_TEXT ? operand : jet_sql_type::of(JET_TYPE_MEMO);
}

struct date_function {
    std::u16string_view name;
    jet_sql_date_part part;
};

constexpr date_function DATE_FUNCTIONS[] = {
    {u"Year", jet_sql_date_part::year},     {u"Month", jet_sql_date_part::month},
    {u"Day", jet_sql_date_part::day},       {u"Hour", jet_sql_date_part::hour},
    {u"Minute", jet_sql_date_part::minute}, {u"Second", jet_sql_date_part::second},
    {u"Weekday", jet_sql_date_part::weekday}};

constexpr std::u16string_view AGGREGATES[] = {u"Count", u"Sum", u"Avg", u"Min",
                                              u"Max",   u"First", u"Last"};

}  // namespace

jet_sql_emitted jet_sql_binder::emit_aggregate(const jet_sql_expr& expr, jet_sql_scope& scope,
                                               const std::u16string& function) {
    if (in_where) throw jet_sql_aggregate_in_where(expr.source);
    if (in_aggregate) throw jet_sql_aggregate_in_expression(expr.source);
    if (expr.args.size() != 1) throw jet_sql_expression_error(expr.source);
    jet_sql_emitted result;
    result.has_aggregate = true;
    if (expr.args[0]->kind == jet_sql_expr_kind::star) {
        if (function != u"Count") throw jet_sql_expression_error(expr.source);
        result.sql = "count(*)";
        result.type = jet_sql_type::of(JET_TYPE_INT32);
        return result;
    }
    in_aggregate = true;
    jet_sql_emitted operand = emit(*expr.args[0], scope);
    in_aggregate = false;
    if (operand.has_aggregate) throw jet_sql_aggregate_in_expression(expr.source);
    const jet_sql_type& type = operand.type;
    if (function == u"Count") {
        result.sql = "count(" + operand.sql + ")";
        result.type = jet_sql_type::of(JET_TYPE_INT32);
    } else if (function == u"Sum") {
        result.sql = "sum(" + (type.is_currency() ? operand.sql : as_double(operand)) + ")";
        result.type = jet_sql_type::of(type.is_currency() ? JET_TYPE_CURRENCY : JET_TYPE_FLOAT64);
    } else if (function == u"Avg") {
        result.sql = "avg(" + (type.is_currency() ? operand.sql : as_double(operand)) + ")";
        result.type = jet_sql_type::of(type.is_currency() ? JET_TYPE_CURRENCY : JET_TYPE_FLOAT64);
    } else if (function == u"Min" || function == u"Max") {
        std::string value = type.is_decimal() ? as_double(operand) : operand.sql;
        result.sql = (function == u"Min" ? "min(" : "max(") +
                     jet_sql_collated(value, type.is_text()) + ")";
        result.type = type.is_decimal() ? jet_sql_type::of(JET_TYPE_FLOAT64) : type;
    } else {
        result.sql = (function == u"First" ? "jet_first(" : "jet_last(") + operand.sql + ")";
        result.type = type;
    }
    return result;
}

jet_sql_emitted jet_sql_binder::emit_call(const jet_sql_expr& expr, jet_sql_scope& scope) {
    for (std::u16string_view aggregate : AGGREGATES)
        if (is_named(expr, aggregate)) return emit_aggregate(expr, scope,
                                                             std::u16string(aggregate));
    std::vector<jet_sql_emitted> args;
    for (const jet_sql_expr_ptr& arg : expr.args) {
        if (arg->kind == jet_sql_expr_kind::star) throw jet_sql_expression_error(expr.source);
        args.push_back(emit(*arg, scope));
    }
    auto require = [&](std::size_t minimum, std::size_t maximum) {
        if (args.size() < minimum || args.size() > maximum)
            throw jet_sql_expression_error(expr.source);
    };
    jet_sql_emitted result;
    absorb_all(result, args);
    auto text_arg = [&](std::size_t arg_idx) {
        return convert(args[arg_idx], jet_sql_type::of(JET_TYPE_FLOAT64));
    };
    if (is_named(expr, u"IIf")) {
        require(3, 3);
        result.type = jet_sql_merge_types(args[1].type, args[2].type);
        result.sql = "(CASE WHEN " + args[0].sql + " THEN " + convert(args[1], result.type) +
                     " ELSE " + convert(args[2], result.type) + " END)";
    } else if (is_named(expr, u"Nz")) {
        require(1, 2);
        if (args.size() == 2) {
            result.type = jet_sql_merge_types(args[0].type, args[1].type);
            result.sql = "coalesce(" + convert(args[0], result.type) + ", " +
                         convert(args[1], result.type) + ")";
        } else {
            // Nz without a default gives Empty: 0 for a number, "" for text.
            bool is_number = args[0].type.is_number() || args[0].type.is_date();
            result.type = args[0].type.is_unknown() ? jet_sql_type::text() : args[0].type;
            result.sql = "coalesce(" + args[0].sql + (is_number ? ", 0)" : ", '')");
        }
    } else if (is_named(expr, u"Len")) {
        require(1, 1);
        result.sql = "jet_len(" + text_arg(0) + ")";
        result.type = jet_sql_type::of(JET_TYPE_INT32);
    } else if (is_named(expr, u"Left") || is_named(expr, u"Right")) {
        require(2, 2);
        result.sql = (is_named(expr, u"Left") ? "jet_left(" : "jet_right(") + text_arg(0) +
                     ", " + as_double(args[1]) + ")";
        result.type = text_result(args[0].type);
    } else if (is_named(expr, u"Mid")) {
        require(2, 3);
        result.sql = "jet_mid(" + text_arg(0) + ", " + as_double(args[1]) +
                     (args.size() == 3 ? ", " + as_double(args[2]) : "") + ")";
        result.type = text_result(args[0].type);
    } else if (is_named(expr, u"UCase") || is_named(expr, u"LCase")) {
        require(1, 1);
        result.sql = (is_named(expr, u"UCase") ? "jet_ucase(" : "jet_lcase(") + text_arg(0) + ")";
        result.type = text_result(args[0].type);
    } else if (is_named(expr, u"Trim") || is_named(expr, u"LTrim") || is_named(expr, u"RTrim")) {
        require(1, 1);
        const char* function = is_named(expr, u"Trim") ? "trim(" : is_named(expr, u"LTrim")
                                                                     ? "ltrim(" : "rtrim(";
        result.sql = std::string(function) + "jet_concat(" + text_arg(0) + ", NULL), ' ')";
        result.type = text_result(args[0].type);
    } else if (is_named(expr, u"Date") || is_named(expr, u"Now")) {
        require(0, 0);
        result.sql = is_named(expr, u"Now") ? "jet_now(1)" : "jet_now(0)";
        result.type = jet_sql_type::of(JET_TYPE_DATETIME);
    } else if (is_named(expr, u"Int") || is_named(expr, u"Fix") || is_named(expr, u"Abs") ||
               is_named(expr, u"Round")) {
        require(1, is_named(expr, u"Round") ? 2 : 1);
        const jet_sql_type& type = args[0].type;
        bool keeps_type = type.is_integer() || type.is_currency() || type.is_date() ||
                          type.type_code == JET_TYPE_FLOAT32;
        if (is_named(expr, u"Abs")) {
            result.sql = "abs(" + (type.is_decimal() ? as_double(args[0]) : args[0].sql) + ")";
            result.type = type.is_decimal() ? jet_sql_type::of(JET_TYPE_FLOAT64) : type;
        } else {
            std::string function = is_named(expr, u"Int") ? "jet_int(" : is_named(expr, u"Fix")
                                                                           ? "jet_fix("
                                                                           : "jet_round(";
            result.sql = function + as_double(args[0]) +
                         (args.size() == 2 ? ", " + as_double(args[1]) : "") + ")";
            result.type = keeps_type && !type.is_currency() ? type
                                                            : jet_sql_type::of(JET_TYPE_FLOAT64);
            if (type.is_currency()) {
                result.type = jet_sql_type::of(JET_TYPE_CURRENCY);
                result.sql = "CAST(round(" + result.sql + " * 10000.0) AS INTEGER)";
            }
        }
    } else if (is_named(expr, u"CStr")) {
        require(1, 1);
        result.sql = "jet_concat(" + text_arg(0) + ", NULL)";
        result.type = jet_sql_type::text();
    } else if (is_named(expr, u"CDbl")) {
        require(1, 1);
        result.sql = "(" + as_double(args[0]) + " + 0.0)";
        result.type = jet_sql_type::of(JET_TYPE_FLOAT64);
    } else if (is_named(expr, u"CLng") || is_named(expr, u"CInt")) {
        require(1, 1);
        result.sql = "CAST(jet_round(" + as_double(args[0]) + ") AS INTEGER)";
        result.type = jet_sql_type::of(is_named(expr, u"CLng") ? JET_TYPE_INT32 : JET_TYPE_INT16);
    } else if (is_named(expr, u"CCur")) {
        require(1, 1);
        result.type = jet_sql_type::of(JET_TYPE_CURRENCY);
        result.sql = convert(args[0], result.type);
    } else {
        bool is_date_function = false;
        for (const date_function& function : DATE_FUNCTIONS) {
            if (!is_named(expr, function.name)) continue;
            require(1, 1);
            result.sql = "jet_datepart(" + as_double(args[0]) + ", " +
                         std::to_string(int(function.part)) + ")";
            result.type = jet_sql_type::of(JET_TYPE_INT16);
            is_date_function = true;
        }
        if (!is_date_function) throw jet_sql_undefined_function(expr.name);
    }
    return result;
}
