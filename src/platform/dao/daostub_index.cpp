// daostub_index.cpp - Index and Indexes over the engine's logical indexes.
#include "platform/dao/daostub_index.hpp"

#include "platform/dao/daostub_written.hpp"
#include "platform/jet/jet_new_table.hpp"

HRESULT DAOIndex::get_Name(BSTR* name) {
    if (name == nullptr) return E_POINTER;
    *name = context->text_out(fresh ? fresh->name : index.name);
    return S_OK;
}

HRESULT DAOIndex::get_Primary(VARIANT_BOOL* primary) {
    if (primary == nullptr) return E_POINTER;
    *primary = (fresh ? fresh->is_primary : index.is_primary) ? VARIANT_BOOL(-1) : VARIANT_BOOL(0);
    return S_OK;
}

HRESULT DAOIndex::get_Unique(VARIANT_BOOL* unique) {
    if (unique == nullptr) return E_POINTER;
    bool is_unique = fresh ? fresh->is_unique || fresh->is_primary : index.is_unique();
    *unique = is_unique ? VARIANT_BOOL(-1) : VARIANT_BOOL(0);
    return S_OK;
}

HRESULT DAOIndex::get_Foreign(VARIANT_BOOL* foreign) {
    if (foreign == nullptr) return E_POINTER;
    // An index being defined is the caller's own, never a relationship's.
    *foreign = !fresh && index.is_foreign_key ? VARIANT_BOOL(-1) : VARIANT_BOOL(0);
    return S_OK;
}

HRESULT DAOIndex::put_Primary(VARIANT_BOOL primary) {
    if (!fresh) return context->fail(DAO_ERR_INVALID_OPERATION, "Invalid operation.");
    fresh->is_primary = primary != 0;
    return S_OK;
}

HRESULT DAOIndex::put_Unique(VARIANT_BOOL unique) {
    if (!fresh) return context->fail(DAO_ERR_INVALID_OPERATION, "Invalid operation.");
    fresh->is_unique = unique != 0;
    return S_OK;
}

HRESULT DAOIndex::CreateField(BSTR name, VARIANT, VARIANT, DAOField** field) {
    if (field == nullptr) return E_POINTER;
    *field = nullptr;
    if (!fresh) return context->fail(DAO_ERR_INVALID_OPERATION, "Invalid operation.");
    auto key = std::make_shared<jet_new_column>(
        jet_make_column(context->text_in(name), JET_TYPE_INT32));
    *field = com_new<DAOField>(context, std::move(key));
    return S_OK;
}

HRESULT DAOIndex::get_Fields(DAOFields** fields) {
    if (fields == nullptr) return E_POINTER;
    if (fresh) {
        *fields = com_new<DAOFields>(context, fresh);
        return S_OK;
    }
    std::vector<jet_column> columns;
    for (const jet_index_column& key_column : index.columns) {
        columns.push_back(daostub_name_column(key_column.name));
    }
    *fields = com_new<DAOFields>(context, daostub_share_columns(std::move(columns)), nullptr);
    return S_OK;
}

DAOIndexes::DAOIndexes(std::shared_ptr<daostub_context> new_context,
                       std::vector<jet_index> new_indexes)
    : context(std::move(new_context)), indexes(std::move(new_indexes)) {
    for (const jet_index& index : this->indexes) names.push_back(index.name);
}

HRESULT DAOIndexes::get_Count(SHORT* count) {
    if (count == nullptr) return E_POINTER;
    *count = SHORT(new_table ? new_table->indexes.size() : indexes.size());
    return S_OK;
}

HRESULT DAOIndexes::Append(DAOIndex* item) {
    if (item == nullptr) return E_POINTER;
    if (!new_table || !item->definition())
        return context->fail(DAO_ERR_INVALID_OPERATION, "Invalid operation.");
    // Checked here as well as with the table: refused now, the index stays out and the
    // table definition can still be appended.
    return context->guard([&] {
        jet_check_index_key_types(new_table->spec(), *item->definition());
        new_table->indexes.push_back(item->definition());
    });
}

HRESULT DAOIndexes::get_Item(VARIANT index, DAOIndex** item) {
    if (item == nullptr) return E_POINTER;
    *item = nullptr;
    std::size_t position = 0;
    if (new_table) {
        std::vector<std::u16string> fresh_names;
        for (const auto& fresh : new_table->indexes) fresh_names.push_back(fresh->name);
        HRESULT result = daostub_find_item(*context, index, fresh_names, &position);
        if (FAILED(result)) return result;
        *item = com_new<DAOIndex>(context, new_table->indexes[position]);
        return S_OK;
    }
    HRESULT result = daostub_find_item(*context, index, names, &position);
    if (FAILED(result)) return result;
    *item = com_new<DAOIndex>(context, indexes[position]);
    return S_OK;
}
