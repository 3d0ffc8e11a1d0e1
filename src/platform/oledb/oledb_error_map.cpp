// oledb_error_map.cpp - the one table from server and db-lib error numbers to the provider's
// HRESULTs. No public document gives this mapping; each entry follows the meaning of the
// server message (sys.messages text) and the OLE DB code whose description says the same.

#include "platform/oledb/oledb_error_map.hpp"

#include <array>
#include <utility>

namespace {

// Sorted by number for a readable table; looked up linearly (a few dozen entries).
constexpr std::array<std::pair<int, oledb_hresult>, 27> SERVER_TO_HRESULT{{
    {192, DB_E_BADSCALE},              // The scale must be less than or equal to the precision
    {207, DB_E_NOCOLUMN},              // Invalid column name
    {208, DB_E_NOTABLE},               // Invalid object name
    {220, DB_E_DATAOVERFLOW},          // Arithmetic overflow error for data type
    {229, DB_E_NOTABLE_PRIV},          // The permission was denied on the object
    {230, DB_E_NOTABLE_PRIV},          // The permission was denied on the column
    {241, DB_E_CANTCONVERTVALUE},      // Conversion failed converting date/time from string
    {245, DB_E_CANTCONVERTVALUE},      // Conversion failed converting a value to a data type
    {262, DB_E_NOTABLE_PRIV},          // CREATE DATABASE permission denied
    {515, DB_E_INTEGRITYVIOLATION},    // Cannot insert the value NULL into column
    {547, DB_E_INTEGRITYVIOLATION},    // Statement conflicted with a constraint
    {1801, DB_E_ALREADYINITIALIZED},   // Database already exists
    {1913, DB_E_DUPLICATEINDEXID},     // An index with that name already exists
    {2601, DB_E_INTEGRITYVIOLATION},   // Duplicate key row in a unique index
    {2627, DB_E_INTEGRITYVIOLATION},   // Violation of PRIMARY KEY or UNIQUE constraint
    {2628, DB_E_DATAOVERFLOW},         // String or binary data would be truncated in column
    {2705, DB_E_DUPLICATECOLUMNID},    // Column names in each table must be unique
    {2714, DB_E_DUPLICATETABLEID},     // There is already an object named ... in the database
    {2715, DB_E_BADTYPENAME},          // Cannot find data type
    {2750, DB_E_BADPRECISION},         // Column or parameter has an invalid precision
    {3701, DB_E_NOTABLE},              // Cannot drop the table: it does not exist
    {4060, OLEDB_E_FAIL},              // Cannot open database requested by the login
    {8115, DB_E_DATAOVERFLOW},         // Arithmetic overflow error converting to data type
    {8152, DB_E_DATAOVERFLOW},         // String or binary data would be truncated
    {18452, DB_SEC_E_AUTH_FAILED},     // Login is from an untrusted domain
    {18456, DB_SEC_E_AUTH_FAILED},     // Login failed for user
    {18488, DB_SEC_E_AUTH_FAILED},     // Password must be changed
}};

}   // namespace

bool oledb_is_connection_failure(int native_number) {
    switch (native_number) {
    case 20002:   // SYBEFCON connection failed
    case 20003:   // SYBETIME timed out
    case 20004:   // SYBEREAD read failed
    case 20006:   // SYBEWRIT write failed
    case 20008:   // SYBESOCK cannot open socket
    case 20009:   // SYBECONN server unavailable or does not exist
    case 20012:   // SYBEINTF server name not in freetds.conf
    case 20013:   // SYBEUHST unknown host
    case 20017:   // SYBESEOF unexpected EOF from server
    case 20047:   // SYBEDDNE DBPROCESS is dead
        return true;
    default: return false;
    }
}

oledb_hresult oledb_hresult_from_server(int message_number) {
    for (const auto& [number, hresult] : SERVER_TO_HRESULT) {
        if (number == message_number) return hresult;
    }
    return DB_E_ERRORSINCOMMAND;
}

oledb_hresult oledb_hresult_from_dblib(int dblib_number) {
    if (dblib_number == 20048 || dblib_number == 20049) return DB_E_DATAOVERFLOW;   // SYBECUFL/COFL
    if (dblib_number == 20050 || dblib_number == 20051) return DB_E_CANTCONVERTVALUE;
    return OLEDB_E_FAIL;
}
