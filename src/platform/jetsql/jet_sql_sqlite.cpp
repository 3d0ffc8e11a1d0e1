#include "platform/jetsql/jet_sql_sqlite.hpp"

#include "platform/jetsql/jet_sql_errors.hpp"

jet_sql_connection jet_sql_open_memory() {
    sqlite3* raw = nullptr;
    int result = sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                 nullptr);
    jet_sql_connection connection(raw);
    if (result != SQLITE_OK) jet_sql_throw(connection.get());
    return connection;
}

void jet_sql_throw(sqlite3* connection) {
    std::string message = connection ? sqlite3_errmsg(connection) : "out of memory";
    throw jet_error(JET_ERR_RESERVED, "The query engine failed: " + message + ".");
}

void jet_sql_exec(sqlite3* connection, const std::string& sql) {
    if (sqlite3_exec(connection, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        jet_sql_throw(connection);
}

jet_sql_statement jet_sql_prepare(sqlite3* connection, const std::string& sql) {
    sqlite3_stmt* raw = nullptr;
    int result = sqlite3_prepare_v2(connection, sql.c_str(), int(sql.size()), &raw, nullptr);
    jet_sql_statement statement(raw);
    if (result != SQLITE_OK) jet_sql_throw(connection);
    return statement;
}

void jet_sql_step_done(sqlite3* connection, sqlite3_stmt* statement) {
    int result = sqlite3_step(statement);
    sqlite3_reset(statement);
    if (result != SQLITE_DONE) jet_sql_throw(connection);
}

void jet_sql_bind_text(sqlite3_stmt* statement, int slot, std::u16string_view text) {
    sqlite3_bind_text16(statement, slot, text.data(), int(text.size() * 2), SQLITE_TRANSIENT);
}

void jet_sql_bind_utf8(sqlite3_stmt* statement, int slot, std::string_view text) {
    sqlite3_bind_text(statement, slot, text.data(), int(text.size()), SQLITE_TRANSIENT);
}
