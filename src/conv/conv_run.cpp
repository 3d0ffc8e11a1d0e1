// conv_run.cpp - the conversion run: open both databases, walk the table map in name order,
// apply the mode to an existing destination table, create it and copy the rows one record at
// a time. Failures are caught at three levels (record, table, run) and handed to the error
// handler with the table or the table and record as context, so one bad record or one bad
// table does not end the run. A new table's plain indexes follow its rows (the destination
// builds them as it ends the load) and foreign keys follow the last table (mode 0 or a new
// database); an index or key that cannot be made is reported and named in the summary.
// On a terminal a live progress line sits under the table's line while its rows load.
// A stop request is honoured between records and between tables.
#include "conv/vantrel_conv.hpp"

#include <iostream>
#include <optional>

#include "conv/conv_account.hpp"
#include "conv/conv_errh.hpp"
#include "conv/conv_init.hpp"
#include "conv/conv_progress.hpp"
#include "conv/conv_rejects.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"
#include "udb/udb_db.hpp"
#include "udb/udb_decimal_shape.hpp"
#include "udb/udb_name.hpp"
#include "udb/udb_row_error.hpp"
#include "udb/udb_rule.hpp"
#include "udb/udb_vali.hpp"

namespace {

constexpr std::uint32_t SOURCE_OPEN_TABLE = 1;

constexpr const char16_t* NOT_CONFORMING_TEXT =
    u"The structure of data source does not conform to the destination table.";

// A failure the destination reports for one of its objects (a foreign key) and goes on: it
// is printed like any other, with the object in place of the table.
void report_object_failure(const std::u16string& context, const tk_exception& failure) {
    error_handler::instance().set_context(context);
    error_handler::instance().handle(failure, 0);
    error_handler::instance().clear_context();
}

// The progress line of one table, drawn only when asked for; while it lives, a message
// erases it before it is printed.
class table_progress {
public:
    table_progress(bool b_drawn, std::int64_t total_rows) {
        if (!b_drawn) return;
        line.emplace(std::cout, total_rows);
        error_handler::instance().set_before_print([this] { line->erase(); });
    }
    table_progress(const table_progress&) = delete;
    table_progress& operator=(const table_progress&) = delete;
    ~table_progress() {
        if (line) error_handler::instance().set_before_print({});
    }
    void update(std::int64_t rows_done) {
        if (line) line->update(rows_done);
    }

private:
    std::optional<conv_progress_line> line;
};

}   // namespace

// What one run holds; members are destroyed in reverse order: validator, destination,
// source, engine, rule registry.
struct vantrel_convertor::run_state {
    explicit run_state(std::string rejects_path) : rejects(std::move(rejects_path)) {}

    conv_rejects_file rejects;
    std::vector<conv_table_account> accounts;
    std::unique_ptr<udb_custom_conversion> rules;
    std::unique_ptr<conv_access_engine> engine;
    std::unique_ptr<udb_database> source_db;
    std::unique_ptr<udb_database> dest_db;
    std::unique_ptr<udb_validator> validator;
    std::vector<std::u16string> created_tables;   // source names whose table was created
    std::vector<std::u16string> not_created;      // indexes and keys reported as failed
};

void vantrel_convertor::run() {
    tk_trace::write(2, "vantrel_convertor::operator()");
    init_conversion conversion(done, false);
    b_abandoned = false;
    b_complete = false;
    b_stopped = false;
    b_table_missing = false;
    rejects_path.clear();
    const std::int32_t reported_before = error_handler::instance().reported_count();
    try {
        run_conversion();
        b_complete = !b_stopped && !b_table_missing
                     && error_handler::instance().reported_count() == reported_before;
    } catch (const tk_final_exception&) {
        tk_trace::write(2, "The run was stopped");
    } catch (const tk_exception& failure) {
        b_abandoned = true;
        error_handler::instance().handle(failure, 1);
    } catch (const std::exception& failure) {
        b_abandoned = true;
        tk_trace::write(3, "ERROR:\n%s", failure.what());
        if (!silent) std::cerr << failure.what() << std::endl;
    }
}

