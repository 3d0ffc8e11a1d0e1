// Statement literals and safe values, against the texts SQL Server must receive (worked by
// hand from the T-SQL literal rules) and the documented replacements.

#include "mss/mss_lit.hpp"

#include "udb/udb_sche.hpp"
#include "mss/mss_test_values.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

t_ftd decimal_column(int precision, int scale) {
    return t_ftd(0, u"d", VT_DECIMAL, false, false, ole_variant(),
                 static_cast<std::uint32_t>(scale + 256 * precision));
}

ole_variant decimal(const char* text) { return ole_variant::from_string(text, VT_DECIMAL); }

}  // namespace

TEST(MssLiteral, TextIsUnicodeWithQuotesDoubled) {
    EXPECT_EQ(to_mssql_str(u"O'Brien", VT_BSTR), u"N'O''Brien'");
    EXPECT_EQ(to_mssql_str(u"\U0001F600 \u4E2D", VT_BSTR), u"N'\U0001F600 \u4E2D'");
    EXPECT_EQ(to_mssql_str(u"", VT_BSTR), u"''");
    EXPECT_EQ(to_mssql_str(u"x'); DROP TABLE t; --", VT_BSTR), u"N'x''); DROP TABLE t; --'");
}

TEST(MssLiteral, BinaryTextStaysUnquotedOnlyWhenHexOrDigits) {
    EXPECT_EQ(to_mssql_str(u"0x1A2B", VT_BLOB), u"0x1A2B");
    EXPECT_EQ(to_mssql_str(u"12", VT_BLOB), u"12");
    EXPECT_EQ(to_mssql_str(u"abc", VT_BLOB), u"'abc'");
    EXPECT_EQ(to_mssql_str(u"0x1G", VT_BLOB), u"'0x1G'");
    // A quote cannot end the literal early.
    EXPECT_EQ(to_mssql_str(u"a'; DROP TABLE t; --", VT_BLOB), u"'a''; DROP TABLE t; --'");
    EXPECT_EQ(to_mssql_str(u"a", VT_BLOB), u"");
}

TEST(MssLiteral, DatesRunTogetherWithTheirTime) {
    EXPECT_EQ(to_mssql_str(u"2024-02-29 13:05:09", VT_DATE), u"'20240229 13:05:09'");
    // A time-only value takes the OLE zero date.
    const std::u16string time_only = to_mssql_str(u"13:05:09", VT_DATE);
    EXPECT_EQ(time_only, u"'18991230 13:05:09'");
}

TEST(MssLiteral, DateTimeLiteralKeepsMillisecondsAndPadsEveryPart) {
    SYSTEMTIME time{};
    time.wYear = 2024;
    time.wMonth = 2;
    time.wDay = 9;
    time.wHour = 3;
    time.wMinute = 5;
    time.wSecond = 7;
    time.wMilliseconds = 45;
    EXPECT_EQ(mss_datetime_literal(time), u"'20240209 03:05:07.045'");
    time.wYear = 0;   // a time alone
    time.wMilliseconds = 999;
    EXPECT_EQ(mss_datetime_literal(time), u"'18991230 03:05:07.999'");
}

TEST(MssLiteral, BinaryLiteralIsBuiltFromTheBytesAtAnyLength) {
    const BYTE few[] = {0x00, 0x0F, 0xA0, 0xFF};
    EXPECT_EQ(mss_binary_literal(few, sizeof few), u"0x000FA0FF");
    const std::vector<BYTE> many(1 << 20, 0xC3);
    const std::u16string literal = mss_binary_literal(many.data(), many.size());
    ASSERT_EQ(literal.size(), 2 + 2 * many.size());
    EXPECT_EQ(literal.substr(literal.size() - 4), u"C3C3");
}

TEST(MssSafeVariant, DatesOutsideDatetimeBecomeTheLastDay) {
    const ole_variant safe = mssql_get_safe_variant(date_time(1500, 6, 1, 10, 20, 30));
    EXPECT_EQ(safe.date_value.wYear, 9999);
    EXPECT_EQ(safe.date_value.wMonth, 12);
    EXPECT_EQ(safe.date_value.wDay, 30);
    EXPECT_EQ(safe.date_value.wHour, 10);   // the time stays
    EXPECT_EQ(mss_date_literal(safe), u"'99991230 10:20:30'");
    const ole_variant kept = mssql_get_safe_variant(date_time(1753, 1, 1, 0, 0, 0));
    EXPECT_EQ(kept.date_value.wYear, 1753);
}

TEST(MssSafeVariant, DoublesAreClampedToFloatRange) {
    EXPECT_DOUBLE_EQ(mssql_get_safe_variant(ole_variant(1e-320)).to_double(), 2.23e-308);
    EXPECT_DOUBLE_EQ(mssql_get_safe_variant(ole_variant(-1e-320)).to_double(), -2.23e-308);
    EXPECT_DOUBLE_EQ(mssql_get_safe_variant(ole_variant(1.7976931348623157e308)).to_double(),
                     1.79e308);
    EXPECT_DOUBLE_EQ(mssql_get_safe_variant(ole_variant(0.0)).to_double(), 0.0);
    EXPECT_DOUBLE_EQ(mssql_get_safe_variant(ole_variant(42.5)).to_double(), 42.5);
}

TEST(MssDecimalRange, ValuesThatDoNotFitAreReplaced) {
    const t_ftd column = decimal_column(5, 2);
    EXPECT_TRUE(dec_is_out_of_range(decimal("12345.678"), column));
    EXPECT_TRUE(dec_is_out_of_range(decimal("-12345.678"), column));
    EXPECT_TRUE(dec_is_out_of_range(decimal("1.234"), column));   // scale beyond the column's
    EXPECT_FALSE(dec_is_out_of_range(decimal("123.45"), column));
    EXPECT_FALSE(dec_is_out_of_range(decimal("-123.45"), column));
    EXPECT_FALSE(dec_is_out_of_range(decimal("12345678"), decimal_column(0, 0)));
    EXPECT_EQ(gen_dec_value(column, false), u"999.99");
    EXPECT_EQ(gen_dec_value(column, true), u"-999.99");
    EXPECT_EQ(gen_dec_value(decimal_column(5, 0), false), u"99999.");
}

TEST(MssNumberLiteral, OnlyNumbersPass) {
    EXPECT_EQ(mss_number_literal(u"-1.5e+300"), u"-1.5e+300");
    EXPECT_EQ(mss_number_literal(u"1; DROP TABLE t"), u"");
    EXPECT_EQ(mss_number_literal(u""), u"");
}
