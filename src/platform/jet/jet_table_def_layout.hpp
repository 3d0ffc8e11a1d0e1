#pragma once
// jet_table_def_layout.hpp - a table definition (TDEF) as jet_table_def_reader reads it and
// jet_table_def_writer and jet_table_writer write it (Jet 4 / ACE only). Little-endian:
//   JET 3  JET 4  SIZE  MEANING
//       0      0     1  page type 0x02
//       1      1     1  0x01
//       2      2     2  free space on the page
//       4      4     4  next definition page (0 = last); later pages add their bytes after 8
//       -      8     4  definition length
//       -     12     4  table number 0x0659 (Access repeats it in entries; readers ignore it)
//      12     16     4  row count
//       -     20     4  last auto-number given
//       -     24     1  auto-number flag 0x01
//       -     28     4  complex auto-number
//      20     40     1  table type: 0x4E user, 0x53 system
//       -     41     2  columns ever (the highest column number + 1)
//      23     43     2  variable columns
//      25     45     2  columns
//      27     47     4  logical indexes
//      31     51     4  physical indexes
//      35     55     4  owned pages map (row pointer page << 8 | row)
//       -     59     4  pages-with-space map (row pointer)
//      43     63        physical index counts (8 / 12 bytes each: Jet 4 4 bytes of its own,
//                       then the rows), then the column entries
// A column entry (18 / 25 bytes):
//       0      0     1  type code
//       -      1     4  table number
//       1      5     2  column number
//       3      7     2  index among the variable columns
//       -      9     2  column number again
//       9     11     2  sort order (text); 11 and 12 precision and scale (numeric); Jet 4
//                       11 4 complex column id (attachment, multi-value)
//       -     13     2  sort order version (0: General legacy)
//      13     15     1  flags
//       -     16     1  extended flags
//      14     21     2  offset among the fixed columns
//      16     23     2  length in bytes
// Then the column names (1 / 2-byte length, text), the index entries and the index names;
// the writer ends with 0xFFFF, which the reader does not need.
// A physical index entry (39 / 52 bytes) starts with 0 / 4 bytes of its own, then:
//       0            30  ten column slots: 2 column number (0xFFFF unused), 1 order (0x01
//                        ascending; any other value descending)
//      30             4  usage map of its pages       34  4  first index page
//      38     42      1  flags: 0x01 unique, 0x02 ignore nulls, 0x08 required (Jet 4 has
//                        4 bytes of its own before them)
// A logical index entry (20 / 28 bytes) starts with 0 / 4 bytes of its own, then:
//       0             4  index number
//       4             4  physical index number
//       8             1  related table type       9  4  related index
//      13             4  related table page      17  1  cascade updates   18  1  deletes
//      19             1  index type: 0x01 primary key, 0x02 foreign key

#include <cstddef>
#include <cstdint>

inline constexpr std::uint8_t JET_PAGE_TDEF = 0x02;

// Offsets the two formats share.
inline constexpr std::size_t JET_TDEF_PAGE_TYPE = 0;
inline constexpr std::size_t JET_TDEF_PAGE_MARK = 1;   // holds 0x01
inline constexpr std::size_t JET_TDEF_FREE_SPACE = 2;
inline constexpr std::size_t JET_TDEF_NEXT_PAGE = 4;
inline constexpr std::size_t JET_TDEF_CONTINUATION_SKIP = 8;   // header bytes of a later page
inline constexpr std::size_t JET_TDEF_COLUMN_TYPE = 0;
inline constexpr std::size_t JET_TDEF_COLUMN_PRECISION = 11;
inline constexpr std::size_t JET_TDEF_COLUMN_SCALE = 12;
inline constexpr std::size_t JET4_TDEF_COLUMN_COMPLEX_ID = 11;
inline constexpr std::size_t JET4_TDEF_COLUMN_TABLE_NUMBER = 1;
inline constexpr std::size_t JET4_TDEF_COLUMN_NUMBER_AGAIN = 9;

// Jet 4 / ACE only, the fields Jet 3 lacks.
inline constexpr std::size_t JET4_TDEF_LENGTH = 8;
inline constexpr std::size_t JET4_TDEF_TABLE_NUMBER = 12;
inline constexpr std::size_t JET4_TDEF_AUTONUMBER = 20;
inline constexpr std::size_t JET4_TDEF_AUTONUMBER_FLAG = 24;
inline constexpr std::size_t JET4_TDEF_MAX_COLUMNS = 41;
inline constexpr std::size_t JET4_TDEF_FREE_PAGES = 59;
inline constexpr std::size_t JET4_TDEF_ENTRY_TABLE_NUMBER = 0;   // of index counts and entries
inline constexpr std::size_t JET4_TDEF_INDEX_COUNT_ROWS = 4;     // in a physical index count

