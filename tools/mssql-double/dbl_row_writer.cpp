// dbl_row_writer.cpp - row checks and storage shared by INSERT and bulk load.
#include "dbl_row_writer.hpp"

#include "dbl_convert.hpp"
#include "dbl_eval.hpp"
#include "dbl_limits.hpp"
#include "dbl_number.hpp"
#include "dbl_padding.hpp"
#include "dbl_parser.hpp"
#include "dbl_text.hpp"

#include <algorithm>
#include <utility>

std::string dbl_key_text(const dbl_table& table, const std::vector<int>& columns,
                         const dbl_row& row) {
    std::string text = "(";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const dbl_value& value = row[std::size_t(columns[i])];
        text += i ? ", " : "";
        const dbl_type& type = table.columns[std::size_t(columns[i])].type;
        text += value.b_null ? "<NULL>" : dbl_utf8(dbl_value_text({type, value}));
    }
    return text + ")";
}

dbl_write_rules dbl_insert_rules(const dbl_set_options& options) {
    dbl_write_rules rules;
    rules.b_truncate_silently = !options.b_ansi_warnings;
    rules.b_arithmetic_errors_null = options.are_arithmetic_errors_null();
    rules.b_arithmetic_ends_batch = !options.b_ansi_warnings && options.b_arithabort;
    return rules;
}

void dbl_settle_arithmetic_error(dbl_executor& ex, const dbl_write_rules& rules,
                                 const dbl_sql_error& error) {
    if (!dbl_is_arithmetic_error(error)) throw error;
    if (rules.b_arithmetic_errors_null) {
        ex.send_error(dbl_err::arithmetic_warning(error), ex.line());
        return;
    }
    if (!rules.b_arithmetic_ends_batch) throw error;
    dbl_sql_error batch_error = error;
    batch_error.scope = dbl_scope::BATCH;
    throw batch_error;
}

dbl_row_writer::dbl_row_writer(dbl_executor& new_ex, dbl_table_ref new_ref,
                               dbl_write_rules new_rules)
    : ex(new_ex), ref(new_ref), rules(new_rules), identity_column(new_ref.table->identity_index()),
      parsed_defaults(new_ref.table->columns.size()),
      long_keys(dbl_keys_over_limit(*new_ref.table)), row_buffer(new_ref.table->columns.size()),
      given_columns(new_ref.table->columns.size()) {
    const std::string table_display = ref.full_display();
    for (const dbl_column& column : ref.table->columns)
        targets.push_back({table_display, column.name, rules.b_truncate_silently});
    const std::size_t width = std::max<std::size_t>(ref.table->columns.size(), 1);
    const std::size_t together = std::min(MAX_ROWS_TOGETHER, MAX_PARAMETERS / width);
    // A statement of several rows keeps a journal of every page it changes, to undo them
    // all if one row fails: cheap for rows appended by row id, but dearer than the statements
    // saved once an index takes rows all over (a million rows through a plain index: +36 %).
    if (rules.b_rows_together && !rules.b_check_foreign_keys && together > 1
        && !ref.database->has_indexes(*ref.table))
        held.assign(together, dbl_row(ref.table->columns.size()));
}

dbl_value dbl_row_writer::identity_value(const std::vector<int>& columns,
                                         const std::vector<dbl_typed>& values, int identity_index) {
    dbl_table& table = *ref.table;
    const dbl_column& column = table.columns[std::size_t(identity_index)];
    const dbl_target& target = targets[std::size_t(identity_index)];
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i] != identity_index || rules.b_identity_ignored) continue;
        if (!rules.b_identity_allowed) throw dbl_err::identity_insert_off(table.name);
        dbl_value given = dbl_convert(values[i], column.type, target);
        if (given.b_null) throw dbl_err::null_into_not_null(column.name, ref.full_display());
        std::int64_t number = column.type.is_integer() ? given.integer
                                                       : std::int64_t(given.decimal);
        bool beyond = !table.b_identity_used
                      || (column.increment > 0 ? number > table.identity_current
                                               : number < table.identity_current);
        if (beyond) {
            table.identity_current = number;
            table.b_identity_used = true;
            b_identity_changed = true;
        }
        ex.session.last_identity = number;
        return given;
    }
    __int128 next = table.b_identity_used ? __int128(table.identity_current) + column.increment
                                          : __int128(column.seed);
    dbl_typed candidate{dbl_make_type(dbl_kind::NUMERIC, 0, 38, 0), dbl_int(0)};
    candidate.value.decimal = next;
    dbl_value value;
    try {
        value = dbl_convert(candidate, column.type, target);
    } catch (const dbl_sql_error&) {
        throw dbl_err::overflow_converting("IDENTITY", column.type.base_name());
    }
    table.identity_current = std::int64_t(next);
    table.b_identity_used = true;
    b_identity_changed = true;
    ex.session.last_identity = std::int64_t(next);
    return value;
}

