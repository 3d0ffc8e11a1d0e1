#pragma once
// oledb_error_info.hpp - the thread's error object: the records a failing provider call
// leaves behind (GetErrorInfo / IErrorRecords / ISQLErrorInfo). A call that returns a failing
// HRESULT first replaces the thread's records; the layer above reads them once.

#include "platform/oledb/oledb_types.hpp"

#include <optional>
#include <string>
#include <vector>

struct oledb_error_record {
    oledb_hresult hresult = OLEDB_E_FAIL;
    int native_error = 0;   // server message number or db-lib error number
    int state = 0;
    int severity = 0;          // server class; db-lib severity for its own errors
    std::string sqlstate;      // five characters, "42000" style
    std::string source;        // UTF-8
    std::string description;   // UTF-8, the provider's message text
};

struct oledb_error_info {
    std::vector<oledb_error_record> records;
};

// Replaces the thread's error object.
void oledb_set_error_info(oledb_error_info info);
// Takes the thread's error object away (GetErrorInfo hands it over once); empty when none.
std::optional<oledb_error_info> oledb_take_error_info();
// Sets a single record with the given code and text; returns the code for `return` chains.
oledb_hresult oledb_fail(oledb_hresult hresult, const std::string& description);