void vantrel_convertor::run_conversion() {
    run_state state(conv_rejects_file::path_for(log_path, destination));
    state.rules = std::make_unique<udb_custom_conversion>();
    engine->add_conversion_rules(*state.rules);
    state.engine = start_access_engine("UGL info NOT found - set anonymous");
    state.source_db = state.engine->open_db(source, ACCESS_OPEN_RUN, database_password);
    bool b_created = false;
    state.dest_db = open_destination(b_created);
    engine->set_failure_report(
        *state.dest_db, [&state](const std::u16string& context, const tk_exception& failure) {
            state.not_created.push_back(context);
            report_object_failure(context, failure);
        });
    select_tables(state);

    std::int32_t entry_idx = 0;
    for (const auto& [name, sql] : tables) {
        if (is_stop_requested()) {
            b_stopped = true;
            break;
        }
        table_index.store(entry_idx++);
        try {
            convert_entry(state, name, sql);
        } catch (const tk_exception& failure) {
            error_handler::instance().set_context(get_current_table());
            error_handler::instance().handle(failure, 0);
        }
    }
    error_handler::instance().clear_context();
    if (!b_stopped) convert_foreign_keys(state, b_created);
    write_summary(state.accounts, state.not_created, state.rejects);
    table_index.store(0);
    table_count.store(0);
}

std::unique_ptr<udb_database> vantrel_convertor::open_destination(bool& b_created) {
    if (engine->is_db_exist(destination)) {
        std::uint32_t open_mode = mode == MODE_OVERWRITE_DATABASE ? MSSQL_OPEN_OVERWRITE
                                                                  : MSSQL_OPEN_APPEND;
        return engine->open_db(destination, open_mode);
    }
    b_created = true;
    return engine->create_db(destination);
}

void vantrel_convertor::select_tables(run_state& state) {
    if (selected_tables.empty() && b_empty_selection_means_all) {
        selected_tables = state.source_db->tables;
    }
    add_child_tables(*state.source_db);
    table_count.store(static_cast<std::int32_t>(selected_tables.size()));
    tk_trace::write(3, u"Converting database %s (%d tables)", source, table_count.load());
    print_line(u"Converting database ", source, table_count.load(), " tables)");

    state.validator = engine->make_table_validator(selected_tables, state.dest_db->tables);
    for (const auto& entry : tables) state.validator->add_used(entry.first);
    for (const std::u16string& name : selected_tables) tables.emplace(name, u"");
}

// A table chosen brings the tables holding its complex columns' items.
void vantrel_convertor::add_child_tables(const udb_database& source_db) {
    for (std::size_t table_idx = 0; table_idx < selected_tables.size(); ++table_idx) {
        for (const std::u16string& child : source_db.child_tables(selected_tables[table_idx])) {
            bool b_listed = false;
            for (const std::u16string& name : selected_tables)
                b_listed = b_listed || udb_same_name(name, child);
            if (!b_listed) selected_tables.push_back(child);
        }
    }
}

