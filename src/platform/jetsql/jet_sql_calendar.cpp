#include "platform/jetsql/jet_sql_calendar.hpp"

#include <sqlite3.h>

#include <cmath>
#include <cstdint>

#include "platform/jetsql/jet_sql_date.hpp"
#include "platform/jetsql/jet_sql_errors.hpp"
#include "platform/jetsql/jet_sql_functions.hpp"
#include "platform/jetsql/jet_sql_text.hpp"
#include "platform/oleaut/oleaut_calendar.hpp"
#include "platform/winbase/win_compare.hpp"

namespace {

constexpr std::int64_t SECONDS_PER_DAY = 86400;

enum class interval_kind {
    year,
    quarter,
    month,
    day_of_year,
    day,
    weekday,
    week,
    hour,
    minute,
    second
};

std::optional<interval_kind> interval_of(std::u16string_view text) {
    struct named {
        std::u16string_view name;
        interval_kind kind;
    };
    static constexpr named INTERVALS[] = {
        {u"yyyy", interval_kind::year}, {u"q", interval_kind::quarter},
        {u"m", interval_kind::month},   {u"y", interval_kind::day_of_year},
        {u"d", interval_kind::day},     {u"w", interval_kind::weekday},
        {u"ww", interval_kind::week},   {u"h", interval_kind::hour},
        {u"n", interval_kind::minute},  {u"s", interval_kind::second}};
    for (const named& each : INTERVALS)
        if (win_equal_ignore_case(text, each.name)) return each.kind;
    return std::nullopt;
}

// A date as whole days (the calendar day's number, negative before 1899-12-30) and seconds
// into that day, so arithmetic is linear across the epoch.
struct day_time {
    std::int64_t day = 0;
    std::int64_t second = 0;
};

std::optional<day_time> split_linear(double date) {
    std::optional<jet_sql_date_parts> parts = jet_sql_date_split(date);
    if (!parts) return std::nullopt;
    jet_sql_date_parts date_only = *parts;
    date_only.hour = date_only.minute = date_only.second = 0;
    return day_time{std::int64_t(jet_sql_date_join(date_only)),
                    parts->hour * 3600 + parts->minute * 60 + parts->second};
}

std::optional<double> join_linear(std::int64_t day, std::int64_t second) {
    day += second / SECONDS_PER_DAY;
    second %= SECONDS_PER_DAY;
    if (second < 0) second += SECONDS_PER_DAY, --day;
    double fraction = double(second) / double(SECONDS_PER_DAY);
    double date = day < 0 ? double(day) - fraction : double(day) + fraction;
    if (!jet_sql_date_split(date)) return std::nullopt;
    return date;
}

// 1 for Sunday .. 7 for Saturday, as VBA counts.
int weekday_of(std::int64_t day) { return day_of_week(day) + 1; }

std::optional<double> add_months(double date, std::int64_t months) {
    std::optional<jet_sql_date_parts> parts = jet_sql_date_split(date);
    if (!parts) return std::nullopt;
    std::int64_t total = std::int64_t(parts->year) * 12 + (parts->month - 1) + months;
    if (total < 100 * 12 || total > 9999 * 12 + 11) return std::nullopt;
    parts->year = int(total / 12);
    parts->month = int(total % 12) + 1;
    parts->day = std::min(parts->day, days_in_month(parts->year, parts->month));
    return jet_sql_date_join(*parts);
}

// Sunday-based week number within the year: week 1 holds January 1.
int week_of_year(std::int64_t day, int year) {
    std::int64_t january_first = std::int64_t(jet_sql_date_join({year, 1, 1}));
    std::int64_t first_sunday = january_first - (weekday_of(january_first) - 1);
    return int((day - first_sunday) / 7) + 1;
}

}   // namespace

std::optional<double> jet_sql_date_serial(double year, double month, double day) {
    if (!std::isfinite(year) || !std::isfinite(month) || !std::isfinite(day)) return std::nullopt;
    std::int64_t whole_year = std::int64_t(std::nearbyint(year));
    if (whole_year >= 0 && whole_year <= 29) whole_year += 2000;
    else if (whole_year >= 30 && whole_year <= 99) whole_year += 1900;
    double months = double(whole_year) * 12 + std::nearbyint(month) - 1;
    if (std::fabs(months) > 2.0e5 || std::fabs(day) > 4.0e6) return std::nullopt;
    std::int64_t total = std::int64_t(months);
    std::int64_t first_year = total >= 0 ? total / 12 : (total - 11) / 12;
    int first_month = int(total - first_year * 12) + 1;
    if (first_year < 100 || first_year > 9999) return std::nullopt;
    std::int64_t first_day = std::int64_t(jet_sql_date_join({int(first_year), first_month, 1}));
    return join_linear(first_day + std::int64_t(std::nearbyint(day)) - 1, 0);
}

std::optional<double> jet_sql_date_add(std::u16string_view interval, double number, double date) {
    std::optional<interval_kind> kind = interval_of(interval);
    std::optional<day_time> start = split_linear(date);
    if (!kind || !start || !std::isfinite(number) || std::fabs(number) > 1.0e9) return std::nullopt;
    std::int64_t count = std::int64_t(std::nearbyint(number));
    switch (*kind) {
    case interval_kind::year: return add_months(date, count * 12);
    case interval_kind::quarter: return add_months(date, count * 3);
    case interval_kind::month: return add_months(date, count);
    case interval_kind::week: return join_linear(start->day + count * 7, start->second);
    case interval_kind::hour: return join_linear(start->day, start->second + count * 3600);
    case interval_kind::minute: return join_linear(start->day, start->second + count * 60);
    case interval_kind::second: return join_linear(start->day, start->second + count);
    default: return join_linear(start->day + count, start->second);   // y d w: days
    }
}

