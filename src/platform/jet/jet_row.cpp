#include "platform/jet/jet_row.hpp"

#include <string>

jet_row::jet_row(const jet_reader& page, std::size_t start, std::size_t end, bool is_jet3,
                 std::uint16_t table_var_columns)
    : row(page.sub(start, end - start)), layout(is_jet3 ? JET3_ROW_LAYOUT : JET4_ROW_LAYOUT) {
    column_count = layout.count_size == 1 ? row.u8(JET_ROW_COLUMN_COUNT)
                                          : row.u16(JET_ROW_COLUMN_COUNT);
    mask_size = jet_row_mask_size(column_count);
    if (mask_size + layout.fixed_area() > row.size())
        row.corrupt("a row of " + std::to_string(row.size()) + " bytes declares "
                    + std::to_string(column_count) + " columns");
    if (table_var_columns == 0) return;
    if (is_jet3) {
        read_var_offsets_jet3(table_var_columns);
    } else {
        read_var_offsets_jet4(table_var_columns);
    }
    for (std::size_t slot = 0; slot < var_offsets.size(); ++slot) {
        bool ordered = slot == 0 || var_offsets[slot] >= var_offsets[slot - 1];
        if (!ordered || var_offsets[slot] < layout.fixed_area() || var_offsets[slot] > row.size())
            row.corrupt("variable column offset " + std::to_string(var_offsets[slot])
                        + " lies outside its row of " + std::to_string(row.size()) + " bytes");
    }
}

void jet_row::read_var_offsets_jet4(std::size_t) {
    std::size_t count_at = layout.var_count_at(row.size(), mask_size);
    var_count = row.u16(count_at);
    if ((var_count + 1) * layout.count_size > count_at)
        row.corrupt("a row declares " + std::to_string(var_count) + " variable columns");
    var_offsets.resize(var_count + 1);
    for (std::size_t slot = 0; slot <= var_count; ++slot)
        var_offsets[slot] = row.u16(layout.var_offset_at(count_at, slot));
}

// The jump table's length follows the row's length, so its last entry may be a dummy: one
// that no offset slot lies past.
void jet_row::read_var_offsets_jet3(std::size_t) {
    std::size_t row_length = row.size();
    std::size_t count_at = layout.var_count_at(row_length, mask_size);
    var_count = row.u8(count_at);
    std::size_t jump_count = (row_length - 1) / JET3_ROW_JUMP_STEP;
    if (jump_count + var_count + 2 > count_at)
        row.corrupt("a row declares " + std::to_string(var_count) + " variable columns");
    std::size_t offsets_end = count_at - jump_count;
    if (layout.var_offset_at(offsets_end, var_count) / JET3_ROW_JUMP_STEP < jump_count)
        --jump_count;
    var_offsets.resize(var_count + 1);
    std::size_t jumps_used = 0;
    for (std::size_t slot = 0; slot <= var_count; ++slot) {
        while (jumps_used < jump_count && slot == row.u8(count_at - 1 - jumps_used)) ++jumps_used;
        var_offsets[slot] = row.u8(layout.var_offset_at(offsets_end, slot))
                            + jumps_used * JET3_ROW_JUMP_STEP;
    }
}

bool jet_row::mask_bit(std::uint16_t column_number) const {
    if (column_number >= column_count) return false;
    std::size_t mask_at = jet_row_mask_at(row.size(), mask_size);
    return (row.u8(mask_at + jet_row_mask_byte(column_number)) & jet_row_mask_flag(column_number))
           != 0;
}

jet_field jet_row::field(const jet_column& column, std::size_t fixed_ordinal) const {
    jet_field result;
    if (!mask_bit(column.column_number)) return result;
    if (column.is_fixed()) {
        if (fixed_ordinal >= column_count - var_count) return result;   // added later
        std::size_t at = layout.fixed_area() + column.fixed_offset;
        std::size_t data_end = var_offsets.empty() ? jet_row_mask_at(row.size(), mask_size)
                                                   : var_offsets[0];
        if (at > data_end || column.size_bytes > data_end - at)
            row.corrupt("column " + std::to_string(column.column_number)
                        + " passes the fixed data of its row");
        result.bytes = row.span(at, column.size_bytes);
    } else {
        if (column.var_index >= var_count) return result;   // added later
        std::size_t from = var_offsets[column.var_index];
        std::size_t to = var_offsets[column.var_index + 1];
        result.bytes = row.span(from, to - from);
    }
    result.is_present = true;
    return result;
}