void vantrel_convertor::convert_entry(run_state& state, const std::u16string& name,
                                      const std::u16string& sql) {
    set_current_table(name);
    record_count.store(0);
    record_index.store(0);
    if (sql.empty() && !state.source_db->is_table_exist(name)) {
        if (!silent) std::cerr << "Table " << tk_utf16_to_utf8(name) << " not exists" << std::endl;
        b_table_missing = true;
        return;
    }
    std::unique_ptr<udb_recordset> source_table =
        sql.empty() ? state.source_db->get_table(name, SOURCE_OPEN_TABLE)
                    : state.source_db->get_query(name, sql, SOURCE_OPEN_TABLE);
    if (!source_table) {
        tk_trace::write(3, u"Skip system/linked table '%s'", name);
        return;
    }
    udb_validator& validator = *state.validator;
    std::u16string dest_name = validator.is_acceptable(name) ? name : validator.get_safe_name(name);
    if (state.dest_db->is_table_exist(dest_name)) {
        if (mode == MODE_SKIP_TABLES) {
            check_skipped_table(state, *source_table, dest_name);
            return;
        }
        if (mode == MODE_OVERWRITE_TABLES) state.dest_db->delete_tab(dest_name);
    }
    static const udb_indexes no_indexes;
    // Calculated decimals declare no precision: their columns are sized from the rows first.
    const udb_schema dest_schema = udb_measured_schema(*source_table);
    std::unique_ptr<udb_recordset> dest_table = state.dest_db->create_table(
        dest_name, dest_schema, b_skip_indexes ? no_indexes : source_table->indexes);
    if (mode == MODE_MERGE && !dest_schema.conform_to(dest_table->schema)) {
        throw tk_exception(tk_utf16_to_utf8(NOT_CONFORMING_TEXT), ERROR_LEVEL_RECOVERABLE);
    }
    state.created_tables.push_back(name);
    if (!validator.is_acceptable(name)) {
        tk_trace::write(2, u"Store generated table name '%s'", dest_name);
        validator.add_used(dest_name);
        state.dest_db->names_map.add_table_pair(name, dest_name);
        if (dest_name != name) report_rename(name, dest_name);
    }
    validator.add_restricted(dest_name);

    record_count.store(source_table->records_count);
    tk_trace::write(3, u"Converting table %s (%d records)", name, record_count.load());
    print_line(u"Converting table ", name, record_count.load(), " records)");
    // An empty table is in the summary too: its count on the server is checked as any other.
    if (b_definitions_only) return;
    conv_table_account& account = state.accounts.emplace_back();
    account.name = name;
    account.dest_name = dest_name;
    account.rows_before = dest_table->records_count;
    load_rows(state, *source_table, *dest_table, account);
}

void vantrel_convertor::load_rows(run_state& state, udb_recordset& source_table,
                                  udb_recordset& dest_table, conv_table_account& account) {
    conv_table_report report(account, record_index, state.rejects);
    dest_table.load_report = &report;
    bool b_finishing = false;
    try {
        copy_records(source_table, dest_table, account);
        b_finishing = true;
        // Inside the table's catch: a refused final commit loses rows and names this table.
        engine->finish_table(dest_table);
    } catch (const tk_exception&) {
        // The table is given up; what did arrive is still counted for the summary, after
        // the rows already sent are committed. That commit failing adds nothing to the loss
        // being reported, and the summary's count shows what it cost.
        if (!b_finishing) {
            try {
                engine->finish_table(dest_table);
            } catch (const tk_exception& failure) {
                tk_trace::write(3, "Ending the load of an abandoned table failed: %s",
                                failure.what());
            }
        }
        count_rows(dest_table, account);
        dest_table.load_report = nullptr;
        throw;
    }
    count_rows(dest_table, account);
    dest_table.load_report = nullptr;
    if (!b_stopped) return;
    const std::string arrived = account.is_counted()
                                    ? std::to_string(account.rows_after - account.rows_before)
                                    : std::string("an unknown number");
    const std::string text = "Stopped while converting table " + tk_utf16_to_utf8(account.name)
                             + ": " + arrived + " of its rows arrived.";
    tk_trace::write(3, "%s", text.c_str());
    print_text(text);
}

void vantrel_convertor::count_rows(udb_recordset& dest_table, conv_table_account& account) {
    account.substitutions = dest_table.substitutions;
    try {
        account.rows_after = dest_table.count_rows();
    } catch (const tk_exception& failure) {
        // Counted again on a new connection at the end of the run (recount_lost_connections).
        tk_trace::write(3, "Counting the rows of the destination table failed: %s", failure.what());
        account.rows_after = -1;
    }
}

