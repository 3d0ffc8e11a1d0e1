// jet_data_page.cpp - reads a data page's header and row offsets (layout and invariants in
// jet_data_page.hpp); decoding a row's bytes is jet_row's job.
#include "platform/jet/jet_data_page.hpp"

#include <algorithm>
#include <string>

jet_data_page::jet_data_page(jet_page_ptr data, std::uint32_t page_no, bool is_jet3)
    : page(std::move(data)), reader(*page, page_no), jet3(is_jet3) {
    if (reader.u8(JET_DATA_PAGE_TYPE) != JET_PAGE_DATA)
        reader.corrupt("a data page has type " + std::to_string(reader.u8(JET_DATA_PAGE_TYPE)));
    check_row_offsets();
}

// A changed row count left rows out without a word (a catalogue page read as holding none
// of its tables); the free space field, written with the rows, tells it apart.
void jet_data_page::check_row_offsets() const {
    const std::size_t count = row_count();
    const std::size_t table_end = entry_at(count);
    if (table_end > reader.size())
        reader.corrupt("a data page with row count " + std::to_string(count)
                       + " has row offsets past the end of its " + std::to_string(reader.size())
                       + " bytes");
    std::size_t lowest_start = reader.size();
    for (std::size_t row_idx = 0; row_idx < count; ++row_idx)
        lowest_start = std::min<std::size_t>(lowest_start,
                                             reader.u16(entry_at(row_idx)) & JET_ROW_OFFSET_MASK);
    const std::size_t free_space = reader.u16(JET_DATA_PAGE_FREE_SPACE);
    if (lowest_start < table_end || free_space != lowest_start - table_end)
        reader.corrupt("a data page with row count " + std::to_string(count) + " records "
                       + std::to_string(free_space) + " bytes free where its row offsets end at "
                       + "byte " + std::to_string(table_end) + " and its rows start at byte "
                       + std::to_string(lowest_start));
}

std::uint16_t jet_data_page::row_count() const { return reader.u16(table_offset()); }

std::uint16_t jet_data_page::raw_entry(std::uint16_t row) const {
    std::uint16_t count = row_count();
    if (row >= count)
        reader.corrupt("row " + std::to_string(row) + " is asked of a page with "
                       + std::to_string(count) + " rows");
    return reader.u16(entry_at(row));
}

void jet_data_page::set_bounds(std::uint16_t row, std::uint16_t raw, jet_row_slot& slot) const {
    slot.start = raw & JET_ROW_OFFSET_MASK;
    slot.end = row == 0 ? reader.size()
                        : std::size_t(reader.u16(entry_at(row - 1u)) & JET_ROW_OFFSET_MASK);
    std::size_t table_end = entry_at(row_count());
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
