#pragma once
// jet_row_position.hpp - where a live row lies: its data page and its slot there. Lets a
// reader that looks rows up by a key scan a table once and keep only the places.

#include <cstdint>

struct jet_row_position {
    std::uint32_t page = 0;
    std::uint16_t row = 0;
};
