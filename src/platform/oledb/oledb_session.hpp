#pragma once
// oledb_session.hpp - a session of the provider (IOpenRowset, IDBCreateCommand/ICommand,
// IDBSchemaRowset, ITableDefinition, IIndexDefinition, and the fast-load rowset), which is one
// db-lib connection: statements, SET options and bulk loads of a session share it, so
// SET IDENTITY_INSERT on a session reaches that session's bulk load.

#include "platform/oledb/oledb_dblib.hpp"
#include "platform/oledb/oledb_rowset.hpp"
#include "platform/oledb/oledb_schema.hpp"

#include <memory>
#include <string>
#include <vector>

class oledb_fast_load;

class oledb_session {
public:
    // Logs in with `params`; fails with the thread's error object set.
    static oledb_hresult open(const oledb_login_params& params,
                              std::unique_ptr<oledb_session>& out);
    ~oledb_session();
    oledb_session(const oledb_session&) = delete;
    oledb_session& operator=(const oledb_session&) = delete;

    // ICommand::Execute of a batch (statements separated by ';' or new lines). With `result`,
    // the first result set is returned as a rowset (an empty one when the batch had none).
    oledb_hresult execute(const std::string& batch, std::unique_ptr<oledb_rowset>* result);
    // IOpenRowset::OpenRowset by table identifier ("[t]" or "[o].[t]"); a missing table
    // fails with DB_E_NOTABLE. Rows are read at the first fetch.
    oledb_hresult open_rowset(const std::string& table_id, std::unique_ptr<oledb_rowset>& out);
    oledb_hresult schema_rowset(oledb_schema_kind kind, const oledb_schema_restrictions& where,
                                std::unique_ptr<oledb_rowset>& out);
    oledb_hresult create_table(const std::string& table_id,
                               const std::vector<oledb_column_desc>& columns);
    oledb_hresult drop_table(const std::string& table_id);
    oledb_hresult create_index(const std::string& table_id, const oledb_index_desc& index);
    // IRowsetFastLoad on a table, keeping the identity values the rows carry.
    oledb_hresult open_fast_load(const std::string& table_id,
                                 std::unique_ptr<oledb_fast_load>& out);

    // Servers from 2005 on know the (max) types.
    bool has_max_types() const;
    tds_dblib_dbprocess* handle() const { return dbproc.get(); }
    // Whether the connection is gone (the server closed it or it broke); nothing more can run.
    bool is_dead() const;
    oledb_message_sink& messages() { return sink; }

private:
    oledb_session() = default;
    oledb_hresult run(const std::string& batch, std::vector<oledb_result_set>& results);

    oledb_message_sink sink;   // declared first: the connection refers to it until closed
    oledb_dbproc_ptr dbproc;
};
