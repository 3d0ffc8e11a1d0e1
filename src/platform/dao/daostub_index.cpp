// daostub_index.cpp - Index and Indexes over the engine's logical indexes.
#include "platform/dao/daostub_index.hpp"

HRESULT DAOIndex::get_Name(BSTR* name) {
    if (name == nullptr) return E_POINTER;
    *name = context->text_out(index.name);
    return S_OK;
}

HRESULT DAOIndex::get_Primary(VARIANT_BOOL* primary) {
    if (primary == nullptr) return E_POINTER;
    *primary = index.is_primary ? VARIANT_BOOL(-1) : VARIANT_BOOL(0);
    return S_OK;
}

HRESULT DAOIndex::get_Unique(VARIANT_BOOL* unique) {
    if (unique == nullptr) return E_POINTER;
    *unique = index.is_unique() ? VARIANT_BOOL(-1) : VARIANT_BOOL(0);
    return S_OK;
}

HRESULT DAOIndex::get_Fields(DAOFields** fields) {
    if (fields == nullptr) return E_POINTER;
    std::vector<jet_column> columns;
    for (const jet_index_column& key_column : index.columns) {
        columns.push_back(daostub_name_column(key_column.name));
    }
    *fields = com_new<DAOFields>(context, daostub_share_columns(std::move(columns)), nullptr);
    return S_OK;
}

DAOIndexes::DAOIndexes(std::shared_ptr<daostub_context> context, std::vector<jet_index> indexes)
    : context(std::move(context)), indexes(std::move(indexes)) {
    for (const jet_index& index : this->indexes) names.push_back(index.name);
}

HRESULT DAOIndexes::get_Count(SHORT* count) {
    if (count == nullptr) return E_POINTER;
    *count = SHORT(indexes.size());
    return S_OK;
}

HRESULT DAOIndexes::get_Item(VARIANT index, DAOIndex** item) {
    if (item == nullptr) return E_POINTER;
    *item = nullptr;
    std::size_t position = 0;
    HRESULT result = daostub_find_item(*context, index, names, &position);
    if (FAILED(result)) return result;
    *item = com_new<DAOIndex>(context, indexes[position]);
    return S_OK;
}
