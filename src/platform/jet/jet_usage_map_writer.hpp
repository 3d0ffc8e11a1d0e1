#pragma once
// jet_usage_map_writer.hpp - records the pages a table or index owns in its usage map row,
// in the layout jet_usage_map.hpp draws. The row is always 69 bytes: type 0 holds a start
// page and a 64-byte bitmap of the 512 pages from it; when a page falls outside them the row
// turns into type 1, 17 pointers to bitmap pages each covering the next (page size - 4) * 8
// pages, enough for the largest file Jet 4 allows.

#include <cstdint>
#include <vector>

#include "platform/jet/jet_page_store.hpp"

inline constexpr std::size_t JET_USAGE_MAP_ROW_SIZE = 69;

// An empty type 0 map row.
std::vector<std::uint8_t> jet_empty_usage_map();

// Marks page_no as owned in the map row at map_row (page << 8 | row).
void jet_usage_map_add(jet_page_store& store, std::uint32_t map_row, std::uint32_t page_no);
