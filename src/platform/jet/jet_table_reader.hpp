#pragma once
// jet_table_reader.hpp - walks a table's data pages (from its usage map) and their live rows,
// following overflow pointers, decoding each row into values. Holds one page at a time.
// Damage that would otherwise lose rows without a word is 3049 naming the page:
//   1. every page the usage map lists is a data page owned by this table;
//   2. at the end of a user table, rows read plus deleted rows met cover the row count the
//      definition stores (see check_row_count for where Access keeps that count).

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/jet/jet_data_page.hpp"
#include "platform/jet/jet_field_decoder.hpp"
#include "platform/jet/jet_row_position.hpp"
#include "platform/jet/jet_text.hpp"
#include "platform/jet/jet_usage_map.hpp"

class jet_table_reader {
public:
    jet_table_reader(const jet_pager& pager, const jet_table_def& definition);

    // Fills values with the next live row; false after the last.
    bool next(std::vector<jet_value>& values);
    // Moves past the next live row without decoding it (counting rows); false after the last.
    // The pages are checked as next() checks them; the row's own bytes are not read.
    bool skip();
    // The page of the row last returned (0 before the first).
    std::uint32_t page_no() const { return page ? page->bytes().page() : 0; }
    // The place of the row last returned by next().
    jet_row_position position() const {
        return {page_no(), static_cast<std::uint16_t>(row_idx - 1)};
    }
    // Fills values with the live row at a place position() gave; 3049 when it is not one.
    void read_at(jet_row_position at, std::vector<jet_value>& values) const;

private:
    bool advance_page();
    std::optional<jet_row_slot> next_live_slot();
    void check_row_count() const;
    void decode_row(const jet_reader& page, const jet_row_slot& slot,
                    std::vector<jet_value>& values) const;
    void decode_overflow(const jet_reader& here, const jet_row_slot& slot,
                         std::vector<jet_value>& values) const;

    const jet_pager& pager;
    const jet_table_def& definition;
    jet_text_decoder text;
    jet_field_decoder decoder;
    std::vector<std::size_t> fixed_ordinals;   // per column
    jet_usage_map pages;
    std::optional<jet_data_page> page;
    std::uint16_t row_idx = 0;
    std::uint16_t row_count = 0;
    std::uint64_t live_rows = 0;      // rows returned so far
    std::uint64_t deleted_rows = 0;   // deleted slots met so far
};
