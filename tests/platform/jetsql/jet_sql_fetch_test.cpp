// Exact decimal text back into the 96-bit Decimal a result column holds. Expected magnitudes
// are the text's digits scaled by hand.

#include "platform/jetsql/jet_sql_fetch.hpp"

#include <gtest/gtest.h>

namespace {

TEST(JetSqlDecimal, ScalesToTheColumnExactly) {
    auto value = jet_sql_parse_decimal("102030405060.654321", 6, 18);
    ASSERT_TRUE(value);
    // 102030405060654321 = 0x016A7C1C'E1EDF4F1.
    EXPECT_EQ(value->hi, 0u);
    EXPECT_EQ(value->mid, 0x016A7C1Cu);
    EXPECT_EQ(value->lo, 0xE1EDF4F1u);
    EXPECT_EQ(value->scale, 6);
    auto padded = jet_sql_parse_decimal("-1.5", 3, 10);
    ASSERT_TRUE(padded);
    EXPECT_EQ(padded->lo, 1500u);
    EXPECT_TRUE(padded->negative);
    auto zero = jet_sql_parse_decimal("-0.00", 2, 5);
    ASSERT_TRUE(zero);
    EXPECT_FALSE(zero->negative);   // no negative zero
}

TEST(JetSqlDecimal, RefusesWhatTheColumnCannotHold) {
    EXPECT_FALSE(jet_sql_parse_decimal("1.25", 1, 5).has_value());   // a digit would be lost
    EXPECT_TRUE(jet_sql_parse_decimal("1.20", 1, 5).has_value());    // only zeros dropped
    EXPECT_FALSE(jet_sql_parse_decimal("79228162514264337593543950336", 0, 28).has_value());
    EXPECT_TRUE(jet_sql_parse_decimal("79228162514264337593543950335", 0, 28).has_value());
    EXPECT_FALSE(jet_sql_parse_decimal("", 0, 5).has_value());
    EXPECT_FALSE(jet_sql_parse_decimal("-", 0, 5).has_value());
    EXPECT_FALSE(jet_sql_parse_decimal("1e5", 0, 5).has_value());
    EXPECT_FALSE(jet_sql_parse_decimal("1.2.3", 0, 5).has_value());
}

}   // namespace
