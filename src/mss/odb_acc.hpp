#pragma once
// odb_acc.hpp - odb_accessor: binds every column of a rowset, DBTYPE_BYTES columns as bytes and
// all others as wide text, into one row buffer. Per column: status word (4 bytes), length word
// (4 bytes), then the value area of the column's bind size, columns in ordinal order.
// Bind sizes: 52 bytes for the numeric, currency, error and Boolean types; 102 for dates,
// decimals and GUIDs; 2 x (size + 1) for text and 2 x (2 x size + 1) for bytes, the character
// count capped at 2,000,000 first; otherwise the size, or 2,000,000 when it is 0. No value
// area is larger than 2,000,000 bytes.

#include "platform/oledb/oledb_types.hpp"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class oledb_rowset;
class udb_record;

struct odb_binding {
    std::uint32_t ordinal = 0;
    std::size_t status_offset = 0;
    std::size_t length_offset = 0;
    std::size_t value_offset = 0;
    std::size_t max_length = 0;
    oledb_dbtype bind_type = DBTYPE_WSTR;
};

class odb_accessor {
public:
    static constexpr std::size_t MAX_BIND_BYTES = 2000000;

    static std::size_t bind_size(oledb_dbtype type, std::uint32_t column_size);

    void bind(const std::vector<oledb_column_info>& columns);
    std::unique_ptr<udb_record> get_record(const oledb_rowset& rowset,
                                           std::size_t row_handle) const;

    std::size_t row_size() const { return total_row_size; }
    const std::vector<odb_binding>& bindings() const { return binding_list; }

private:
    const std::vector<oledb_column_info>* columns = nullptr;   // the rowset's, not owned
    std::vector<odb_binding> binding_list;
    std::size_t total_row_size = 0;
};
