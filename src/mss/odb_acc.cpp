// odb_acc.cpp - bindings and records from bound columns. The stand-in's GetData hands each
// column out as its binding asks (wide text or bytes, within the binding's length), so the
// record sees exactly what a bound row buffer would hold, truncation status included.

#include "mss/odb_acc.hpp"

#include "mss/odb_rec.hpp"
#include "platform/oledb/oledb_rowset.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"

#include <algorithm>

namespace {

constexpr std::size_t STATUS_BYTES = 4;
constexpr std::size_t LENGTH_BYTES = 4;
constexpr std::size_t SMALL_VALUE_BYTES = 52;
constexpr std::size_t WIDE_VALUE_BYTES = 102;

}   // namespace

std::size_t odb_accessor::bind_size(oledb_dbtype type, std::uint32_t column_size) {
    switch (type) {
    case DBTYPE_EMPTY:
    case DBTYPE_NULL:
    case DBTYPE_I2:
    case DBTYPE_I4:
    case DBTYPE_R4:
    case DBTYPE_R8:
    case DBTYPE_CY:
    case DBTYPE_ERROR:
    case DBTYPE_BOOL:
    case DBTYPE_I1:
    case DBTYPE_UI1:
    case DBTYPE_UI2:
    case DBTYPE_UI4:
    case DBTYPE_I8:
    case DBTYPE_UI8: return SMALL_VALUE_BYTES;
    case DBTYPE_DATE:
    case DBTYPE_DECIMAL:
    case DBTYPE_GUID:
    case DBTYPE_NUMERIC:
    case DBTYPE_DBDATE:
    case DBTYPE_DBTIMESTAMP: return WIDE_VALUE_BYTES;
    case DBTYPE_BSTR:
    case DBTYPE_STR:
    case DBTYPE_WSTR: {
        const std::size_t chars = std::min<std::size_t>(std::size_t(column_size) + 1,
                                                        MAX_BIND_BYTES);
        return std::min(2 * chars, MAX_BIND_BYTES);
    }
    case DBTYPE_BYTES: {
        const std::size_t chars = std::min<std::size_t>(2 * std::size_t(column_size) + 1,
                                                        MAX_BIND_BYTES);
        return std::min(2 * chars, MAX_BIND_BYTES);
    }
    default:
        return column_size == 0 ? MAX_BIND_BYTES
                                : std::min<std::size_t>(column_size, MAX_BIND_BYTES);
    }
}

void odb_accessor::bind(const std::vector<oledb_column_info>& column_list) {
    columns = &column_list;
    binding_list.clear();
    std::size_t offset = 0;
    for (std::size_t column_idx = 0; column_idx < column_list.size(); ++column_idx) {
        const oledb_column_info& column = column_list[column_idx];
        odb_binding binding;
        binding.ordinal = static_cast<std::uint32_t>(column_idx + 1);
        binding.status_offset = offset;
        binding.length_offset = offset + STATUS_BYTES;
        binding.value_offset = offset + STATUS_BYTES + LENGTH_BYTES;
        binding.max_length = bind_size(column.type, column.column_size);
        binding.bind_type = column.type == DBTYPE_BYTES ? DBTYPE_BYTES : DBTYPE_WSTR;
        tk_trace::write(2, "Bind column #%d, type=%d, size=%d", static_cast<int>(column_idx),
                        static_cast<int>(binding.bind_type), static_cast<int>(binding.max_length));
        offset = binding.value_offset + binding.max_length;
        binding_list.push_back(binding);
    }
    total_row_size = offset;
    tk_trace::write(2, "Allocating bind-bufer, %d bytes", static_cast<int>(total_row_size));
}

std::unique_ptr<udb_record> odb_accessor::get_record(const oledb_rowset& rowset,
                                                     std::size_t row_handle) const {
    TK_ASSERT(columns != nullptr);
    auto record = std::make_unique<udb_record>();
    for (std::size_t column_idx = 0; column_idx < binding_list.size(); ++column_idx) {
        const odb_binding& binding = binding_list[column_idx];
        const oledb_column_info& column = (*columns)[column_idx];
        std::uint32_t status = DBSTATUS_S_OK;
        if (binding.bind_type == DBTYPE_BYTES) {
            std::string bytes;
            status = rowset.get_bytes(row_handle, column_idx, binding.max_length, bytes);
            if (status != DBSTATUS_S_OK) {
                tk_trace::write(2, "Field #%d - FAILED, status code=%08X",
                                static_cast<int>(column_idx), status);
                tk_trace::write(2, "\t<NULL>");
            }
            record->append(odb_record::get_blob_field(column, bytes, status != DBSTATUS_S_OK));
            continue;
        }
        std::u16string text;
        status = rowset.get_wide_text(row_handle, column_idx, binding.max_length, text);
        if (status != DBSTATUS_S_OK) {
            // Any status but OK reads as NULL, a truncated value included.
            tk_trace::write(2, "Field #%d - FAILED, status code=%08X", static_cast<int>(column_idx),
                            status);
            tk_trace::write(2, "\t<NULL>");
        }
        record->append(odb_record::get_field(column, text, status != DBSTATUS_S_OK));
    }
    return record;
}