dbl_value dbl_row_writer::default_value(std::size_t column_index) {
    const dbl_column& column = ref.table->columns[column_index];
    if (column.default_text.empty()) return dbl_null();
    std::vector<dbl_statement>& parsed = parsed_defaults[column_index];
    if (parsed.empty())
        parsed = dbl_parse_batch(u"SELECT " + dbl_utf16(column.default_text), false);
    dbl_eval_context context{&ex, nullptr, {}, nullptr};
    dbl_typed value = dbl_eval(*parsed.at(0).select->items.at(0).expr, context);
    dbl_value stored = dbl_convert(value, column.type, targets[column_index]);
    if (column.b_trims_trailing) dbl_trim_trailing(stored, column.type);
    return stored;
}

void dbl_row_writer::write(const std::vector<int>& columns, const std::vector<dbl_typed>& values) {
    if (held.empty()) {
        build_row(row_buffer, columns, values);
        store(row_buffer);
        return;
    }
    try {
        build_row(held[held_count], columns, values);
    } catch (...) {
        store_held();   // a failure of an earlier row comes first
        throw;
    }
    if (++held_count == held.size()) store_held();
}

dbl_value dbl_row_writer::given_value(const dbl_typed& value, std::size_t column_index) {
    const dbl_column& column = ref.table->columns[column_index];
    dbl_value stored;
    try {
        stored = dbl_convert(value, column.type, targets[column_index]);
    } catch (const dbl_sql_error& error) {
        dbl_settle_arithmetic_error(ex, rules, error);
        return dbl_null();
    }
    if (column.b_trims_trailing) dbl_trim_trailing(stored, column.type);
    return stored;
}

void dbl_row_writer::build_row(dbl_row& row, const std::vector<int>& columns,
                               const std::vector<dbl_typed>& values) {
    dbl_table& table = *ref.table;
    given_columns.assign(table.columns.size(), 0);
    const int identity_index = identity_column;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        std::size_t index = std::size_t(columns[i]);
        if (int(index) == identity_index) continue;
        const dbl_column& column = table.columns[index];
        if (values[i].value.b_null && rules.b_defaults_for_nulls && !column.default_text.empty())
            continue;
        row[index] = given_value(values[i], index);
        given_columns[index] = 1;
    }
    if (identity_index >= 0) {
        row[std::size_t(identity_index)] = identity_value(columns, values, identity_index);
        given_columns[std::size_t(identity_index)] = 1;
    }
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        if (!given_columns[i]) row[i] = default_value(i);
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        if (row[i].b_null && !table.columns[i].b_nullable)
            throw dbl_err::null_into_not_null(table.columns[i].name, ref.full_display());
    for (const dbl_key* key : long_keys) dbl_check_key_entry(table, *key, row);
    if (rules.b_check_foreign_keys) check_foreign_keys(row);
}

void dbl_row_writer::store(const dbl_row& row) {
    try {
        ref.database->insert_row(*ref.table, row);
    } catch (const dbl_unique_violation& violation) {
        report_duplicate(violation.key_id, row);
    }
}

// A statement that fails stores none of its rows; they are then stored one at a time, so the
// error names the row at fault and those before it are in, as row by row.
void dbl_row_writer::store_held() {
    const std::size_t count = std::exchange(held_count, 0);
    if (count > 1) {
        try {
            ref.database->insert_rows(*ref.table, std::span<const dbl_row>(held.data(), count));
            return;
        } catch (const dbl_unique_violation&) {
            // none of them is stored: one at a time below names the row
        }
    }
    for (std::size_t i = 0; i < count; ++i) store(held[i]);
}

void dbl_row_writer::check_foreign_keys(const dbl_row& row) {
    const dbl_table& table = *ref.table;
    for (const dbl_key& key : table.keys) {
        if (key.kind != dbl_key_kind::FOREIGN_KEY || key.b_disabled) continue;
        const dbl_table* parent = ref.database->table_by_id(key.ref_object_id);
        if (!parent) continue;
        dbl_row key_values;
        bool has_null = false;
        for (std::size_t i = 0; i < key.columns.size(); ++i) {
            const dbl_value& value = row[std::size_t(key.columns[i])];
            has_null = has_null || value.b_null;
            key_values.push_back(value);
        }
        if (has_null || ref.database->has_parent(*parent, key.ref_columns, key_values)) continue;
        throw dbl_err::foreign_key_conflict(
            "INSERT", key.name, ref.database->name(), parent->schema + "." + parent->name,
            parent->columns[std::size_t(key.ref_columns.at(0))].name);
    }
}

void dbl_row_writer::report_duplicate(int key_id, const dbl_row& row) {
    const dbl_table& table = *ref.table;
    for (const dbl_key& key : table.keys) {
        if (key.key_id != key_id) continue;
        std::string value = dbl_key_text(table, key.columns, row);
        if (key.kind == dbl_key_kind::INDEX)
            throw dbl_err::duplicate_index(ref.display(), key.name, value);
        throw dbl_err::duplicate_constraint(key.kind == dbl_key_kind::PRIMARY_KEY ? "PRIMARY KEY"
                                                                                  : "UNIQUE KEY",
                                            key.name, ref.display(), value);
    }
    throw dbl_err::duplicate_index(ref.display(), "?", dbl_key_text(table, {}, row));
}

void dbl_row_writer::finish() {
    store_held();
    if (b_identity_changed) ref.database->save_identity(*ref.table);
}
