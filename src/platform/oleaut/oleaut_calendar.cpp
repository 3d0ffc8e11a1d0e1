// oleaut_calendar.cpp - civil-date arithmetic by the era algorithm (400-year cycles of
// 146097 days), valid for every year the runtime accepts.
#include "platform/oleaut/oleaut_calendar.hpp"

namespace {

constexpr std::int64_t UNIX_DAYS_OF_EPOCH = -25569;   // 1899-12-30 relative to 1970-01-01

std::int64_t days_from_civil(int year, int month, int day) {
    std::int64_t y = month <= 2 ? year - 1 : year;
    std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    std::int64_t year_of_era = y - era * 400;
    std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    std::int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

}   // namespace

bool is_leap_year(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int year, int month) {
    static constexpr int DAYS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && is_leap_year(year)) return 29;
    return DAYS[month - 1];
}

bool is_calendar_date(int year, int month, int day) {
    if (year < 100 || year > 9999 || month < 1 || month > 12) return false;
    return day >= 1 && day <= days_in_month(year, month);
}

std::int64_t day_number(const civil_date& date) {
    return days_from_civil(date.year, date.month, date.day) - UNIX_DAYS_OF_EPOCH;
}

civil_date date_of_day_number(std::int64_t day) {
    std::int64_t z = day + UNIX_DAYS_OF_EPOCH + 719468;
    std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    std::int64_t day_of_era = z - era * 146097;
    std::int64_t year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524
                                - day_of_era / 146096)
                               / 365;
    std::int64_t day_of_year = day_of_era
                               - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    std::int64_t month_index = (5 * day_of_year + 2) / 153;
    int day_of_month = int(day_of_year - (153 * month_index + 2) / 5 + 1);
    int month = int(month_index < 10 ? month_index + 3 : month_index - 9);
    int year = int(year_of_era + era * 400 + (month <= 2 ? 1 : 0));
    return civil_date{year, month, day_of_month};
}

int day_of_week(std::int64_t day) {
    std::int64_t weekday = (day + 6) % 7;   // day 0 was a Saturday
    return int(weekday < 0 ? weekday + 7 : weekday);
}

double date_from_parts(std::int64_t day, std::int64_t milliseconds) {
    double fraction = double(milliseconds) / MILLISECONDS_PER_DAY;
    return day >= 0 ? double(day) + fraction : double(day) - fraction;
}
