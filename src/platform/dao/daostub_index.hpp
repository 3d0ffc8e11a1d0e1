#pragma once
// daostub_index.hpp - DAO's Index and Indexes of a table: name, Primary, Unique and Foreign
// (-1 for true; Foreign marks the index a relationship keeps) and the key columns, in key
// order, as a Fields collection of names. An Index made by CreateIndex takes Primary,
// Unique, CreateField and Fields.Append; the Indexes of a new TableDef take Append,
// refusing (3001) an index over a field no index can hold.

#include <memory>
#include <vector>

#include "platform/dao/daostub_context.hpp"
#include "platform/dao/daostub_field.hpp"

class DAOIndex : public com_object {
public:
    DAOIndex(std::shared_ptr<daostub_context> new_context, jet_index new_index)
        : context(std::move(new_context)), index(std::move(new_index)) {}
    // An index being defined.
    DAOIndex(std::shared_ptr<daostub_context> new_context, std::shared_ptr<jet_new_index> new_fresh)
        : context(std::move(new_context)), fresh(std::move(new_fresh)) {}

    HRESULT get_Name(BSTR* name);
    HRESULT get_Primary(VARIANT_BOOL* primary);
    HRESULT get_Unique(VARIANT_BOOL* unique);
    HRESULT get_Foreign(VARIANT_BOOL* foreign);
    HRESULT get_Fields(DAOFields** fields);
    // An index being defined only: 3219 otherwise. type and size are ignored.
    HRESULT put_Primary(VARIANT_BOOL primary);
    HRESULT put_Unique(VARIANT_BOOL unique);
    HRESULT CreateField(BSTR name, VARIANT type, VARIANT size, DAOField** field);
    const std::shared_ptr<jet_new_index>& definition() const { return fresh; }

private:
    std::shared_ptr<daostub_context> context;
    jet_index index;
    std::shared_ptr<jet_new_index> fresh;   // set for an index being defined
};

class DAOIndexes : public com_object {
public:
    DAOIndexes(std::shared_ptr<daostub_context> context, std::vector<jet_index> indexes);
    // The indexes of a table being defined.
    DAOIndexes(std::shared_ptr<daostub_context> new_context,
               std::shared_ptr<daostub_new_table> table)
        : context(std::move(new_context)), new_table(std::move(table)) {}

    HRESULT get_Count(SHORT* count);
    HRESULT get_Item(VARIANT index, DAOIndex** item);
    // Indexes of a definition only (3219 otherwise); an index made by CreateIndex.
    HRESULT Append(DAOIndex* item);

private:
    std::shared_ptr<daostub_context> context;
    std::vector<jet_index> indexes;
    std::vector<std::u16string> names;
    std::shared_ptr<daostub_new_table> new_table;
};
