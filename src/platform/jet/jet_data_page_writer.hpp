#pragma once
// jet_data_page_writer.hpp - puts rows onto Jet 4 / ACE data pages, in the layout
// jet_data_page.hpp draws and reads. Rows grow down from the page end, their offsets up from
// JET4_DATA_PAGE_ROW_OFFSETS.

#include <cstdint>
#include <optional>
#include <span>

inline constexpr std::uint32_t JET_OWNER_LONG_VALUES = 0x4C41564C;   // "LVAL"

// Empties a page as a data page of that owner.
void jet_init_data_page(std::span<std::uint8_t> page, std::uint32_t owner);
// Room on an empty page for one row and its offset.
std::size_t jet_data_page_capacity(std::size_t page_size);
// Adds the row; its row number, or nothing when the page has no room for it.
std::optional<std::uint16_t> jet_add_row(std::span<std::uint8_t> page,
                                         std::span<const std::uint8_t> row);
// The bytes of an existing row (for rewriting a usage map row in place).
std::span<std::uint8_t> jet_row_bytes(std::span<std::uint8_t> page, std::uint16_t row);
// A row pointer as long values, usage maps and definitions hold it.
inline std::uint32_t jet_row_pointer(std::uint32_t page_no, std::uint16_t row) {
    return (page_no << 8) | row;
}
