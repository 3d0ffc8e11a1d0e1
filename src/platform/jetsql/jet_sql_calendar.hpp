#pragma once
// jet_sql_calendar.hpp - VBA's date arithmetic over OLE dates, as Access queries call it:
// DateSerial (months and days past their range roll over, two-digit years 0-29 are 2000s),
// DateAdd (a month added to Jan 31 gives the month's last day), DateDiff (counts the interval
// boundaries crossed, not elapsed time: DateDiff("yyyy", #12/31/2020#, #1/1/2021#) is 1) and
// DatePart. Weeks start on Sunday and week 1 holds January 1, VBA's defaults. Intervals:
// yyyy q m y d w ww h n s, case-blind. Registered as jet_dateserial, jet_dateadd,
// jet_datediff, jet_datepart2; a bad interval or a date outside years 100-9999 is VBA's
// error 5.

#include <optional>
#include <string_view>

struct sqlite3;
struct jet_sql_failure;

// The OLE date of DateSerial(year, month, day); nullopt outside years 100..9999.
std::optional<double> jet_sql_date_serial(double year, double month, double day);
std::optional<double> jet_sql_date_add(std::u16string_view interval, double number, double date);
std::optional<double> jet_sql_date_diff(std::u16string_view interval, double first, double second);
std::optional<double> jet_sql_date_part_value(std::u16string_view interval, double date);

void jet_sql_register_calendar(sqlite3* connection, jet_sql_failure* failure);
