#pragma once
// jet_row.hpp - finds the columns of one row, in the layout jet_row_layout.hpp draws for
// Jet 3 and Jet 4 / ACE. A row written before columns were added holds fewer columns: the
// missing ones are null.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/jet/jet_reader.hpp"
#include "platform/jet/jet_row_layout.hpp"
#include "platform/jet/jet_schema.hpp"

struct jet_field {
    bool is_present = false;               // not null
    std::span<const std::uint8_t> bytes;   // the stored bytes (empty for Booleans)
};

class jet_row {
public:
    // 3049 when the row's own counts and offsets do not fit its bounds.
    jet_row(const jet_reader& page, std::size_t start, std::size_t end, bool jet3,
            std::uint16_t table_var_columns);

    // fixed_ordinal: the column's place among the table's fixed-length columns.
    jet_field field(const jet_column& column, std::size_t fixed_ordinal) const;
    // The null-mask bit (a Boolean's value); false for columns the row does not hold.
    bool mask_bit(std::uint16_t column_number) const;

private:
    void read_var_offsets_jet3(std::size_t table_var_columns);
    void read_var_offsets_jet4(std::size_t table_var_columns);

    jet_reader row;
    jet_row_layout layout;
    std::size_t column_count = 0;
    std::size_t mask_size = 0;
    std::size_t var_count = 0;
    std::vector<std::size_t> var_offsets;   // var_count + 1 entries, the last is end of data
};
