// dbl_exec_ddl.cpp - CREATE TABLE, DROP TABLE, CREATE INDEX, ALTER TABLE ADD CONSTRAINT and
// ALTER TABLE [NO]CHECK CONSTRAINT: validated completely before anything is stored, then
// stored in one transaction.
#include "dbl_executor.hpp"

#include "dbl_key_builder.hpp"
#include "dbl_limits.hpp"
#include "dbl_padding.hpp"
#include "dbl_text.hpp"

namespace {

bool has_hint(const dbl_statement& st, const char* hint) {
    for (const std::string& written : st.hints)
        if (written == hint) return true;
    return false;
}

// The foreign keys a [NO]CHECK CONSTRAINT names, checked all before any is switched: a name
// that is no constraint of the table is 4917, a key that is not a foreign key 11415.
std::vector<const dbl_key*> switched_keys(const dbl_table& table, const dbl_statement& st) {
    std::vector<const dbl_key*> keys;
    const bool all = st.options.size() == 1 && st.options[0] == "ALL";
    for (const dbl_key& key : table.keys)
        if (all && key.kind == dbl_key_kind::FOREIGN_KEY) keys.push_back(&key);
    if (all) return keys;
    for (const std::string& name : st.options) {
        const dbl_key* found = nullptr;
        for (const dbl_key& key : table.keys)
            if (key.kind != dbl_key_kind::INDEX && dbl_same_name(key.name, name)) found = &key;
        if (!found) throw dbl_err::constraint_missing(name);
        if (found->kind != dbl_key_kind::FOREIGN_KEY) throw dbl_err::not_switchable(name);
        keys.push_back(found);
    }
    return keys;
}

void check_type(const dbl_column_def& def, int number) {
    const dbl_type& type = def.type;
    if (!def.b_type_known) throw dbl_err::unknown_type(number, def.type_written);
    if (type.kind == dbl_kind::DECIMAL || type.kind == dbl_kind::NUMERIC) {
        if (type.precision < 1 || type.precision > 38)
            throw type.precision < 1 ? dbl_sql_error(1001, 1, 15,
                                                     "Line 1: Length or precision specification "
                                                     "0 is invalid.")
                                     : dbl_err::precision_too_big(number, type.precision);
        if (type.scale > type.precision)
            throw dbl_err::scale_too_big(number, type.scale, type.precision);
    }
    if (type.kind == dbl_kind::DATETIME2 && type.scale > 7)
        throw dbl_sql_error(
            1002, 1, 15, "Line 1: Specified scale " + std::to_string(type.scale) + " is invalid.");
    bool sized = type.kind == dbl_kind::CHAR || type.kind == dbl_kind::VARCHAR
                 || type.kind == dbl_kind::BINARY || type.kind == dbl_kind::VARBINARY
                 || type.kind == dbl_kind::NCHAR || type.kind == dbl_kind::NVARCHAR;
    if (!sized || type.length == DBL_MAX_LENGTH) return;
    if (type.length < 1)
        throw dbl_sql_error(1001, 1, 15,
                            "Line 1: Length or precision specification "
                                + std::to_string(type.length) + " is invalid.");
    int limit = type.is_wide_text() ? 4000 : 8000;
    if (type.length > limit) throw dbl_err::size_too_big(type.length, def.name, limit);
}

void check_identity(const dbl_column_def& def) {
    const dbl_type& type = def.type;
    bool integer = type.is_integer() && type.kind != dbl_kind::BIT;
    bool whole_decimal = (type.kind == dbl_kind::DECIMAL || type.kind == dbl_kind::NUMERIC)
                         && type.scale == 0;
    if (!integer && !whole_decimal) throw dbl_err::bad_identity_type(def.name);
    if (def.increment == 0)
        throw dbl_sql_error(
            2748, 1, 16, "Cannot specify a zero increment for identity column '" + def.name + "'.");
}

// b_ansi_padding: the session's SET ANSI_PADDING, which the columns keep.
dbl_table table_from(const dbl_statement& st, bool b_ansi_padding) {
    dbl_table table;
    table.name = st.target.last();
    const std::vector<std::string>& parts = st.target.parts;
    bool has_schema = parts.size() >= 2 && !parts[parts.size() - 2].empty();
    table.schema = has_schema ? parts[parts.size() - 2] : "dbo";
    int number = 0;
    bool has_identity = false;
    for (const dbl_column_def& def : st.column_defs) {
        ++number;
        check_type(def, number);
        if (table.column_index(def.name) >= 0) throw dbl_err::column_twice(def.name, table.name);
        dbl_column column;
        column.name = def.name;
        column.type = def.type;
        column.b_nullable = def.b_nullable && !def.b_identity;
        column.b_trims_trailing = !b_ansi_padding
                                  && dbl_trims_without_padding(column.type, column.b_nullable);
        if (def.b_identity) {
            if (has_identity) throw dbl_err::multiple_identity(table.name);
            check_identity(def);
            has_identity = true;
        }
        column.b_identity = def.b_identity;
        column.seed = def.seed;
        column.increment = def.increment;
        column.default_text = def.default_text;
        column.default_name = def.default_name;
        table.columns.push_back(column);
    }
    return table;
}

}   // namespace

