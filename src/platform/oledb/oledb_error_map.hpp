#pragma once
// oledb_error_map.hpp - which OLE DB result code a SQL Server or db-lib error number becomes.
// The SQL Server provider reports a failing statement with the HRESULT of the interface call
// and the server's native number in the error record; the user messages hang on the HRESULT,
// so every native number we can meet is given the code the provider's call would return.

#include "platform/oledb/oledb_types.hpp"

// The HRESULT for a server message number. Numbers without an entry are ordinary statement
// errors (DB_E_ERRORSINCOMMAND).
oledb_hresult oledb_hresult_from_server(int message_number);
// The HRESULT for a db-lib error number (SYBE..., 20000 and up): conversion faults are the
// value's, everything else (sockets, logins, protocol) the provider's unspecified failure.
oledb_hresult oledb_hresult_from_dblib(int dblib_number);

// True for the db-lib numbers that mean the connection is gone or never came up.
bool oledb_is_connection_failure(int native_number);