inline constexpr std::uint8_t JET_TABLE_TYPE_USER = 0x4E;
inline constexpr std::uint8_t JET_TABLE_TYPE_SYSTEM = 0x53;

// Index entries, counted after their own leading bytes (real_idx_def_skip, logical_idx_skip).
inline constexpr int JET_INDEX_COLUMN_SLOTS = 10;
inline constexpr std::size_t JET_INDEX_COLUMN_SLOT_SIZE = 3;
inline constexpr std::size_t JET_INDEX_SLOT_ORDER = 2;
inline constexpr std::uint16_t JET_INDEX_NO_COLUMN = 0xFFFF;
inline constexpr std::uint8_t JET_INDEX_ORDER_ASCENDING = 0x01;
inline constexpr std::size_t JET_REAL_INDEX_USAGE_MAP = 30;
inline constexpr std::size_t JET_REAL_INDEX_FIRST_PAGE = 34;
inline constexpr std::size_t JET3_REAL_INDEX_FLAGS = 38;
inline constexpr std::size_t JET4_REAL_INDEX_FLAGS = 42;
inline constexpr std::size_t JET_LOGICAL_INDEX_NUMBER = 0;
inline constexpr std::size_t JET_LOGICAL_INDEX_REAL_NUMBER = 4;
inline constexpr std::size_t JET_LOGICAL_INDEX_RELATED_INDEX = 9;
inline constexpr std::size_t JET_LOGICAL_INDEX_TYPE = 19;
inline constexpr std::uint8_t JET_INDEX_TYPE_PRIMARY = 0x01;
inline constexpr std::uint8_t JET_INDEX_TYPE_FOREIGN = 0x02;

// The offsets and sizes that differ between Jet 3 and Jet 4 / ACE (the table above).
struct jet_tdef_layout {
    std::size_t num_rows, table_type, num_var_cols, num_cols, num_idx, num_real_idx, owned_pages;
    std::size_t real_idx_start, real_idx_entry, column_entry, name_length_size;
    std::size_t real_idx_def, real_idx_def_skip, logical_idx_entry, logical_idx_skip;
    // column entry
    std::size_t col_number, col_var_index, col_sort_order, col_flags, col_ext_flags;
    std::size_t col_fixed_offset, col_length;
};

inline constexpr jet_tdef_layout JET3_TDEF_LAYOUT{
    .num_rows = 12,
    .table_type = 20,
    .num_var_cols = 23,
    .num_cols = 25,
    .num_idx = 27,
    .num_real_idx = 31,
    .owned_pages = 35,
    .real_idx_start = 43,
    .real_idx_entry = 8,
    .column_entry = 18,
    .name_length_size = 1,
    .real_idx_def = 39,
    .real_idx_def_skip = 0,
    .logical_idx_entry = 20,
    .logical_idx_skip = 0,
    .col_number = 1,
    .col_var_index = 3,
    .col_sort_order = 9,
    .col_flags = 13,
    .col_ext_flags = 0,   // Jet 3 has none; never read
    .col_fixed_offset = 14,
    .col_length = 16};
inline constexpr jet_tdef_layout JET4_TDEF_LAYOUT{.num_rows = 16,
                                                  .table_type = 40,
                                                  .num_var_cols = 43,
                                                  .num_cols = 45,
                                                  .num_idx = 47,
                                                  .num_real_idx = 51,
                                                  .owned_pages = 55,
                                                  .real_idx_start = 63,
                                                  .real_idx_entry = 12,
                                                  .column_entry = 25,
                                                  .name_length_size = 2,
                                                  .real_idx_def = 52,
                                                  .real_idx_def_skip = 4,
                                                  .logical_idx_entry = 28,
                                                  .logical_idx_skip = 4,
                                                  .col_number = 5,
                                                  .col_var_index = 7,
                                                  .col_sort_order = 11,
                                                  .col_flags = 15,
                                                  .col_ext_flags = 16,
                                                  .col_fixed_offset = 21,
                                                  .col_length = 23};
