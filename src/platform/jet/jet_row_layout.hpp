#pragma once
// jet_row_layout.hpp - the bytes of one row on a data page, the layout jet_row reads and
// jet_row_encoder writes. Little-endian. L is the row's length, n the columns it holds, v its
// variable-length columns, M = (n + 7) / 8 the null mask's size and C the size of a count or
// offset: 1 byte in Jet 3, 2 in Jet 4 / ACE.
//   OFFSET              SIZE       MEANING
//        0                 C       n; fewer than the table's columns when columns were added
//                                  after the row was written: the missing ones are null
//        C                 .       fixed-length area, each fixed column at its fixed_offset
//        .                 .       variable-length data, in variable-column order
//   L-M-C-(v+1)*C    (v+1)*C       variable offsets from the row's start, slot 0 highest:
//                                  slot i starts column i, slot v is the end of the data
//   L-M-C                  C       v
//   L-M                    M       null mask: bit k (byte k / 8, bit k % 8) set when column
//                                  number k is present; a Boolean's bit is its value
// Jet 3 puts a jump table of (L - 1) / 256 bytes between the offsets and v, last entry first
// (so the offsets sit that much lower): entry j names the first slot whose offset lies past
// 256 * (j + 1), and a slot's one-byte offset gains 256 for every entry naming it or a slot
// before it. The last entry may be a dummy, since the table's length follows L alone.
// A row of a table without variable-length columns has neither offsets nor v.

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t JET_ROW_COLUMN_COUNT = 0;
inline constexpr std::size_t JET3_ROW_JUMP_STEP = 256;

struct jet_row_layout {
    std::size_t count_size;   // C: the column count, the variable count and each offset

    constexpr std::size_t fixed_area() const { return JET_ROW_COLUMN_COUNT + count_size; }
    constexpr std::size_t var_count_at(std::size_t row_size, std::size_t mask_size) const {
        return row_size - mask_size - count_size;
    }
    // Where offset slot `slot` lies when the offsets end at offsets_end (the variable count
    // in Jet 4 / ACE, the jump table in Jet 3).
    constexpr std::size_t var_offset_at(std::size_t offsets_end, std::size_t slot) const {
        return offsets_end - (slot + 1) * count_size;
    }
};

inline constexpr jet_row_layout JET3_ROW_LAYOUT{.count_size = 1};
inline constexpr jet_row_layout JET4_ROW_LAYOUT{.count_size = 2};

constexpr std::size_t jet_row_mask_size(std::size_t column_count) { return (column_count + 7) / 8; }
constexpr std::size_t jet_row_mask_at(std::size_t row_size, std::size_t mask_size) {
    return row_size - mask_size;
}
// The byte of the null mask and the bit in it that belong to a column number.
constexpr std::size_t jet_row_mask_byte(std::size_t column_number) { return column_number / 8; }
constexpr std::uint8_t jet_row_mask_flag(std::size_t column_number) {
    return std::uint8_t(1u << (column_number % 8));
}
