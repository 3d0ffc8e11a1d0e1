// daostub_database.cpp - Database.
#include "platform/dao/daostub_database.hpp"

#include "platform/dao/daostub_statement.hpp"
#include "platform/jet/jet_database.hpp"
#include "tk/tk_utf.hpp"

DAODatabase::DAODatabase(std::shared_ptr<daostub_context> context,
                         std::shared_ptr<const jet_database> database)
    : context(std::move(context)), database(std::move(database)) {}

HRESULT DAODatabase::get_Name(BSTR* name) {
    if (name == nullptr) return E_POINTER;
    *name = context->text_out(tk_utf8_to_utf16(database->path()));
    return S_OK;
}

HRESULT DAODatabase::get_TableDefs(DAOTableDefs** tables) {
    if (tables == nullptr) return E_POINTER;
    *tables = nullptr;
    return context->guard([&] { *tables = com_new<DAOTableDefs>(context, database); });
}

HRESULT DAODatabase::CreateQueryDef(BSTR name, VARIANT sql, DAOQueryDef** query) {
    if (query == nullptr) return E_POINTER;
    *query = nullptr;
    if (!context->text_in(name).empty()) return context->fail_not_supported();
    if (sql.vt != VT_BSTR) return context->fail(DAO_ERR_INVALID_ARGUMENT, "Invalid argument.");
    std::u16string text = context->text_in(sql.bstrVal);
    return context->guard([&] {
        std::unique_ptr<daostub_rows> rows = daostub_open_statement(database, text);
        *query = com_new<DAOQueryDef>(context, database, std::move(text), std::move(rows));
    });
}

HRESULT DAODatabase::CreateTableDef(BSTR, VARIANT, VARIANT, VARIANT, DAOTableDef** table) {
    if (table != nullptr) *table = nullptr;
    return context->fail_not_supported();
}
