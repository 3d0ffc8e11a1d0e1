#pragma once
// jet_sort_codes_table.hpp - the General legacy sort order's codes as runs of units, the
// table tools/jet-sort-codes/generate writes into jet_sort_codes_table.cpp.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/jet/jet_sort_codes.hpp"

struct jet_sort_entry {
    jet_sort_kind kind;
    std::string_view inline_bytes;
    std::string_view extra;
    std::uint8_t flag;
};

// `count` units from `first` share entry `entry`; with `step` 1 the last inline byte
// counts up by one per unit (runs never pass 0xFF).
struct jet_sort_run {
    char16_t first;
    std::uint16_t count;
    std::uint16_t entry;
    std::uint8_t step;
};

extern const jet_sort_entry JET_SORT_ENTRIES[];
extern const jet_sort_run JET_SORT_RUNS[];
extern const std::size_t JET_SORT_RUN_COUNT;
