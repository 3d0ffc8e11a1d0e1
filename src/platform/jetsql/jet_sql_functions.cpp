#include "platform/jetsql/jet_sql_functions.hpp"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string_view>

#include "platform/jetsql/jet_sql_calendar.hpp"
#include "platform/jetsql/jet_sql_date.hpp"
#include "platform/jetsql/jet_sql_decimal.hpp"
#include "platform/jetsql/jet_sql_errors.hpp"
#include "platform/jetsql/jet_sql_format.hpp"
#include "platform/jetsql/jet_sql_like.hpp"
#include "platform/jetsql/jet_sql_text.hpp"
#include "platform/oleaut/oleaut_calendar.hpp"
#include "platform/winbase/win_compare.hpp"

namespace {

void fail_argument(sqlite3_context* context) {
    jet_sql_fail(context, VBA_ERR_INVALID_ARGUMENT, "Invalid procedure call or argument");
}

bool any_null(int argc, sqlite3_value** argv) {
    for (int arg_idx = 0; arg_idx < argc; ++arg_idx)
        if (sqlite3_value_type(argv[arg_idx]) == SQLITE_NULL) return true;
    return false;
}

void result_text(sqlite3_context* context, const std::u16string& text) {
    sqlite3_result_text16(context, text.data(), int(text.size() * 2), SQLITE_TRANSIENT);
}

int collate_nocase(void*, int left_bytes, const void* left, int right_bytes, const void* right) {
    std::u16string_view left_text(static_cast<const char16_t*>(left), left_bytes / 2);
    std::u16string_view right_text(static_cast<const char16_t*>(right), right_bytes / 2);
    return win_compare_ignore_case(left_text, right_text);
}

void like(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (any_null(argc, argv)) return sqlite3_result_null(context);
    std::optional<bool> result = jet_sql_like(jet_sql_value_text(argv[0]),
                                              jet_sql_value_text(argv[1]));
    if (!result) return jet_sql_fail(context, 93, "Invalid pattern string");
    sqlite3_result_int(context, *result ? -1 : 0);
}

// &: Null joins as empty text; only two Nulls give Null.
void concat(sqlite3_context* context, int, sqlite3_value** argv) {
    bool left_null = sqlite3_value_type(argv[0]) == SQLITE_NULL;
    bool right_null = sqlite3_value_type(argv[1]) == SQLITE_NULL;
    if (left_null && right_null) return sqlite3_result_null(context);
    std::u16string text = left_null ? u"" : jet_sql_value_text(argv[0]);
    if (!right_null) text += jet_sql_value_text(argv[1]);
    result_text(context, text);
}

void divide(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (any_null(argc, argv)) return sqlite3_result_null(context);
    double divisor = sqlite3_value_double(argv[1]);
    if (divisor == 0) return jet_sql_fail(context, VBA_ERR_DIVISION_BY_ZERO, "Division by zero");
    sqlite3_result_double(context, sqlite3_value_double(argv[0]) / divisor);
}

// \ and Mod round both operands to whole numbers (half to even) before dividing.
bool integer_operands(sqlite3_context* context, sqlite3_value** argv, std::int64_t& left,
                      std::int64_t& right) {
    double left_value = std::nearbyint(sqlite3_value_double(argv[0]));
    double right_value = std::nearbyint(sqlite3_value_double(argv[1]));
    if (std::fabs(left_value) > 9.2e18 || std::fabs(right_value) > 9.2e18) {
        jet_sql_fail(context, VBA_ERR_OVERFLOW, "Overflow");
        return false;
    }
    left = std::int64_t(left_value);
    right = std::int64_t(right_value);
    if (right == 0) {
        jet_sql_fail(context, VBA_ERR_DIVISION_BY_ZERO, "Division by zero");
        return false;
    }
    return true;
}

void integer_divide(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (any_null(argc, argv)) return sqlite3_result_null(context);
    std::int64_t left = 0, right = 0;
    if (!integer_operands(context, argv, left, right)) return;
    if (right == -1) return sqlite3_result_int64(context, -left);
    sqlite3_result_int64(context, left / right);
}

void modulo(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (any_null(argc, argv)) return sqlite3_result_null(context);
    std::int64_t left = 0, right = 0;
    if (!integer_operands(context, argv, left, right)) return;
    sqlite3_result_int64(context, right == -1 ? 0 : left % right);
}

void power(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (any_null(argc, argv)) return sqlite3_result_null(context);
    double result = std::pow(sqlite3_value_double(argv[0]), sqlite3_value_double(argv[1]));
    if (!std::isfinite(result)) return fail_argument(context);
    sqlite3_result_double(context, result);
}

void length(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (any_null(argc, argv)) return sqlite3_result_null(context);
    sqlite3_result_int64(context, std::int64_t(jet_sql_value_text(argv[0]).size()));
}

// A character count argument: whole, not negative, else VBA's error 5.
std::optional<std::size_t> count_argument(sqlite3_context* context, sqlite3_value* value,
                                          std::int64_t minimum) {
    double count = std::nearbyint(sqlite3_value_double(value));
    if (!(count >= double(minimum)) || count > 2147483647.0) {
        fail_argument(context);
        return std::nullopt;
    }
    return std::size_t(count);
}

void left(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (any_null(argc, argv)) return sqlite3_result_null(context);
    std::optional<std::size_t> count = count_argument(context, argv[1], 0);
    if (!count) return;
    result_text(context, jet_sql_value_text(argv[0]).substr(0, *count));
}

void right(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (any_null(argc, argv)) return sqlite3_result_null(context);
    std::optional<std::size_t> count = count_argument(context, argv[1], 0);
    if (!count) return;
    std::u16string text = jet_sql_value_text(argv[0]);
    result_text(context, text.substr(text.size() - std::min(*count, text.size())));
}

void mid(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (any_null(argc, argv)) return sqlite3_result_null(context);
    std::optional<std::size_t> start = count_argument(context, argv[1], 1);
    if (!start) return;
    std::size_t count = std::u16string::npos;
    if (argc > 2) {
        std::optional<std::size_t> given = count_argument(context, argv[2], 0);
        if (!given) return;
        count = *given;
    }
    std::u16string text = jet_sql_value_text(argv[0]);
    if (*start > text.size()) return result_text(context, u"");
    result_text(context, text.substr(*start - 1, count));
}

// InStr(start, text, sought, compare): 1-based position, 0 when absent, start when sought is
// empty and start lies within the text.
void instr(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (any_null(argc, argv)) return sqlite3_result_null(context);
    std::optional<std::size_t> start = count_argument(context, argv[0], 1);
    if (!start) return;
    std::u16string text = jet_sql_value_text(argv[1]);
    std::u16string sought = jet_sql_value_text(argv[2]);
    if (sqlite3_value_int(argv[3]) != 0) {
        text = win_fold_case(text);
        sought = win_fold_case(sought);
    }
    if (*start > text.size()) return sqlite3_result_int(context, 0);
    std::size_t found = text.find(sought, *start - 1);
    sqlite3_result_int64(context, found == std::u16string::npos ? 0 : std::int64_t(found) + 1);
}

// CDate: a number is already a date; text is read as a date literal or a number.
void cdate(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(context);
    if (sqlite3_value_type(argv[0]) != SQLITE_TEXT)
        return sqlite3_result_double(context, sqlite3_value_double(argv[0]));
    std::u16string text = jet_sql_value_text(argv[0]);
    std::optional<double> date = jet_sql_parse_date(text);
    if (!date) date = jet_sql_parse_number(text);
    if (!date) return jet_sql_fail(context, VBA_ERR_TYPE_MISMATCH, "Type mismatch");
    sqlite3_result_double(context, *date);
}

void upper(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (any_null(argc, argv)) return sqlite3_result_null(context);
    result_text(context, jet_sql_upper(jet_sql_value_text(argv[0])));
}

void lower(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (any_null(argc, argv)) return sqlite3_result_null(context);
    result_text(context, win_fold_case(jet_sql_value_text(argv[0])));
}

void date_part(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (any_null(argc, argv)) return sqlite3_result_null(context);
    double serial = sqlite3_value_double(argv[0]);
    std::optional<jet_sql_date_parts> parts = jet_sql_date_split(serial);
    if (!parts) return fail_argument(context);
    int value = 0;
    switch (jet_sql_date_part(sqlite3_value_int(argv[1]))) {
    case jet_sql_date_part::year: value = parts->year; break;
    case jet_sql_date_part::month: value = parts->month; break;
    case jet_sql_date_part::day: value = parts->day; break;
    case jet_sql_date_part::hour: value = parts->hour; break;
    case jet_sql_date_part::minute: value = parts->minute; break;
    case jet_sql_date_part::second: value = parts->second; break;
    case jet_sql_date_part::weekday:   // 1 for Sunday, as VBA counts
        value = day_of_week(std::int64_t(jet_sql_date_join(*parts))) + 1;
        break;
    }
    sqlite3_result_int(context, value);
}

// Date() and Now() in local time, as Access reads the clock.
void now(sqlite3_context* context, int, sqlite3_value** argv) {
    std::time_t clock = std::time(nullptr);
    std::tm local{};
    localtime_r(&clock, &local);
    jet_sql_date_parts parts;
    parts.year = local.tm_year + 1900, parts.month = local.tm_mon + 1, parts.day = local.tm_mday;
    if (sqlite3_value_int(argv[0]) != 0)
        parts.hour = local.tm_hour, parts.minute = local.tm_min, parts.second = local.tm_sec;
    sqlite3_result_double(context, jet_sql_date_join(parts));
}

void round_number(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (any_null(argc, argv)) return sqlite3_result_null(context);
    int places = argc > 1 ? sqlite3_value_int(argv[1]) : 0;
    if (places < 0 || places > 15) return fail_argument(context);
    if (sqlite3_value_numeric_type(argv[0]) == SQLITE_INTEGER)
        return sqlite3_result_int64(context, sqlite3_value_int64(argv[0]));
    double scale = std::pow(10.0, places);
    // Half to even, as VBA's Round (banker's rounding).
    sqlite3_result_double(context, std::nearbyint(sqlite3_value_double(argv[0]) * scale) / scale);
}

void whole_part(sqlite3_context* context, sqlite3_value* value, double (*rounding)(double)) {
    if (sqlite3_value_type(value) == SQLITE_NULL) return sqlite3_result_null(context);
    if (sqlite3_value_numeric_type(value) == SQLITE_INTEGER)
        return sqlite3_result_int64(context, sqlite3_value_int64(value));
    sqlite3_result_double(context, rounding(sqlite3_value_double(value)));
}

void int_function(sqlite3_context* context, int, sqlite3_value** argv) {
    whole_part(context, argv[0], [](double x) { return std::floor(x); });
}

void fix_function(sqlite3_context* context, int, sqlite3_value** argv) {
    whole_part(context, argv[0], [](double x) { return std::trunc(x); });
}

// First and Last keep the first and the last row's value, Null included.
struct kept_value {
    sqlite3_value* value = nullptr;
    bool is_set = false;
};

void keep(sqlite3_context* context, sqlite3_value* value, bool replace) {
    auto* kept = static_cast<kept_value*>(sqlite3_aggregate_context(context, sizeof(kept_value)));
    if (kept == nullptr) return sqlite3_result_error_nomem(context);
    if (kept->is_set && !replace) return;
    sqlite3_value_free(kept->value);
    kept->value = sqlite3_value_dup(value);
    kept->is_set = true;
}

void first_step(sqlite3_context* context, int, sqlite3_value** argv) {
    keep(context, argv[0], false);
}

void last_step(sqlite3_context* context, int, sqlite3_value** argv) {
    keep(context, argv[0], true);
}

void kept_final(sqlite3_context* context) {
    auto* kept = static_cast<kept_value*>(sqlite3_aggregate_context(context, 0));
    if (kept == nullptr || kept->value == nullptr) return sqlite3_result_null(context);
    sqlite3_result_value(context, kept->value);
    sqlite3_value_free(kept->value);
    kept->value = nullptr;
}

// A scalar subquery's one value; a second row is Access's error 3354.
struct single_value {
    sqlite3_value* value = nullptr;
    bool is_set = false;
    bool has_failed = false;
};

void single_step(sqlite3_context* context, int, sqlite3_value** argv) {
    auto* single = static_cast<single_value*>(
        sqlite3_aggregate_context(context, sizeof(single_value)));
    if (single == nullptr) return sqlite3_result_error_nomem(context);
    if (single->has_failed) return;
    if (single->is_set) {
        single->has_failed = true;
        return jet_sql_fail(context, JET_ERR_SUBQUERY_ROWS,
                            "At most one record can be returned by this subquery.");
    }
    single->value = sqlite3_value_dup(argv[0]);
    single->is_set = true;
}

void single_final(sqlite3_context* context) {
    auto* single = static_cast<single_value*>(sqlite3_aggregate_context(context, 0));
    if (single == nullptr || single->value == nullptr) return sqlite3_result_null(context);
    if (single->has_failed) {
        sqlite3_value_free(single->value);
        return jet_sql_fail(context, JET_ERR_SUBQUERY_ROWS,
                            "At most one record can be returned by this subquery.");
    }
    sqlite3_result_value(context, single->value);
    sqlite3_value_free(single->value);
    single->value = nullptr;
}

using scalar_fn = void (*)(sqlite3_context*, int, sqlite3_value**);

struct scalar_entry {
    const char* name;
    int arg_count;
    scalar_fn function;
    bool is_deterministic;
};

constexpr scalar_entry SCALARS[] = {
    {"jet_like", 2, like, true},
    {"jet_concat", 2, concat, true},
    {"jet_div", 2, divide, true},
    {"jet_idiv", 2, integer_divide, true},
    {"jet_mod", 2, modulo, true},
    {"jet_pow", 2, power, true},
    {"jet_len", 1, length, true},
    {"jet_left", 2, left, true},
    {"jet_right", 2, right, true},
    {"jet_mid", 2, mid, true},
    {"jet_mid", 3, mid, true},
    {"jet_ucase", 1, upper, true},
    {"jet_lcase", 1, lower, true},
    {"jet_datepart", 2, date_part, true},
    {"jet_now", 1, now, false},
    {"jet_round", 1, round_number, true},
    {"jet_round", 2, round_number, true},
    {"jet_int", 1, int_function, true},
    {"jet_fix", 1, fix_function, true},
    {"jet_instr", 4, instr, true},
    {"jet_cdate", 1, cdate, true},
};

}   // namespace

