#pragma once
// jet_sql_sqlite.hpp - owners of SQLite handles and the few calls made on them, each failure
// turned into a jet_error (3000, with SQLite's message) so nothing below reaches callers raw.

#include <memory>
#include <string>
#include <string_view>

#include <sqlite3.h>

struct jet_sql_connection_close {
    void operator()(sqlite3* connection) const { sqlite3_close_v2(connection); }
};
using jet_sql_connection = std::unique_ptr<sqlite3, jet_sql_connection_close>;

struct jet_sql_statement_finalize {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using jet_sql_statement = std::unique_ptr<sqlite3_stmt, jet_sql_statement_finalize>;

jet_sql_connection jet_sql_open_memory();
void jet_sql_exec(sqlite3* connection, const std::string& sql);
jet_sql_statement jet_sql_prepare(sqlite3* connection, const std::string& sql);
// Steps a statement that yields no rows, then resets it for the next bindings.
void jet_sql_step_done(sqlite3* connection, sqlite3_stmt* statement);
[[noreturn]] void jet_sql_throw(sqlite3* connection);

void jet_sql_bind_text(sqlite3_stmt* statement, int slot, std::u16string_view text);
void jet_sql_bind_utf8(sqlite3_stmt* statement, int slot, std::string_view text);
