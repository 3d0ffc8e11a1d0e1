#include "platform/jet/jet_data_page.hpp"

#include <string>

jet_data_page::jet_data_page(jet_page_ptr data, std::uint32_t page_no, bool is_jet3)
    : page(std::move(data)), reader(*page, page_no), jet3(is_jet3) {
    if (reader.u8(JET_DATA_PAGE_TYPE) != JET_PAGE_DATA)
        reader.corrupt("a data page has type " + std::to_string(reader.u8(JET_DATA_PAGE_TYPE)));
}

std::uint16_t jet_data_page::row_count() const { return reader.u16(table_offset()); }

std::uint16_t jet_data_page::raw_entry(std::uint16_t row) const {
    std::uint16_t count = row_count();
    if (row >= count)
        reader.corrupt("row " + std::to_string(row) + " is asked of a page with "
                       + std::to_string(count) + " rows");
    return reader.u16(table_offset() + 2 + std::size_t(row) * 2);
}

void jet_data_page::set_bounds(std::uint16_t row, std::uint16_t raw, jet_row_slot& slot) const {
    std::size_t entries = table_offset() + 2;
    slot.start = raw & JET_ROW_OFFSET_MASK;
    slot.end = row == 0 ? reader.size()
                        : std::size_t(reader.u16(entries + std::size_t(row - 1) * 2)
                                      & JET_ROW_OFFSET_MASK);
    std::size_t table_end = entries + std::size_t(row_count()) * 2;
    if (slot.start < table_end || slot.end > reader.size() || slot.start >= slot.end)
        reader.corrupt("row " + std::to_string(row) + " has the bounds "
                       + std::to_string(slot.start) + ".." + std::to_string(slot.end));
}

jet_row_slot jet_data_page::slot(std::uint16_t row) const {
    std::uint16_t raw = raw_entry(row);
    jet_row_slot slot;
    slot.is_deleted = (raw & JET_ROW_DELETED) != 0;
    slot.is_overflow = (raw & JET_ROW_OVERFLOW) != 0;
    if (!slot.is_deleted) set_bounds(row, raw, slot);   // a deleted row's bounds mean nothing
    return slot;
}

jet_row_slot jet_data_page::moved_row(std::uint16_t row) const {
    jet_row_slot slot;
    set_bounds(row, raw_entry(row), slot);
    return slot;
}
