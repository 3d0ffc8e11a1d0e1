// dbl_cascade.cpp - cycles and multiple cascade paths of foreign keys (SQL Server error 1785,
// "a table cannot appear more than one time in a list of all the cascading referential
// actions that are started by either a DELETE or an UPDATE statement").
#include "dbl_cascade.hpp"

#include "dbl_error.hpp"

#include <map>
#include <set>

namespace {

// CASCADE, SET NULL and SET DEFAULT act on the referencing rows; NO ACTION stops there.
bool is_cascading(const std::string& action) { return action != "NO ACTION" && !action.empty(); }

// parent object id -> child object id, one entry a cascading foreign key.
using cascade_edges = std::multimap<std::int64_t, std::int64_t>;

cascade_edges edges_of(const dbl_database& database, bool b_delete) {
    cascade_edges edges;
    for (const dbl_table* table : database.tables())
        for (const dbl_key& key : table->keys)
            if (key.kind == dbl_key_kind::FOREIGN_KEY
                && is_cascading(b_delete ? key.on_delete : key.on_update))
                edges.emplace(key.ref_object_id, table->object_id);
    return edges;
}

// Whether a statement on `from` reaches some table twice: along two paths, or round a cycle.
bool reaches_twice(const cascade_edges& edges, std::int64_t from, std::set<std::int64_t>& seen) {
    if (!seen.insert(from).second) return true;
    auto [first, last] = edges.equal_range(from);
    for (auto edge = first; edge != last; ++edge)
        if (reaches_twice(edges, edge->second, seen)) return true;
    return false;
}

bool makes_second_path(const dbl_database& database, const dbl_table& child, const dbl_key& key,
                       bool b_delete) {
    if (!is_cascading(b_delete ? key.on_delete : key.on_update)) return false;
    cascade_edges edges = edges_of(database, b_delete);
    edges.emplace(key.ref_object_id, child.object_id);
    // Each table's tree is walked with the new key in it; a table that starts no cascade
    // has no tree to spoil.
    for (const auto& edge : edges) {
        std::set<std::int64_t> seen;
        if (reaches_twice(edges, edge.first, seen)) return true;
    }
    return false;
}

}   // namespace

void dbl_check_cascade_paths(const dbl_database& database, const dbl_table& child,
                             const dbl_key& key) {
    if (!makes_second_path(database, child, key, true)
        && !makes_second_path(database, child, key, false))
        return;
    throw dbl_with_constraint_note(dbl_sql_error(
        1785, 0, 16,
        "Introducing FOREIGN KEY constraint '" + key.name + "' on table '" + child.name
            + "' may cause cycles or multiple cascade paths. Specify ON DELETE NO ACTION or ON "
              "UPDATE NO ACTION, or modify other FOREIGN KEY constraints."));
}
