#include "platform/jet/jet_row.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/jet/jet_data_page.hpp"

namespace {

jet_column fixed_column(std::uint16_t number, std::uint16_t offset, std::uint16_t size) {
    jet_column column;
    column.column_number = number;
    column.fixed_offset = offset;
    column.size_bytes = size;
    column.flags = 0x01 | 0x02;
    return column;
}

jet_column var_column(std::uint16_t number, std::uint16_t var_index) {
    jet_column column;
    column.column_number = number;
    column.var_index = var_index;
    column.flags = 0x02;
    return column;
}

std::vector<std::uint8_t> bytes_of(const jet_field& field) {
    return {field.bytes.begin(), field.bytes.end()};
}

// A Jet 4 row of 4 columns: Long 7 (fixed at 0), Text "AB" (variable slot 0), Integer -2
// (fixed at 4) and a Boolean, then end of data 12, slot 0 at 8, one variable column, mask.
std::vector<std::uint8_t> jet4_row(std::uint8_t mask) {
    return {0x04, 0x00,                           // columns in the row
            0x07, 0x00, 0x00, 0x00, 0xFE, 0xFF,   // fixed data
            0x41, 0x00, 0x42, 0x00,               // variable data
            0x0C, 0x00, 0x08, 0x00,               // end of data, slot 0 (reversed)
            0x01, 0x00,                           // variable column count
            mask};
}

}   // namespace

TEST(JetRowJet4, FindsFixedAndVariableColumnsAndBooleans) {
    std::vector<std::uint8_t> bytes = jet4_row(0x0F);
    jet_reader page(bytes, 7);
    jet_row row(page, 0, bytes.size(), false, 1);
    EXPECT_EQ(bytes_of(row.field(fixed_column(0, 0, 4), 0)),
              (std::vector<std::uint8_t>{7, 0, 0, 0}));
    EXPECT_EQ(bytes_of(row.field(var_column(1, 0), 0)),
              (std::vector<std::uint8_t>{0x41, 0, 0x42, 0}));
    EXPECT_EQ(bytes_of(row.field(fixed_column(2, 4, 2), 1)),
              (std::vector<std::uint8_t>{0xFE, 0xFF}));
    EXPECT_TRUE(row.mask_bit(3));
}

TEST(JetRowJet4, ClearMaskBitsAreNullAndFalse) {
    std::vector<std::uint8_t> bytes = jet4_row(0x05);   // text and Boolean bits clear
    jet_reader page(bytes, 7);
    jet_row row(page, 0, bytes.size(), false, 1);
    EXPECT_FALSE(row.field(var_column(1, 0), 0).is_present);
    EXPECT_FALSE(row.mask_bit(3));
    EXPECT_TRUE(row.field(fixed_column(0, 0, 4), 0).is_present);
}

TEST(JetRowJet4, ColumnsAddedAfterTheRowWasWrittenAreNull) {
    std::vector<std::uint8_t> bytes = jet4_row(0x0F);
    jet_reader page(bytes, 7);
    jet_row row(page, 0, bytes.size(), false, 2);
    EXPECT_FALSE(row.field(fixed_column(4, 6, 4), 2).is_present);   // column 4 of 4
    EXPECT_FALSE(row.field(var_column(5, 1), 0).is_present);        // slot 1 of 1
    EXPECT_FALSE(row.mask_bit(9));
}

TEST(JetRowJet4, RejectsOffsetsOutsideTheRow) {
    std::vector<std::uint8_t> bytes = jet4_row(0x0F);
    bytes[12] = 0x40;   // end of data far past the row
    jet_reader page(bytes, 7);
    try {
        jet_row row(page, 0, bytes.size(), false, 1);
        FAIL() << "accepted an offset outside the row";
    } catch (const jet_error& error) {
        EXPECT_EQ(error.dao_number(), JET_ERR_CORRUPT);
        EXPECT_EQ(error.page_no(), 7u);
    }
    std::vector<std::uint8_t> counts = jet4_row(0x0F);
    counts[16] = 0xFF;   // 255 variable columns in 19 bytes
    jet_reader bad_count(counts, 7);
    EXPECT_THROW(jet_row(bad_count, 0, counts.size(), false, 1), jet_error);
    std::vector<std::uint8_t> wide{0xFF, 0xFF, 0x00};   // 65535 columns in 3 bytes
    jet_reader too_wide(wide, 7);
    EXPECT_THROW(jet_row(too_wide, 0, wide.size(), false, 0), jet_error);
}

