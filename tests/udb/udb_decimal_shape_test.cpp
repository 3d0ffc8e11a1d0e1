// udb_decimal_shape_test.cpp - the narrowest numeric(p,s) for calculated decimals. Values are
// built from their DECIMAL parts (magnitude, scale, sign); each expected shape is worked by
// hand from the digits of the values.
#include "udb/udb_decimal_shape.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "udb/udb_db.hpp"
#include "udb/udb_test_util.hpp"

namespace {

ole_variant decimal(std::uint64_t low, BYTE scale, bool negative = false, ULONG high = 0) {
    DECIMAL value{};
    value.Lo64 = low;
    value.Hi32 = high;
    value.scale = scale;
    value.sign = negative ? DECIMAL_NEG : 0;
    return ole_variant(value);
}

udb_decimal_shape shape_of(const std::vector<ole_variant>& values) {
    udb_decimal_shape shape;
    for (const ole_variant& value : values) shape.widen(value);
    return shape;
}

// Rows held in memory: one column "Calc" of the given values, one "Name" of text.
class rows_recordset : public udb_recordset {
public:
    explicit rows_recordset(std::vector<ole_variant> new_values)
        : udb_recordset(u"Table1"), values(std::move(new_values)) {}
    void append_record(udb_record&) override {}
    udb_record* get_item() override {
        ++reads;
        current.clear();
        current.append(std::make_unique<udb_field>(u"Name", 10u, ole_variant(u"x"), false, false));
        current.append(std::make_unique<udb_field>(u"Calc", 0u, values.at(at), false, false));
        return &current;
    }
    bool is_eof() override { return at >= values.size(); }
    void next() override { ++at; }
    void reset() override { at = 0; }

    std::size_t reads = 0;

private:
    std::vector<ole_variant> values;
    std::size_t at = 0;
    udb_record current;
};

}   // namespace

TEST(UdbDecimalShape, TrailingZerosWidenNothing) {
    // 12.3400 is 12.34: two integer digits, two fraction digits.
    const udb_decimal_shape one = shape_of({decimal(123400, 4)});
    EXPECT_EQ(one.precision(), 4);
    EXPECT_EQ(one.scale(), 2);
    // With -0.0001 the scale grows to 4 and the integer digits stay 2: numeric(6,4).
    const udb_decimal_shape both = shape_of({decimal(123400, 4), decimal(1, 4, true)});
    EXPECT_EQ(both.precision(), 6);
    EXPECT_EQ(both.scale(), 4);
    // Zero still needs one digit; NULL and other types change nothing.
    const udb_decimal_shape zero = shape_of({decimal(0, 6), ole_variant()});
    EXPECT_TRUE(zero.is_measured());
    EXPECT_EQ(zero.precision(), 1);
    EXPECT_EQ(zero.scale(), 0);
    EXPECT_FALSE(shape_of({ole_variant(), ole_variant(std::int32_t(5))}).is_measured());
}

TEST(UdbDecimalShape, ThirtyEightDigitsAreTheLastNumeric) {
    // 1234567890 (10 integer digits) with 1E-28 (scale 28): exactly numeric(38,28).
    const udb_decimal_shape widest = shape_of({decimal(1234567890, 0), decimal(1, 28)});
    EXPECT_EQ(widest.precision(), 38);
    EXPECT_TRUE(widest.fits_numeric());
    // The largest DECIMAL, 79228162514264337593543950335, has 29 integer digits: with a
    // scale of 28 beside it no numeric holds both.
    const udb_decimal_shape wider = shape_of(
        {decimal(0xFFFFFFFFFFFFFFFFull, 0, true, 0xFFFFFFFFu), decimal(1, 28)});
    EXPECT_EQ(wider.precision(), 57);
    EXPECT_FALSE(wider.fits_numeric());
}

TEST(UdbDecimalShape, ShapeIsAppliedAsNumericOrExactText) {
    t_ftd column(0, u"Calc", VT_DECIMAL, false, false, ole_variant(), 0);
    udb_apply_decimal_shape(column, udb_decimal_shape());   // no values: left undeclared
    EXPECT_EQ(column.reserved, 0u);
    udb_apply_decimal_shape(column, shape_of({decimal(5032500, 5)}));   // 50.325
    EXPECT_EQ(column.vartype, VT_DECIMAL);
    EXPECT_EQ(column.reserved, 5u * 256 + 3);
    udb_apply_decimal_shape(column, shape_of({decimal(0xFFFFFFFFFFFFFFFFull, 0, false, 0xFFFFFFFFu),
                                              decimal(1, 28, true)}));
    EXPECT_EQ(column.vartype, VT_BSTR);
    // "-0.0000000000000000000000000001" is the longest text a DECIMAL has: 31 characters.
    EXPECT_EQ(column.size, 31u);
}

TEST(UdbDecimalShape, MeasuredSchemaReadsTheRowsOnce) {
    rows_recordset table(
        {decimal(3622220, 5, true), ole_variant(), decimal(102030405060654321ull, 6)});
    table.schema.append(make_ftd(VT_BSTR, 10, u"Name"));
    table.schema.append(make_ftd(VT_DECIMAL, 0, u"Calc"));
    const udb_schema measured = udb_measured_schema(table);
    EXPECT_EQ(table.reads, 3u);
    // -36.2222 and 102030405060.654321: 12 integer digits, scale 6.
    EXPECT_EQ(measured[1].reserved, 18u * 256 + 6);
    EXPECT_EQ(measured[0].vartype, VT_BSTR);
    EXPECT_EQ(table.schema[1].reserved, 0u);   // the source's own schema is left alone

    rows_recordset plain({decimal(1, 0)});
    plain.schema.append(make_ftd(VT_BSTR, 10, u"Name"));
    plain.schema.append(make_ftd(VT_I4, 4, u"Calc"));
    udb_measured_schema(plain);
    EXPECT_EQ(plain.reads, 0u);   // nothing to measure, nothing read
}
