#pragma once
// jet_table_writer.hpp - appends rows to one table of a file being written: numbers
// AutoNumber columns, encodes the row (long values first), puts it on the table's last data
// page or a new one recorded in the table's usage map, and keeps the row count and the last
// AutoNumber in the definition. A row that cannot be stored changes no row or count:
// 3047 "Record is too large." when it does not fit an empty page, 3022 or 3058 when it
// breaks a primary key or unique index (jet_unique_keys), 3001 when a key cannot be
// written (jet_index_key), 3421 for a Decimal past 96 bits at its column's scale. Index entries
// gather as rows arrive; write_indexes() lays out the index pages (jet_index_pages) and must run
// before the pages are flushed.

#include <cstdint>
#include <vector>

#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_index_writer.hpp"
#include "platform/jet/jet_long_value_writer.hpp"
#include "platform/jet/jet_page_store.hpp"
#include "platform/jet/jet_schema.hpp"
#include "platform/jet/jet_table_def_writer.hpp"
#include "platform/jet/jet_unique_keys.hpp"
#include "platform/jet/jet_value.hpp"

class jet_table_writer {
public:
    // The definition already written at def.tdef_page; data_role: the write order of the
    // table's data pages (the catalogue's rows go after the definitions they name); format:
    // the file's, for its index keys (jet_index_key).
    jet_table_writer(jet_page_store& store, jet_table_def def, jet_table_storage storage,
                     jet_page_role data_role, jet_format format);

    const jet_table_def& definition() const { return def; }
    std::uint32_t row_count() const { return storage.row_count; }

    // values: one per column, in column order; null AutoNumber values are numbered,
    // Decimals brought to their column's scale (jet_decimal_for_column).
    // Answers the row pointer (page << 8 | row).
    std::uint32_t append(std::vector<jet_value> values);
    // Brings the index pages up to the rows appended so far.
    void write_indexes();

private:
    void number_autonumbers(std::vector<jet_value>& values);
    void scale_decimals(std::vector<jet_value>& values) const;
    std::uint32_t place(const std::vector<std::uint8_t>& row);
    void record_counts();

    jet_page_store& store;
    jet_table_def def;
    jet_table_storage storage;
    jet_page_role data_role;
    jet_format format;
    jet_long_value_writer long_values;
    jet_unique_keys unique_keys;
    std::vector<jet_index_pages> index_pages;   // per physical index
    std::uint32_t last_page = 0;                // the data page taking rows; 0 before the first
};

// Allocates a table's definition pages and its map page (usage maps of the table and of
// each index), writes the definition and answers the writer for its rows.
jet_table_writer jet_create_table_pages(jet_page_store& store, jet_table_def def,
                                        jet_page_role data_role, jet_format format);
