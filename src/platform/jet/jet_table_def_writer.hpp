#pragma once
// jet_table_def_writer.hpp - lays a new table out (column numbers, fixed offsets, variable
// slots, flags, index keys) and encodes its Jet 4 / ACE definition in the layout
// jet_table_def_layout.hpp draws, the bytes jet_table_def_reader reads back. A definition
// longer than a page continues on pages linked from JET_TDEF_NEXT_PAGE (jet_table_writer).

#include <cstdint>
#include <vector>

#include "platform/jet/jet_new_table.hpp"
#include "platform/jet/jet_schema.hpp"

// Where a table's pages and counters are; the definition records them.
struct jet_table_storage {
    std::uint32_t owned_map_row = 0;
    std::uint32_t free_map_row = 0;
    std::vector<std::uint32_t> index_map_rows;     // per physical index
    std::vector<std::uint32_t> index_root_pages;   // per physical index
    std::uint32_t row_count = 0;
    std::uint32_t last_autonumber = 0;
};

// One column as the definition describes it (number as given, no offsets yet).
jet_column jet_lay_out_column(const jet_new_column& spec, std::uint16_t number);

// The definition the reader would read: columns numbered in order, Booleans and the
// fixed-size types in the fixed area, the rest variable; DefaultValue, Required and
// AllowZeroLength as column properties. Indexes become one physical index each.
jet_table_def jet_lay_out_table(const jet_new_table& table);

// The definition's bytes, not yet split into pages (offsets 0..7 are filled per page).
std::vector<std::uint8_t> jet_encode_table_def(const jet_table_def& def,
                                               const jet_table_storage& storage);