// A Jet 3 row longer than 256 bytes: three variable Text columns of 100 bytes at 1, 101 and
// 201; the end of data, 301, needs the jump table entry that says slot 3 passes 256.
TEST(JetRowJet3, AddsTheJumpTableToOneByteOffsets) {
    std::vector<std::uint8_t> bytes{3};
    bytes.insert(bytes.end(), 100, 'a');
    bytes.insert(bytes.end(), 100, 'b');
    bytes.insert(bytes.end(), 100, 'c');
    bytes.insert(bytes.end(), {45, 201, 101, 1, 3, 3, 0x07});
    ASSERT_EQ(bytes.size(), 308u);
    jet_reader page(bytes, 3);
    jet_row row(page, 0, bytes.size(), true, 3);
    EXPECT_EQ(bytes_of(row.field(var_column(0, 0), 0)), std::vector<std::uint8_t>(100, 'a'));
    EXPECT_EQ(bytes_of(row.field(var_column(2, 2), 0)), std::vector<std::uint8_t>(100, 'c'));
}

namespace {

// A Jet 4 data page with three rows: deleted, an overflow pointer, and a plain one.
std::vector<std::uint8_t> data_page() {
    std::vector<std::uint8_t> page(4096, 0);
    page[0] = 0x01;
    page[2] = 1980 & 0xFF;   // free: row 2 starts at 2000, the offsets end at 14 + 3 * 2
    page[3] = 1980 >> 8;
    page[4] = 0x20;   // owned by the table defined on page 0x20
    page[12] = 3;     // rows
    auto entry = [&](std::size_t row, std::uint16_t value) {
        page[14 + row * 2] = std::uint8_t(value & 0xFF);
        page[15 + row * 2] = std::uint8_t(value >> 8);
    };
    entry(0, 0x8000 | 4000);
    entry(1, 0x4000 | 3000);
    entry(2, 2000);
    return page;
}

}   // namespace

TEST(JetDataPage, ReadsRowFlagsAndBounds) {
    auto bytes = std::make_shared<const std::vector<std::uint8_t>>(data_page());
    jet_data_page page(bytes, 9, false);
    EXPECT_EQ(page.owner_page(), 0x20u);
    EXPECT_TRUE(page.slot(0).is_deleted);
    jet_row_slot moved = page.slot(1);
    EXPECT_TRUE(moved.is_overflow);
    EXPECT_EQ(moved.start, 3000u);
    EXPECT_EQ(moved.end, 4000u);
    jet_row_slot plain = page.slot(2);
    EXPECT_EQ(plain.start, 2000u);
    EXPECT_EQ(plain.end, 3000u);
}

TEST(JetDataPage, RejectsRowsOutsideThePageAndWrongPageTypes) {
    auto bytes = std::make_shared<const std::vector<std::uint8_t>>(data_page());
    jet_data_page page(bytes, 9, false);
    EXPECT_THROW(page.slot(3), jet_error);
    std::vector<std::uint8_t> overlapping = data_page();
    overlapping[18] = 0x10;   // row 2 starts inside the offset table
    overlapping[19] = 0x00;
    EXPECT_THROW(
        jet_data_page(std::make_shared<const std::vector<std::uint8_t>>(overlapping), 9, false),
        jet_error);
    std::vector<std::uint8_t> index_page = data_page();
    index_page[0] = 0x04;
    EXPECT_THROW(
        jet_data_page(std::make_shared<const std::vector<std::uint8_t>>(index_page), 9, false),
        jet_error);
}
