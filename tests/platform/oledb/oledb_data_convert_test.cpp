// R8 to NUMERIC(p,s): rounding, overflow and the text bulk load sends. Expected values are
// worked by hand from the decimal value of each double.

#include "platform/oledb/oledb_data_convert.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

std::string converted(double value, int precision, int scale) {
    DB_NUMERIC numeric;
    const oledb_hresult result = oledb_convert_r8_to_numeric(
        value, static_cast<std::uint8_t>(precision), static_cast<std::uint8_t>(scale), numeric);
    if (oledb_failed(result)) return "failed";
    return oledb_numeric_to_text(numeric);
}

}  // namespace

TEST(OledbDataConvert, RoundsToTheColumnScale) {
    EXPECT_EQ(converted(123.456, 5, 2), "123.46");
    EXPECT_EQ(converted(-123.456, 5, 2), "-123.46");
    EXPECT_EQ(converted(0.5, 3, 0), "1");        // half away from zero
    EXPECT_EQ(converted(0.001, 5, 2), "0.00");
    EXPECT_EQ(converted(-0.001, 5, 2), "0.00");  // no negative zero
    EXPECT_EQ(converted(1e-320, 10, 4), "0.0000");
    EXPECT_EQ(converted(12345678901234567.0, 28, 0), "12345678901234568");
}

TEST(OledbDataConvert, KeepsTheMagnitudeInLittleEndianBytes) {
    DB_NUMERIC numeric;
    ASSERT_EQ(oledb_convert_r8_to_numeric(-2.56, 5, 2, numeric), OLEDB_S_OK);
    EXPECT_EQ(numeric.sign, 0);
    EXPECT_EQ(numeric.val[0], 0x00);   // 256 = 0x0100
    EXPECT_EQ(numeric.val[1], 0x01);
    EXPECT_EQ(numeric.precision, 5);
    EXPECT_EQ(numeric.scale, 2);
}

TEST(OledbDataConvert, RefusesWhatTheColumnCannotHold) {
    DB_NUMERIC numeric;
    EXPECT_EQ(oledb_convert_r8_to_numeric(12345.678, 5, 2, numeric), DB_E_DATAOVERFLOW);
    EXPECT_EQ(oledb_convert_r8_to_numeric(999.995, 5, 2, numeric), DB_E_DATAOVERFLOW);
    EXPECT_EQ(oledb_convert_r8_to_numeric(1e300, 28, 0, numeric), DB_E_DATAOVERFLOW);
    EXPECT_EQ(oledb_convert_r8_to_numeric(std::numeric_limits<double>::infinity(), 5, 2,
                                          numeric), DB_E_CANTCONVERTVALUE);
    EXPECT_EQ(oledb_convert_r8_to_numeric(std::nan(""), 5, 2, numeric), DB_E_CANTCONVERTVALUE);
    EXPECT_EQ(oledb_convert_r8_to_numeric(1.0, 0, 0, numeric), DB_E_BADPRECISION);
    EXPECT_EQ(oledb_convert_r8_to_numeric(1.0, 39, 0, numeric), DB_E_BADPRECISION);
    EXPECT_EQ(oledb_convert_r8_to_numeric(1.0, 5, 6, numeric), DB_E_BADSCALE);
}
