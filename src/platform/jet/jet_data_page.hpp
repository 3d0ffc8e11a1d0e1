#pragma once
// jet_data_page.hpp - a data page (type 0x01) and the rows on it; its reader and the writer
// (jet_data_page_writer) share the layout below. Little-endian.
//   OFFSET  SIZE  MEANING
//        0     1  page type, 0x01
//        1     1  0x01
//        2     2  free space in bytes
//        4     4  owner: the table definition page, or "LVAL" for long values
//        8     2  Jet 3: row count, row offsets from 10
//        8     4  Jet 4 / ACE: 0
//       12     2  Jet 4 / ACE: row count, row offsets from 14
//        .   2*n  row offsets: start in the low 13 bits, 0x4000 overflow pointer (the row
//                 holds only where the row now lives), 0x8000 deleted (also set on the row
//                 an overflow pointer leads to, so scans skip it there)
// A row ends where the previous one starts; row 0 ends at the page end.
//
// Invariants every data page is checked against when it is read (3049 naming the page):
//   1. the row offset table fits in the page: row count offsets end within its bytes;
//   2. free space = lowest row start - end of the row offset table (the page end when
//      there is no row), deleted and overflow rows included. Rows are laid down from the
//      page end toward the table, so the gap between them is all the free space there is:
//      mdbtools computes the field so (src/libmdb/write.c, mdb_pg_get_freespace), and
//      every data and long value page of the shared test files and of the Jackcess-written
//      bench files holds it exactly, pages with deleted rows among them. A changed row
//      count or a changed field breaks it.

#include <cstdint>
#include <span>

#include "platform/jet/jet_pager.hpp"
#include "platform/jet/jet_reader.hpp"

inline constexpr std::uint8_t JET_PAGE_DATA = 0x01;

inline constexpr std::size_t JET_DATA_PAGE_TYPE = 0;
inline constexpr std::size_t JET_DATA_PAGE_FREE_SPACE = 2;
inline constexpr std::size_t JET_DATA_PAGE_OWNER = 4;
inline constexpr std::size_t JET3_DATA_PAGE_ROW_COUNT = 8;
inline constexpr std::size_t JET4_DATA_PAGE_ROW_COUNT = 12;
inline constexpr std::size_t JET4_DATA_PAGE_ROW_OFFSETS = JET4_DATA_PAGE_ROW_COUNT + 2;
inline constexpr std::uint16_t JET_ROW_OFFSET_MASK = 0x1FFF;
inline constexpr std::uint16_t JET_ROW_OVERFLOW = 0x4000;
inline constexpr std::uint16_t JET_ROW_DELETED = 0x8000;

struct jet_row_slot {
    std::size_t start = 0;
    std::size_t end = 0;   // one past the last byte
    bool is_deleted = false;
    bool is_overflow = false;
};

class jet_data_page {
public:
    // 3049 when the page is not a data page or breaks an invariant above.
    jet_data_page(jet_page_ptr page, std::uint32_t page_no, bool jet3);

    std::uint32_t owner_page() const { return reader.u32(JET_DATA_PAGE_OWNER); }
    std::uint16_t row_count() const;
    // 3049 when the row number is out of range or its bounds are inconsistent.
    jet_row_slot slot(std::uint16_t row) const;
    // The bounds of a row an overflow pointer leads to; its deleted flag is ignored.
    jet_row_slot moved_row(std::uint16_t row) const;
    const jet_reader& bytes() const { return reader; }

    // Row pointers (page << 8 | row) of long values and overflow rows.
    static std::uint32_t pointer_page(std::uint32_t pointer) { return pointer >> 8; }
    static std::uint16_t pointer_row(std::uint32_t pointer) { return pointer & 0xFF; }

private:
    std::size_t table_offset() const {
        return jet3 ? JET3_DATA_PAGE_ROW_COUNT : JET4_DATA_PAGE_ROW_COUNT;
    }
    // Where row's entry in the row offset table lies; row count gives the table's end.
    std::size_t entry_at(std::size_t row) const { return table_offset() + 2 + row * 2; }
    void check_row_offsets() const;
    std::uint16_t raw_entry(std::uint16_t row) const;
    void set_bounds(std::uint16_t row, std::uint16_t raw, jet_row_slot& slot) const;

    jet_page_ptr page;
    jet_reader reader;
    bool jet3;
};
