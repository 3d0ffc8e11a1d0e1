#pragma once
// jet_usage_map.hpp - the pages a table owns, read lazily from its usage map row; the layout
// below is shared with jet_usage_map_writer. Little-endian. A map row:
//   OFFSET  SIZE  MEANING
//        0     1  map type: 0 inline, 1 indirect
//   type 0 (inline):
//        1     4  page number of bit 0
//        5     .  bitmap to the row's end: bit n set when page (start + n) is owned
//   type 1 (indirect):
//        1   4*n  bitmap pages (0: none yet), the k-th covering pages from k times what
//                 one bitmap page covers
// A bitmap page:
//        0     1  page type 0x05
//        1     1  0x01
//        4     .  bitmap to the page's end, (page size - 4) * 8 pages

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/jet/jet_pager.hpp"

inline constexpr std::size_t JET_USAGE_MAP_TYPE = 0;
inline constexpr std::uint8_t JET_USAGE_MAP_INLINE = 0x00;
inline constexpr std::uint8_t JET_USAGE_MAP_INDIRECT = 0x01;
inline constexpr std::size_t JET_USAGE_MAP_START_PAGE = 1;
inline constexpr std::size_t JET_USAGE_MAP_BITMAP = 5;
inline constexpr std::size_t JET_USAGE_MAP_PAGES = 1;
inline constexpr std::size_t JET_USAGE_MAP_POINTER_SIZE = 4;
inline constexpr std::uint8_t JET_PAGE_USAGE_MAP = 0x05;
inline constexpr std::size_t JET_USAGE_MAP_PAGE_TYPE = 0;
inline constexpr std::size_t JET_USAGE_MAP_PAGE_MARK = 1;   // holds 0x01
inline constexpr std::size_t JET_USAGE_MAP_PAGE_BITMAP = 4;

class jet_usage_map {
public:
    // map_row: the row pointer from the table definition. 3049 for an unknown map type.
    jet_usage_map(const jet_pager& pager, std::uint32_t map_row);

    // The next owned page in ascending order, or nothing after the last.
    std::optional<std::uint32_t> next();

private:
    bool load_bitmap_page();

    const jet_pager& pager;
    std::vector<std::uint8_t> map;   // the map row
    bool is_indirect = false;
    std::vector<std::uint8_t> bitmap;      // the bitmap being walked
    std::uint64_t bitmap_first_page = 0;   // page number of bit 0
    std::size_t bit = 0;
    std::size_t next_map_slot = 0;   // type 1: next page pointer to load
};
