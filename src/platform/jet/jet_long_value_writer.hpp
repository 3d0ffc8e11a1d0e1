#pragma once
// jet_long_value_writer.hpp - stores a Memo or OLE value and answers the field a row holds
// for it, in the layout jet_long_value.hpp draws: values of up to 64 bytes inline, longer
// ones on pages owned by "LVAL": one row when they fit a page, else a chain of rows. Memory
// stays one value.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/jet/jet_page_store.hpp"

class jet_long_value_writer {
public:
    explicit jet_long_value_writer(jet_page_store& new_store) : store(new_store) {}

    std::vector<std::uint8_t> store_value(std::span<const std::uint8_t> value);

private:
    std::uint32_t place(std::span<const std::uint8_t> row);

    jet_page_store& store;
    std::uint32_t current_page = 0;   // the page taking single rows; 0 before the first
};
