// Tests of SystemTimeToVariantTime / VariantTimeToSystemTime. Expected day numbers are the
// platform's documented ones (1899-12-30 is day 0; 2024-02-29 is 45351 as in any spreadsheet).
#include "platform/oleaut/oleaut_time.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

SYSTEMTIME make_time(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                     int milliseconds = 0) {
    SYSTEMTIME time{};
    time.wYear = WORD(year);
    time.wMonth = WORD(month);
    time.wDay = WORD(day);
    time.wHour = WORD(hour);
    time.wMinute = WORD(minute);
    time.wSecond = WORD(second);
    time.wMilliseconds = WORD(milliseconds);
    return time;
}

auto fields(const SYSTEMTIME& t) {
    return std::make_tuple(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond,
                           t.wMilliseconds);
}

DATE to_date(const SYSTEMTIME& time) {
    DATE date = 12345.0;
    EXPECT_TRUE(SystemTimeToVariantTime(&time, &date));
    return date;
}

}   // namespace

TEST(SystemTimeToVariantTime, GivesThePlatformDayNumbers) {
    EXPECT_EQ(to_date(make_time(1899, 12, 30)), 0.0);
    EXPECT_EQ(to_date(make_time(1900, 1, 1)), 2.0);
    EXPECT_EQ(to_date(make_time(2024, 2, 29)), 45351.0);
    EXPECT_EQ(to_date(make_time(100, 1, 1)), -657434.0);
    EXPECT_EQ(to_date(make_time(9999, 12, 31)), 2958465.0);
    EXPECT_DOUBLE_EQ(to_date(make_time(2024, 2, 29, 18)), 45351.75);
}

TEST(SystemTimeToVariantTime, KeepsTimeOfDayPositiveBeforeEpoch) {
    EXPECT_DOUBLE_EQ(to_date(make_time(1899, 12, 29, 6)), -1.25);
    EXPECT_DOUBLE_EQ(to_date(make_time(1899, 12, 28, 18)), -2.75);
}

TEST(SystemTimeToVariantTime, RefusesWhatTheCalendarLacks) {
    DATE date = 7.0;
    for (const SYSTEMTIME& bad :
         {make_time(99, 12, 31), make_time(10000, 1, 1), make_time(2024, 13, 1),
          make_time(2023, 2, 29), make_time(2024, 4, 31), make_time(2024, 1, 0),
          make_time(2024, 1, 1, 24), make_time(2024, 1, 1, 0, 60), make_time(2024, 1, 1, 0, 0, 60),
          make_time(2024, 1, 1, 0, 0, 0, 1000)}) {
        EXPECT_FALSE(SystemTimeToVariantTime(&bad, &date)) << bad.wYear << "-" << bad.wMonth;
    }
    EXPECT_EQ(date, 7.0);   // untouched on failure
}

TEST(SystemTimeToVariantTime, ReadsATimeAloneAsDayZero) {
    EXPECT_DOUBLE_EQ(to_date(make_time(0, 0, 0, 12)), 0.5);
}

TEST(VariantTimeToSystemTime, KeepsTimeOfDayPositiveBeforeEpoch) {
    SYSTEMTIME st{};   // -1.25 is 1899-12-29 06:00 by the OLE rule, not 18:00
    ASSERT_TRUE(VariantTimeToSystemTime(-1.25, &st));
    EXPECT_EQ(fields(st), fields(make_time(1899, 12, 29, 6)));
    ASSERT_TRUE(VariantTimeToSystemTime(-0.5, &st));   // same instant as 0.5
    EXPECT_EQ(fields(st), fields(make_time(1899, 12, 30, 12)));
}

TEST(VariantTimeToSystemTime, CarriesAlmostMidnightIntoTheNextDay) {
    SYSTEMTIME st{};
    ASSERT_TRUE(VariantTimeToSystemTime(45351.0 + 0.9999999999, &st));
    EXPECT_EQ(fields(st), fields(make_time(2024, 3, 1)));
    ASSERT_TRUE(VariantTimeToSystemTime(-1.9999999999, &st));   // 1899-12-29 24:00
    EXPECT_EQ(fields(st), fields(make_time(1899, 12, 30)));
}

TEST(VariantTimeToSystemTime, SetsDayOfWeekAndRefusesOutOfRange) {
    SYSTEMTIME st{};
    ASSERT_TRUE(VariantTimeToSystemTime(45351.0, &st));
    EXPECT_EQ(st.wDayOfWeek, 4);   // 2024-02-29 was a Thursday
    ASSERT_TRUE(VariantTimeToSystemTime(-657434.0, &st));
    EXPECT_EQ(st.wDayOfWeek, 5);   // 0100-01-01 was a Friday (proleptic Gregorian)
    EXPECT_FALSE(VariantTimeToSystemTime(-657435.0, &st));
    EXPECT_FALSE(VariantTimeToSystemTime(2958466.0, &st));
    EXPECT_FALSE(VariantTimeToSystemTime(std::nan(""), &st));
}

// Every day across the whole range, with times that stress the fraction, comes back whole.
TEST(VariantTimeRoundTrip, KeepsEveryFieldAcrossTheRange) {
    const int times[][4] = {
        {0, 0, 0, 0}, {6, 0, 0, 0}, {23, 59, 59, 999}, {13, 5, 9, 123}, {0, 0, 0, 1}};
    for (DATE day = -657434.0; day <= 2958465.0; day += 997.0) {
        SYSTEMTIME calendar{};
        ASSERT_TRUE(VariantTimeToSystemTime(day, &calendar));
        for (const auto& time : times) {
            SYSTEMTIME given = make_time(calendar.wYear, calendar.wMonth, calendar.wDay, time[0],
                                         time[1], time[2], time[3]);
            SYSTEMTIME back{};
            ASSERT_TRUE(VariantTimeToSystemTime(to_date(given), &back));
            ASSERT_EQ(fields(back), fields(given)) << "day " << day;
        }
    }
}

TEST(VariantTimeRoundTrip, KeepsTheEndsOfTheRange) {
    for (const SYSTEMTIME& given :
         {make_time(100, 1, 1), make_time(100, 1, 1, 23, 59, 59, 999),
          make_time(9999, 12, 31, 23, 59, 59, 999), make_time(1899, 12, 30, 0, 0, 0, 1),
          make_time(1899, 12, 29, 23, 59, 59, 999)}) {
        SYSTEMTIME back{};
        ASSERT_TRUE(VariantTimeToSystemTime(to_date(given), &back));
        EXPECT_EQ(fields(back), fields(given));
    }
}
