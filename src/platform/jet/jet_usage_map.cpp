#include "platform/jet/jet_usage_map.hpp"

#include <algorithm>
#include <string>

#include "platform/jet/jet_data_page.hpp"

jet_usage_map::jet_usage_map(const jet_pager& owner, std::uint32_t map_row) : pager(owner) {
    std::uint32_t page_no = jet_data_page::pointer_page(map_row);
    jet_data_page page(pager.page(page_no), page_no, pager.is_jet3());
    jet_row_slot slot = page.slot(jet_data_page::pointer_row(map_row));
    if (slot.is_deleted) page.bytes().corrupt("the table's usage map row is deleted");
    std::span<const std::uint8_t> row = page.bytes().span(slot.start, slot.end - slot.start);
    map.assign(row.begin(), row.end());
    jet_reader reader(map, page_no);
    std::uint8_t type = reader.u8(JET_USAGE_MAP_TYPE);
    if (type == JET_USAGE_MAP_INLINE) {
        bitmap_first_page = reader.u32(JET_USAGE_MAP_START_PAGE);
        bitmap.assign(map.begin() + JET_USAGE_MAP_BITMAP, map.end());
    } else if (type == JET_USAGE_MAP_INDIRECT) {
        is_indirect = true;
    } else {
        reader.corrupt("the usage map has the unknown type " + std::to_string(type));
    }
}

bool jet_usage_map::load_bitmap_page() {
    jet_reader reader(map, 0);
    std::uint64_t pages_per_map = std::uint64_t(pager.page_size() - JET_USAGE_MAP_PAGE_BITMAP) * 8;
    auto pointer_at = [](std::size_t slot) {
        return JET_USAGE_MAP_PAGES + slot * JET_USAGE_MAP_POINTER_SIZE;
    };
    while (pointer_at(next_map_slot + 1) <= map.size()) {
        std::size_t slot = next_map_slot++;
        std::uint32_t page_no = reader.u32(pointer_at(slot));
        if (page_no == 0) continue;
        jet_page_ptr page = pager.page(page_no);
        jet_reader bytes(*page, page_no);
        const std::uint8_t page_type = bytes.u8(JET_USAGE_MAP_PAGE_TYPE);
        if (page_type != JET_PAGE_USAGE_MAP)
            bytes.corrupt("a usage map page has type " + std::to_string(page_type));
        bitmap.assign(page->begin() + JET_USAGE_MAP_PAGE_BITMAP, page->end());
        bitmap_first_page = slot * pages_per_map;
        bit = 0;
        return true;
    }
    return false;
}

std::optional<std::uint32_t> jet_usage_map::next() {
    for (;;) {
        while (bit < bitmap.size() * 8) {
            std::size_t at = bit++;
            if (!((bitmap[at / 8] >> (at % 8)) & 1)) continue;
            std::uint64_t page_no = bitmap_first_page + at;
            if (page_no >= pager.page_count())   // a truncated file, not an empty table
                throw jet_error::corrupt(std::uint32_t(std::min<std::uint64_t>(page_no, ~0u)),
                                         "the table's usage map names a page past the end "
                                         "of the file");
            return std::uint32_t(page_no);
        }
        if (!is_indirect || !load_bitmap_page()) return std::nullopt;
    }
}
