#pragma once
// odb_exce.hpp - odb_exception, the failure of an OLE DB call: its code is 0x80000 OR the low
// word of the HRESULT (0x80040E37 -> 0x80E37, the key of the SQL Server message map), its
// message the provider's description from the thread's error records, its level recoverable.

#include "platform/oledb/oledb_types.hpp"
#include "tk/tk_exce.hpp"

#include <cstdint>
#include <string>
#include <utility>

class odb_exception : public tk_exception {
public:
    // (source, description) read from one error record.
    using error_info_dispatcher = std::pair<std::u16string, std::u16string>;

    // Takes the thread's error object; without one the message stays empty.
    explicit odb_exception(oledb_hresult hresult);

    static std::int32_t code_of(oledb_hresult hresult);
    oledb_hresult hresult() const { return failing_hresult; }
    int native_error() const { return first_native_error; }
    const std::u16string& source() const { return source_name; }

private:
    oledb_hresult failing_hresult;
    int first_native_error = 0;
    std::u16string source_name;
};

// For a failing HRESULT traces "Error code: %08X while <attempt>: <message>" and throws
// odb_exception. A bare code in the log told nobody what had failed, nor that some failures
// are expected answers (a database that does not exist yet).
void odb_check(oledb_hresult hresult, const std::string& attempt);
// True when the exception is the provider's "table does not exist".
bool odb_is_missing_table(const tk_exception& failure);
