#pragma once
// dbl_date.hpp - calendar arithmetic and the date strings SQL Server reads and writes.
// datetime counts 1/300 s ticks from 1900-01-01 (1753-01-01 .. 9999-12-31); datetime2
// counts 100 ns from 0001-01-01.

#include <cstdint>
#include <optional>
#include <string>

constexpr std::int64_t DBL_TICKS_PER_DAY = 25920000;     // datetime: 300 per second
constexpr std::int64_t DBL_HNS_PER_DAY = 864000000000;   // datetime2: 100 ns units

struct dbl_civil {
    int year = 1900, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    std::int64_t fraction_hns = 0;   // 100 ns units within the second
    int fraction_digits = 0;         // digits written after the point
};

// Days from 1900-01-01 (negative before).
std::int64_t dbl_days_from_civil(int year, int month, int day);
void dbl_civil_from_days(std::int64_t days, int& year, int& month, int& day);
bool dbl_is_valid_day(int year, int month, int day);

enum class dbl_date_parse { OK, SYNTAX, RANGE };
// Reads 'YYYYMMDD[ hh:mm[:ss[.fffffff]]]', 'YYYY-MM-DD[( |T)hh:mm[:ss[.f]]]',
// 'MM/DD/YYYY [..]' and 'hh:mm[:ss]'. RANGE: well formed but no such date or time.
dbl_date_parse dbl_parse_date(const std::string& text, dbl_civil& out);

// Rounds the fraction to whole 1/300 s: .001 -> .000, .002 -> .003, .999 -> next second.
std::optional<std::int64_t> dbl_datetime_ticks(const dbl_civil& civil);
std::int64_t dbl_datetime2_ticks(const dbl_civil& civil, int scale);
std::string dbl_format_datetime(std::int64_t ticks);             // 2024-02-29 13:05:09.123
std::string dbl_format_datetime2(std::int64_t hns, int scale);   // 2024-02-29 13:05:09.1234567
