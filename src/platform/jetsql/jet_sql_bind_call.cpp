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
    {u"Year", jet_sql_date_part::year},      {u"Month", jet_sql_date_part::month},
    {u"Day", jet_sql_date_part::day},        {u"Hour", jet_sql_date_part::hour},
    {u"Minute", jet_sql_date_part::minute},  {u"Second", jet_sql_date_part::second},
    {u"Weekday", jet_sql_date_part::weekday}};

constexpr std::u16string_view AGGREGATES[] = {u"Count", u"Sum",   u"Avg", u"Min",
                                              u"Max",   u"First", u"Last"};

using emitted_args = std::vector<jet_sql_emitted>;

// Text operands: currency and decimals as their numbers, not their stored forms.
std::string text_operand(const jet_sql_emitted& value) {
    return jet_sql_binder::convert(value, jet_sql_type::of(JET_TYPE_FLOAT64));
}

std::string number_operand(const jet_sql_emitted& value) {
    return jet_sql_binder::as_double(value);
}

void emit_iif(const std::u16string&, const emitted_args& args, jet_sql_emitted& result) {
    result.type = jet_sql_merge_types(args[1].type, args[2].type);
    result.sql = "(CASE WHEN " + args[0].sql + " THEN "
                 + jet_sql_binder::convert(args[1], result.type) + " ELSE "
                 + jet_sql_binder::convert(args[2], result.type) + " END)";
}

void emit_nz(const std::u16string&, const emitted_args& args, jet_sql_emitted& result) {
    if (args.size() == 2) {
        result.type = jet_sql_merge_types(args[0].type, args[1].type);
        result.sql = "coalesce(" + jet_sql_binder::convert(args[0], result.type) + ", "
                     + jet_sql_binder::convert(args[1], result.type) + ")";
        return;
    }
    // Nz without a default gives Empty: 0 for a number, "" for text.
    bool is_number = args[0].type.is_number() || args[0].type.is_date();
    result.type = args[0].type.is_unknown() ? jet_sql_type::text() : args[0].type;
    result.sql = "coalesce(" + args[0].sql + (is_number ? ", 0)" : ", '')");
}

void emit_text_function(const std::u16string& name, const emitted_args& args,
                        jet_sql_emitted& result) {
    result.type = text_result(args[0].type);
    if (win_equal_ignore_case(name, u"Len")) {
        result.sql = "jet_len(" + text_operand(args[0]) + ")";
        result.type = jet_sql_type::of(JET_TYPE_INT32);
    } else if (win_equal_ignore_case(name, u"Mid")) {
        result.sql = "jet_mid(" + text_operand(args[0]) + ", " + number_operand(args[1])
                     + (args.size() == 3 ? ", " + number_operand(args[2]) : "") + ")";
    } else if (win_equal_ignore_case(name, u"Left") || win_equal_ignore_case(name, u"Right")) {
        result.sql = (win_equal_ignore_case(name, u"Left") ? "jet_left(" : "jet_right(")
                     + text_operand(args[0]) + ", " + number_operand(args[1]) + ")";
    } else if (win_equal_ignore_case(name, u"UCase") || win_equal_ignore_case(name, u"LCase")) {
        result.sql = (win_equal_ignore_case(name, u"UCase") ? "jet_ucase(" : "jet_lcase(")
                     + text_operand(args[0]) + ")";
    } else if (win_equal_ignore_case(name, u"CStr")) {
        result.sql = "jet_concat(" + text_operand(args[0]) + ", NULL)";
        result.type = jet_sql_type::text();
    } else {   // Trim, LTrim, RTrim: spaces only, as VBA
        const char* function = win_equal_ignore_case(name, u"Trim")    ? "trim("
                               : win_equal_ignore_case(name, u"LTrim") ? "ltrim("
                                                                       : "rtrim(";
        result.sql = std::string(function) + "jet_concat(" + text_operand(args[0])
                     + ", NULL), ' ')";
    }
}

void emit_clock(const std::u16string& name, const emitted_args&, jet_sql_emitted& result) {
    result.sql = win_equal_ignore_case(name, u"Now") ? "jet_now(1)" : "jet_now(0)";
    result.type = jet_sql_type::of(JET_TYPE_DATETIME);
}

