#pragma once
// jet_table_def_writer.hpp - lays a new table out (column numbers, fixed offsets, variable
// slots, flags, index keys) and encodes its Jet 4 / ACE definition, the bytes
// jet_table_def_reader reads back. Layout of the definition (little-endian):
//   OFFSET  SIZE  MEANING
//        0     1  page type 0x02            1  1  0x01
//        2     2  free space on the page    4  4  next definition page (0 = last)
//        8     4  definition length        12  4  table number 0x0659 (repeated below)
//       16     4  row count                20  4  last auto-number given
//       24     1  auto-number flag 0x01    28  4  complex auto-number
//       40     1  table type 0x4E user, 0x53 system
//       41     2  columns ever (max)       43  2  variable columns   45  2  columns
//       47     4  logical indexes          51  4  physical indexes
//       55     4  owned pages map (row pointer page << 8 | row)
//       59     4  pages-with-space map (row pointer)
//       63        physical index counts, 12 bytes each; columns, 25 bytes each; column
//                 names (u16 length, UTF-16); physical indexes, 52 bytes each; logical
//                 indexes, 28 bytes each; index names; 0xFFFF.
// A definition longer than a page continues on pages linked from offset 4, whose own bytes
// start at offset 8.

#include <cstdint>
#include <vector>

#include "platform/jet/jet_schema.hpp"
#include "platform/jet/jet_new_table.hpp"

// Where a table's pages and counters are; the definition records them.
struct jet_table_storage {
    std::uint32_t owned_map_row = 0;
    std::uint32_t free_map_row = 0;
    std::vector<std::uint32_t> index_map_rows;    // per physical index
    std::vector<std::uint32_t> index_root_pages;  // per physical index
    std::uint32_t row_count = 0;
    std::uint32_t last_autonumber = 0;
};

inline constexpr std::size_t JET_TDEF_ROW_COUNT = 16;
inline constexpr std::size_t JET_TDEF_AUTONUMBER = 20;

// One column as the definition describes it (number as given, no offsets yet).
jet_column jet_lay_out_column(const jet_new_column& spec, std::uint16_t number);

// The definition the reader would read: columns numbered in order, Booleans and the
// fixed-size types in the fixed area, the rest variable; DefaultValue, Required and
// AllowZeroLength as column properties. Indexes become one physical index each.
jet_table_def jet_lay_out_table(const jet_new_table& table);

// The definition's bytes, not yet split into pages (offsets 0..7 are filled per page).
std::vector<std::uint8_t> jet_encode_table_def(const jet_table_def& def,
                                               const jet_table_storage& storage);