void dbl_run_create_table(dbl_executor& ex, const dbl_statement& st) {
    dbl_database& database = ex.database_of(st.target);
    dbl_table table = table_from(st, ex.session.set.b_ansi_padding);
    dbl_check_table_size(table);
    if (!dbl_same_name(table.schema, "dbo")) throw dbl_err::unknown_schema(table.schema);
    if (database.find_table(table.schema, table.name) || dbl_object_exists(database, table.name))
        throw dbl_err::object_exists(table.name);
    dbl_key_builder builder(ex, database);
    std::vector<dbl_key> keys = builder.plan_table_keys(table, st.constraints);
    ex.transact(database, [&] {
        for (dbl_column& column : table.columns)
            if (!column.default_text.empty() && column.default_name.empty())
                column.default_name = dbl_generated_name("DF", table.name, column.name);
        std::int64_t object_id = database.create_table(table);
        for (const dbl_key& key : keys) builder.store(object_id, key);
        for (const dbl_constraint_def& def : st.constraints)
            if (def.kind == dbl_constraint_kind::FOREIGN_KEY)
                builder.add_foreign_key(object_id, def, false);
    });
    ex.send_done(0, false, 0);
}

void dbl_run_drop_table(dbl_executor& ex, const dbl_statement& st) {
    dbl_table_ref ref = ex.resolve_table(st.target, false);
    if (!ref.table) throw dbl_err::drop_table_missing(st.target.written());
    for (const dbl_table* other : ref.database->tables()) {
        if (other == ref.table) continue;
        for (const dbl_key& key : other->keys)
            if (key.kind == dbl_key_kind::FOREIGN_KEY && key.ref_object_id == ref.table->object_id)
                throw dbl_err::referenced_by_fk(st.target.written());
    }
    std::int64_t object_id = ref.table->object_id;
    ex.transact(*ref.database, [&] { ref.database->drop_table(object_id); });
    auto& on = ex.session.identity_insert;
    if (on && on->object_id == object_id) on.reset();
    ex.send_done(0, false, 0);
}

void dbl_run_create_index(dbl_executor& ex, const dbl_statement& st) {
    dbl_table_ref ref = ex.resolve_table(st.target, false);
    if (!ref.table)
        throw dbl_sql_error(1088, 12, 16,
                            "Cannot find the object \"" + st.target.written()
                                + "\" because it does not exist or you do not have permissions.");
    dbl_key_builder builder(ex, *ref.database);
    dbl_key key = builder.plan_index(*ref.table, st);
    ex.check_filtered_index_options("CREATE INDEX", !key.not_null_filter.empty());
    std::int64_t object_id = ref.table->object_id;
    ex.transact(*ref.database, [&] { builder.store(object_id, key); });
    ex.send_done(0, false, 0);
}

void dbl_run_alter_table(dbl_executor& ex, const dbl_statement& st) {
    dbl_table_ref ref = ex.resolve_table(st.target, false);
    if (!ref.table) throw dbl_err::missing_alter_object(st.target.written());
    dbl_key_builder builder(ex, *ref.database);
    const dbl_constraint_def& def = st.constraints.at(0);
    std::int64_t object_id = ref.table->object_id;
    bool check = !has_hint(st, "nocheck");
    if (def.kind == dbl_constraint_kind::FOREIGN_KEY) {
        ex.transact(*ref.database, [&] { builder.add_foreign_key(object_id, def, check); });
    } else {
        dbl_key key = builder.plan_added_key(*ref.table, def);
        ex.transact(*ref.database, [&] { builder.store(object_id, key); });
    }
    ex.send_done(0, false, 0);
}

void dbl_run_switch_constraint(dbl_executor& ex, const dbl_statement& st) {
    dbl_table_ref ref = ex.resolve_table(st.target, false);
    if (!ref.table) throw dbl_err::missing_alter_object(st.target.written());
    const dbl_table& table = *ref.table;
    std::vector<std::pair<int, bool>> switched;   // key id, trusted afterwards
    for (const dbl_key* key : switched_keys(table, st)) {
        // Enabling checks the rows already there only WITH CHECK; otherwise the key stays
        // untrusted, as SQL Server leaves it. Disabling always makes it untrusted.
        const bool validate = st.b_on && has_hint(st, "check");
        if (validate && ref.database->find_orphan(table, *key)) {
            const dbl_table& parent = *ref.database->table_by_id(key->ref_object_id);
            throw dbl_err::foreign_key_conflict(
                "ALTER TABLE", key->name, ref.database->name(), parent.schema + "." + parent.name,
                parent.columns[std::size_t(key->ref_columns.at(0))].name);
        }
        switched.emplace_back(key->key_id, validate || (st.b_on && key->b_trusted));
    }
    ex.transact(*ref.database, [&] {
        for (const auto& [key_id, trusted] : switched)
            ref.database->switch_key(table, key_id, !st.b_on, trusted);
    });
    ex.send_done(0, false, 0);
}
