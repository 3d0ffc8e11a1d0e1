#pragma once
// oledb_dblib.hpp - the one place that touches db-lib's process-wide state: dbinit, the error
// and message handlers, and the login record. db-lib calls its handlers for every connection;
// each connection registers a message sink through dbsetuserdata, and a login in progress
// (no DBPROCESS yet) collects into the thread's pending sink.

#include "platform/oledb/oledb_error_info.hpp"

#include <memory>
#include <string>
#include <vector>

struct tds_dblib_dbprocess;
struct tds_dblib_loginrec;

// What a connection's handlers have collected since the last clear.
struct oledb_message_sink {
    std::vector<oledb_error_record> errors;   // severity above 10, in arrival order
    bool b_connection_lost = false;
    void clear() {
        errors.clear();
        b_connection_lost = false;
    }
    // Moves the errors into the thread's error object; returns the HRESULT of the first one
    // (E_FAIL with `fallback` as text when the handlers said nothing).
    oledb_hresult publish(const std::string& fallback);
};

// Everything a login needs, taken from the connection properties.
struct oledb_login_params {
    std::string server;   // as dbopen takes it: "host", "host:port", "host\\instance", name
    std::string user;     // UTF-8; empty with integrated security
    std::string password;
    std::string database;        // empty: the login's default database
    bool b_integrated = false;   // Kerberos ticket, or NTLM for DOMAIN\user
    bool b_encrypt = false;
    int login_timeout_seconds = 15;
    int query_timeout_seconds = 0;   // 0: wait as long as the server works
};

struct oledb_dbproc_close {
    void operator()(tds_dblib_dbprocess* dbproc) const;
};
using oledb_dbproc_ptr = std::unique_ptr<tds_dblib_dbprocess, oledb_dbproc_close>;

// Logs in; on failure returns nothing and leaves the thread's error object set. The sink
// must outlive the connection (it is the connection's userdata).
oledb_dbproc_ptr oledb_dblib_login(const oledb_login_params& params, oledb_message_sink& sink,
                                   oledb_hresult& result);
