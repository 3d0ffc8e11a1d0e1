// oledb_dblib.cpp - db-lib setup, its two handlers and the login. The handlers never decide
// anything: they record what the server or db-lib said into the connection's sink, and the
// call that failed turns the records into the provider's HRESULT (oledb_error_map).

#include "platform/oledb/oledb_dblib.hpp"

#include "platform/oledb/oledb_conf_file.hpp"
#include "platform/oledb/oledb_error_map.hpp"

#include <mutex>
#include <utility>

#define MSDBLIB 1
#include <sybdb.h>
#include <sybfront.h>

namespace {

constexpr int SEVERITY_INFORMATIONAL = 10;   // server messages up to this class are not errors
constexpr const char* PROVIDER_SOURCE = "Microsoft OLE DB Provider for SQL Server";
constexpr const char* APPLICATION_NAME = "Vantrel";
constexpr const char* TIMEOUT_TEXT =
    "The connection to the server is lost: it sent no answer within the read timeout.";

thread_local oledb_message_sink* pending_login_sink = nullptr;

oledb_message_sink* sink_of(DBPROCESS* dbproc) {
    if (dbproc != nullptr) {
        auto* sink = reinterpret_cast<oledb_message_sink*>(dbgetuserdata(dbproc));
        if (sink != nullptr) return sink;
    }
    return pending_login_sink;
}

std::string server_sqlstate(int message_number) {
    return message_number == 18456 ? "28000" : "42000";
}

constexpr const char* DBLIB_SQLSTATE = "08001";

int handle_server_message(DBPROCESS* dbproc, DBINT number, int state, int severity, char* text,
                          char*, char*, int) {
    if (severity <= SEVERITY_INFORMATIONAL) return 0;   // "Changed database context" and kin
    oledb_message_sink* sink = sink_of(dbproc);
    if (sink == nullptr) return 0;
    oledb_error_record record;
    record.hresult = oledb_hresult_from_server(number);
    record.native_error = number;
    record.state = state;
    record.severity = severity;
    record.sqlstate = server_sqlstate(number);
    record.source = PROVIDER_SOURCE;
    record.description = text != nullptr ? text : "";
    sink->errors.push_back(std::move(record));
    return 0;
}

int handle_dblib_error(DBPROCESS* dbproc, int severity, int number, int, char* text, char*) {
    oledb_message_sink* sink = sink_of(dbproc);
    if (sink == nullptr) return INT_CANCEL;
    if (oledb_is_connection_failure(number)) sink->b_connection_lost = true;
    // "General SQL Server error: Check messages from the SQL Server" repeats the server's own
    // message, which the message handler has already recorded.
    if (number == SYBESMSG) return INT_CANCEL;
    oledb_error_record record;
    record.hresult = oledb_hresult_from_dblib(number);
    record.native_error = number;
    record.severity = severity;
    record.sqlstate = DBLIB_SQLSTATE;
    record.source = PROVIDER_SOURCE;
    record.description = text != nullptr ? text : "";
    // Cancelling closes the connection: a server that stopped answering is not waited for
    // again, and the layers above see the connection as lost.
    if (number == SYBETIME) record.description = TIMEOUT_TEXT;
    sink->errors.push_back(std::move(record));
    return INT_CANCEL;
}

void initialise_dblib_once() {
    static std::once_flag once;
    std::call_once(once, [] {
        dbinit();
        dberrhandle(handle_dblib_error);
        dbmsghandle(handle_server_message);
    });
}

struct login_close {
    void operator()(LOGINREC* login) const { dbloginfree(login); }
};
using login_ptr = std::unique_ptr<LOGINREC, login_close>;

// Fills the login record; the password goes only into db-lib's record. Every call is
// checked: db-lib refuses a value it cannot hold (a database name over 128 bytes), and a
// login without the database named would land in the login's default database and write
// there. The text names the setting, never its value.
const char* describe_login(LOGINREC* login, const oledb_login_params& params) {
    if (DBSETLAPP(login, APPLICATION_NAME) == FAIL) return "application name";
    if (DBSETLCHARSET(login, "UTF-8") == FAIL) return "client character set";
    if (dbsetlversion(login, DBVERSION_74) == FAIL) return "protocol version";
    if (BCP_SETL(login, TRUE) == FAIL) return "bulk load";   // must precede the login
    if (params.b_integrated && params.user.empty()) {
        // Kerberos with the user's ticket
        if (DBSETLNETWORKAUTH(login, TRUE) == FAIL) return "network authentication";
    } else {
        // DOMAIN\user makes FreeTDS use NTLM
        if (DBSETLUSER(login, params.user.c_str()) == FAIL) return "user name";
        if (DBSETLPWD(login, params.password.c_str()) == FAIL) return "password";
    }
    if (!params.database.empty() && DBSETLDBNAME(login, params.database.c_str()) == FAIL) {
        return "database name";
    }
    return nullptr;
}

}   // namespace

void oledb_dbproc_close::operator()(tds_dblib_dbprocess* dbproc) const {
    dbsetuserdata(dbproc, nullptr);
    dbclose(dbproc);
}

oledb_hresult oledb_message_sink::publish(const std::string& fallback) {
    oledb_error_info info;
    info.records = std::move(errors);
    errors.clear();
    if (info.records.empty()) return oledb_fail(OLEDB_E_FAIL, fallback);
    const oledb_hresult result = info.records.front().hresult;
    oledb_set_error_info(std::move(info));
    return result;
}

oledb_dbproc_ptr oledb_dblib_login(const oledb_login_params& params, oledb_message_sink& sink,
                                   oledb_hresult& result) {
    initialise_dblib_once();
    login_ptr login(dblogin());
    if (!login) {
        result = oledb_fail(OLEDB_E_FAIL, "Cannot allocate a login record.");
        return nullptr;
    }
    if (const char* refused = describe_login(login.get(), params)) {
        result = oledb_fail(OLEDB_E_FAIL, std::string("The login record does not take the ")
                                              + refused + " given.");
        return nullptr;
    }
    if (dbsetlogintime(params.login_timeout_seconds) == FAIL
        || dbsettime(params.query_timeout_seconds) == FAIL) {
        result = oledb_fail(OLEDB_E_FAIL, "db-lib does not take the timeouts given.");
        return nullptr;
    }
    oledb_conf_file conf;
    if (params.b_encrypt && !conf.activate_encryption(params.server)) {
        result = oledb_fail(OLEDB_E_FAIL, "Cannot write the private FreeTDS configuration.");
        return nullptr;
    }
    sink.clear();
    pending_login_sink = &sink;
    DBPROCESS* dbproc = dbopen(login.get(), conf.server_name(params.server).c_str());
    pending_login_sink = nullptr;
    if (dbproc == nullptr) {
        result = sink.publish("Cannot connect to the server.");
        return nullptr;
    }
    dbsetuserdata(dbproc, reinterpret_cast<BYTE*>(&sink));
    result = OLEDB_S_OK;
    return oledb_dbproc_ptr(dbproc);
}
