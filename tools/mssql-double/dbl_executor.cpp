// dbl_executor.cpp - batch flow: parse all, run each statement, report errors with their
// line, and decide whether the batch goes on (statement errors) or stops (batch errors).
#include "dbl_executor.hpp"

#include "dbl_parser.hpp"
#include "dbl_text.hpp"

namespace {

const char* const SERVER_NAME = "mssql-double";

}   // namespace

std::string dbl_table_ref::display() const { return table->schema + "." + table->name; }

std::string dbl_table_ref::full_display() const {
    return database->name() + "." + table->schema + "." + table->name;
}

dbl_executor::dbl_executor(dbl_server& new_server, dbl_session& new_session, dbl_reply& new_reply)
    : server(new_server), session(new_session), reply(new_reply) {}

void dbl_executor::run_batch(const std::u16string& text) {
    std::vector<dbl_statement> statements;
    try {
        statements = dbl_parse_batch(text, session.set.b_quoted_identifier);
    } catch (const dbl_sql_error& error) {
        send_error(error, error.line > 0 ? error.line : 1);
        reply.done(dbl_tds::TOKEN_DONE, dbl_tds::DONE_MORE | dbl_tds::DONE_ERROR, 0, 0);
        reply.finish();
        return;
    }
    for (const dbl_statement& statement : statements)
        for (const dbl_sql_error& warning : statement.warnings) send_error(warning, statement.line);
    for (dbl_statement& statement : statements) {
        current_line = statement.line;
        try {
            run_statement(statement);
        } catch (const dbl_sql_error& error) {
            send_error(error, statement.line);
            reply.done(dbl_tds::TOKEN_DONE, dbl_tds::DONE_MORE | dbl_tds::DONE_ERROR, 0, 0);
            if (error.scope == dbl_scope::BATCH) break;
        } catch (const dbl_storage_error& error) {
            send_error(dbl_sql_error(50000, 1, 16, std::string("Storage failure: ") + error.what(),
                                     dbl_scope::BATCH),
                       statement.line);
            reply.done(dbl_tds::TOKEN_DONE, dbl_tds::DONE_MORE | dbl_tds::DONE_ERROR, 0, 0);
            break;
        } catch (const std::exception& error) {
            // A fault of the double itself: the client gets an error, the server lives on.
            send_error(dbl_sql_error(50000, 1, 16,
                                     std::string("Internal error in the test "
                                                 "double: ")
                                         + error.what(),
                                     dbl_scope::BATCH),
                       statement.line);
            reply.done(dbl_tds::TOKEN_DONE, dbl_tds::DONE_MORE | dbl_tds::DONE_ERROR, 0, 0);
            break;
        }
    }
    reply.finish();
}

void dbl_executor::run_statement(dbl_statement& st) {
    switch (st.kind) {
    case dbl_statement_kind::SELECT: dbl_run_select(*this, st); return;
    case dbl_statement_kind::INSERT: dbl_run_insert(*this, st); return;
    case dbl_statement_kind::CREATE_TABLE: dbl_run_create_table(*this, st); return;
    case dbl_statement_kind::DROP_TABLE: dbl_run_drop_table(*this, st); return;
    case dbl_statement_kind::CREATE_INDEX: dbl_run_create_index(*this, st); return;
    case dbl_statement_kind::ALTER_ADD_CONSTRAINT: dbl_run_alter_table(*this, st); return;
    case dbl_statement_kind::ALTER_SWITCH_CONSTRAINT: dbl_run_switch_constraint(*this, st); return;
    case dbl_statement_kind::EXEC: dbl_run_exec(*this, st); return;
    case dbl_statement_kind::INSERT_BULK: dbl_run_insert_bulk(*this, st); return;
    case dbl_statement_kind::SET_OPTION:
    case dbl_statement_kind::SET_IDENTITY_INSERT: dbl_run_set(*this, st); return;
    case dbl_statement_kind::CREATE_DATABASE:
    case dbl_statement_kind::DROP_DATABASE:
    case dbl_statement_kind::USE: dbl_run_database(*this, st); return;
    }
}

void dbl_executor::transact(dbl_database& database, const std::function<void()>& work) {
    database.begin();
    try {
        work();
        database.commit();
    } catch (...) {
        database.rollback();   // also reloads the catalogue: nothing half-done stays
        throw;
    }
}

dbl_database& dbl_executor::current_database() {
    dbl_database* database = server.find_database(session.database);
    if (!database) throw dbl_err::database_missing(session.database);
    return *database;
}

dbl_database& dbl_executor::database_of(const dbl_name& name) {
    if (name.parts.size() >= 3 && !name.parts[name.parts.size() - 3].empty()) {
        const std::string& db_name = name.parts[name.parts.size() - 3];
        dbl_database* database = server.find_database(db_name);
        if (!database) throw dbl_err::database_missing(db_name);
        return *database;
    }
    return current_database();
}

dbl_table_ref dbl_executor::resolve_table(const dbl_name& name, bool b_must_exist) {
    dbl_table_ref ref;
    ref.database = &database_of(name);
    std::string schema = name.parts.size() >= 2 ? name.parts[name.parts.size() - 2] : "dbo";
    if (schema.empty()) schema = "dbo";
    ref.table = ref.database->find_table(schema, name.last());
    if (!ref.table && b_must_exist) throw dbl_err::invalid_object(name.written());
    return ref;
}

void dbl_executor::send_rowset(const dbl_rowset& rowset, std::uint16_t command, bool b_in_proc) {
    reply.colmetadata(rowset.columns);
    if (!session.b_fmtonly)
        for (const dbl_row& row : rowset.rows) reply.row(rowset.columns, row, session.textsize);
    std::uint64_t count = session.b_fmtonly ? 0 : rowset.rows.size();
    session.last_rowcount = std::int64_t(count);
    send_done(command, true, count, b_in_proc);
}

void dbl_executor::send_done(std::uint16_t command, bool b_count, std::uint64_t count,
                             bool b_in_proc) {
    std::uint16_t status = dbl_tds::DONE_MORE;
    if (b_count && !session.b_nocount) status |= dbl_tds::DONE_COUNT;
    reply.done(b_in_proc ? dbl_tds::TOKEN_DONEINPROC : dbl_tds::TOKEN_DONE, status, command, count);
}

void dbl_executor::check_filtered_index_options(const std::string& statement,
                                                bool b_filtered) const {
    if (!b_filtered) return;
    const std::string wrong = dbl_wrong_index_options(session.set);
    if (!wrong.empty()) throw dbl_err::wrong_set_options(statement, wrong);
}

void dbl_executor::send_info(std::int32_t number, const std::string& text) {
    reply.message(false, number, 1, 10, text, SERVER_NAME, "", current_line);
}

void dbl_executor::send_error(const dbl_sql_error& error, int line) {
    reply.message(error.severity > 10, error.number, error.state, error.severity, error.what(),
                  SERVER_NAME, "", line);
    if (error.b_constraint_note)
        reply.message(true, 1750, 0, 16,
                      "Could not create constraint or index. See previous "
                      "errors.",
                      SERVER_NAME, "", line);
    if (error.b_enable_note)
        reply.message(true, 4916, 0, 16,
                      "Could not enable or disable the constraint. See "
                      "previous errors.",
                      SERVER_NAME, "", line);
    if (error.b_terminated_note)
        reply.message(false, 3621, 0, 0, "The statement has been terminated.", SERVER_NAME, "",
                      line);
}
