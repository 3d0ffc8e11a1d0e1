#pragma once
// daostub_field.hpp - DAO's Field and Fields. A Field describes one column (name, DAO type
// code, size, attributes, the DefaultValue text as Access stores it, Required -1/0,
// AllowZeroLength) and, in a Recordset, the current row's value (a complex column's value is
// a Recordset over the row's items, VT_DISPATCH, as Field2 gives). Fields of a TableDef,
// QueryDef or Index have no rows: their Value is empty. A Field made by CreateField (on a
// new TableDef or Index) takes Required, AllowZeroLength, DefaultValue and Attributes until
// its table is appended; a Fields collection of a new TableDef or Index takes Append.

#include <memory>
#include <vector>

#include "platform/dao/daostub_context.hpp"
#include "platform/dao/daostub_rows.hpp"
#include "platform/dao/daostub_written.hpp"

// Column definitions shared by a Fields collection and its Field objects: a row's Fields is
// made for every row, and copying each column's properties every time would cost more than
// reading the row.
using daostub_columns = std::shared_ptr<const std::vector<jet_column>>;

daostub_columns daostub_share_columns(std::vector<jet_column> columns);

class DAOField : public com_object {
public:
    // rows: null for a definition's field.
    DAOField(std::shared_ptr<daostub_context> context, daostub_columns columns,
             std::shared_ptr<daostub_rows> rows, std::size_t column_idx);
    // A field being defined.
    DAOField(std::shared_ptr<daostub_context> context, std::shared_ptr<jet_new_column> fresh);

    HRESULT get_Name(BSTR* name);
    HRESULT get_Type(SHORT* type);
    HRESULT get_Size(LONG* size);
    HRESULT get_Value(VARIANT* value);
    HRESULT get_Attributes(LONG* attributes);
    HRESULT get_DefaultValue(BSTR* default_value);
    HRESULT get_Required(VARIANT_BOOL* required);
    HRESULT get_AllowZeroLength(VARIANT_BOOL* allow);
    // Decimal columns: declared precision and scale (0 for other types).
    HRESULT get_Precision(SHORT* precision);
    HRESULT get_Scale(SHORT* scale);
    // A field being defined only: 3219 otherwise.
    HRESULT put_Required(VARIANT_BOOL required);
    HRESULT put_AllowZeroLength(VARIANT_BOOL allow);
    HRESULT put_DefaultValue(VARIANT default_value);
    HRESULT put_Attributes(LONG attributes);
    const std::shared_ptr<jet_new_column>& definition() const { return fresh; }

private:
    const jet_column& column() const { return (*columns)[column_idx]; }
    HRESULT get_items(VARIANT* value);
    template <class Change>
    HRESULT change(Change&& apply);

    std::shared_ptr<daostub_context> context;
    daostub_columns columns;
    std::shared_ptr<daostub_rows> rows;
    std::size_t column_idx = 0;
    std::shared_ptr<jet_new_column> fresh;   // set for a field being defined
};

class DAOFields : public com_object {
public:
    DAOFields(std::shared_ptr<daostub_context> context, daostub_columns columns,
              std::shared_ptr<daostub_rows> rows);
    // The fields of a table or index being defined.
    DAOFields(std::shared_ptr<daostub_context> context, std::shared_ptr<daostub_new_table> table);
    DAOFields(std::shared_ptr<daostub_context> context, std::shared_ptr<jet_new_index> index);

    HRESULT get_Count(SHORT* count);
    HRESULT get_Item(VARIANT index, DAOField** field);
    // Fields of a definition only (3219 otherwise); a field made by CreateField.
    HRESULT Append(DAOField* field);

private:
    std::vector<std::shared_ptr<jet_new_column>> fresh_columns() const;

    std::shared_ptr<daostub_context> context;
    daostub_columns columns;
    std::shared_ptr<daostub_rows> rows;
    std::shared_ptr<daostub_new_table> new_table;
    std::shared_ptr<jet_new_index> new_index;
};

// A column that is only a name: an index's key column.
jet_column daostub_name_column(std::u16string name);