void emit_date_part(const std::u16string& name, const emitted_args& args, jet_sql_emitted& result) {
    for (const date_function& function : DATE_FUNCTIONS) {
        if (!win_equal_ignore_case(name, function.name)) continue;
        result.sql = "jet_datepart(" + number_operand(args[0]) + ", "
                     + std::to_string(int(function.part)) + ")";
        result.type = jet_sql_type::of(JET_TYPE_INT16);
    }
}

// Int, Fix and Round keep integer, Single and Date operands' types; Currency stays Currency.
void emit_rounding(const std::u16string& name, const emitted_args& args, jet_sql_emitted& result) {
    const jet_sql_type& type = args[0].type;
    std::string function = win_equal_ignore_case(name, u"Int")   ? "jet_int("
                           : win_equal_ignore_case(name, u"Fix") ? "jet_fix("
                                                                 : "jet_round(";
    result.sql = function + number_operand(args[0])
                 + (args.size() == 2 ? ", " + number_operand(args[1]) : "") + ")";
    bool keeps_type = type.is_integer() || type.is_date() || type.type_code == JET_TYPE_FLOAT32;
    result.type = keeps_type ? type : jet_sql_type::of(JET_TYPE_FLOAT64);
    if (type.is_currency()) {
        result.type = type;
        result.sql = "CAST(round(" + result.sql + " * 10000.0) AS INTEGER)";
    }
}

void emit_abs(const std::u16string&, const emitted_args& args, jet_sql_emitted& result) {
    const jet_sql_type& type = args[0].type;
    result.sql = "abs(" + (type.is_decimal() ? number_operand(args[0]) : args[0].sql) + ")";
    result.type = type.is_decimal() ? jet_sql_type::of(JET_TYPE_FLOAT64) : type;
}

void emit_conversion(const std::u16string& name, const emitted_args& args,
                     jet_sql_emitted& result) {
    if (win_equal_ignore_case(name, u"CDbl")) {
        result.sql = "(" + number_operand(args[0]) + " + 0.0)";
        result.type = jet_sql_type::of(JET_TYPE_FLOAT64);
    } else if (win_equal_ignore_case(name, u"CCur")) {
        result.type = jet_sql_type::of(JET_TYPE_CURRENCY);
        result.sql = jet_sql_binder::convert(args[0], result.type);
    } else {   // CLng, CInt: half to even, as VBA
        result.sql = "CAST(jet_round(" + number_operand(args[0]) + ") AS INTEGER)";
        result.type = jet_sql_type::of(win_equal_ignore_case(name, u"CLng") ? JET_TYPE_INT32
                                                                            : JET_TYPE_INT16);
    }
}

// InStr([start, ]text, sought[, compare]): compare 0 is binary, else Access's case-blind text
// comparison, the default in queries.
void emit_instr(const std::u16string&, const emitted_args& args, jet_sql_emitted& result) {
    bool has_start = args.size() >= 3;
    std::string start = has_start ? number_operand(args[0]) : "1";
    std::size_t text_idx = has_start ? 1 : 0;
    std::string compare = args.size() == 4 ? number_operand(args[3]) : "1";
    result.sql = "jet_instr(" + start + ", " + text_operand(args[text_idx]) + ", "
                 + text_operand(args[text_idx + 1]) + ", " + compare + ")";
    result.type = jet_sql_type::of(JET_TYPE_INT32);
}

// Switch(test1, value1, ...): the value of the first true test, Null when none is.
void emit_switch(const std::u16string&, const emitted_args& args, jet_sql_emitted& result) {
    for (std::size_t arg_idx = 1; arg_idx < args.size(); arg_idx += 2)
        result.type = jet_sql_merge_types(result.type, args[arg_idx].type);
    result.sql = "(CASE";
    for (std::size_t arg_idx = 0; arg_idx + 1 < args.size(); arg_idx += 2)
        result.sql += " WHEN " + args[arg_idx].sql + " THEN "
                      + jet_sql_binder::convert(args[arg_idx + 1], result.type);
    result.sql += " END)";
}

