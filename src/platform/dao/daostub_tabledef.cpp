// daostub_tabledef.cpp - TableDefs and TableDef over the engine's catalogue.
#include "platform/dao/daostub_tabledef.hpp"

#include <limits>

#include "platform/jet/jet_database.hpp"

DAOTableDef::DAOTableDef(std::shared_ptr<daostub_context> context,
                         std::shared_ptr<const jet_database> database, jet_catalog_entry entry)
    : context(std::move(context)), database(std::move(database)), entry(std::move(entry)) {}

const jet_table_def& DAOTableDef::definition() {
    if (!loaded) loaded = database->table_def(entry.name);
    return *loaded;
}

HRESULT DAOTableDef::get_Name(BSTR* name) {
    if (name == nullptr) return E_POINTER;
    *name = context->text_out(entry.name);
    return S_OK;
}

HRESULT DAOTableDef::get_Attributes(LONG* attributes) {
    if (attributes == nullptr) return E_POINTER;
    *attributes = LONG(entry.dao_attributes());
    return S_OK;
}

HRESULT DAOTableDef::get_RecordCount(LONG* count) {
    if (count == nullptr) return E_POINTER;
    return context->guard([&] {
        std::uint64_t rows = database->count_rows(entry.name);
        constexpr auto most = std::uint64_t(std::numeric_limits<LONG>::max());
        *count = LONG(rows > most ? most : rows);
    });
}

HRESULT DAOTableDef::get_Fields(DAOFields** fields) {
    if (fields == nullptr) return E_POINTER;
    *fields = nullptr;
    return context->guard([&] {
        daostub_columns columns = daostub_share_columns(definition().columns);
        *fields = com_new<DAOFields>(context, std::move(columns), nullptr);
    });
}

HRESULT DAOTableDef::get_Indexes(DAOIndexes** indexes) {
    if (indexes == nullptr) return E_POINTER;
    *indexes = nullptr;
    return context->guard([&] {
        *indexes = com_new<DAOIndexes>(context, definition().indexes);
    });
}

DAOTableDefs::DAOTableDefs(std::shared_ptr<daostub_context> context,
                           std::shared_ptr<const jet_database> database)
    : context(std::move(context)), database(std::move(database)),
      entries(this->database->tables()) {
    for (const jet_catalog_entry& entry : entries) names.push_back(entry.name);
}

HRESULT DAOTableDefs::get_Count(SHORT* count) {
    if (count == nullptr) return E_POINTER;
    *count = SHORT(entries.size());
    return S_OK;
}

HRESULT DAOTableDefs::get_Item(VARIANT index, DAOTableDef** table) {
    if (table == nullptr) return E_POINTER;
    *table = nullptr;
    std::size_t position = 0;
    HRESULT result = daostub_find_item(*context, index, names, &position);
    if (FAILED(result)) return result;
    *table = com_new<DAOTableDef>(context, database, entries[position]);
    return S_OK;
}

HRESULT DAOTableDefs::Delete(BSTR) {
    return context->fail_not_supported();
}
