// dbl_key_builder.cpp - checking and storing keys, indexes and foreign keys.
#include "dbl_key_builder.hpp"

#include "dbl_limits.hpp"
#include "dbl_row_writer.hpp"
#include "dbl_text.hpp"

#include <atomic>
#include <cstdio>

namespace {

dbl_sql_error noted(const dbl_sql_error& error, bool b_constraint) {
    return b_constraint ? dbl_with_constraint_note(error) : error;
}

bool is_key_type(const dbl_type& type) { return !type.is_long(); }

}   // namespace

bool dbl_object_exists(const dbl_database& database, const std::string& name) {
    for (const dbl_table* table : database.tables()) {
        if (dbl_same_name(table->name, name)) return true;
        for (const dbl_key& key : table->keys)
            if (key.kind != dbl_key_kind::INDEX && dbl_same_name(key.name, name)) return true;
        for (const dbl_column& column : table->columns)
            if (!column.default_name.empty() && dbl_same_name(column.default_name, name))
                return true;
    }
    return false;
}

std::string dbl_generated_name(const std::string& prefix, const std::string& table,
                               const std::string& column) {
    static std::atomic<unsigned long long> counter{0x3B75D7601A2B3C4DULL};
    unsigned long long value = counter.fetch_add(0x9E3779B97F4A7C15ULL);
    char hex[17];
    bool short_form = !column.empty();
    std::snprintf(hex, sizeof hex, short_form ? "%08llX" : "%016llX",
                  short_form ? (value >> 32) : value);
    std::string name = prefix + "__" + table.substr(0, 8) + "__";
    if (short_form) name += column.substr(0, 5) + "__";
    return name + hex;
}

dbl_key dbl_key_builder::key_from(const dbl_table& table, const dbl_constraint_def& def,
                                  bool b_constraint) {
    dbl_key key;
    key.kind = def.kind == dbl_constraint_kind::PRIMARY_KEY ? dbl_key_kind::PRIMARY_KEY
                                                            : dbl_key_kind::UNIQUE;
    key.b_unique = true;
    key.b_clustered = def.b_clustered;
    key.descending = def.descending;
    key.name = def.name.empty() ? dbl_generated_name(
                   key.kind == dbl_key_kind::PRIMARY_KEY ? "PK" : "UQ", table.name, "")
                                : def.name;
    if (!def.name.empty() && dbl_object_exists(database, def.name))
        throw noted(dbl_err::object_exists(def.name), b_constraint);
    for (const std::string& name : def.columns) {
        int index = table.column_index(name);
        if (index < 0) throw noted(dbl_err::key_column_missing(name), b_constraint);
        if (!is_key_type(table.columns[std::size_t(index)].type))
            throw noted(dbl_err::invalid_key_type(name, table.name), b_constraint);
        key.columns.push_back(index);
    }
    return key;
}

void dbl_key_builder::check_clustered(const dbl_table& table, const std::vector<dbl_key>& planned,
                                      const dbl_key& key, bool b_constraint) {
    if (!key.b_clustered) return;
    const dbl_key* existing = table.clustered_key();
    for (const dbl_key& other : planned)
        if (other.b_clustered) existing = &other;
    if (existing)
        throw noted(dbl_sql_error(1902, 3, 16,
                                  "Cannot create more than one clustered index on "
                                  "table '"
                                      + table.name + "'. Drop the existing clustered index '"
                                      + existing->name + "' before creating another."),
                    b_constraint);
}