// Choose(index, choice1, ...): the index is truncated; out of range gives Null.
void emit_choose(const std::u16string&, const emitted_args& args, jet_sql_emitted& result) {
    for (std::size_t arg_idx = 1; arg_idx < args.size(); ++arg_idx)
        result.type = jet_sql_merge_types(result.type, args[arg_idx].type);
    result.sql = "(CASE jet_fix(" + number_operand(args[0]) + ")";
    for (std::size_t arg_idx = 1; arg_idx < args.size(); ++arg_idx)
        result.sql += " WHEN " + std::to_string(arg_idx) + " THEN "
                      + jet_sql_binder::convert(args[arg_idx], result.type);
    result.sql += " END)";
}

void emit_is_null(const std::u16string&, const emitted_args& args, jet_sql_emitted& result) {
    result.sql = "(-(" + args[0].sql + " IS NULL))";
    result.type = jet_sql_type::of(JET_TYPE_BOOLEAN);
}

void emit_cdate(const std::u16string&, const emitted_args& args, jet_sql_emitted& result) {
    result.sql = "jet_cdate(" + number_operand(args[0]) + ")";
    result.type = jet_sql_type::of(JET_TYPE_DATETIME);
}

void emit_date_serial(const std::u16string&, const emitted_args& args, jet_sql_emitted& result) {
    result.sql = "jet_dateserial(" + number_operand(args[0]) + ", " + number_operand(args[1]) + ", "
                 + number_operand(args[2]) + ")";
    result.type = jet_sql_type::of(JET_TYPE_DATETIME);
}

// DateAdd(interval, number, date), DateDiff(interval, date1, date2), DatePart(interval, date);
// the optional week arguments of the last two are VBA's defaults or refused.
void emit_date_arithmetic(const std::u16string& name, const emitted_args& args,
                          jet_sql_emitted& result) {
    std::string interval = text_operand(args[0]);
    if (win_equal_ignore_case(name, u"DateAdd")) {
        result.sql = "jet_dateadd(" + interval + ", " + number_operand(args[1]) + ", "
                     + "jet_cdate(" + number_operand(args[2]) + "))";
        result.type = jet_sql_type::of(JET_TYPE_DATETIME);
    } else if (win_equal_ignore_case(name, u"DateDiff")) {
        result.sql = "jet_datediff(" + interval + ", jet_cdate(" + number_operand(args[1])
                     + "), jet_cdate(" + number_operand(args[2]) + "))";
        result.type = jet_sql_type::of(JET_TYPE_INT32);
    } else {
        result.sql = "jet_datepart2(" + interval + ", jet_cdate(" + number_operand(args[1]) + "))";
        result.type = jet_sql_type::of(JET_TYPE_INT32);
    }
}

void emit_format(const std::u16string&, const emitted_args& args, jet_sql_emitted& result) {
    std::string pattern = args.size() > 1 ? text_operand(args[1]) : "NULL";
    result.sql = "jet_format(" + number_operand(args[0]) + ", " + pattern + ", "
                 + (args[0].type.is_date() ? "1" : "0") + ")";
    result.type = jet_sql_type::text();
}

using function_emitter = void (*)(const std::u16string&, const emitted_args&, jet_sql_emitted&);

struct function_entry {
    std::u16string_view name;
    std::size_t min_args, max_args;
    function_emitter emitter;
};

