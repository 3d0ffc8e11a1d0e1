// Statement literals and safe values, against the texts SQL Server must receive (worked by
// hand from the T-SQL literal rules) and the documented replacements.

#include "mss/mss_lit.hpp"

#include "mss/mss_test_values.hpp"
#include "udb/udb_sche.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

t_ftd decimal_column(int precision, int scale) {
    return t_ftd(0, u"d", VT_DECIMAL, false, false, ole_variant(),
                 static_cast<std::uint32_t>(scale + 256 * precision));
}

ole_variant decimal(const char* text) { return ole_variant::from_string(text, VT_DECIMAL); }

}   // namespace

TEST(MssLiteral, TextIsUnicodeWithQuotesDoubled) {
    EXPECT_EQ(mss_sql_literal(ole_variant(u"O'Brien")), u"N'O''Brien'");
    EXPECT_EQ(mss_sql_literal(ole_variant(u"\U0001F600 \u4E2D")), u"N'\U0001F600 \u4E2D'");
    EXPECT_EQ(mss_sql_literal(ole_variant(std::u16string())), u"N''");
    EXPECT_EQ(mss_sql_literal(ole_variant(u"x'); DROP TABLE t; --")), u"N'x''); DROP TABLE t; --'");
    EXPECT_THROW(mss_sql_literal(ole_variant(std::u16string(u"a\0b", 3))), tk_exception);
}

// The form follows the value's type: text that looks like a number, a hex string or a GUID
// stays text.
TEST(MssLiteral, TextThatLooksLikeAnotherTypeStaysText) {
    EXPECT_EQ(mss_sql_literal(ole_variant(u"0x1A2B")), u"N'0x1A2B'");
    EXPECT_EQ(mss_sql_literal(ole_variant(u"12")), u"N'12'");
    EXPECT_EQ(mss_sql_literal(ole_variant(u"see guid {'); DROP TABLE [Orders]; --xx tail")),
              u"N'see guid {''); DROP TABLE [Orders]; --xx tail'");
}

TEST(MssLiteral, GuidIsItsBracedTextInQuotes) {
    GUID guid{};
    ASSERT_EQ(guid_from_wstring(u"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}", &guid), S_OK);
    EXPECT_EQ(mss_sql_literal(ole_variant(guid)), u"N'{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}'");
}

TEST(MssLiteral, DateTimeKeepsMillisecondsAndPadsEveryPart) {
    SYSTEMTIME time{};
    time.wYear = 2024;
    time.wMonth = 2;
    time.wDay = 9;
    time.wHour = 3;
    time.wMinute = 5;
    time.wSecond = 7;
    time.wMilliseconds = 45;
    EXPECT_EQ(mss_sql_literal(ole_variant(time)), u"'20240209 03:05:07.045'");
    time.wYear = 0;   // a time alone
    time.wMilliseconds = 999;
    EXPECT_EQ(mss_sql_literal(ole_variant(time)), u"'18991230 03:05:07.999'");
}

TEST(MssLiteral, BinaryIsBuiltFromTheBytesAtAnyLength) {
    const BYTE few[] = {0x00, 0x0F, 0xA0, 0xFF};
    EXPECT_EQ(mss_sql_literal(ole_variant(sizeof few, few)), u"0x000FA0FF");
    const std::vector<BYTE> many(1 << 20, 0xC3);
    const std::u16string literal = mss_sql_literal(ole_variant(many.size(), many.data()));
    ASSERT_EQ(literal.size(), 2 + 2 * many.size());
    EXPECT_EQ(literal.substr(literal.size() - 4), u"C3C3");
}

TEST(MssLiteral, NumbersAreTheirExactDigits) {
    EXPECT_EQ(mss_sql_literal(null_value()), u"NULL");
    EXPECT_EQ(mss_sql_literal(ole_variant(true)), u"1");
    EXPECT_EQ(mss_sql_literal(ole_variant(-2147483647 - 1)), u"-2147483648");
    EXPECT_EQ(mss_sql_literal(ole_variant(9223372036854775807LL)), u"9223372036854775807");
    EXPECT_EQ(mss_sql_literal(decimal("-12345678901234567890.12345678")),
              u"-12345678901234567890.12345678");
    EXPECT_EQ(mss_sql_literal(ole_variant(CY{-9223372036854775807LL - 1})),
              u"-922337203685477.5808");
}

