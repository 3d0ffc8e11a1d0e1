#pragma once
// daostub_rows.hpp - the rows behind a Recordset: a table read by the engine's cursor, a
// query's result, or rows the stand-in makes itself (the relationship catalogue, a count).
// Sources read forward only; this base adds DAO's position rules on top: BOF before the
// first row, EOF after the last, MovePrevious by reading again from the start.
// Invariants: (1) is_on_row() == !at_bof() && !at_eof(); (2) values() only on a row;
// (3) an empty source is at BOF and EOF at once.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/jet/jet_schema.hpp"
#include "platform/jet/jet_value.hpp"

class jet_database;

class daostub_rows {
public:
    virtual ~daostub_rows() = default;

    virtual const std::vector<jet_column>& columns() const = 0;

    // Puts the position on the first row (or EOF and BOF when there is none).
    void open();
    bool at_bof() const { return position < 0; }
    bool at_eof() const { return b_eof; }
    bool is_on_row() const { return position >= 0 && !b_eof; }
    bool is_empty() const { return !b_any; }
    // False when there is no current row to move from (DAO's 3021).
    bool move_first();
    bool move_next();
    bool move_previous();
    const std::vector<jet_value>& values() const { return fetched(); }
    // The items of the current row's complex column at column_idx (DAO's child Recordset2);
    // null for rows that are not a table's.
    virtual std::unique_ptr<daostub_rows> complex_items(std::size_t column_idx) const;

protected:
    virtual bool fetch_next() = 0;
    virtual void restart() = 0;
    virtual const std::vector<jet_value>& fetched() const = 0;

private:
    std::int64_t position = -1;   // row number of the current row, -1 before the first
    bool b_eof = false;
    bool b_any = false;
};

// A table read in storage order by the engine's cursor (SELECT * FROM [table]).
std::unique_ptr<daostub_rows> daostub_table_rows(std::shared_ptr<const jet_database> database,
                                                 std::u16string_view table_name);
// Where the items of each row of a complex column lie in its hidden table: one scan of it.
struct daostub_complex_places;
std::shared_ptr<const daostub_complex_places> daostub_find_complex_places(
    const jet_database& database, const jet_column& column);
// The items of one row of a complex column, key its value in the row: the hidden table's
// columns without its two keys; attachments' FileData decoded as Access shows it. A damaged
// attachment raises jet_error 3049 naming the file and the column.
std::unique_ptr<daostub_rows> daostub_complex_rows(
    std::shared_ptr<const jet_database> database, const jet_column& column,
    std::shared_ptr<const daostub_complex_places> places, std::int32_t key);
// Fixed rows: the relationship catalogue's six columns, ordered by relationship name.
std::unique_ptr<daostub_rows> daostub_relationship_rows(const jet_database& database);
// One row, one Long column: a row count.
std::unique_ptr<daostub_rows> daostub_count_rows(std::int32_t count);
