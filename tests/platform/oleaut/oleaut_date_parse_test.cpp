// Tests of VarDateFromStr (en-US forms) and VarBstrFromDate. Day numbers: 2024-02-29 is 45351.
#include "platform/oleaut/oleaut_bstr.hpp"
#include "platform/oleaut/oleaut_time.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr DATE LEAP_DAY = 45351.0;   // 2024-02-29
constexpr DATE AT_13_05_09 = (13 * 3600 + 5 * 60 + 9) / 86400.0;

std::string narrow(std::u16string_view text) {
    return std::string(text.begin(), text.end());   // ASCII test texts
}

HRESULT parse(const std::u16string& text, DATE* date) {
    return VarDateFromStr(text.c_str(), LOCALE_EN_US, 0, date);
}

DATE parsed(const std::u16string& text) {
    DATE date = -1.0;
    EXPECT_EQ(parse(text, &date), S_OK) << narrow(text);
    return date;
}

}   // namespace

TEST(VarDateFromStr, ReadsIsoAndUsDates) {
    EXPECT_EQ(parsed(u"2024-02-29"), LEAP_DAY);
    EXPECT_EQ(parsed(u"2024/2/29"), LEAP_DAY);
    EXPECT_EQ(parsed(u"2/29/2024"), LEAP_DAY);
    EXPECT_EQ(parsed(u"  02/29/2024  "), LEAP_DAY);
    EXPECT_EQ(parsed(u"1/2/29"), parsed(u"2029-01-02"));   // two-digit years: 00-29 are 20xx
    EXPECT_EQ(parsed(u"1/2/30"), parsed(u"1930-01-02"));
}

TEST(VarDateFromStr, ReadsMonthNames) {
    EXPECT_EQ(parsed(u"Feb 29, 2024"), LEAP_DAY);
    EXPECT_EQ(parsed(u"february 29 2024"), LEAP_DAY);
    EXPECT_EQ(parsed(u"29 Feb 2024"), LEAP_DAY);
    EXPECT_EQ(parsed(u"29-FEB-2024"), LEAP_DAY);
    EXPECT_EQ(parsed(u"Sept 1, 2024"), parsed(u"2024-09-01"));
}

TEST(VarDateFromStr, ReadsTimesIn12And24HourForm) {
    EXPECT_DOUBLE_EQ(parsed(u"2024-02-29 13:05:09"), LEAP_DAY + AT_13_05_09);
    EXPECT_DOUBLE_EQ(parsed(u"2024-02-29T13:05:09"), LEAP_DAY + AT_13_05_09);
    EXPECT_DOUBLE_EQ(parsed(u"2/29/2024 1:05:09 PM"), LEAP_DAY + AT_13_05_09);
    EXPECT_DOUBLE_EQ(parsed(u"13:05"), 13 * 3600 / 86400.0 + 5 * 60 / 86400.0);
    EXPECT_DOUBLE_EQ(parsed(u"12:00 AM"), 0.0);                    // midnight
    EXPECT_DOUBLE_EQ(parsed(u"12:30 pm"), 0.5 + 1800 / 86400.0);   // half past noon
}

TEST(VarDateFromStr, RefusesAnythingElse) {
    for (const char16_t* bad : {u"",
                                u"   ",
                                u"abc",
                                u"2023-02-29",
                                u"2024-13-01",
                                u"13/1/2024",
                                u"24:00",
                                u"10:60",
                                u"0:30 PM",
                                u"13:00 PM",
                                u"1:05 PM PM",
                                u"2024-02-29T",
                                u"2024-02-2913:05",
                                u"13:05:09.5",
                                u"17.05.2023",
                                u"29/02/2024",
                                u"99-01-01",
                                u"2024-02-29 x",
                                u"Feb 30, 2024",
                                u"0099-01-01",
                                u"1/2/345",
                                u"2024-02"}) {
        DATE date = 5.0;
        EXPECT_EQ(parse(bad, &date), DISP_E_TYPEMISMATCH) << narrow(bad);
        EXPECT_EQ(date, 5.0);
    }
}

TEST(VarBstrFromDate, WritesTheUsShortForm) {
    struct case_t {
        DATE date;
        const char16_t* text;
    };
    for (const case_t& c :
         {case_t{LEAP_DAY + AT_13_05_09, u"2/29/2024 1:05:09 PM"}, case_t{LEAP_DAY, u"2/29/2024"},
          case_t{0.25, u"6:00:00 AM"}, case_t{-1.25, u"12/29/1899 6:00:00 AM"}}) {
        BSTR text = nullptr;
        ASSERT_EQ(VarBstrFromDate(c.date, LOCALE_EN_US, 0, &text), S_OK);
        EXPECT_EQ(bstr_view(text), std::u16string_view(c.text));
        DATE back = 0;   // and VarDateFromStr reads it back
        EXPECT_EQ(VarDateFromStr(text, LOCALE_EN_US, 0, &back), S_OK);
        EXPECT_DOUBLE_EQ(back, c.date);
        SysFreeString(text);
    }
}
