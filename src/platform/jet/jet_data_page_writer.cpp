#include "platform/jet/jet_data_page_writer.hpp"

#include <algorithm>
#include <cassert>

#include "platform/jet/jet_byte_writer.hpp"
#include "platform/jet/jet_data_page.hpp"
#include "tk/tk_byte_reader.hpp"

namespace {

// The writer makes Jet 4 / ACE pages only (jet_data_page.hpp).
constexpr std::size_t FREE_SPACE_AT = JET_DATA_PAGE_FREE_SPACE;
constexpr std::size_t OWNER_AT = JET_DATA_PAGE_OWNER;
constexpr std::size_t ROW_COUNT_AT = JET4_DATA_PAGE_ROW_COUNT;
constexpr std::size_t ROW_TABLE_AT = JET4_DATA_PAGE_ROW_OFFSETS;
constexpr std::uint16_t OFFSET_MASK = JET_ROW_OFFSET_MASK;
constexpr std::size_t MAX_ROWS = 255;   // a row pointer holds the row number in one byte

}   // namespace

void jet_init_data_page(std::span<std::uint8_t> page, std::uint32_t owner) {
    std::fill(page.begin(), page.end(), std::uint8_t(0));
    jet_put_u8(page, JET_DATA_PAGE_TYPE, JET_PAGE_DATA);
    jet_put_u8(page, JET_DATA_PAGE_TYPE + 1, 0x01);
    jet_put_u16(page, FREE_SPACE_AT, std::uint16_t(page.size() - ROW_TABLE_AT));
    jet_put_u32(page, OWNER_AT, owner);
}

std::size_t jet_data_page_capacity(std::size_t page_size) { return page_size - ROW_TABLE_AT - 2; }

std::optional<std::uint16_t> jet_add_row(std::span<std::uint8_t> page,
                                         std::span<const std::uint8_t> row) {
    std::uint16_t count = TK_BYTE_VIEW(page).u16(ROW_COUNT_AT);
    std::size_t table_end = ROW_TABLE_AT + std::size_t(count) * 2;
    std::size_t data_start = count == 0 ? page.size()
                                        : TK_BYTE_VIEW(page).u16(table_end - 2) & OFFSET_MASK;
    if (count >= MAX_ROWS || data_start < table_end + 2 || row.size() > data_start - table_end - 2)
        return std::nullopt;
    std::size_t start = data_start - row.size();
    std::copy(row.begin(), row.end(), page.begin() + std::ptrdiff_t(start));
    jet_put_u16(page, table_end, std::uint16_t(start));
    jet_put_u16(page, ROW_COUNT_AT, std::uint16_t(count + 1));
    jet_put_u16(page, FREE_SPACE_AT, std::uint16_t(start - table_end - 2));
    return count;
}

std::span<std::uint8_t> jet_row_bytes(std::span<std::uint8_t> page, std::uint16_t row) {
    const tk_byte_view view = TK_BYTE_VIEW(page);
    assert(row < view.u16(ROW_COUNT_AT) && "the writer asks only for its own rows");
    std::size_t start = view.u16(ROW_TABLE_AT + std::size_t(row) * 2) & OFFSET_MASK;
    std::size_t end = row == 0 ? page.size()
                               : view.u16(ROW_TABLE_AT + std::size_t(row - 1) * 2) & OFFSET_MASK;
    return page.subspan(start, end - start);
}
