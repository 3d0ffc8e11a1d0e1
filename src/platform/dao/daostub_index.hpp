#pragma once
// daostub_index.hpp - DAO's Index and Indexes of a table: name, Primary and Unique (-1 for
// true) and the key columns, in key order, as a Fields collection of names.

#include <memory>
#include <vector>

#include "platform/dao/daostub_context.hpp"
#include "platform/dao/daostub_field.hpp"

class DAOIndex : public com_object {
public:
    DAOIndex(std::shared_ptr<daostub_context> context, jet_index index)
        : context(std::move(context)), index(std::move(index)) {}

    HRESULT get_Name(BSTR* name);
    HRESULT get_Primary(VARIANT_BOOL* primary);
    HRESULT get_Unique(VARIANT_BOOL* unique);
    HRESULT get_Fields(DAOFields** fields);

private:
    std::shared_ptr<daostub_context> context;
    jet_index index;
};

class DAOIndexes : public com_object {
public:
    DAOIndexes(std::shared_ptr<daostub_context> context, std::vector<jet_index> indexes);

    HRESULT get_Count(SHORT* count);
    HRESULT get_Item(VARIANT index, DAOIndex** item);

private:
    std::shared_ptr<daostub_context> context;
    std::vector<jet_index> indexes;
    std::vector<std::u16string> names;
};
