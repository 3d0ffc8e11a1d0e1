#pragma once
// daostub_database.hpp - DAO's Database over one opened file: TableDefs and temporary
// QueryDefs. A file opened to read takes no new tables (CreateTableDef answers 3251); a file
// made by CreateDatabase takes new tables and, through "SELECT * FROM [table]" opened as a
// recordset, new rows, and answers no other statement (3251). Named queries are not
// written: CreateQueryDef with a name answers 3251.

#include <memory>

#include "platform/dao/daostub_context.hpp"
#include "platform/dao/daostub_recordset.hpp"
#include "platform/dao/daostub_tabledef.hpp"
#include "platform/dao/daostub_written.hpp"

class jet_database;

class DAODatabase : public com_object {
public:
    DAODatabase(std::shared_ptr<daostub_context> context,
                std::shared_ptr<const jet_database> database);
    DAODatabase(std::shared_ptr<daostub_context> context,
                std::shared_ptr<daostub_written_file> written);

    HRESULT get_Name(BSTR* name);
    HRESULT get_TableDefs(DAOTableDefs** tables);
    // An empty name makes a temporary query. A statement that cannot run fails here, with
    // the query engine's DAO number (3075, 3131, 3141, 3078 ...).
    HRESULT CreateQueryDef(BSTR name, VARIANT sql, DAOQueryDef** query);
    HRESULT CreateTableDef(BSTR name, VARIANT attributes, VARIANT source_table, VARIANT connect,
                           DAOTableDef** table);

private:
    HRESULT written_query(std::u16string sql, DAOQueryDef** query);

    std::shared_ptr<daostub_context> context;
    std::shared_ptr<const jet_database> database;
    std::shared_ptr<daostub_written_file> written;   // set for a file made here
};
