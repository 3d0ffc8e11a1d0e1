// dbl_foreign_key.cpp - FOREIGN KEY ... REFERENCES: the referenced columns must be the
// parent's primary key or a unique key, of the same types; existing rows are checked
// (547) unless WITH NOCHECK.
#include "dbl_key_builder.hpp"

#include "dbl_cascade.hpp"
#include "dbl_text.hpp"

namespace {

bool same_set(const std::vector<int>& a, const std::vector<int>& b) {
    if (a.size() != b.size()) return false;
    for (int column : a) {
        bool found = false;
        for (int other : b) found = found || other == column;
        if (!found) return false;
    }
    return true;
}

// A filtered unique index is unique only over the rows it covers: no foreign key may
// reference it (1776, as SQL Server refuses one).
bool is_candidate_key(const dbl_table& parent, const std::vector<int>& columns) {
    for (const dbl_key& key : parent.keys)
        if (key.b_unique && key.not_null_filter.empty() && same_set(key.columns, columns))
            return true;
    return false;
}

std::string action(const std::string& written) { return written.empty() ? "NO ACTION" : written; }

}   // namespace

void dbl_key_builder::add_foreign_key(std::int64_t object_id, const dbl_constraint_def& def,
                                      bool b_check) {
    const dbl_table& child = *database.table_by_id(object_id);
    dbl_key key;
    key.kind = dbl_key_kind::FOREIGN_KEY;
    key.name = def.name.empty()
                   ? dbl_generated_name("FK", child.name, def.columns.empty() ? "" : def.columns[0])
                   : def.name;
    if (!def.name.empty() && dbl_object_exists(database, def.name))
        throw dbl_with_constraint_note(dbl_err::object_exists(def.name));
    std::string schema = def.ref_table.parts.size() >= 2
                             ? def.ref_table.parts[def.ref_table.parts.size() - 2]
                             : "dbo";
    const dbl_table* parent = database.find_table(schema.empty() ? "dbo" : schema,
                                                  def.ref_table.last());
    if (!parent)
        throw dbl_with_constraint_note(dbl_err::fk_bad_table(key.name, def.ref_table.written()));
    for (const std::string& name : def.columns) {
        int index = child.column_index(name);
        if (index < 0)
            throw dbl_with_constraint_note(dbl_err::fk_column_missing(key.name, name, child.name));
        key.columns.push_back(index);
    }
    if (def.ref_columns.empty()) {
        if (const dbl_key* primary = parent->primary_key()) key.ref_columns = primary->columns;
    } else {
        for (const std::string& name : def.ref_columns) {
            int index = parent->column_index(name);
            if (index < 0)
                throw dbl_with_constraint_note(
                    dbl_err::fk_column_missing(key.name, name, parent->name));
            key.ref_columns.push_back(index);
        }
    }
    if (key.ref_columns.size() != key.columns.size()) {
        if (def.ref_columns.empty() || key.ref_columns.empty())
            throw dbl_with_constraint_note(dbl_err::fk_no_candidate(parent->name, key.name));
        throw dbl_with_constraint_note(
            dbl_sql_error(8139, 0, 16,
                          "Number of referencing columns in foreign key differs from number of "
                          "referenced columns, table '"
                              + child.name + "'."));
    }
    if (!is_candidate_key(*parent, key.ref_columns))
        throw dbl_with_constraint_note(dbl_err::fk_no_candidate(parent->name, key.name));
    for (std::size_t i = 0; i < key.columns.size(); ++i) {
        const dbl_column& mine = child.columns[std::size_t(key.columns[i])];
        const dbl_column& theirs = parent->columns[std::size_t(key.ref_columns[i])];
        bool text_pair = mine.type.is_text() && theirs.type.is_text()
                         && mine.type.is_wide_text() == theirs.type.is_wide_text();
        bool same = mine.type.kind == theirs.type.kind || text_pair;
        if ((mine.type.kind == dbl_kind::DECIMAL || mine.type.kind == dbl_kind::NUMERIC)
            && (mine.type.precision != theirs.type.precision
                || mine.type.scale != theirs.type.scale))
            same = false;
        if (!same)
            throw dbl_with_constraint_note(dbl_sql_error(
                1778, 0, 16,
                "Column '" + parent->name + "." + theirs.name
                    + "' is not the same "
                      "data type as referencing column '"
                    + child.name + "." + mine.name + "' in foreign key '" + key.name + "'."));
    }
    key.ref_object_id = parent->object_id;
    key.on_delete = action(def.on_delete);
    key.on_update = action(def.on_update);
    dbl_check_cascade_paths(database, child, key);
    key.b_trusted = b_check;
    if (b_check && database.find_orphan(child, key)) {
        dbl_sql_error error = dbl_err::foreign_key_conflict(
            "ALTER TABLE", key.name, database.name(), parent->schema + "." + parent->name,
            parent->columns[std::size_t(key.ref_columns.at(0))].name);
        error.b_terminated_note = false;
        throw error;
    }
    database.add_key(object_id, key);
}
