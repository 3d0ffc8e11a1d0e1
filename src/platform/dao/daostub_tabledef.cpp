// daostub_tabledef.cpp - TableDefs and TableDef over the engine's catalogue.
#include "platform/dao/daostub_tabledef.hpp"

#include <limits>

#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_table_def_writer.hpp"

DAOTableDef::DAOTableDef(std::shared_ptr<daostub_context> new_context,
                         std::shared_ptr<const jet_database> new_database,
                         jet_catalog_entry new_entry)
    : context(std::move(new_context)), database(std::move(new_database)),
      entry(std::move(new_entry)) {}

DAOTableDef::DAOTableDef(std::shared_ptr<daostub_context> new_context,
                         std::shared_ptr<daostub_written_file> new_written, std::u16string name)
    : context(std::move(new_context)), written(std::move(new_written)) {
    entry.name = std::move(name);
    entry.type = JET_OBJECT_TABLE;
}

DAOTableDef::DAOTableDef(std::shared_ptr<daostub_context> new_context,
                         std::shared_ptr<daostub_new_table> new_fresh)
    : context(std::move(new_context)), fresh(std::move(new_fresh)) {
    entry.name = this->fresh->name;
    entry.type = JET_OBJECT_TABLE;
}

// A table being defined has its definition laid out when asked, so it reads as it will
// be written.
const jet_table_def& DAOTableDef::definition() {
    if (written) loaded = written->writer().table(entry.name);
    if (fresh) loaded = jet_lay_out_table(fresh->spec());
    if (!loaded) loaded = database->table_def(entry.name);
    return *loaded;
}

HRESULT DAOTableDef::CreateField(BSTR name, VARIANT type, VARIANT size, DAOField** field) {
    if (field == nullptr) return E_POINTER;
    *field = nullptr;
    if (!fresh) return context->fail(DAO_ERR_INVALID_OPERATION, "Invalid operation.");
    VARIANT type_code{};
    VARIANT length{};
    if (FAILED(VariantChangeType(&type_code, &type, 0, VT_I4)))
        return context->fail(DAO_ERR_INVALID_ARGUMENT, "Invalid argument.");
    if (size.vt != VT_EMPTY && FAILED(VariantChangeType(&length, &size, 0, VT_I4)))
        return context->fail(DAO_ERR_INVALID_ARGUMENT, "Invalid argument.");
    return context->guard([&] {
        auto column = std::make_shared<jet_new_column>(
            daostub_new_column(context->text_in(name), type_code.lVal, length.lVal));
        *field = com_new<DAOField>(context, std::move(column));
    });
}

HRESULT DAOTableDef::CreateIndex(BSTR name, DAOIndex** index) {
    if (index == nullptr) return E_POINTER;
    *index = nullptr;
    if (!fresh) return context->fail(DAO_ERR_INVALID_OPERATION, "Invalid operation.");
    auto made = std::make_shared<jet_new_index>();
    made->name = context->text_in(name);
    *index = com_new<DAOIndex>(context, std::move(made));
    return S_OK;
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
    if (fresh) {
        *count = 0;
        return S_OK;
    }
    return context->guard([&] {
        std::uint64_t rows = written ? written->writer().row_count(entry.name)
                                     : database->count_rows(entry.name);
        constexpr auto most = std::uint64_t(std::numeric_limits<LONG>::max());
        *count = LONG(rows > most ? most : rows);
    });
}

HRESULT DAOTableDef::get_Fields(DAOFields** fields) {
    if (fields == nullptr) return E_POINTER;
    *fields = nullptr;
    if (fresh) {
        *fields = com_new<DAOFields>(context, fresh);
        return S_OK;
    }
    return context->guard([&] {
        daostub_columns columns = daostub_share_columns(definition().columns);
        *fields = com_new<DAOFields>(context, std::move(columns), nullptr);
    });
}

HRESULT DAOTableDef::get_Indexes(DAOIndexes** indexes) {
    if (indexes == nullptr) return E_POINTER;
    *indexes = nullptr;
    if (fresh) {
        *indexes = com_new<DAOIndexes>(context, fresh);
        return S_OK;
    }
    return context->guard([&] { *indexes = com_new<DAOIndexes>(context, definition().indexes); });
}

DAOTableDefs::DAOTableDefs(std::shared_ptr<daostub_context> new_context,
                           std::shared_ptr<const jet_database> new_database)
    : context(std::move(new_context)), database(std::move(new_database)),
      entries(this->database->tables()) {
    for (const jet_catalog_entry& entry : entries) names.push_back(entry.name);
}

DAOTableDefs::DAOTableDefs(std::shared_ptr<daostub_context> new_context,
                           std::shared_ptr<daostub_written_file> new_written)
    : context(std::move(new_context)), names(new_written->writer().table_names()),
      written(std::move(new_written)) {}

HRESULT DAOTableDefs::get_Count(SHORT* count) {
    if (count == nullptr) return E_POINTER;
    *count = SHORT(names.size());
    return S_OK;
}

HRESULT DAOTableDefs::get_Item(VARIANT index, DAOTableDef** table) {
    if (table == nullptr) return E_POINTER;
    *table = nullptr;
    std::size_t position = 0;
    HRESULT result = daostub_find_item(*context, index, names, &position);
    if (FAILED(result)) return result;
    if (written) {
        *table = com_new<DAOTableDef>(context, written, names[position]);
        return S_OK;
    }
    *table = com_new<DAOTableDef>(context, database, entries[position]);
    return S_OK;
}

HRESULT DAOTableDefs::Append(DAOTableDef* table) {
    if (table == nullptr) return E_POINTER;
    if (!written) return context->fail_not_supported();
    if (!table->new_definition())
        return context->fail(DAO_ERR_INVALID_OPERATION, "Invalid operation.");
    return context->guard([&] {
        written->writer().create_table(table->new_definition()->spec());
        names = written->writer().table_names();
    });
}

HRESULT DAOTableDefs::Delete(BSTR name) {
    if (!written) return context->fail_not_supported();
    return context->guard([&] {
        written->writer().delete_table(context->text_in(name));
        names = written->writer().table_names();
    });
}
