// daostub_field.cpp - Field and Fields over the engine's column definitions and rows.
#include "platform/dao/daostub_field.hpp"

#include "platform/dao/daostub_recordset.hpp"
#include "platform/dao/daostub_value.hpp"
#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_table_def_writer.hpp"

namespace {

VARIANT_BOOL variant_bool(bool flag) { return flag ? VARIANT_BOOL(-1) : VARIANT_BOOL(0); }

daostub_columns columns_of(const jet_new_column& spec) {
    return daostub_share_columns({jet_lay_out_column(spec, 0)});
}

}   // namespace

daostub_columns daostub_share_columns(std::vector<jet_column> columns) {
    return std::make_shared<const std::vector<jet_column>>(std::move(columns));
}

DAOField::DAOField(std::shared_ptr<daostub_context> new_context, daostub_columns new_columns,
                   std::shared_ptr<daostub_rows> new_rows, std::size_t new_column_idx)
    : context(std::move(new_context)), columns(std::move(new_columns)), rows(std::move(new_rows)),
      column_idx(new_column_idx) {}

DAOField::DAOField(std::shared_ptr<daostub_context> new_context,
                   std::shared_ptr<jet_new_column> new_fresh)
    : context(std::move(new_context)), columns(columns_of(*new_fresh)),
      fresh(std::move(new_fresh)) {}

template <class Change>
HRESULT DAOField::change(Change&& apply) {
    if (!fresh) return context->fail(DAO_ERR_INVALID_OPERATION, "Invalid operation.");
    return context->guard([&] {
        apply(*fresh);
        columns = columns_of(*fresh);
    });
}

HRESULT DAOField::put_Required(VARIANT_BOOL required) {
    return change([&](jet_new_column& spec) { spec.is_required = required != 0; });
}

HRESULT DAOField::put_AllowZeroLength(VARIANT_BOOL allow) {
    return change([&](jet_new_column& spec) { spec.allows_zero_length = allow != 0; });
}

HRESULT DAOField::put_DefaultValue(VARIANT default_value) {
    return change([&](jet_new_column& spec) {
        VARIANT text{};
        if (FAILED(VariantChangeType(&text, &default_value, 0, VT_BSTR)))
            throw jet_error(DAO_ERR_TYPE_CONVERSION, "Data type conversion error.");
        spec.default_value = context->text_in(text.bstrVal);
        VariantClear(&text);
    });
}

// Only dbAutoIncrField has an effect on a new field; the fixed and variable bits follow
// from the type.
HRESULT DAOField::put_Attributes(LONG attributes) {
    return change([&](jet_new_column& spec) {
        spec.is_autonumber = (std::uint32_t(attributes) & DAO_FIELD_AUTO_INCREMENT) != 0;
    });
}

// DAO shows no column of its own for a version history: it is the history of a Memo column.
// The stand-in lists it, under the name of the column it records.
HRESULT DAOField::get_Name(BSTR* name) {
    if (name == nullptr) return E_POINTER;
    const jet_complex_info& complex = column().complex;
    bool b_history = complex.kind == jet_complex_kind::version_history
                     && !complex.versioned_column.empty();
    *name = context->text_out(b_history ? complex.versioned_column : column().name);
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
    // A row's values can be decoded only when read (attachment data), and fail then.
    const std::vector<jet_value>* row = nullptr;
    HRESULT read = context->guard([&] { row = &rows->values(); });
    if (FAILED(read)) return read;
    if (column_idx >= row->size()) return context->fail(DAO_ERR_CORRUPT, "Field out of row.");
    if (column().is_complex()) return get_items(value);
    HRESULT result = daostub_to_variant((*row)[column_idx], value);
    if (FAILED(result)) return context->fail(DAO_ERR_OUT_OF_MEMORY, "Out of memory.");
    return S_OK;
}

// As DAO's Field2: a complex column's value is a Recordset2 over the row's items. A complex
// column of a kind the engine does not know keeps its raw key.
HRESULT DAOField::get_items(VARIANT* value) {
    std::unique_ptr<daostub_rows> items;
    HRESULT result = context->guard([&] {
        items = rows->complex_items(column_idx);
        if (items) items->open();
    });
    if (FAILED(result)) return result;
    if (!items) {
        result = daostub_to_variant(rows->values()[column_idx], value);
        return FAILED(result) ? context->fail(DAO_ERR_OUT_OF_MEMORY, "Out of memory.") : S_OK;
    }
    DAORecordset* recordset = com_new<DAORecordset>(context, std::move(items));
    value->vt = VT_DISPATCH;
    value->punkVal = recordset;
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

DAOFields::DAOFields(std::shared_ptr<daostub_context> new_context, daostub_columns new_columns,
                     std::shared_ptr<daostub_rows> new_rows)
    : context(std::move(new_context)), columns(std::move(new_columns)), rows(std::move(new_rows)) {}

DAOFields::DAOFields(std::shared_ptr<daostub_context> new_context,
                     std::shared_ptr<daostub_new_table> table)
    : context(std::move(new_context)), new_table(std::move(table)) {}

DAOFields::DAOFields(std::shared_ptr<daostub_context> new_context,
                     std::shared_ptr<jet_new_index> index)
    : context(std::move(new_context)), new_index(std::move(index)) {}

// A definition's fields as DAOField objects see them; index keys are names only.
std::vector<std::shared_ptr<jet_new_column>> DAOFields::fresh_columns() const {
    if (new_table) return new_table->columns;
    std::vector<std::shared_ptr<jet_new_column>> keys;
    for (const jet_new_index_column& key : new_index->columns)
        keys.push_back(std::make_shared<jet_new_column>(jet_make_column(key.name, JET_TYPE_INT32)));
    return keys;
}

HRESULT DAOFields::get_Count(SHORT* count) {
    if (count == nullptr) return E_POINTER;
    *count = SHORT(columns ? columns->size() : fresh_columns().size());
    return S_OK;
}

HRESULT DAOFields::Append(DAOField* field) {
    if (field == nullptr) return E_POINTER;
    if (!field->definition() || (!new_table && !new_index))
        return context->fail(DAO_ERR_INVALID_OPERATION, "Invalid operation.");
    if (new_table) {
        new_table->columns.push_back(field->definition());
    } else {
        new_index->columns.push_back({field->definition()->name, true});
    }
    return S_OK;
}

HRESULT DAOFields::get_Item(VARIANT index, DAOField** field) {
    if (field == nullptr) return E_POINTER;
    *field = nullptr;
    if (!columns) {
        std::vector<std::shared_ptr<jet_new_column>> fresh = fresh_columns();
        std::vector<std::u16string> fresh_names;
        fresh_names.reserve(fresh.size());
        for (const auto& column : fresh) fresh_names.push_back(column->name);
        std::size_t position = 0;
        HRESULT result = daostub_find_item(*context, index, fresh_names, &position);
        if (FAILED(result)) return result;
        *field = com_new<DAOField>(context, fresh[position]);
        return S_OK;
    }
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
