#pragma once
// jet_table_reader.hpp - walks a table's data pages (from its usage map) and their live rows,
// following overflow pointers, decoding each row into values. Holds one page at a time.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/jet/jet_data_page.hpp"
#include "platform/jet/jet_field_decoder.hpp"
#include "platform/jet/jet_text.hpp"
#include "platform/jet/jet_usage_map.hpp"

class jet_table_reader {
public:
    jet_table_reader(const jet_pager& pager, const jet_table_def& definition);

    // Fills values with the next live row; false after the last.
    bool next(std::vector<jet_value>& values);

private:
    bool advance_page();
    void decode_row(const jet_reader& page, const jet_row_slot& slot,
                    std::vector<jet_value>& values) const;
    void decode_overflow(const jet_row_slot& slot, std::vector<jet_value>& values) const;

    const jet_pager& pager;
    const jet_table_def& definition;
    jet_text_decoder text;
    jet_field_decoder decoder;
    std::vector<std::size_t> fixed_ordinals;   // per column
    jet_usage_map pages;
    std::optional<jet_data_page> page;
    std::uint16_t row_idx = 0;
    std::uint16_t row_count = 0;
};
