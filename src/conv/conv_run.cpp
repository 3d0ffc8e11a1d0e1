// conv_run.cpp - the conversion run: open both databases, walk the table map in name order,
// apply the mode to an existing destination table, create it and copy the rows one record at
// a time. Failures are caught at three levels (record, table, run) and handed to the error
// handler with the table or the table and record as context, so one bad record or one bad
// table does not end the run. Foreign keys follow the last table (mode 0 or a new database).
#include "conv/vantrel_conv.hpp"

#include <iostream>

#include "conv/conv_errh.hpp"
#include "conv/conv_init.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"
#include "udb/udb_db.hpp"
#include "udb/udb_name.hpp"
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

}  // namespace

// What one run holds; members are destroyed in reverse order: validator, destination,
// source, engine, rule registry.
struct vantrel_convertor::run_state {
    std::unique_ptr<udb_custom_conversion> rules;
    std::unique_ptr<conv_access_engine> engine;
    std::unique_ptr<udb_database> source_db;
    std::unique_ptr<udb_database> dest_db;
    std::unique_ptr<udb_validator> validator;
    std::vector<std::u16string> created_tables;   // source names whose table was created
};

void vantrel_convertor::run() {
    tk_trace::write(2, "vantrel_convertor::operator()");
    init_conversion conversion(done, false);
    b_abandoned = false;
    try {
        run_conversion();
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
    run_state state;
    state.rules = std::make_unique<udb_custom_conversion>();
    engine->add_conversion_rules(*state.rules);
    state.engine = start_access_engine("UGL info NOT found - set anonymous");
    state.source_db = state.engine->open_db(source, ACCESS_OPEN_RUN, database_password);
    bool b_created = false;
    state.dest_db = open_destination(b_created);
    engine->set_failure_report(*state.dest_db, report_object_failure);
    select_tables(state);

    std::int32_t entry_idx = 0;
    for (const auto& [name, sql] : tables) {
        stop_if_requested();
        table_index.store(entry_idx++);
        try {
            convert_entry(state, name, sql);
        } catch (const tk_exception& failure) {
            error_handler::instance().set_context(get_current_table());
            error_handler::instance().handle(failure, 0);
        }
    }
    error_handler::instance().clear_context();
    convert_foreign_keys(state, b_created);
    table_index.store(0);
    table_count.store(0);
}

std::unique_ptr<udb_database> vantrel_convertor::open_destination(bool& b_created) {
    if (engine->is_db_exist(destination)) {
        std::uint32_t open_mode =
            mode == MODE_OVERWRITE_DATABASE ? MSSQL_OPEN_OVERWRITE : MSSQL_OPEN_APPEND;
        return engine->open_db(destination, open_mode);
    }
    b_created = true;
    return engine->create_db(destination);
}

void vantrel_convertor::select_tables(run_state& state) {
    if (selected_tables.empty() && b_empty_selection_means_all) {
        selected_tables = state.source_db->tables;
    }
    table_count.store(static_cast<std::int32_t>(selected_tables.size()));
    tk_trace::write(3, u"Converting database %s (%d tables)", source, table_count.load());
    print_line(u"Converting database ", source, table_count.load(), " tables)");

    state.validator = engine->make_table_validator(selected_tables, state.dest_db->tables);
    for (const auto& entry : tables) state.validator->add_used(entry.first);
    for (const std::u16string& name : selected_tables) tables.emplace(name, u"");
}

void vantrel_convertor::convert_entry(run_state& state, const std::u16string& name,
                                      const std::u16string& sql) {
    set_current_table(name);
    record_count.store(0);
    record_index.store(0);
    if (sql.empty() && !state.source_db->is_table_exist(name)) {
        if (!silent) std::cerr << "Table " << tk_utf16_to_utf8(name) << " not exists" << std::endl;
        return;
    }
    std::unique_ptr<udb_recordset> source_table = sql.empty()
        ? state.source_db->get_table(name, SOURCE_OPEN_TABLE)
        : state.source_db->get_query(name, sql, SOURCE_OPEN_TABLE);
    if (!source_table) {
        tk_trace::write(3, u"Skip system/linked table '%s'", name);
        return;
    }
    udb_validator& validator = *state.validator;
    std::u16string dest_name =
        validator.is_acceptable(name) ? name : validator.get_safe_name(name);
    if (state.dest_db->is_table_exist(dest_name)) {
        if (mode == MODE_SKIP_TABLES) return;
        if (mode == MODE_OVERWRITE_TABLES) state.dest_db->delete_tab(dest_name);
    }
    static const udb_indexes no_indexes;
    std::unique_ptr<udb_recordset> dest_table = state.dest_db->create_table(
        dest_name, source_table->schema, b_skip_indexes ? no_indexes : source_table->indexes);
    if (mode == MODE_MERGE && !source_table->schema.conform_to(dest_table->schema)) {
        throw tk_exception(tk_utf16_to_utf8(NOT_CONFORMING_TEXT), ERROR_LEVEL_RECOVERABLE);
    }
    state.created_tables.push_back(name);
    if (!validator.is_acceptable(name)) {
        tk_trace::write(2, u"Store generated table name '%s'", dest_name);
        validator.add_used(dest_name);
        state.dest_db->names_map.add_table_pair(name, dest_name);
    }
    validator.add_restricted(dest_name);

    record_count.store(source_table->records_count);
    tk_trace::write(3, u"Converting table %s (%d records)", name, record_count.load());
    print_line(u"Converting table ", name, record_count.load(), " records)");
    if (record_count.load() == 0 || b_definitions_only) return;
    copy_records(*source_table, *dest_table, name);
    // Inside the table's catch: a refused final commit loses rows and names this table.
    engine->finish_table(*dest_table);
}

void vantrel_convertor::copy_records(udb_recordset& source_table, udb_recordset& dest_table,
                                     const std::u16string& name) {
    source_table.reset();
    while (!source_table.is_eof()) {
        stop_if_requested();
        tk_trace::write(1, "Converting %d record", record_index.load());
        try {
            udb_record* record = source_table.get_item();
            if (record != nullptr) dest_table.append_record(*record);
        } catch (const tk_exception& failure) {
            if (!engine->is_record_failure(failure)) throw;
            error_handler::instance().set_context(name, record_index.load() + 1);
            error_handler::instance().handle(failure, 0);
        }
        source_table.next();
        record_index.fetch_add(1);
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

void vantrel_convertor::stop_if_requested() const {
    // tk_final_exception passes the table's and record's catch (it is no tk_exception) and
    // ends the run quietly; unwinding closes the table and the databases in order.
    if (is_stop_requested()) throw tk_final_exception();
}

void vantrel_convertor::print_line(const std::u16string& prefix, const std::u16string& name,
                                   std::int32_t count, const char* unit) const {
    if (silent) return;
    std::cout << tk_utf16_to_utf8(prefix) << tk_utf16_to_utf8(name) << "(" << count << unit
              << std::endl;
}
