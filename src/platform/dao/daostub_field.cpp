// daostub_field.cpp - Field and Fields over the engine's column definitions and rows.
#include "platform/dao/daostub_field.hpp"

#include "platform/dao/daostub_value.hpp"

namespace {

VARIANT_BOOL variant_bool(bool flag) { return flag ? VARIANT_BOOL(-1) : VARIANT_BOOL(0); }

}  // namespace

daostub_columns daostub_share_columns(std::vector<jet_column> columns) {
    return std::make_shared<const std::vector<jet_column>>(std::move(columns));
}

DAOField::DAOField(std::shared_ptr<daostub_context> context, daostub_columns columns,
                   std::shared_ptr<daostub_rows> rows, std::size_t column_idx)
    : context(std::move(context)), columns(std::move(columns)), rows(std::move(rows)),
      column_idx(column_idx) {}

HRESULT DAOField::get_Name(BSTR* name) {
    if (name == nullptr) return E_POINTER;
    *name = context->text_out(column().name);
    return S_OK;
}

HRESULT DAOField::get_Type(SHORT* type) {
    if (type == nullptr) return E_POINTER;
    *type = SHORT(column().dao_type());
    return S_OK;
}

HRESULT DAOField::get_Size(LONG* size) {
    if (size == nullptr) return E_POINTER;
    *size = LONG(column().dao_size());
    return S_OK;
}

HRESULT DAOField::get_Value(VARIANT* value) {
    if (value == nullptr) return E_POINTER;
    VariantInit(value);
    if (!rows) return S_OK;
    if (!rows->is_on_row()) return context->fail(DAO_ERR_NO_CURRENT_RECORD, "No current record.");
    const std::vector<jet_value>& row = rows->values();
    if (column_idx >= row.size()) return context->fail(DAO_ERR_CORRUPT, "Field out of row.");
    HRESULT result = daostub_to_variant(row[column_idx], value);
    if (FAILED(result)) return context->fail(DAO_ERR_OUT_OF_MEMORY, "Out of memory.");
    return S_OK;
}

HRESULT DAOField::get_Attributes(LONG* attributes) {
    if (attributes == nullptr) return E_POINTER;
    *attributes = LONG(column().dao_attributes());
    return S_OK;
}

HRESULT DAOField::get_DefaultValue(BSTR* default_value) {
    if (default_value == nullptr) return E_POINTER;
    *default_value = context->text_out(column().default_value());
    return S_OK;
}

// Access's Required is the column's NOT NULL mark; the property of the same name is the
// design view's copy of it, set only for columns made there.
HRESULT DAOField::get_Required(VARIANT_BOOL* required) {
    if (required == nullptr) return E_POINTER;
    *required = variant_bool(column().is_required() || !column().is_nullable());
    return S_OK;
}

HRESULT DAOField::get_AllowZeroLength(VARIANT_BOOL* allow) {
    if (allow == nullptr) return E_POINTER;
    *allow = variant_bool(column().allows_zero_length());
    return S_OK;
}

HRESULT DAOField::get_Precision(SHORT* precision) {
    if (precision == nullptr) return E_POINTER;
    *precision = SHORT(column().precision);
    return S_OK;
}

HRESULT DAOField::get_Scale(SHORT* scale) {
    if (scale == nullptr) return E_POINTER;
    *scale = SHORT(column().scale);
    return S_OK;
}

DAOFields::DAOFields(std::shared_ptr<daostub_context> context, daostub_columns columns,
                     std::shared_ptr<daostub_rows> rows)
    : context(std::move(context)), columns(std::move(columns)), rows(std::move(rows)) {}

HRESULT DAOFields::get_Count(SHORT* count) {
    if (count == nullptr) return E_POINTER;
    *count = SHORT(columns->size());
    return S_OK;
}

HRESULT DAOFields::get_Item(VARIANT index, DAOField** field) {
    if (field == nullptr) return E_POINTER;
    *field = nullptr;
    std::vector<std::u16string> names;   // only a lookup by name reads them
    if (index.vt == VT_BSTR) {
        for (const jet_column& column : *columns) names.push_back(column.name);
    } else {
        names.resize(columns->size());
    }
    std::size_t position = 0;
    HRESULT result = daostub_find_item(*context, index, names, &position);
    if (FAILED(result)) return result;
    *field = com_new<DAOField>(context, columns, rows, position);
    return S_OK;
}

jet_column daostub_name_column(std::u16string name) {
    jet_column column;
    column.name = std::move(name);
    column.flags = 0x02;
    return column;
}
