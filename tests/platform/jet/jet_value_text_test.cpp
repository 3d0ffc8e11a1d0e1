#include "platform/jet/jet_value_text.hpp"

#include <gtest/gtest.h>

TEST(JetDateText, KeepsTheTimePositiveBeforeTheEpoch) {
    // OLE rule: -1.25 is 1899-12-29 06:00, not 18:00.
    EXPECT_EQ(jet_date_text(-1.25), "1899-12-29 06:00:00");
    EXPECT_EQ(jet_date_text(0.0), "1899-12-30 00:00:00");
    EXPECT_EQ(jet_date_text(0.5), "1899-12-30 12:00:00");
}

TEST(JetDateText, CoversTheYearsAccessAllows) {
    EXPECT_EQ(jet_date_text(-657434.0), "0100-01-01 00:00:00");   // Access's first day
    EXPECT_EQ(jet_date_text(2958465.0), "9999-12-31 00:00:00");   // and its last
    EXPECT_EQ(jet_date_text(36526.0), "2000-01-01 00:00:00");     // a leap century
    EXPECT_EQ(jet_date_text(36585.0), "2000-02-29 00:00:00");
}

TEST(JetDateText, RoundsToTheSecondAcrossMidnight) {
    EXPECT_EQ(jet_date_text(1.0 - 1e-9), "1899-12-31 00:00:00");
    EXPECT_EQ(jet_date_text(-1.0 - (1.0 - 1e-9)), "1899-12-30 00:00:00");
}

TEST(JetDateExtText, ReadsDaysSecondsAndTicks) {
    // 737592 days after 0001-01-01 is 2020-06-17; 45912 s is 12:45:12.
    jet_date_ext value{"0000000000000737592:0000000459123456789"};
    EXPECT_EQ(jet_date_ext_text(value), "2020-06-17 12:45:12.3456789");
    jet_date_ext garbage{"not a date"};
    EXPECT_EQ(jet_date_ext_text(garbage), "\"not a date\"");
}

TEST(JetExactNumbers, CurrencyKeepsFourDecimals) {
    EXPECT_EQ(jet_currency_text({35000}), "3.5000");
    EXPECT_EQ(jet_currency_text({-1}), "-0.0001");
    EXPECT_EQ(jet_currency_text({INT64_MIN}), "-922337203685477.5808");
}

TEST(JetExactNumbers, DecimalUsesAll96BitsAndItsScale) {
    jet_decimal largest{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0, 28, false};
    EXPECT_EQ(jet_decimal_text(largest), "79228162514264337593543950335");
    jet_decimal small{5, 0, 0, 4, 18, true};
    EXPECT_EQ(jet_decimal_text(small), "-0.0005");
    jet_decimal zero{0, 0, 0, 2, 18, true};
    EXPECT_EQ(jet_decimal_text(zero), "0.00");
}

TEST(JetValueCsv, SeparatesNullFromEmptyTextAndQuotesText) {
    EXPECT_EQ(jet_value_to_csv(jet_value()), "");
    EXPECT_EQ(jet_value_to_csv(jet_value(std::u16string())), "\"\"");
    EXPECT_EQ(jet_value_to_csv(jet_value(std::u16string(u"say \"hi\"\n"))), "\"say \"\"hi\"\"\n\"");
}

TEST(JetValueCsv, PrintsGuidsBracedAndBinaryAsHex) {
    jet_guid guid{{0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66, 0x88, 0x99, 0xAA, 0xBB, 0xCC,
                   0xDD, 0xEE, 0xFF}};
    EXPECT_EQ(jet_value_to_csv(jet_value(guid)), "{00112233-4455-6677-8899-AABBCCDDEEFF}");
    EXPECT_EQ(jet_value_to_csv(jet_value(std::vector<std::uint8_t>{0x00, 0xAB})), "0x00ab");
    EXPECT_EQ(jet_value_to_csv(jet_value(std::vector<std::uint8_t>{})), "0x");
}

TEST(JetValueCsv, PrintsFloatsSoTheyReadBack) {
    EXPECT_EQ(jet_value_to_csv(jet_value(0.15f)), "0.15");
    EXPECT_EQ(jet_value_to_csv(jet_value(0.1)), "0.1");
    EXPECT_EQ(jet_value_to_csv(jet_value(true)), "1");
}