// Worked by hand: 10.000000000000009 needs 17 digits (15 give 10.00000000000001, another
// double); the single 0.1f is 0.100000001490116119384765625, whose shortest double text has 17
// digits; the float literal is scientific, so SQL Server never reads it as a decimal first.
TEST(MssLiteral, FloatsAreTheShortestTextOfTheSameBits) {
    EXPECT_EQ(mss_sql_literal(ole_variant(10.000000000000009)), u"1.0000000000000009e+01");
    EXPECT_EQ(mss_sql_literal(ole_variant(-1.5)), u"-1.5e+00");
    EXPECT_EQ(mss_sql_literal(ole_variant(0.0)), u"0e+00");
    EXPECT_EQ(mss_sql_literal(ole_variant(0.1f)), u"1.0000000149011612e-01");
    EXPECT_EQ(mss_sql_literal(ole_variant(1.7976931348623157e308)), u"1.7976931348623157e+308");
    // Below the smallest normal float a literal would read as 0: an exact product instead.
    EXPECT_EQ(mss_sql_literal(ole_variant(5e-324)),
              u"(9.113902524445497e-305*5.421010862427522e-20)");
    EXPECT_THROW(mss_sql_literal(ole_variant(std::nan(""))), tk_exception);
}

TEST(MssSafeVariant, DatesOutsideDatetimeBecomeTheLastDay) {
    const ole_variant safe = mssql_get_safe_variant(date_time(1500, 6, 1, 10, 20, 30));
    EXPECT_EQ(safe.date_value.wYear, 9999);
    EXPECT_EQ(safe.date_value.wMonth, 12);
    EXPECT_EQ(safe.date_value.wDay, 30);
    EXPECT_EQ(safe.date_value.wHour, 10);   // the time stays
    EXPECT_EQ(mss_sql_literal(safe), u"'99991230 10:20:30.000'");
    const ole_variant kept = mssql_get_safe_variant(date_time(1753, 1, 1, 0, 0, 0));
    EXPECT_EQ(kept.date_value.wYear, 1753);
}

// The bulk rule: the day before datetime's first (1753-01-01) moves to 1899-12-30 and keeps its
// time; that first day itself stays.
TEST(MssEarlyDate, BulkRuleKeepsTheTimeOnAccessesTimeOnlyDay) {
    SYSTEMTIME early = date_time(1752, 12, 31, 23, 59, 58).date_value;
    ASSERT_TRUE(mss_replace_early_date(early));
    EXPECT_EQ(std::vector<int>({early.wYear, early.wMonth, early.wDay, early.wHour, early.wMinute,
                                early.wSecond}),
              std::vector<int>({1899, 12, 30, 23, 59, 58}));
    SYSTEMTIME first = date_time(1753, 1, 1, 0, 0, 1).date_value;
    EXPECT_FALSE(mss_replace_early_date(first));
    EXPECT_EQ(first.wYear, 1753);
}

// Every finite double is one SQL Server holds; clamping at 1.79e308 and 2.23e-308 changed the
// largest and the subnormal ones.
TEST(MssSafeVariant, OnlyInfinityIsClamped) {
    const double largest = 1.7976931348623157e308;
    EXPECT_EQ(mssql_get_safe_variant(ole_variant(1e-320)).to_double(), 1e-320);
    EXPECT_EQ(mssql_get_safe_variant(ole_variant(largest)).to_double(), largest);
    EXPECT_EQ(mssql_get_safe_variant(ole_variant(HUGE_VAL)).to_double(), largest);
    EXPECT_EQ(mssql_get_safe_variant(ole_variant(-HUGE_VAL)).to_double(), -largest);
    EXPECT_EQ(mssql_get_safe_variant(ole_variant(42.5)).to_double(), 42.5);
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
