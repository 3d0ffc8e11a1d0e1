// oleaut_time.cpp - SYSTEMTIME <-> DATE. Unlike the platform, which drops milliseconds and
// rounds to the second, both directions keep milliseconds, so a value read from Jet with
// milliseconds reaches the destination with them.
#include "platform/oleaut/oleaut_time.hpp"

#include "platform/oleaut/oleaut_calendar.hpp"

#include <cmath>

namespace {

bool is_time_of_day(const SYSTEMTIME& time) {
    return time.wHour <= 23 && time.wMinute <= 59 && time.wSecond <= 59
           && time.wMilliseconds <= 999;
}

std::int64_t milliseconds_of(const SYSTEMTIME& time) {
    return ((std::int64_t(time.wHour) * 60 + time.wMinute) * 60 + time.wSecond) * 1000
           + time.wMilliseconds;
}

}   // namespace

INT SystemTimeToVariantTime(const SYSTEMTIME* time, DATE* date) {
    if (time == nullptr || date == nullptr || !is_time_of_day(*time)) return 0;
    bool time_only = time->wYear == 0 && time->wMonth == 0 && time->wDay == 0;
    std::int64_t day = 0;
    if (!time_only) {
        if (!is_calendar_date(time->wYear, time->wMonth, time->wDay)) return 0;
        day = day_number(civil_date{time->wYear, time->wMonth, time->wDay});
    }
    *date = date_from_parts(day, milliseconds_of(*time));
    return 1;
}

INT VariantTimeToSystemTime(DATE date, SYSTEMTIME* time) {
    if (time == nullptr || !(date > DATE_MIN - 1.0 && date < DATE_MAX + 1.0)) return 0;
    double whole = std::trunc(date);
    std::int64_t day = std::int64_t(whole);
    std::int64_t milliseconds = std::llround(std::fabs(date - whole) * MILLISECONDS_PER_DAY);
    if (milliseconds >= MILLISECONDS_PER_DAY) {   // 23:59:59.9996 is the next day
        milliseconds -= MILLISECONDS_PER_DAY;
        ++day;
    }
    civil_date civil = date_of_day_number(day);
    if (civil.year < 100 || civil.year > 9999) return 0;
    SYSTEMTIME result{};
    result.wYear = WORD(civil.year);
    result.wMonth = WORD(civil.month);
    result.wDay = WORD(civil.day);
    result.wDayOfWeek = WORD(day_of_week(day));
    result.wMilliseconds = WORD(milliseconds % 1000);
    result.wSecond = WORD(milliseconds / 1000 % 60);
    result.wMinute = WORD(milliseconds / 60000 % 60);
    result.wHour = WORD(milliseconds / 3600000);
    *time = result;
    return 1;
}
