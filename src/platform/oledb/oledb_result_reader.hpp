#pragma once
// oledb_result_reader.hpp - reads what a batch sent back: every result set with its column
// information (types as the SQL Server provider reports them) and rows as cells. Used by
// commands, by tables opened by name and by the schema rowsets.

#include "platform/oledb/oledb_dblib.hpp"
#include "platform/oledb/oledb_rowset.hpp"

#include <vector>

struct oledb_result_set {
    std::vector<oledb_column_info> columns;
    std::vector<oledb_row> rows;
};

// Sends `batch` on the connection and reads every result. Fails (thread's error object set)
// when db-lib or the server reported an error; result sets read before the error are kept.
oledb_hresult oledb_run_batch(tds_dblib_dbprocess* dbproc, oledb_message_sink& sink,
                              const std::string& batch, std::vector<oledb_result_set>& out);
