#pragma once
// jet_usage_map.hpp - the pages a table owns, read lazily from its usage map row. Type 0
// maps hold a start page and a bitmap; type 1 maps list bitmap pages (type 0x05), each
// covering (page size - 4) * 8 pages in turn.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/jet/jet_pager.hpp"

class jet_usage_map {
public:
    // map_row: the row pointer from the table definition. 3049 for an unknown map type.
    jet_usage_map(const jet_pager& pager, std::uint32_t map_row);

    // The next owned page in ascending order, or nothing after the last.
    std::optional<std::uint32_t> next();

private:
    bool load_bitmap_page();

    const jet_pager& pager;
    std::vector<std::uint8_t> map;        // the map row
    bool is_indirect = false;
    std::vector<std::uint8_t> bitmap;     // the bitmap being walked
    std::uint64_t bitmap_first_page = 0;  // page number of bit 0
    std::size_t bit = 0;
    std::size_t next_map_slot = 0;        // type 1: next page pointer to load
};
