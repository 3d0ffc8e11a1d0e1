#pragma once
// dbl_executor.hpp - runs a parsed batch for one session against the shared databases and
// writes the answer tokens. Each statement runs in its own SQLite transaction: a statement
// that fails leaves nothing behind, and the batch goes on or stops as SQL Server's would.

#include "dbl_ast.hpp"
#include "dbl_error.hpp"
#include "dbl_packets.hpp"
#include "dbl_server.hpp"
#include "dbl_session.hpp"
#include "dbl_tds.hpp"

#include <functional>

class dbl_bulk_stream;

struct dbl_rowset {
    std::vector<dbl_result_column> columns;
    std::vector<dbl_row> rows;
};

// A table found by name, with the database it lives in.
struct dbl_table_ref {
    dbl_database* database = nullptr;
    dbl_table* table = nullptr;
    std::string display() const;        // dbo.t
    std::string full_display() const;   // db.dbo.t
};

class dbl_executor {
public:
    dbl_executor(dbl_server& server, dbl_session& session, dbl_reply& reply);

    void run_batch(const std::u16string& text);
    // The bulk-load message that follows an "insert bulk" statement, read from `stream` as
    // it arrives; the caller drains what an error left unread before it answers.
    void run_bulk(dbl_bulk_stream& stream);

    // Used by the statement files.
    dbl_server& server;
    dbl_session& session;
    dbl_reply& reply;

    dbl_database& current_database();
    dbl_table_ref resolve_table(const dbl_name& name, bool b_must_exist);
    dbl_database& database_of(const dbl_name& name);
    void send_rowset(const dbl_rowset& rowset, std::uint16_t command, bool b_in_proc);
    void send_done(std::uint16_t command, bool b_count, std::uint64_t count,
                   bool b_in_proc = false);
    void send_info(std::int32_t number, const std::string& text);
    void send_error(const dbl_sql_error& error, int line);
    // Runs `work` in one transaction of `database`: all of it is kept or none.
    void transact(dbl_database& database, const std::function<void()>& work);
    // 1934 for `statement` ("INSERT", "CREATE INDEX") when it touches a filtered index and
    // the session's SET options are not those filtered indexes need (dbl_set_options.hpp).
    void check_filtered_index_options(const std::string& statement, bool b_filtered) const;
    int line() const { return current_line; }

private:
    void run_statement(dbl_statement& statement);
    int current_line = 1;
};

// Statement runners, one file each.
void dbl_run_select(dbl_executor& ex, const dbl_statement& st);
void dbl_run_insert(dbl_executor& ex, const dbl_statement& st);
void dbl_run_create_table(dbl_executor& ex, const dbl_statement& st);
void dbl_run_drop_table(dbl_executor& ex, const dbl_statement& st);
void dbl_run_create_index(dbl_executor& ex, const dbl_statement& st);
void dbl_run_alter_table(dbl_executor& ex, const dbl_statement& st);
// ALTER TABLE t [WITH CHECK | NOCHECK] {CHECK | NOCHECK} CONSTRAINT {ALL | name, ...}
void dbl_run_switch_constraint(dbl_executor& ex, const dbl_statement& st);
void dbl_run_exec(dbl_executor& ex, const dbl_statement& st);
void dbl_run_insert_bulk(dbl_executor& ex, const dbl_statement& st);
void dbl_run_set(dbl_executor& ex, const dbl_statement& st);
void dbl_run_database(dbl_executor& ex, const dbl_statement& st);
