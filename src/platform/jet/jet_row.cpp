#include "platform/jet/jet_row.hpp"

#include <string>

jet_row::jet_row(const jet_reader& page, std::size_t start, std::size_t end, bool is_jet3,
                 std::uint16_t table_var_columns)
    : row(page.sub(start, end - start)), jet3(is_jet3) {
    column_count = jet3 ? row.u8(0) : row.u16(0);
    mask_size = (column_count + 7) / 8;
    if (mask_size + (jet3 ? 1 : 2) > row.size())
        row.corrupt("a row of " + std::to_string(row.size()) + " bytes declares " +
                    std::to_string(column_count) + " columns");
    if (table_var_columns == 0) return;
    if (jet3) {
        read_var_offsets_jet3(table_var_columns);
    } else {
        read_var_offsets_jet4(table_var_columns);
    }
    std::size_t data_start = jet3 ? 1 : 2;
    for (std::size_t slot = 0; slot < var_offsets.size(); ++slot) {
        bool ordered = slot == 0 || var_offsets[slot] >= var_offsets[slot - 1];
        if (!ordered || var_offsets[slot] < data_start || var_offsets[slot] > row.size())
            row.corrupt("variable column offset " + std::to_string(var_offsets[slot]) +
                        " lies outside its row of " + std::to_string(row.size()) + " bytes");
    }
}

void jet_row::read_var_offsets_jet4(std::size_t) {
    std::size_t count_at = row.size() - mask_size - 2;
    var_count = row.u16(count_at);
    if ((var_count + 1) * 2 > count_at)
        row.corrupt("a row declares " + std::to_string(var_count) + " variable columns");
    var_offsets.resize(var_count + 1);
    for (std::size_t slot = 0; slot <= var_count; ++slot)
        var_offsets[slot] = row.u16(count_at - 2 - slot * 2);
}

// Offsets are one byte; the jump table (after the offsets, reversed) lists for each 256-byte
// step the first offset slot lying past it. Its length follows the row length, so the last
// entry may be a dummy.
void jet_row::read_var_offsets_jet3(std::size_t) {
    std::size_t row_length = row.size();
    std::size_t count_at = row_length - mask_size - 1;
    var_count = row.u8(count_at);
    std::size_t jump_count = (row_length - 1) / 256;
    if (jump_count + var_count + 2 > count_at)
        row.corrupt("a row declares " + std::to_string(var_count) + " variable columns");
    std::size_t offsets_end = count_at - jump_count;   // offset slot 0 is at offsets_end - 1
    if ((offsets_end - 1 - var_count) / 256 < jump_count) --jump_count;
    var_offsets.resize(var_count + 1);
    std::size_t jumps_used = 0;
    for (std::size_t slot = 0; slot <= var_count; ++slot) {
        while (jumps_used < jump_count && slot == row.u8(count_at - 1 - jumps_used))
            ++jumps_used;
        var_offsets[slot] = row.u8(offsets_end - 1 - slot) + jumps_used * 256;
    }
}

bool jet_row::mask_bit(std::uint16_t column_number) const {
    if (column_number >= column_count) return false;
    std::uint8_t mask_byte = row.u8(row.size() - mask_size + column_number / 8);
    return (mask_byte >> (column_number % 8)) & 1;
}

jet_field jet_row::field(const jet_column& column, std::size_t fixed_ordinal) const {
    jet_field result;
    if (!mask_bit(column.column_number)) return result;
    std::size_t header = jet3 ? 1 : 2;
    if (column.is_fixed()) {
        if (fixed_ordinal >= column_count - var_count) return result;   // added later
        std::size_t at = header + column.fixed_offset;
        std::size_t data_end = var_offsets.empty() ? row.size() - mask_size : var_offsets[0];
        if (at > data_end || column.size_bytes > data_end - at)
            row.corrupt("column " + std::to_string(column.column_number) +
                        " passes the fixed data of its row");
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
