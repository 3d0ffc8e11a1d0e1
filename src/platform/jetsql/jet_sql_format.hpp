#pragma once
// jet_sql_format.hpp - VBA's Format for the patterns people put in queries, in the English
// (United States) settings Access ships with:
//   named date forms: General Date, Long Date, Medium Date, Short Date, Long Time,
//     Medium Time, Short Time;
//   date tokens: d dd ddd dddd, m mm mmm mmmm (minutes right after h or hh), q, y, yy yyyy,
//     w ww, h hh, n nn, s ss, AM/PM am/pm A/P a/p, with / : - , . and spaces, "quoted" text
//     and \x as literals;
//   named number forms: General Number, Currency, Fixed, Standard, Percent, Scientific,
//     Yes/No, True/False, On/Off;
//   number patterns of 0 # . , % E+ E- with literal text around them, and up to three
//     sections (positive;negative;zero). Rounding is half away from zero on the decimal
//     digits of the value, as VBA rounds in Format.
// Registered as jet_format(value, pattern, is_date).

#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct jet_sql_failure;

// nullopt when the date is outside years 100..9999.
std::optional<std::u16string> jet_sql_format_date(double date, std::u16string_view pattern);
std::u16string jet_sql_format_number(double value, std::u16string_view pattern);

void jet_sql_register_format(sqlite3* connection, jet_sql_failure* failure);
