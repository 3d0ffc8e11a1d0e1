// oledb_session.cpp - a session's operations as the batches the SQL Server provider sends.

#include "platform/oledb/oledb_session.hpp"

#include "platform/oledb/oledb_fast_load.hpp"
#include "platform/oledb/oledb_table_sql.hpp"

#define MSDBLIB 1
#include <sybdb.h>
#include <sybfront.h>

namespace {

// A db-lib login gets SQL Server's old session defaults, every ANSI option OFF; the SQL
// Server provider turns them ON at connect. Under the old ones a server refuses filtered
// indexes and every row of a table that has one (1934), and with ANSI_WARNINGS OFF it cuts
// over-long text and turns overflows into NULL without a word. ARITHABORT is set too: a
// database below compatibility level 90 does not take it from ANSI_WARNINGS.
constexpr const char* SESSION_OPTIONS =
    "SET ANSI_NULLS ON; SET ANSI_PADDING ON; SET ANSI_WARNINGS ON; SET ARITHABORT ON; "
    "SET CONCAT_NULL_YIELDS_NULL ON; SET QUOTED_IDENTIFIER ON; SET NUMERIC_ROUNDABORT OFF";

}   // namespace

oledb_hresult oledb_session::open(const oledb_login_params& params,
                                  std::unique_ptr<oledb_session>& out) {
    std::unique_ptr<oledb_session> session(new oledb_session());
    oledb_hresult result = OLEDB_S_OK;
    session->dbproc = oledb_dblib_login(params, session->sink, result);
    if (!session->dbproc) return result;
    std::vector<oledb_result_set> ignored;
    result = oledb_run_batch(session->dbproc.get(), session->sink, SESSION_OPTIONS, ignored);
    if (oledb_failed(result)) return result;
    out = std::move(session);
    return OLEDB_S_OK;
}

oledb_session::~oledb_session() = default;

bool oledb_session::has_max_types() const { return dbtds(dbproc.get()) >= DBTDS_7_2; }

oledb_hresult oledb_session::run(const std::string& batch, std::vector<oledb_result_set>& results) {
    if (dbdead(dbproc.get())) {
        return oledb_fail(OLEDB_E_FAIL, "The connection to the server has been lost.");
    }
    return oledb_run_batch(dbproc.get(), sink, batch, results);
}

oledb_hresult oledb_session::execute(const std::string& batch,
                                     std::unique_ptr<oledb_rowset>* result) {
    std::vector<oledb_result_set> results;
    const oledb_hresult status = run(batch, results);
    if (oledb_failed(status)) return status;
    if (result != nullptr) {
        oledb_result_set first = results.empty() ? oledb_result_set{} : std::move(results.front());
        *result = std::make_unique<oledb_rowset>(std::move(first.columns), std::move(first.rows));
    }
    return status;
}

oledb_hresult oledb_session::open_rowset(const std::string& table_id,
                                         std::unique_ptr<oledb_rowset>& out) {
    std::vector<oledb_result_set> results;
    const oledb_hresult status = run(
        "SET FMTONLY ON select * from " + table_id + " SET FMTONLY OFF", results);
    if (oledb_failed(status)) {
        // FMTONLY stays on after a failed SELECT; later statements must not run describe-only.
        std::vector<oledb_result_set> ignored;
        if (!dbdead(dbproc.get())) oledb_run_batch(dbproc.get(), sink, "SET FMTONLY OFF", ignored);
        return status;
    }
    std::vector<oledb_column_info> columns;
    if (!results.empty()) columns = std::move(results.front().columns);
    const std::string select = "SELECT * FROM " + table_id;
    out = std::make_unique<oledb_rowset>(std::move(columns),
                                         [this, select](std::vector<oledb_row>& rows) {
                                             std::vector<oledb_result_set> answer;
                                             const oledb_hresult loaded = run(select, answer);
                                             if (oledb_succeeded(loaded) && !answer.empty())
                                                 rows = std::move(answer.front().rows);
                                             return loaded;
                                         });
    return OLEDB_S_OK;
}

oledb_hresult oledb_session::schema_rowset(oledb_schema_kind kind,
                                           const oledb_schema_restrictions& where,
                                           std::unique_ptr<oledb_rowset>& out) {
    std::vector<oledb_result_set> answer;
    const oledb_hresult status = run(oledb_schema_query(kind, where), answer);
    if (oledb_failed(status)) return status;
    oledb_result_set shaped = oledb_shape_schema(kind, answer, where);
    out = std::make_unique<oledb_rowset>(std::move(shaped.columns), std::move(shaped.rows));
    return OLEDB_S_OK;
}

oledb_hresult oledb_session::create_table(const std::string& table_id,
                                          const std::vector<oledb_column_desc>& columns) {
    for (const oledb_column_desc& column : columns) {
        if (oledb_column_type_sql(column, true).empty()) {
            return oledb_fail(DB_E_BADTYPE, "A column type is not supported.");
        }
    }
    return execute(oledb_create_table_sql(table_id, columns, has_max_types()), nullptr);
}

oledb_hresult oledb_session::drop_table(const std::string& table_id) {
    return execute(oledb_drop_table_sql(table_id), nullptr);
}

oledb_hresult oledb_session::create_index(const std::string& table_id,
                                          const oledb_index_desc& index) {
    return execute(oledb_create_index_sql(table_id, index), nullptr);
}

oledb_hresult oledb_session::open_fast_load(const std::string& table_id,
                                            std::unique_ptr<oledb_fast_load>& out) {
    std::unique_ptr<oledb_rowset> described;
    const oledb_hresult status = open_rowset(table_id, described);
    if (oledb_failed(status)) return status;
    return oledb_fast_load::open(*this, table_id, described->column_info(), out);
}

bool oledb_session::is_dead() const { return dbproc == nullptr || dbdead(dbproc.get()); }