// The progress line lives while the rows are read, so it is gone before the load's end and
// any message after it.
void vantrel_convertor::copy_records(udb_recordset& source_table, udb_recordset& dest_table,
                                     conv_table_account& account) {
    table_progress progress(!silent && conv_progress_line::is_terminal_output(),
                            record_count.load());
    source_table.reset();
    while (!source_table.is_eof()) {
        if (is_stop_requested()) {
            b_stopped = true;
            return;
        }
        tk_trace::write(1, "Converting %d record", record_index.load());
        udb_record* record = nullptr;
        try {
            record = source_table.get_item();
            if (record != nullptr) {
                ++account.rows_read;
                dest_table.append_record(*record);
            }
        } catch (const tk_exception& failure) {
            const bool b_unreadable_row = dynamic_cast<const udb_row_error*>(&failure) != nullptr;
            if (!b_unreadable_row && !engine->is_record_failure(failure)) throw;
            if (record == nullptr) {
                if (b_unreadable_row) ++account.rows_unreadable;
                error_handler::instance().set_context(account.name, record_index.load() + 1);
                error_handler::instance().handle(failure, 0);
            } else {
                dest_table.load_report->record_rejected(record_index.load() + 1, *record, failure);
            }
        }
        source_table.next();
        const std::int32_t records_done = record_index.fetch_add(1) + 1;
        progress.update(records_done);
    }
}

void vantrel_convertor::convert_foreign_keys(run_state& state, bool b_created) {
    if (mode != MODE_OVERWRITE_DATABASE && !b_created) return;
    auto was_created = [&state](const std::u16string& table_name) {
        for (const std::u16string& created : state.created_tables) {
            if (udb_same_name(created, table_name)) return true;
        }
        return false;
    };
    udb_relationships converted;
    for (const udb_relationship& relationship : state.source_db->relationships) {
        if (was_created(relationship.src_table) && was_created(relationship.dest_table)) {
            converted.add(relationship);
        }
    }
    if (converted.empty()) return;
    try {
        state.dest_db->create_relationships(converted);
    } catch (const tk_exception& failure) {
        error_handler::instance().handle(failure, 0);
    }
}

// A user looking for the table in SQL Server must learn the name it got.
// Skipping a table because it exists is right only when it holds what the source holds: a
// table an interrupted run left half loaded is reported, never passed over as done.
void vantrel_convertor::check_skipped_table(run_state& state, const udb_recordset& source_table,
                                            const std::u16string& dest_name) {
    const std::int64_t source_rows = source_table.records_count;
    const std::int64_t dest_rows =
        state.dest_db->get_table(dest_name, MSSQL_OPEN_READ_ONLY)->count_rows();
    if (dest_rows == source_rows) {
        const std::string skipped = "Table '" + tk_utf16_to_utf8(dest_name)
                                    + "' exists already with its " + std::to_string(source_rows)
                                    + " rows: skipped";
        tk_trace::write(3, "%s", skipped.c_str());
        print_text(skipped);
        return;
    }
    error_handler& handler = error_handler::instance();
    handler.set_context(dest_name);
    handler.handle(tk_exception("The table exists already with " + std::to_string(dest_rows)
                                    + " rows where the source has " + std::to_string(source_rows)
                                    + ": it is skipped, not completed. Replace it (mode 1) "
                                      "to convert it again.",
                                ERROR_LEVEL_RECOVERABLE),
                   0);
    handler.clear_context();
}

void vantrel_convertor::report_rename(const std::u16string& name,
                                      const std::u16string& dest_name) const {
    const std::string renamed = "Table '" + tk_utf16_to_utf8(name) + "' is renamed to '"
                                + tk_utf16_to_utf8(dest_name) + "'";
    tk_trace::write(3, "%s", renamed.c_str());
    print_text(renamed);
}

void vantrel_convertor::print_line(const std::u16string& prefix, const std::u16string& name,
                                   std::int32_t count, const char* unit) const {
    if (silent) return;
    std::cout << tk_utf16_to_utf8(prefix) << tk_utf16_to_utf8(name) << "(" << count << unit
              << std::endl;
}