void jet_sql_fail(sqlite3_context* context, int number, const char* text) {
    auto* failure = static_cast<jet_sql_failure*>(sqlite3_user_data(context));
    failure->number = number;
    failure->text = text;
    sqlite3_result_error(context, text, -1);
}

void jet_sql_register_functions(sqlite3* connection, jet_sql_failure* failure) {
    jet_sql_register_calendar(connection, failure);
    jet_sql_register_format(connection, failure);
    jet_sql_register_decimal(connection, failure);
    sqlite3_create_collation(connection, JET_SQL_COLLATION, SQLITE_UTF16, nullptr, collate_nocase);
    for (const scalar_entry& entry : SCALARS) {
        int flags = SQLITE_UTF8 | (entry.is_deterministic ? SQLITE_DETERMINISTIC : 0);
        sqlite3_create_function(connection, entry.name, entry.arg_count, flags, failure,
                                entry.function, nullptr, nullptr);
    }
    sqlite3_create_function(connection, "jet_first", 1, SQLITE_UTF8, failure, nullptr, first_step,
                            kept_final);
    sqlite3_create_function(connection, "jet_single", 1, SQLITE_UTF8, failure, nullptr, single_step,
                            single_final);
    sqlite3_create_function(connection, "jet_last", 1, SQLITE_UTF8, failure, nullptr, last_step,
                            kept_final);
}
