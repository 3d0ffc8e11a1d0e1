#pragma once
// jet_cursor.hpp - one table's rows, one at a time, in storage order. Holds one page of the
// table at a time; the values of the current row stay valid until next().

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/jet/jet_row_position.hpp"
#include "platform/jet/jet_schema.hpp"
#include "platform/jet/jet_value.hpp"

class jet_pager;
class jet_table_reader;

class jet_cursor {
public:
    jet_cursor(const jet_pager& pager, jet_table_def definition);
    ~jet_cursor();
    jet_cursor(const jet_cursor&) = delete;
    jet_cursor& operator=(const jet_cursor&) = delete;

    // Moves to the next live row; false after the last. Throws jet_error (3049) naming the
    // page and table on a corrupt page.
    bool next();
    // Moves to the next live row without decoding its values (values() is left as it was).
    bool skip();
    // Back before the first row.
    void rewind();

    // Where the current row lies, and reading such a row again into values(): lets a caller
    // that looks rows up by a key scan once and keep only the places.
    jet_row_position position() const;
    void read_at(jet_row_position at);

    // The current row's values, one per column of table().columns.
    const std::vector<jet_value>& values() const { return row; }
    const jet_table_def& table() const { return definition; }
    // The page the current row lies on (0 before the first), for errors about its contents.
    std::uint32_t page_no() const;

private:
    const jet_pager* pager_ref = nullptr;
    jet_table_def definition;
    std::unique_ptr<jet_table_reader> reader;
    std::vector<jet_value> row;
};