std::optional<double> jet_sql_date_diff(std::u16string_view interval, double first, double second) {
    std::optional<interval_kind> kind = interval_of(interval);
    std::optional<day_time> from = split_linear(first), to = split_linear(second);
    std::optional<jet_sql_date_parts> from_parts = jet_sql_date_split(first);
    std::optional<jet_sql_date_parts> to_parts = jet_sql_date_split(second);
    if (!kind || !from || !to) return std::nullopt;
    std::int64_t from_seconds = from->day * SECONDS_PER_DAY + from->second;
    std::int64_t to_seconds = to->day * SECONDS_PER_DAY + to->second;
    auto boundaries = [&](std::int64_t unit) {
        auto floor_div = [](std::int64_t a, std::int64_t b) {
            return a >= 0 ? a / b : -((-a + b - 1) / b);
        };
        return double(floor_div(to_seconds, unit) - floor_div(from_seconds, unit));
    };
    std::int64_t months = (std::int64_t(to_parts->year) * 12 + to_parts->month)
                          - (std::int64_t(from_parts->year) * 12 + from_parts->month);
    switch (*kind) {
    case interval_kind::year: return double(to_parts->year - from_parts->year);
    case interval_kind::quarter: {
        // Whole quarters: the integer divisions drop the month within the quarter.
        const std::int64_t quarters = (to_parts->year * 4 + (to_parts->month - 1) / 3)
                                      - (from_parts->year * 4 + (from_parts->month - 1) / 3);
        return double(quarters);
    }
    case interval_kind::month: return double(months);
    case interval_kind::weekday: {
        const std::int64_t whole_weeks = (to->day - from->day) / 7;
        return double(whole_weeks);
    }
    case interval_kind::week: {   // Sundays crossed
        const std::int64_t sundays = ((to->day - weekday_of(to->day) + 1)
                                      - (from->day - weekday_of(from->day) + 1))
                                     / 7;
        return double(sundays);
    }
    case interval_kind::hour: return boundaries(3600);
    case interval_kind::minute: return boundaries(60);
    case interval_kind::second: return boundaries(1);
    default: return double(to->day - from->day);   // y d
    }
}

std::optional<double> jet_sql_date_part_value(std::u16string_view interval, double date) {
    std::optional<interval_kind> kind = interval_of(interval);
    std::optional<jet_sql_date_parts> parts = jet_sql_date_split(date);
    std::optional<day_time> linear = split_linear(date);
    if (!kind || !parts) return std::nullopt;
    switch (*kind) {
    case interval_kind::year: return parts->year;
    case interval_kind::quarter: return (parts->month - 1) / 3 + 1;
    case interval_kind::month: return parts->month;
    case interval_kind::day_of_year:
        return double(linear->day - std::int64_t(jet_sql_date_join({parts->year, 1, 1})) + 1);
    case interval_kind::day: return parts->day;
    case interval_kind::weekday: return weekday_of(linear->day);
    case interval_kind::week: return week_of_year(linear->day, parts->year);
    case interval_kind::hour: return parts->hour;
    case interval_kind::minute: return parts->minute;
    case interval_kind::second: return parts->second;
    }
    return std::nullopt;
}

namespace {

bool any_null(int argc, sqlite3_value** argv) {
    for (int arg_idx = 0; arg_idx < argc; ++arg_idx)
        if (sqlite3_value_type(argv[arg_idx]) == SQLITE_NULL) return true;
    return false;
}

void answer(sqlite3_context* context, std::optional<double> value, bool is_whole) {
    if (!value) {
        return jet_sql_fail(context, VBA_ERR_INVALID_ARGUMENT,
                            "Invalid procedure call or argument");
    }
    if (is_whole) return sqlite3_result_int64(context, std::int64_t(*value));
    sqlite3_result_double(context, *value);
}

void date_serial(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (any_null(argc, argv)) return sqlite3_result_null(context);
    answer(context,
           jet_sql_date_serial(sqlite3_value_double(argv[0]), sqlite3_value_double(argv[1]),
                               sqlite3_value_double(argv[2])),
           false);
}

void date_add(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (any_null(argc, argv)) return sqlite3_result_null(context);
    answer(context,
           jet_sql_date_add(jet_sql_value_text(argv[0]), sqlite3_value_double(argv[1]),
                            sqlite3_value_double(argv[2])),
           false);
}

void date_diff(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (any_null(argc, argv)) return sqlite3_result_null(context);
    answer(context,
           jet_sql_date_diff(jet_sql_value_text(argv[0]), sqlite3_value_double(argv[1]),
                             sqlite3_value_double(argv[2])),
           true);
}

void date_part(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (any_null(argc, argv)) return sqlite3_result_null(context);
    answer(context,
           jet_sql_date_part_value(jet_sql_value_text(argv[0]), sqlite3_value_double(argv[1])),
           true);
}

}   // namespace

void jet_sql_register_calendar(sqlite3* connection, jet_sql_failure* failure) {
    struct entry {
        const char* name;
        int arg_count;
        void (*function)(sqlite3_context*, int, sqlite3_value**);
    };
    static constexpr entry FUNCTIONS[] = {{"jet_dateserial", 3, date_serial},
                                          {"jet_dateadd", 3, date_add},
                                          {"jet_datediff", 3, date_diff},
                                          {"jet_datepart2", 2, date_part}};
    for (const entry& each : FUNCTIONS)
        sqlite3_create_function(connection, each.name, each.arg_count,
                                SQLITE_UTF8 | SQLITE_DETERMINISTIC, failure, each.function, nullptr,
                                nullptr);
}