std::vector<dbl_key> dbl_key_builder::plan_table_keys(
    dbl_table& table, const std::vector<dbl_constraint_def>& constraints) {
    std::vector<dbl_key> keys;
    bool has_primary = false;
    for (const dbl_constraint_def& def : constraints) {
        if (def.kind == dbl_constraint_kind::FOREIGN_KEY) continue;
        dbl_key key = key_from(table, def, true);
        if (key.kind == dbl_key_kind::PRIMARY_KEY) {
            if (has_primary)
                throw dbl_with_constraint_note(dbl_sql_error(
                    8110, 1, 16,
                    "Cannot add multiple PRIMARY KEY constraints to table '" + table.name + "'."));
            has_primary = true;
            for (int column : key.columns) table.columns[std::size_t(column)].b_nullable = false;
        }
        for (const dbl_key& other : keys)
            if (dbl_same_name(other.name, key.name))
                throw dbl_with_constraint_note(dbl_err::object_exists(key.name));
        keys.push_back(key);
    }
    // A primary key is clustered unless it says otherwise or a unique constraint took it.
    bool clustered_taken = false;
    for (const dbl_constraint_def& def : constraints)
        if (def.kind == dbl_constraint_kind::UNIQUE && def.b_clustered_given && def.b_clustered)
            clustered_taken = true;
    std::vector<dbl_key> checked;
    std::size_t key_at = 0;
    for (const dbl_constraint_def& def : constraints) {
        if (def.kind == dbl_constraint_kind::FOREIGN_KEY) continue;
        dbl_key& key = keys[key_at++];
        if (key.kind == dbl_key_kind::PRIMARY_KEY && !def.b_clustered_given)
            key.b_clustered = !clustered_taken;
        check_clustered(table, checked, key, true);
        dbl_check_key_size(ex, table, key, true);
        checked.push_back(key);
    }
    return keys;
}

dbl_key dbl_key_builder::plan_index(const dbl_table& table, const dbl_statement& st) {
    for (const dbl_key& existing : table.keys)
        if (existing.kind != dbl_key_kind::FOREIGN_KEY
            && dbl_same_name(existing.name, st.index_name))
            throw dbl_err::index_exists(st.index_name, table.name);
    dbl_constraint_def def = st.constraints.at(0);
    def.name.clear();
    dbl_key key = key_from(table, def, false);
    key.kind = dbl_key_kind::INDEX;
    key.name = st.index_name;
    key.b_unique = st.b_unique;
    key.b_clustered = st.b_clustered;
    for (const std::string& name : st.not_null_filter) {
        const int index = table.column_index(name);
        if (index < 0) throw dbl_err::invalid_column(name);
        key.not_null_filter.push_back(index);
    }
    check_clustered(table, {}, key, false);
    dbl_check_key_size(ex, table, key, false);
    return key;
}

dbl_key dbl_key_builder::plan_added_key(const dbl_table& table, const dbl_constraint_def& def) {
    if (def.kind == dbl_constraint_kind::PRIMARY_KEY && table.primary_key())
        throw dbl_with_constraint_note(dbl_err::second_primary_key(table.name));
    dbl_key key = key_from(table, def, true);
    if (key.kind == dbl_key_kind::PRIMARY_KEY) {
        key.b_clustered = def.b_clustered_given ? def.b_clustered : !table.clustered_key();
        for (int column : key.columns)
            if (table.columns[std::size_t(column)].b_nullable)
                throw dbl_with_constraint_note(
                    dbl_sql_error(8111, 1, 16,
                                  "Cannot define PRIMARY KEY constraint on nullable column in "
                                  "table '"
                                      + table.name + "'."));
    }
    check_clustered(table, {}, key, true);
    dbl_check_key_size(ex, table, key, true);
    return key;
}

void dbl_key_builder::store(std::int64_t object_id, const dbl_key& key) {
    const dbl_table& table = *database.table_by_id(object_id);
    auto duplicate = database.add_key(object_id, key);
    if (!duplicate) return;
    std::string display = table.schema + "." + table.name;
    std::string value = dbl_key_text(table, key.columns, *duplicate);
    dbl_sql_error error = dbl_err::duplicate_on_create(display, key.name, value);
    if (key.kind != dbl_key_kind::INDEX) error = dbl_with_constraint_note(error);
    throw error;
}
