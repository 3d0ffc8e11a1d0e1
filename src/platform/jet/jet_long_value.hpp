#pragma once
// jet_long_value.hpp - Memo and OLE values. The row holds a 12-byte header: length (30 bits)
// with two flags in the top bits (0x80 inline, 0x40 one LVAL row, neither: a chain of LVAL
// rows each starting with the pointer to the next), the row pointer, 4 unused bytes, and for
// inline values the data itself.

#include <cstdint>
#include <span>
#include <vector>

class jet_pager;
class jet_reader;

// All bytes of the value. 3049 naming the page for a pointer out of range, a chain that
// loops or ends before the stated length.
std::vector<std::uint8_t> jet_read_long_value(const jet_pager& pager, const jet_reader& field);
