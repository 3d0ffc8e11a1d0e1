#include "platform/jet/jet_usage_map_writer.hpp"

#include <algorithm>

#include "platform/jet/jet_byte_writer.hpp"
#include "platform/jet/jet_data_page_writer.hpp"
#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_usage_map.hpp"
#include "tk/tk_byte_reader.hpp"

namespace {

constexpr std::size_t INLINE_PAGES = (JET_USAGE_MAP_ROW_SIZE - JET_USAGE_MAP_BITMAP) * 8;
constexpr std::size_t INDIRECT_SLOTS = (JET_USAGE_MAP_ROW_SIZE - JET_USAGE_MAP_PAGES)
                                       / JET_USAGE_MAP_POINTER_SIZE;
constexpr int JET_ERR_DATABASE_FULL = 3026;

void set_bit(std::span<std::uint8_t> bitmap, std::size_t bit) {
    bitmap[bit / 8] = std::uint8_t(bitmap[bit / 8] | (1u << (bit % 8)));
}

std::span<std::uint8_t> map_row_bytes(jet_page_store& store, std::uint32_t map_row) {
    std::span<std::uint8_t> page = store.change(map_row >> 8, jet_page_role::usage_map);
    return jet_row_bytes(page, std::uint16_t(map_row & 0xFF));
}

void add_indirect(jet_page_store& store, std::uint32_t map_row, std::uint32_t page_no) {
    std::size_t pages_per_map = (store.page_size() - JET_USAGE_MAP_PAGE_BITMAP) * 8;
    std::size_t slot = page_no / pages_per_map;
    if (slot >= INDIRECT_SLOTS) throw jet_error(JET_ERR_DATABASE_FULL, "Not enough space on disk.");
    const std::size_t pointer_at = JET_USAGE_MAP_PAGES + slot * JET_USAGE_MAP_POINTER_SIZE;
    std::uint32_t map_page = TK_BYTE_VIEW(map_row_bytes(store, map_row)).u32(pointer_at);
    if (map_page == 0) {
        map_page = store.allocate(jet_page_role::usage_map);
        std::span<std::uint8_t> fresh = store.change(map_page, jet_page_role::usage_map);
        jet_put_u8(fresh, JET_USAGE_MAP_PAGE_TYPE, JET_PAGE_USAGE_MAP);
        jet_put_u8(fresh, JET_USAGE_MAP_PAGE_MARK, 0x01);
        jet_put_u32(map_row_bytes(store, map_row), pointer_at, map_page);
    }
    std::span<std::uint8_t> bitmap = store.change(map_page, jet_page_role::usage_map);
    set_bit(bitmap.subspan(JET_USAGE_MAP_PAGE_BITMAP), page_no % pages_per_map);
}

// Turns a full inline map into an indirect one holding the same pages.
void make_indirect(jet_page_store& store, std::uint32_t map_row) {
    std::span<std::uint8_t> row = map_row_bytes(store, map_row);
    std::uint32_t start = TK_BYTE_VIEW(row).u32(JET_USAGE_MAP_START_PAGE);
    std::vector<std::uint32_t> owned;
    for (std::size_t bit = 0; bit < INLINE_PAGES; ++bit)
        if ((row[JET_USAGE_MAP_BITMAP + bit / 8] >> (bit % 8)) & 1)
            owned.push_back(start + std::uint32_t(bit));
    std::fill(row.begin(), row.end(), std::uint8_t(0));
    row[JET_USAGE_MAP_TYPE] = JET_USAGE_MAP_INDIRECT;
    for (std::uint32_t page_no : owned) add_indirect(store, map_row, page_no);
}

}   // namespace

std::vector<std::uint8_t> jet_empty_usage_map() {
    return std::vector<std::uint8_t>(JET_USAGE_MAP_ROW_SIZE, 0);
}

void jet_usage_map_add(jet_page_store& store, std::uint32_t map_row, std::uint32_t page_no) {
    std::span<std::uint8_t> row = map_row_bytes(store, map_row);
    if (row[JET_USAGE_MAP_TYPE] == JET_USAGE_MAP_INLINE) {
        std::uint32_t start = TK_BYTE_VIEW(row).u32(JET_USAGE_MAP_START_PAGE);
        bool is_empty = std::all_of(row.begin() + JET_USAGE_MAP_BITMAP, row.end(),
                                    [](std::uint8_t byte) { return byte == 0; });
        if (is_empty) {
            start = page_no;
            jet_put_u32(row, JET_USAGE_MAP_START_PAGE, start);
        }
        if (page_no >= start && page_no - start < INLINE_PAGES) {
            set_bit(row.subspan(JET_USAGE_MAP_BITMAP), page_no - start);
            return;
        }
        make_indirect(store, map_row);
    }
    add_indirect(store, map_row, page_no);
}
