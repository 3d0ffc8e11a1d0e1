#pragma once
// jet_long_value.hpp - Memo and OLE values, read here and written by jet_long_value_writer.
// Little-endian. The field in the row:
//   OFFSET  SIZE  MEANING
//        0     4  length in the low 30 bits; 0x80000000 inline, 0x40000000 in one LVAL
//                 row, neither: a chain of LVAL rows
//        4     4  row pointer of the LVAL row (the chain's first)
//        8     4  unused
//       12     .  inline: the data itself
// A row of a chain:
//        0     4  row pointer of the next row (0 after the last)
//        4     .  this row's part of the data

#include <cstdint>
#include <span>
#include <vector>

inline constexpr std::size_t JET_LONG_VALUE_LENGTH = 0;
inline constexpr std::size_t JET_LONG_VALUE_POINTER = 4;
inline constexpr std::size_t JET_LONG_VALUE_INLINE_DATA = 12;
inline constexpr std::uint32_t JET_LONG_VALUE_INLINE = 0x80000000u;
inline constexpr std::uint32_t JET_LONG_VALUE_SINGLE_ROW = 0x40000000u;
inline constexpr std::uint32_t JET_LONG_VALUE_LENGTH_MASK = 0x3FFFFFFFu;
inline constexpr std::size_t JET_LONG_VALUE_NEXT_ROW = 0;
inline constexpr std::size_t JET_LONG_VALUE_PART = 4;

class jet_pager;
class jet_reader;

// All bytes of the value. 3049 naming the page for a pointer out of range, a chain that
// loops or ends before the stated length.
std::vector<std::uint8_t> jet_read_long_value(const jet_pager& pager, const jet_reader& field);
