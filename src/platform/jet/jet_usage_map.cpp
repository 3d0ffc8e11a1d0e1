#include "platform/jet/jet_usage_map.hpp"

#include <algorithm>
#include <string>

#include "platform/jet/jet_data_page.hpp"

namespace {

constexpr std::uint8_t MAP_INLINE = 0x00;
constexpr std::uint8_t MAP_INDIRECT = 0x01;
constexpr std::uint8_t PAGE_TYPE_USAGE_MAP = 0x05;
constexpr std::size_t MAP_PAGE_HEADER = 4;

}  // namespace

jet_usage_map::jet_usage_map(const jet_pager& owner, std::uint32_t map_row) : pager(owner) {
    std::uint32_t page_no = jet_data_page::pointer_page(map_row);
    jet_data_page page(pager.page(page_no), page_no, pager.is_jet3());
    jet_row_slot slot = page.slot(jet_data_page::pointer_row(map_row));
    if (slot.is_deleted) page.bytes().corrupt("the table's usage map row is deleted");
    std::span<const std::uint8_t> row = page.bytes().span(slot.start, slot.end - slot.start);
    map.assign(row.begin(), row.end());
    jet_reader reader(map, page_no);
    std::uint8_t type = reader.u8(0);
    if (type == MAP_INLINE) {
        bitmap_first_page = reader.u32(1);
        bitmap.assign(map.begin() + 5, map.end());
    } else if (type == MAP_INDIRECT) {
        is_indirect = true;
    } else {
        reader.corrupt("the usage map has the unknown type " + std::to_string(type));
    }
}

bool jet_usage_map::load_bitmap_page() {
    jet_reader reader(map, 0);
    std::uint64_t pages_per_map = std::uint64_t(pager.page_size() - MAP_PAGE_HEADER) * 8;
    while (1 + next_map_slot * 4 + 4 <= map.size()) {
        std::size_t slot = next_map_slot++;
        std::uint32_t page_no = reader.u32(1 + slot * 4);
        if (page_no == 0) continue;
        jet_page_ptr page = pager.page(page_no);
        jet_reader bytes(*page, page_no);
        if (bytes.u8(0) != PAGE_TYPE_USAGE_MAP)
            bytes.corrupt("a usage map page has type " + std::to_string(bytes.u8(0)));
        bitmap.assign(page->begin() + MAP_PAGE_HEADER, page->end());
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
