#pragma once
// oleaut_calendar.hpp - proleptic Gregorian day arithmetic shared by the DATE functions:
// day numbers count from 1899-12-30, the OLE epoch (day 0, a Saturday).

#include <cstdint>

struct civil_date {
    int year;
    int month;   // 1..12
    int day;     // 1..31
};

inline constexpr int MILLISECONDS_PER_DAY = 86400000;

bool is_leap_year(int year);
int days_in_month(int year, int month);
// True for years 100..9999 and a day that month has.
bool is_calendar_date(int year, int month, int day);
std::int64_t day_number(const civil_date& date);
civil_date date_of_day_number(std::int64_t day);
int day_of_week(std::int64_t day);   // 0 Sunday .. 6 Saturday

// The DATE of a day and a time of day in milliseconds (0..86399999): before the epoch the
// day is negative and the time is added as a positive fraction, so -1.25 is 1899-12-29 06:00.
double date_from_parts(std::int64_t day, std::int64_t milliseconds);
