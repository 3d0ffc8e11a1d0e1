#pragma once
// jet_long_value_writer.hpp - stores a Memo or OLE value and answers the field a row holds
// for it, the layout jet_read_long_value reads: a 12-byte head (u32 length with 0x80000000
// "data follows here" or 0x40000000 "one row elsewhere", u32 row pointer, u32 0), then for
// values of up to 64 bytes the data itself. Longer values go to pages owned by "LVAL": one
// row when they fit a page, else a chain of rows, each starting with the pointer to the next
// (0 at the end). Memory stays one value.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/jet/jet_page_store.hpp"

class jet_long_value_writer {
public:
    explicit jet_long_value_writer(jet_page_store& store) : store(store) {}

    std::vector<std::uint8_t> store_value(std::span<const std::uint8_t> value);

private:
    std::uint32_t place(std::span<const std::uint8_t> row);

    jet_page_store& store;
    std::uint32_t current_page = 0;   // the page taking single rows; 0 before the first
};
