// Decimals brought to their column's scale, cases worked by hand: more decimals rounded half
// away from zero as DAO rounds, fewer filled with zeros, 96 bits the limit, no negative zero.
#include "platform/jet/jet_decimal_scale.hpp"

#include <gtest/gtest.h>

#include "platform/jet/jet_error.hpp"

namespace {

jet_column column_of_scale(std::uint8_t scale) {
    jet_column column;
    column.name = u"Amount";
    column.type_code = JET_TYPE_NUMERIC;
    column.precision = 28;
    column.scale = scale;
    return column;
}

jet_decimal number(std::uint64_t low, std::uint8_t scale, bool negative = false,
                   std::uint32_t high = 0) {
    return jet_decimal{std::uint32_t(low), std::uint32_t(low >> 32), high, scale, 0, negative};
}

TEST(JetDecimalForColumn, RescalesAndRoundsHalfAwayFromZero) {
    // 1.5 in a column of scale 4 is 1.5000.
    EXPECT_EQ(jet_decimal_for_column(column_of_scale(4), number(15, 1)),
              (jet_decimal{15000, 0, 0, 4, 28, false}));
    // 1.2349 -> 1.23, 1.2350 -> 1.24, -1.2350 -> -1.24: only the first dropped digit counts.
    EXPECT_EQ(jet_decimal_for_column(column_of_scale(2), number(12349, 4)).lo, 123u);
    EXPECT_EQ(jet_decimal_for_column(column_of_scale(2), number(12350, 4)).lo, 124u);
    jet_decimal negative = jet_decimal_for_column(column_of_scale(2), number(12350, 4, true));
    EXPECT_EQ(negative.lo, 124u);
    EXPECT_TRUE(negative.negative);
    // -0.004 rounds to zero, which has no sign.
    EXPECT_FALSE(jet_decimal_for_column(column_of_scale(2), number(4, 3, true)).negative);
}

TEST(JetDecimalForColumn, RefusesMoreThanNinetySixBits) {
    // 79228162514264337593543950335 (2^96 - 1) fits at its own scale, not one place further.
    jet_decimal largest = number(0xFFFFFFFFFFFFFFFFull, 0, false, 0xFFFFFFFF);
    EXPECT_EQ(jet_decimal_for_column(column_of_scale(0), largest).hi, 0xFFFFFFFFu);
    try {
        jet_decimal_for_column(column_of_scale(1), largest);
        ADD_FAILURE() << "a 97-bit magnitude was kept";
    } catch (const jet_error& refused) {
        EXPECT_EQ(refused.dao_number(), 3421);
    }
    // Up to 28 places on a small value stays exact: 1 at scale 28 is 10^28.
    jet_decimal one = jet_decimal_for_column(column_of_scale(28), number(1, 0));
    EXPECT_EQ(one.hi, 0x204FCE5Eu);
    EXPECT_EQ(one.mid, 0x3E250261u);
    EXPECT_EQ(one.lo, 0x10000000u);
}

}   // namespace
