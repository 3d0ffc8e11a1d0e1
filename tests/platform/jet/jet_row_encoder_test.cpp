#include "platform/jet/jet_row_encoder.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jet_test_files.hpp"
#include "platform/jet/jet_row.hpp"

// Rows are judged byte for byte against Jet 4 rows worked out by hand from the documented
// layout (count, fixed area, data, end of data, offsets last first, variable count, mask),
// then read back, so writer and reader cannot drift apart on a shared mistake unnoticed.

namespace {

jet_column column_of(std::uint8_t type, std::uint16_t number, std::uint16_t size, bool fixed) {
    jet_column column;
    column.type_code = type;
    column.column_number = number;
    column.size_bytes = size;
    column.flags = fixed ? 0x01 | 0x02 : 0x02;
    return column;
}

jet_column fixed_at(std::uint8_t type, std::uint16_t number, std::uint16_t offset,
                    std::uint16_t size) {
    jet_column column = column_of(type, number, size, true);
    column.fixed_offset = offset;
    return column;
}

jet_column variable_at(std::uint8_t type, std::uint16_t number, std::uint16_t var_index) {
    jet_column column = column_of(type, number, 100, false);
    column.var_index = var_index;
    return column;
}

class JetRowEncoder : public ::testing::Test {
protected:
    std::vector<std::uint8_t> encode(const jet_table_def& def,
                                     const std::vector<jet_value>& values) {
        return jet_encode_row(def, values, long_values);
    }

    jet_scratch_file scratch{"row_encoder.mdb"};   // outlives the store writing into it
    jet_page_store store{scratch.path.string(), 4096};
    jet_long_value_writer long_values{store};
};

std::vector<std::uint8_t> bytes_of(const jet_field& field) {
    return {field.bytes.begin(), field.bytes.end()};
}

}   // namespace

// Long 7 at 0, Text "AB" in slot 0, Integer -2 at 4 and a true Boolean: fixed data from 2,
// the text at 8..12, end of data 12 below slot 0's 8, one variable column, all four bits.
TEST_F(JetRowEncoder, WritesFixedVariableAndBooleanColumnsWhereTheLayoutPutsThem) {
    jet_table_def def;
    def.columns = {fixed_at(JET_TYPE_INT32, 0, 0, 4), variable_at(JET_TYPE_TEXT, 1, 0),
                   fixed_at(JET_TYPE_INT16, 2, 4, 2), fixed_at(JET_TYPE_BOOLEAN, 3, 6, 0)};
    def.var_column_count = 1;
    const std::vector<std::uint8_t> row = encode(
        def, {jet_value(std::int32_t(7)), jet_value(std::u16string(u"AB")),
              jet_value(std::int16_t(-2)), jet_value(true)});
    const std::vector<std::uint8_t> expected{0x04, 0x00, 0x07, 0x00, 0x00, 0x00, 0xFE,
                                             0xFF, 0x41, 0x00, 0x42, 0x00, 0x0C, 0x00,
                                             0x08, 0x00, 0x01, 0x00, 0x0F};
    EXPECT_EQ(row, expected);

    jet_reader page(row, 1);
    jet_row read(page, 0, row.size(), false, 1);
    EXPECT_EQ(bytes_of(read.field(def.columns[1], 0)),
              (std::vector<std::uint8_t>{0x41, 0, 0x42, 0}));
    EXPECT_EQ(bytes_of(read.field(def.columns[2], 1)), (std::vector<std::uint8_t>{0xFE, 0xFF}));
    EXPECT_TRUE(read.mask_bit(3));
}

// Ten columns need a second mask byte: column 8 is its bit 0, the Boolean column 9 its bit 1.
// Without variable-length columns the mask follows the fixed area directly.
TEST_F(JetRowEncoder, PutsColumnsPastTheEighthInTheSecondMaskByte) {
    jet_table_def def;
    for (std::uint16_t number = 0; number < 9; ++number)
        def.columns.push_back(fixed_at(JET_TYPE_BYTE, number, number, 1));
    def.columns.push_back(fixed_at(JET_TYPE_BOOLEAN, 9, 9, 0));
    std::vector<jet_value> values(10);
    values[0] = jet_value(std::uint8_t(1));
    values[8] = jet_value(std::uint8_t(9));
    values[9] = jet_value(true);
    const std::vector<std::uint8_t> expected{0x0A, 0x00, 0x01, 0,    0,    0,   0,
                                             0,    0,    0,    0x09, 0x01, 0x03};
    EXPECT_EQ(encode(def, values), expected);

    values[9] = jet_value(false);   // a false Boolean is a clear bit, like a null
    const std::vector<std::uint8_t> row = encode(def, values);
    EXPECT_EQ(row.back(), 0x01);
    jet_reader page(row, 1);
    jet_row read(page, 0, row.size(), false, 0);
    EXPECT_EQ(bytes_of(read.field(def.columns[8], 8)), std::vector<std::uint8_t>{0x09});
    EXPECT_FALSE(read.field(def.columns[4], 4).is_present);
    EXPECT_FALSE(read.mask_bit(9));
}

// A null variable column still has its slot, empty: both slots start at 2, the end of data
// is 3, and only column 1's bit is set.
TEST_F(JetRowEncoder, GivesNullVariableColumnsAnEmptySlot) {
    jet_table_def def;
    def.columns = {variable_at(JET_TYPE_TEXT, 0, 0), variable_at(JET_TYPE_BINARY, 1, 1)};
    def.var_column_count = 2;
    const std::vector<std::uint8_t> row = encode(
        def, {jet_value(), jet_value(std::vector<std::uint8_t>{0xAA})});
    const std::vector<std::uint8_t> expected{0x02, 0x00, 0xAA, 0x03, 0x00, 0x02,
                                             0x00, 0x02, 0x00, 0x02, 0x00, 0x02};
    EXPECT_EQ(row, expected);

    jet_reader page(row, 1);
    jet_row read(page, 0, row.size(), false, 2);
    EXPECT_FALSE(read.field(def.columns[0], 0).is_present);
    EXPECT_EQ(bytes_of(read.field(def.columns[1], 0)), std::vector<std::uint8_t>{0xAA});
}
