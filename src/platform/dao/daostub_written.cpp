// daostub_written.cpp - the written file, new table definitions and values to store.
#include "platform/dao/daostub_written.hpp"

#include <cstring>

#include "platform/dao/daostub_context.hpp"
#include "platform/dao/daostub_rows.hpp"
#include "platform/jet/jet_decimal_scale.hpp"
#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_text.hpp"
#include "platform/jet/jet_value_parse.hpp"
#include "tk/tk_trace.hpp"

namespace {

constexpr int JET_ERR_INVALID_TYPE = 3259;
constexpr int JET_ERR_TYPE_CONVERSION = 3421;

[[noreturn]] void conversion_error(const jet_column& column) {
    throw jet_error(JET_ERR_TYPE_CONVERSION,
                    "Data type conversion error (" + jet_utf8(column.name) + ").");
}

VARIANT changed(const jet_column& column, const VARIANT& value, VARTYPE type) {
    VARIANT result{};
    if (FAILED(VariantChangeType(&result, &value, 0, type))) conversion_error(column);
    return result;
}

std::vector<std::uint8_t> bytes_of(const jet_column& column, const VARIANT& value) {
    if (value.vt != (VT_ARRAY | VT_UI1) || value.parray == nullptr) conversion_error(column);
    std::vector<std::uint8_t> bytes(value.parray->rgsabound[0].cElements);
    if (!bytes.empty()) std::memcpy(bytes.data(), value.parray->pvData, bytes.size());
    return bytes;
}

// DAO hands GUIDs out as "{guid {...}}" and takes that form or the plain braced one.
jet_guid guid_of(const jet_column& column, const VARIANT& value) {
    VARIANT text = changed(column, value, VT_BSTR);
    std::u16string braced(bstr_view(text.bstrVal));
    VariantClear(&text);
    if (braced.rfind(u"{guid ", 0) == 0 && braced.size() > 7) braced = braced.substr(6, 38);
    std::optional<jet_guid> guid = jet_guid_from_text(braced);
    if (!guid) conversion_error(column);
    return *guid;
}

// A decimal brought to the column's scale here, so that one too large fails at Collect.
jet_decimal decimal_of(const jet_column& column, const VARIANT& value) {
    DECIMAL number = changed(column, value, VT_DECIMAL).decVal;
    jet_decimal given{std::uint32_t(number.Lo64), std::uint32_t(number.Lo64 >> 32),
                      std::uint32_t(number.Hi32), number.scale,
                      column.precision,           (number.sign & DECIMAL_NEG) != 0};
    return jet_decimal_for_column(column, given);
}

// Rows written here are not read back through the recordset that appends them (DAO's
// append-only recordsets show none either).
class written_rows : public daostub_rows {
public:
    explicit written_rows(std::vector<jet_column> columns) : table_columns(std::move(columns)) {}
    const std::vector<jet_column>& columns() const override { return table_columns; }

protected:
    bool fetch_next() override { return false; }
    void restart() override {}
    const std::vector<jet_value>& fetched() const override { return none; }

private:
    std::vector<jet_column> table_columns;
    std::vector<jet_value> none;
};

}   // namespace

std::unique_ptr<daostub_rows> daostub_written_rows(std::vector<jet_column> columns) {
    return std::make_unique<written_rows>(std::move(columns));
}

daostub_written_file::~daostub_written_file() {
    try {
        file->flush();
    } catch (const std::exception& failure) {
        tk_trace::write(3, "Writing %s failed at its end: %s", file->path().c_str(),
                        failure.what());
    }
}

jet_new_table daostub_new_table::spec() const {
    jet_new_table table;
    table.name = name;
    for (const auto& column : columns) table.columns.push_back(*column);
    for (const auto& index : indexes) table.indexes.push_back(*index);
    return table;
}

jet_new_column daostub_new_column(std::u16string name, int dao_type, std::int32_t size) {
    std::uint8_t type_code = 0;
    switch (dao_type) {
    case DAO_TYPE_BOOLEAN: type_code = JET_TYPE_BOOLEAN; break;
    case DAO_TYPE_BYTE: type_code = JET_TYPE_BYTE; break;
    case DAO_TYPE_INTEGER: type_code = JET_TYPE_INT16; break;
    case DAO_TYPE_LONG: type_code = JET_TYPE_INT32; break;
    case DAO_TYPE_CURRENCY: type_code = JET_TYPE_CURRENCY; break;
    case DAO_TYPE_SINGLE: type_code = JET_TYPE_FLOAT32; break;
    case DAO_TYPE_DOUBLE: type_code = JET_TYPE_FLOAT64; break;
    case DAO_TYPE_DATE: type_code = JET_TYPE_DATETIME; break;
    case DAO_TYPE_BINARY: type_code = JET_TYPE_BINARY; break;
    case DAO_TYPE_TEXT: type_code = JET_TYPE_TEXT; break;
    case DAO_TYPE_LONG_BINARY: type_code = JET_TYPE_OLE; break;
    case DAO_TYPE_MEMO: type_code = JET_TYPE_MEMO; break;
    case DAO_TYPE_GUID: type_code = JET_TYPE_GUID; break;
    case DAO_TYPE_DECIMAL: type_code = JET_TYPE_NUMERIC; break;
    default: throw jet_error(JET_ERR_INVALID_TYPE, "Invalid field data type.");
    }
    jet_new_column column = jet_make_column(std::move(name), type_code);
    if (type_code == JET_TYPE_TEXT || type_code == JET_TYPE_BINARY)
        column.length = std::uint16_t(size > 0 && size <= 255 ? size : 255);
    return column;
}

jet_value daostub_from_variant(const jet_column& column, const VARIANT& value) {
    if (value.vt == VT_EMPTY || value.vt == VT_NULL) return jet_value();
    VARIANT converted{};
    jet_value result;
    switch (column.type_code) {
    case JET_TYPE_BOOLEAN:
        converted = changed(column, value, VT_BOOL);
        return jet_value(converted.boolVal != 0);
    case JET_TYPE_BYTE: return jet_value(changed(column, value, VT_UI1).bVal);
    case JET_TYPE_INT16: return jet_value(changed(column, value, VT_I2).iVal);
    case JET_TYPE_INT32: return jet_value(std::int32_t(changed(column, value, VT_I4).lVal));
    case JET_TYPE_CURRENCY:
        return jet_value(jet_currency{changed(column, value, VT_CY).cyVal.int64});
    case JET_TYPE_FLOAT32: return jet_value(changed(column, value, VT_R4).fltVal);
    case JET_TYPE_FLOAT64: return jet_value(changed(column, value, VT_R8).dblVal);
    case JET_TYPE_DATETIME: return jet_value(jet_date{changed(column, value, VT_DATE).date});
    case JET_TYPE_GUID: return jet_value(guid_of(column, value));
    case JET_TYPE_NUMERIC: return jet_value(decimal_of(column, value));
    case JET_TYPE_TEXT:
    case JET_TYPE_MEMO:
        converted = changed(column, value, VT_BSTR);
        result = jet_value(std::u16string(bstr_view(converted.bstrVal)));
        VariantClear(&converted);
        return result;
    default: return jet_value(bytes_of(column, value));
    }
}
