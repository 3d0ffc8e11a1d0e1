// win_case_fold_table.hpp - the generated simple case folding table (win_case_fold_table.cpp).
#pragma once

#include <cstddef>

struct win_case_fold_pair {
    char32_t code_point;
    char32_t folded;
};

extern const win_case_fold_pair WIN_CASE_FOLD_TABLE[];
extern const std::size_t WIN_CASE_FOLD_TABLE_SIZE;
