#pragma once
// daostub_field.hpp - DAO's Field and Fields. A Field describes one column (name, DAO type
// code, size, attributes, the DefaultValue text as Access stores it, Required -1/0,
// AllowZeroLength) and, in a Recordset, the current row's value. Fields of a TableDef,
// QueryDef or Index have no rows: their Value is empty.

#include <memory>
#include <vector>

#include "platform/dao/daostub_context.hpp"
#include "platform/dao/daostub_rows.hpp"

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

private:
    const jet_column& column() const { return (*columns)[column_idx]; }

    std::shared_ptr<daostub_context> context;
    daostub_columns columns;
    std::shared_ptr<daostub_rows> rows;
    std::size_t column_idx = 0;
};

class DAOFields : public com_object {
public:
    DAOFields(std::shared_ptr<daostub_context> context, daostub_columns columns,
              std::shared_ptr<daostub_rows> rows);

    HRESULT get_Count(SHORT* count);
    HRESULT get_Item(VARIANT index, DAOField** field);

private:
    std::shared_ptr<daostub_context> context;
    daostub_columns columns;
    std::shared_ptr<daostub_rows> rows;
};

// A column that is only a name: an index's key column.
jet_column daostub_name_column(std::u16string name);
