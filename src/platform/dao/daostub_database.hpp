#pragma once
// daostub_database.hpp - DAO's Database over one opened file: TableDefs and temporary
// QueryDefs. Named queries and new tables would be written into the file, which the
// stand-in does not do: CreateQueryDef with a name and CreateTableDef answer 3251.

#include <memory>

#include "platform/dao/daostub_context.hpp"
#include "platform/dao/daostub_recordset.hpp"
#include "platform/dao/daostub_tabledef.hpp"

class jet_database;

class DAODatabase : public com_object {
public:
    DAODatabase(std::shared_ptr<daostub_context> context,
                std::shared_ptr<const jet_database> database);

    HRESULT get_Name(BSTR* name);
    HRESULT get_TableDefs(DAOTableDefs** tables);
    // An empty name makes a temporary query. A statement that cannot run fails here, with
    // the query engine's DAO number (3075, 3131, 3141, 3078 ...).
    HRESULT CreateQueryDef(BSTR name, VARIANT sql, DAOQueryDef** query);
    HRESULT CreateTableDef(BSTR name, VARIANT attributes, VARIANT source_table,
                           VARIANT connect, DAOTableDef** table);

private:
    std::shared_ptr<daostub_context> context;
    std::shared_ptr<const jet_database> database;
};
