#pragma once
// oledb_rowset.hpp - a rowset (IRowset, IColumnsInfo, IAccessor's GetData): column information
// and rows read forward in fetches, with RestartPosition. Cells hold what db-lib delivered as
// UTF-8 text, or raw bytes for DBTYPE_BYTES columns; GetData hands them out as the accessor
// binds them (UTF-16 text or bytes) with the status word of a bound column. Rows of a table
// opened by name come on the first fetch, so opening a table only to append reads none.

#include "platform/oledb/oledb_types.hpp"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct oledb_cell {
    bool b_null = true;
    std::string data;   // UTF-8 text, or the bytes of a DBTYPE_BYTES column
};

using oledb_row = std::vector<oledb_cell>;

class oledb_rowset {
public:
    using row_loader = std::function<oledb_hresult(std::vector<oledb_row>& rows)>;

    oledb_rowset(std::vector<oledb_column_info> columns, std::vector<oledb_row> rows);
    // Rows are read by `loader` at the first fetch.
    oledb_rowset(std::vector<oledb_column_info> columns, row_loader loader);

    const std::vector<oledb_column_info>& column_info() const { return columns; }

    // GetNextRows: up to `max_rows` row handles from the current position (fewer at the end,
    // none past it). A failing loader returns its HRESULT with the thread's error object set.
    oledb_hresult get_next_rows(std::size_t max_rows, std::vector<std::size_t>& row_handles);
    void restart_position() { next_row = 0; }

    // GetData for one column bound as DBTYPE_WSTR into `max_bytes` bytes (terminator included)
    // or as DBTYPE_BYTES. Returns the status word: OK, ISNULL, or TRUNCATED with the cut value.
    std::uint32_t get_wide_text(std::size_t row_handle, std::size_t column_idx,
                                std::size_t max_bytes, std::u16string& out) const;
    std::uint32_t get_bytes(std::size_t row_handle, std::size_t column_idx, std::size_t max_bytes,
                            std::string& out) const;

    // The cell itself, for the layers that read text directly.
    const oledb_cell& cell(std::size_t row_handle, std::size_t column_idx) const;

private:
    oledb_hresult load_rows();

    std::vector<oledb_column_info> columns;
    std::vector<oledb_row> rows;
    row_loader loader;
    std::size_t next_row = 0;
};
