// oleaut_calendar_test.cpp - the one civil-date module: day numbers from the OLE epoch at the
// ends of the range OLE dates and SQL Server's datetime accept, the Gregorian leap rules, and
// the way back from a day number to its date. Expected values are the documented limits:
// OLE DATE runs from -657434 (0100-01-01) to 2958465 (9999-12-31); SQL Server's datetime
// counts days from 1900-01-01 and starts at -53690 (1753-01-01).
#include "platform/oleaut/oleaut_calendar.hpp"

#include <gtest/gtest.h>

#include <ostream>

// In civil_date's own (global) namespace, where the comparisons look them up.
static bool operator==(const civil_date& left, const civil_date& right) {
    return left.year == right.year && left.month == right.month && left.day == right.day;
}

static std::ostream& operator<<(std::ostream& out, const civil_date& date) {
    return out << date.year << '-' << date.month << '-' << date.day;
}

namespace {

TEST(CalendarDayNumber, MatchesTheDocumentedEndsOfOleDates) {
    EXPECT_EQ(day_number({1899, 12, 30}), 0);
    EXPECT_EQ(day_number({1899, 12, 29}), -1);
    EXPECT_EQ(day_number({1900, 1, 1}), 2);
    EXPECT_EQ(day_number({2000, 1, 1}), 36526);
    EXPECT_EQ(day_number({100, 1, 1}), -657434);
    EXPECT_EQ(day_number({9999, 12, 31}), 2958465);
}

TEST(CalendarDayNumber, GivesSqlServerDatetimeDaysFrom1900) {
    const std::int64_t day_of_1900 = day_number({1900, 1, 1});
    EXPECT_EQ(day_number({1753, 1, 1}) - day_of_1900, -53690);
    EXPECT_EQ(day_number({9999, 12, 31}) - day_of_1900, 2958463);
}

TEST(CalendarLeapYears, FollowTheGregorianCenturyRule) {
    EXPECT_EQ(days_in_month(1900, 2), 28);   // a century not divisible by 400
    EXPECT_EQ(days_in_month(2000, 2), 29);
    EXPECT_EQ(days_in_month(2024, 2), 29);
    EXPECT_EQ(days_in_month(2023, 2), 28);
    EXPECT_EQ(day_number({1900, 3, 1}) - day_number({1900, 2, 28}), 1);
    EXPECT_EQ(day_number({2000, 3, 1}) - day_number({2000, 2, 28}), 2);
    EXPECT_TRUE(is_calendar_date(1600, 2, 29));
    EXPECT_FALSE(is_calendar_date(1700, 2, 29));
    EXPECT_FALSE(is_calendar_date(99, 12, 31));
    EXPECT_FALSE(is_calendar_date(10000, 1, 1));
}

TEST(CalendarDateOfDayNumber, ReturnsTheDateOnBothSidesOfTheEpoch) {
    EXPECT_EQ(date_of_day_number(-1), (civil_date{1899, 12, 29}));
    EXPECT_EQ(date_of_day_number(60), (civil_date{1900, 2, 28}));
    EXPECT_EQ(date_of_day_number(61), (civil_date{1900, 3, 1}));
    EXPECT_EQ(date_of_day_number(-657434), (civil_date{100, 1, 1}));
    EXPECT_EQ(date_of_day_number(2958465), (civil_date{9999, 12, 31}));
    EXPECT_EQ(date_of_day_number(day_number({1600, 2, 29})), (civil_date{1600, 2, 29}));
}

}   // namespace
