#pragma once
// mss_floa.hpp - mss_fast_load: the bulk loader of one table. open_table starts the load on
// the table's session; bind_data sets one column of the pending row; insert_data sends it and
// commits every 1000 rows; finish_load commits the rest and ends the load. A failed row or
// commit is reported (odb_exception), never only traced: the server drops the rows of that
// batch, and the next row starts a new bulk load.

#include "platform/oledb/oledb_fast_load.hpp"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class oledb_session;

class mss_fast_load {
public:
    static constexpr std::int64_t ROWS_PER_BATCH = 1000;

    mss_fast_load();
    ~mss_fast_load();

    void open_table(oledb_session* session, const std::u16string& table_id);
    bool is_opened() const { return loader != nullptr; }
    std::size_t column_count() const;
    void bind_data(std::size_t column_idx, oledb_bulk_value value);
    // False when the pending row holds a value bulk load cannot carry (see oledb_fast_load).
    bool can_insert() const { return oledb_fast_load::can_send(row); }
    void insert_data();
    void finish_load();
    std::int64_t rows_sent() const { return sent; }

private:
    [[noreturn]] void abandon_batch(oledb_hresult failure);

    std::unique_ptr<oledb_fast_load> loader;
    std::vector<oledb_bulk_value> row;
    std::int64_t sent = 0;
    std::int64_t in_batch = 0;   // rows sent since the last commit
};
