// dbl_exec_session.cpp - CREATE/DROP DATABASE, USE and the SET statements.
#include "dbl_executor.hpp"

#include "dbl_text.hpp"

namespace {

void create_database(dbl_executor& ex, const std::string& name) {
    if (ex.server.find_database(name)) throw dbl_err::database_exists(name);
    ex.server.create_database(name);
    ex.send_done(0, false, 0);
}

void drop_database(dbl_executor& ex, const std::string& name) {
    dbl_database* database = ex.server.find_database(name);
    if (!database) throw dbl_err::drop_database_missing(name);
    if (database->id() <= 4)
        throw dbl_sql_error(3708, 1, 16,
                            "Cannot drop the database '" + database->name()
                                + "' because it is a system database.");
    if (dbl_same_name(ex.session.database, name)
        || ex.server.database_in_use(name, ex.session.spid))
        throw dbl_err::database_in_use(database->name());
    ex.server.drop_database(name);
    ex.send_done(0, false, 0);
}

void use_database(dbl_executor& ex, const std::string& name) {
    dbl_database* database = ex.server.find_database(name);
    if (!database) throw dbl_err::database_missing(name);
    std::string old_name = ex.session.database;
    ex.session.database = database->name();
    ex.server.set_session_database(ex.session.spid, database->name());
    ex.reply.envchange(1, database->name(), old_name);
    ex.send_info(5701, "Changed database context to '" + database->name() + "'.");
    ex.send_done(0, false, 0);
}

void set_identity_insert(dbl_executor& ex, const dbl_statement& st) {
    dbl_table_ref ref = ex.resolve_table(st.target, true);
    if (ref.table->identity_index() < 0) throw dbl_err::no_identity(st.target.written());
    auto& current = ex.session.identity_insert;
    bool same = current && current->object_id == ref.table->object_id
                && dbl_same_name(current->database, ref.database->name());
    if (st.b_on) {
        if (current && !same)
            throw dbl_err::identity_insert_other(current->display, st.target.written());
        current = dbl_identity_insert{ref.database->name(), ref.table->object_id,
                                      ref.full_display()};
    } else if (same) {
        current.reset();
    }
    ex.send_done(0, false, 0);
}

}   // namespace

void dbl_run_database(dbl_executor& ex, const dbl_statement& st) {
    const std::string& name = st.target.last();
    if (st.kind == dbl_statement_kind::CREATE_DATABASE) create_database(ex, name);
    else if (st.kind == dbl_statement_kind::DROP_DATABASE) drop_database(ex, name);
    else use_database(ex, name);
}

void dbl_run_set(dbl_executor& ex, const dbl_statement& st) {
    if (st.kind == dbl_statement_kind::SET_IDENTITY_INSERT) return set_identity_insert(ex, st);
    for (const std::string& option : st.options) {
        if (dbl_apply_set_option(ex.session.set, option, st.b_on)) continue;
        if (option == "nocount") ex.session.b_nocount = st.b_on;
        else if (option == "fmtonly") ex.session.b_fmtonly = st.b_on;
        else if (option == "TEXTSIZE") {
            long long size = std::atoll(st.set_value.c_str());
            ex.session.textsize = size <= 0 ? 0 : size;
        }
    }
    ex.send_done(0, false, 0);
}
