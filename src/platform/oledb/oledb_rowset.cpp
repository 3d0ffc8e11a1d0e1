// oledb_rowset.cpp - fetching and GetData over the rows a rowset holds.

#include "platform/oledb/oledb_rowset.hpp"

#include "tk/tk_exce.hpp"
#include "tk/tk_utf.hpp"

#include <algorithm>
#include <utility>

oledb_rowset::oledb_rowset(std::vector<oledb_column_info> column_list,
                           std::vector<oledb_row> row_list)
    : columns(std::move(column_list)), rows(std::move(row_list)) {}

oledb_rowset::oledb_rowset(std::vector<oledb_column_info> column_list, row_loader row_source)
    : columns(std::move(column_list)), loader(std::move(row_source)) {}

oledb_hresult oledb_rowset::load_rows() {
    if (!loader) return OLEDB_S_OK;
    row_loader pending = std::move(loader);
    loader = nullptr;
    return pending(rows);
}

oledb_hresult oledb_rowset::get_next_rows(std::size_t max_rows,
                                          std::vector<std::size_t>& row_handles) {
    row_handles.clear();
    const oledb_hresult loaded = load_rows();
    if (oledb_failed(loaded)) return loaded;
    while (row_handles.size() < max_rows && next_row < rows.size()) {
        row_handles.push_back(next_row++);
    }
    return row_handles.size() == max_rows ? OLEDB_S_OK : OLEDB_S_FALSE;
}

const oledb_cell& oledb_rowset::cell(std::size_t row_handle, std::size_t column_idx) const {
    TK_ASSERT(row_handle < rows.size());
    TK_ASSERT(column_idx < rows[row_handle].size());
    return rows[row_handle][column_idx];
}

std::uint32_t oledb_rowset::get_wide_text(std::size_t row_handle, std::size_t column_idx,
                                          std::size_t max_bytes, std::u16string& out) const {
    const oledb_cell& source = cell(row_handle, column_idx);
    out.clear();
    if (source.b_null) return DBSTATUS_S_ISNULL;
    out = tk_utf8_to_utf16(source.data);
    const std::size_t max_chars = max_bytes >= 2 ? max_bytes / 2 - 1 : 0;   // room for the NUL
    if (out.size() <= max_chars) return DBSTATUS_S_OK;
    out.resize(max_chars);
    return DBSTATUS_S_TRUNCATED;
}

std::uint32_t oledb_rowset::get_bytes(std::size_t row_handle, std::size_t column_idx,
                                      std::size_t max_bytes, std::string& out) const {
    const oledb_cell& source = cell(row_handle, column_idx);
    out.clear();
    if (source.b_null) return DBSTATUS_S_ISNULL;
    out = source.data.substr(0, std::min(max_bytes, source.data.size()));
    return out.size() == source.data.size() ? DBSTATUS_S_OK : DBSTATUS_S_TRUNCATED;
}