constexpr function_entry FUNCTIONS[] = {
    {u"IIf", 3, 3, emit_iif},
    {u"Nz", 1, 2, emit_nz},
    {u"Len", 1, 1, emit_text_function},
    {u"Left", 2, 2, emit_text_function},
    {u"Right", 2, 2, emit_text_function},
    {u"Mid", 2, 3, emit_text_function},
    {u"UCase", 1, 1, emit_text_function},
    {u"LCase", 1, 1, emit_text_function},
    {u"Trim", 1, 1, emit_text_function},
    {u"LTrim", 1, 1, emit_text_function},
    {u"RTrim", 1, 1, emit_text_function},
    {u"CStr", 1, 1, emit_text_function},
    {u"Date", 0, 0, emit_clock},
    {u"Now", 0, 0, emit_clock},
    {u"Year", 1, 1, emit_date_part},
    {u"Month", 1, 1, emit_date_part},
    {u"Day", 1, 1, emit_date_part},
    {u"Hour", 1, 1, emit_date_part},
    {u"Minute", 1, 1, emit_date_part},
    {u"Second", 1, 1, emit_date_part},
    {u"Weekday", 1, 1, emit_date_part},
    {u"Int", 1, 1, emit_rounding},
    {u"Fix", 1, 1, emit_rounding},
    {u"Round", 1, 2, emit_rounding},
    {u"Abs", 1, 1, emit_abs},
    {u"CDbl", 1, 1, emit_conversion},
    {u"CCur", 1, 1, emit_conversion},
    {u"CLng", 1, 1, emit_conversion},
    {u"CInt", 1, 1, emit_conversion},
    {u"InStr", 2, 4, emit_instr},
    {u"Switch", 2, 254, emit_switch},
    {u"Choose", 2, 254, emit_choose},
    {u"IsNull", 1, 1, emit_is_null},
    {u"CDate", 1, 1, emit_cdate},
    {u"DateSerial", 3, 3, emit_date_serial},
    {u"DateAdd", 3, 3, emit_date_arithmetic},
    {u"DateDiff", 3, 3, emit_date_arithmetic},
    {u"DatePart", 2, 2, emit_date_arithmetic},
    {u"Format", 1, 2, emit_format},
};

}   // namespace

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
    } else if (function == u"Sum" && type.is_integer()) {
        // Access sums whole numbers as a Long (a BigInt stays BigInt): no fraction appears.
        result.sql = "sum(" + operand.sql + ")";
        result.type = jet_sql_type::of(type.type_code == JET_TYPE_BIGINT ? JET_TYPE_BIGINT
                                                                         : JET_TYPE_INT32);
    } else if (function == u"Sum" && type.is_decimal()) {
        result.sql = "jet_decimal_sum(" + operand.sql + ")";
        result.type = type;
        result.type.precision = 28;
    } else if (function == u"Sum") {
        result.sql = "sum(" + (type.is_currency() ? operand.sql : as_double(operand)) + ")";
        result.type = jet_sql_type::of(type.is_currency() ? JET_TYPE_CURRENCY : JET_TYPE_FLOAT64);
    } else if (function == u"Avg") {
        result.sql = "avg(" + (type.is_currency() ? operand.sql : as_double(operand)) + ")";
        result.type = jet_sql_type::of(type.is_currency() ? JET_TYPE_CURRENCY : JET_TYPE_FLOAT64);
    } else if (function == u"Min" || function == u"Max") {
        std::string value = type.is_decimal() ? as_double(operand) : operand.sql;
        result.sql = (function == u"Min" ? "min(" : "max(")
                     + jet_sql_collated(value, type.is_text()) + ")";
        result.type = type.is_decimal() ? jet_sql_type::of(JET_TYPE_FLOAT64) : type;
    } else {
        result.sql = (function == u"First" ? "jet_first(" : "jet_last(") + operand.sql + ")";
        result.type = type;
    }
    return result;
}

jet_sql_emitted jet_sql_binder::emit_call(const jet_sql_expr& expr, jet_sql_scope& scope) {
    for (std::u16string_view aggregate : AGGREGATES)
        if (is_named(expr, aggregate))
            return emit_aggregate(expr, scope, std::u16string(aggregate));
    const function_entry* function = nullptr;
    for (const function_entry& entry : FUNCTIONS)
        if (is_named(expr, entry.name)) function = &entry;
    if (function == nullptr) throw jet_sql_undefined_function(expr.name);
    if (expr.args.size() < function->min_args || expr.args.size() > function->max_args
        || (function->emitter == emit_switch && expr.args.size() % 2 != 0))
        throw jet_sql_expression_error(expr.source);
    emitted_args args;
    for (const jet_sql_expr_ptr& arg : expr.args) {
        if (arg->kind == jet_sql_expr_kind::star) throw jet_sql_expression_error(expr.source);
        args.push_back(emit(*arg, scope));
    }
    jet_sql_emitted result;
    absorb_all(result, args);
    function->emitter(expr.name, args, result);
    return result;
}
