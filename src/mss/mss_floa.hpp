#pragma once
// mss_floa.hpp - mss_fast_load: the bulk loader of one table. open_table starts the load on
// the table's session; bind_data sets one column of the pending row; insert_data sends it;
// commit_batch makes the rows sent since the last commit durable; finish_load commits the rest
// and ends the load. The caller decides when a batch ends, because it keeps the batch's rows
// to send them again. A failed row or commit throws odb_exception: the server drops the rows
// of that batch, the load is ended, and the next row starts a new one.

#include "platform/oledb/oledb_fast_load.hpp"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class oledb_session;

class mss_fast_load {
public:
    mss_fast_load();
    ~mss_fast_load();

    void open_table(oledb_session* session, const std::u16string& table_id);
    bool is_opened() const { return loader != nullptr; }
    std::size_t column_count() const;
    // Columns are bound in order, every one for every row, so no row sends a value left from
    // the row before; binding out of order, or sending a row bound in part, is our fault.
    void bind_data(std::size_t column_idx, oledb_bulk_value&& value);
    // False when the pending row holds a value bulk load cannot carry (see oledb_fast_load).
    bool can_insert() const { return oledb_fast_load::can_send(row); }
    void insert_data();
    void commit_batch();
    void finish_load();
    std::int64_t rows_in_batch() const { return in_batch; }

private:
    [[noreturn]] void abandon_batch(oledb_hresult failure);

    std::unique_ptr<oledb_fast_load> loader;
    std::vector<oledb_bulk_value> row;
    std::size_t bound_columns = 0;   // of the pending row
    std::int64_t in_batch = 0;       // rows sent since the last commit
};
