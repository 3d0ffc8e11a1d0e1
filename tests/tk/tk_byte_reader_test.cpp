// tk_byte_reader_test.cpp - the one checked byte reader: integers composed little-endian
// whatever the host's order, offsets near SIZE_MAX refused rather than wrapped, and faults
// reported by the layer's own kind of reader, a sub-range keeping its owner.
#include "tk/tk_byte_reader.hpp"

#include <cstdint>
#include <limits>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// A reader whose fault says where it happened, as a layer's reader would.
class probe_reader : public tk_byte_reader<probe_reader> {
public:
    probe_reader(std::span<const std::uint8_t> view, std::string owner)
        : tk_byte_reader(view), name(std::move(owner)) {}
    [[noreturn]] void out_of_bounds(std::size_t at, std::size_t length) const {
        throw std::out_of_range(name + " " + std::to_string(at) + "+" + std::to_string(length));
    }
    probe_reader with_bytes(std::span<const std::uint8_t> view) const {
        return probe_reader(view, name);
    }

private:
    std::string name;
};

const std::vector<std::uint8_t> BYTES = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06,
                                         0x07, 0x88, 0x00, 0x00, 0x80, 0x3F};

std::string fault_of(const auto& read) {
    try {
        read();
    } catch (const std::out_of_range& fault) {
        return fault.what();
    }
    return "no fault";
}

TEST(ByteReaderValues, AreComposedLittleEndian) {
    const probe_reader reader(BYTES, "page");
    EXPECT_EQ(reader.u16(0), 0x0201);
    EXPECT_EQ(reader.u24(1), 0x040302u);
    EXPECT_EQ(reader.u32(0), 0x04030201u);
    EXPECT_EQ(reader.u64(0), 0x8807060504030201u);
    EXPECT_EQ(reader.i16(6), std::int16_t(-30713));   // 0x8807
    EXPECT_EQ(reader.f32(8), 1.0f);                   // 3F800000
}

TEST(ByteReaderBounds, RefuseTheLastByteTooFarAndOffsetsThatWouldWrap) {
    const probe_reader reader(BYTES, "page");
    EXPECT_EQ(reader.u32(8), 0x3F800000u);   // the last four bytes still read
    EXPECT_EQ(fault_of([&] { reader.u32(9); }), "page 9+4");
    EXPECT_EQ(fault_of([&] { reader.u8(12); }), "page 12+1");
    const std::size_t huge = std::numeric_limits<std::size_t>::max();
    EXPECT_EQ(fault_of([&] { reader.span(2, huge); }), "page 2+" + std::to_string(huge));
    EXPECT_EQ(fault_of([&] { reader.u16(huge); }), "page " + std::to_string(huge) + "+2");
    EXPECT_TRUE(reader.fits(12, 0));
    EXPECT_FALSE(reader.fits(13, 0));
}

TEST(ByteReaderSub, CountsFromItsStartAndEndsAtItsEnd) {
    const probe_reader reader(BYTES, "row");
    const probe_reader row = reader.sub(4, 4);
    EXPECT_EQ(row.u32(0), 0x88070605u);
    EXPECT_EQ(fault_of([&] { row.u8(4); }), "row 4+1") << "the sub-range must not see past it";
    EXPECT_EQ(fault_of([&] { reader.sub(10, 3); }), "row 10+3");
}

TEST(ByteView, ReadOutsideOurOwnLayoutIsAnInternalError) {
    const tk_byte_view view(BYTES, "tk_test", 7);
    EXPECT_EQ(view.u8(11), 0x3F);
    try {
        view.sub(8, 4).u16(3);
        ADD_FAILURE() << "read past the view";
    } catch (const tk_mail_assertion& fault) {
        EXPECT_EQ(fault.level(), ERROR_LEVEL_INTERNAL);
        EXPECT_EQ(std::string(fault.what()),
                  "Internal error: \ncode=" + tk_mail_assertion::location_code("tk_test", 7));
    }
}

}   // namespace
