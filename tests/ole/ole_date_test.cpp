// Tests of ole_date: the text forms it reads, its validity rules, and the one form it prints.
#include "ole/ole_date.hpp"

#include "ole/ole_var.hpp"

#include <gtest/gtest.h>

namespace {

std::string printed(const std::string& text) { return ole_date(text).to_string(); }

}   // namespace

TEST(OleDateText, PrintsBackTheFixedForm) {
    EXPECT_EQ(printed("2024-02-29 13:05:09"), "2024-02-29 13:05:09");
    EXPECT_EQ(printed("2024-02-29 00:00:00"), "2024-02-29");
    EXPECT_EQ(ole_date("2024-02-29 00:00:00").kind, ole_date::date_only);
    EXPECT_EQ(printed("  2/29/2024 1:05:09  "), "2024-02-29 01:05:09");
    EXPECT_EQ(printed("Feb 29, 2024"), "2024-02-29");
}

TEST(OleDateText, ReadsTimestamps) {
    EXPECT_EQ(printed("20240229130509"), "2024-02-29 13:05:09");
    EXPECT_EQ(printed("20240229"), "2024-02-29");
    EXPECT_EQ(ole_date("20240229").kind, ole_date::date_only);
}

TEST(OleDateText, RoundsSecondsAndWrapsAtMidnight) {
    ole_date time("13:05:09.7");
    EXPECT_EQ(time.kind, ole_date::time_only);
    EXPECT_EQ(time.to_string(), "0000-00-00 13:05:10");
    EXPECT_EQ(printed("23:59:59.6"), "0000-00-00 00:00:00");
    EXPECT_EQ(printed("10:60:00"), "0000-00-00 11:00:00");
    EXPECT_EQ(printed("2024-02-29 10:15:30.5"), "2024-02-29 10:15:31");
}

TEST(OleDateText, TurnsDayFirstTextRound) {
    EXPECT_EQ(printed("29.02.2024"), "2024-02-29");
    EXPECT_EQ(printed("29/02/2024"), "2024-02-29");
    EXPECT_EQ(printed("17-05-2023"), "2023-05-17");
}

TEST(OleDateText, ReadsTwelveHourMarkers) {
    EXPECT_EQ(printed("01:30:00 PM"), "0000-00-00 13:30:00");
    EXPECT_EQ(printed("12:30:00 PM"), "0000-00-00 12:30:00");
    EXPECT_EQ(printed("12:30:00 AM"), "0000-00-00 00:30:00");   // half past midnight
    EXPECT_EQ(printed("2024-02-29 11:00:00 pm"), "2024-02-29 23:00:00");
}

TEST(OleDateText, RefusesWhatNoRuleReads) {
    for (const char* bad : {"2024-13-01", "2024-02-00", "10:61:00", "1:05", "1:05 PM", "", "   ",
                            "abcdef", "2024/02/32", "9999999999999"}) {
        ole_date date(bad);
        EXPECT_FALSE(date.is_valid()) << bad;
        EXPECT_EQ(date.to_string(), "") << bad;
    }
}

TEST(OleDateVariant, ReadsDatesAndNothingElse) {
    VARIANT null{};
    null.vt = VT_NULL;
    EXPECT_EQ(ole_date(null).to_string(), "");
    VARIANT date{};
    date.vt = VT_DATE;
    date.date = -1.25;
    EXPECT_EQ(ole_date(date).to_string(), "1899-12-29 06:00:00");
    date.date = 1e9;
    EXPECT_FALSE(ole_date(date).is_valid());
    VARIANT number{};
    number.vt = VT_I4;
    EXPECT_THROW(ole_date{number}, tk_mail_assertion);
    EXPECT_THROW(ole_date("12:00:00").process_milliseconds(nullptr), tk_mail_assertion);
}

TEST(OleDateVariant, GoesToAVariantAndBack) {
    ole_variant value = ole_date("1899-12-29 06:00:00").to_variant();
    ASSERT_EQ(value.type(), VT_DATE);
    EXPECT_DOUBLE_EQ(value.value.date, -1.25);
    EXPECT_EQ(ole_date(value.value).to_string(), "1899-12-29 06:00:00");
    ole_variant time = ole_date("13:05:09").to_variant();   // a time alone: day 0
    EXPECT_DOUBLE_EQ(time.value.date, (13 * 3600 + 5 * 60 + 9) / 86400.0);
    EXPECT_EQ(time.to_string(), "0000-00-00 13:05:09");
}
