// daostub_database.cpp - Database.
#include "platform/dao/daostub_database.hpp"

#include "platform/dao/daostub_statement.hpp"
#include "platform/jet/jet_database.hpp"
#include "tk/tk_utf.hpp"

DAODatabase::DAODatabase(std::shared_ptr<daostub_context> new_context,
                         std::shared_ptr<const jet_database> new_database)
    : context(std::move(new_context)), database(std::move(new_database)) {}

DAODatabase::DAODatabase(std::shared_ptr<daostub_context> new_context,
                         std::shared_ptr<daostub_written_file> new_written)
    : context(std::move(new_context)), written(std::move(new_written)) {}

HRESULT DAODatabase::get_Name(BSTR* name) {
    if (name == nullptr) return E_POINTER;
    const std::string& path = written ? written->writer().path() : database->path();
    *name = context->text_out(tk_utf8_to_utf16(path));
    return S_OK;
}

HRESULT DAODatabase::get_TableDefs(DAOTableDefs** tables) {
    if (tables == nullptr) return E_POINTER;
    *tables = nullptr;
    return context->guard([&] {
        *tables = written ? com_new<DAOTableDefs>(context, written)
                          : com_new<DAOTableDefs>(context, database);
    });
}

HRESULT DAODatabase::CreateQueryDef(BSTR name, VARIANT sql, DAOQueryDef** query) {
    if (query == nullptr) return E_POINTER;
    *query = nullptr;
    if (!context->text_in(name).empty()) return context->fail_not_supported();
    if (sql.vt != VT_BSTR) return context->fail(DAO_ERR_INVALID_ARGUMENT, "Invalid argument.");
    std::u16string text = context->text_in(sql.bstrVal);
    if (written) return written_query(std::move(text), query);
    return context->guard([&] {
        std::unique_ptr<daostub_rows> rows = daostub_open_statement(database, text);
        *query = com_new<DAOQueryDef>(context, database, std::move(text), std::move(rows));
    });
}

HRESULT DAODatabase::written_query(std::u16string sql, DAOQueryDef** query) {
    std::optional<std::u16string> table = daostub_whole_table_name(sql);
    if (!table) return context->fail_not_supported();
    return context->guard([&] {
        const jet_table_def& def = written->writer().table(*table);
        *query = com_new<DAOQueryDef>(context, written, def.name, std::move(sql),
                                      daostub_written_rows(def.columns));
    });
}

HRESULT DAODatabase::CreateTableDef(BSTR name, VARIANT, VARIANT, VARIANT, DAOTableDef** table) {
    if (table == nullptr) return E_POINTER;
    *table = nullptr;
    if (!written) return context->fail_not_supported();
    auto fresh = std::make_shared<daostub_new_table>();
    fresh->name = context->text_in(name);
    *table = com_new<DAOTableDef>(context, std::move(fresh));
    return S_OK;
}
