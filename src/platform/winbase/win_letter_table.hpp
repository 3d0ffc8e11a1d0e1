// win_letter_table.hpp - the generated table of Unicode letters (win_letter_table.cpp).
#pragma once

#include <cstddef>

struct win_letter_range {
    char32_t first;
    char32_t last;
};

extern const win_letter_range WIN_LETTER_TABLE[];
extern const std::size_t WIN_LETTER_TABLE_SIZE;
