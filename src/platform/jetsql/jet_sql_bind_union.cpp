// jet_sql_bind_union.cpp - UNION and UNION ALL: each SELECT is bound alone, the columns take
// the first SELECT's names and the type both sides fit in (as IIf's branches do), every part's
// values are converted to it, and the ORDER BY after the last SELECT orders the whole result
// by the union's own column names.

#include "platform/jetsql/jet_sql_binder_impl.hpp"
#include "platform/jetsql/jet_sql_errors.hpp"

namespace {

std::string column_name(std::size_t column_idx) { return "c" + std::to_string(column_idx); }

std::string quoted(const std::string& our_name) { return "\"" + our_name + "\""; }

}   // namespace

jet_sql_binder::bound_select jet_sql_binder::bind_union(const jet_sql_select& select,
                                                        const jet_sql_scope* outer) {
    std::vector<bound_select> parts;
    parts.push_back(bind_select(select, outer, true));
    for (const jet_sql_union_part& part : select.unions) {
        parts.push_back(bind_select(*part.select, outer, true));
        if (parts.back().columns.size() != parts.front().columns.size())
            throw jet_sql_union_columns();
    }
    bound_select bound;
    bound.columns = parts.front().columns;
    for (std::size_t part_idx = 1; part_idx < parts.size(); ++part_idx)
        for (std::size_t column_idx = 0; column_idx < bound.columns.size(); ++column_idx)
            bound.columns[column_idx].type = jet_sql_merge_types(
                bound.columns[column_idx].type, parts[part_idx].columns[column_idx].type);
    for (std::size_t part_idx = 0; part_idx < parts.size(); ++part_idx) {
        if (part_idx > 0) bound.sql += select.unions[part_idx - 1].all ? " UNION ALL " : " UNION ";
        std::string columns;
        for (std::size_t column_idx = 0; column_idx < bound.columns.size(); ++column_idx) {
            jet_sql_emitted value;
            value.sql = quoted(column_name(column_idx));
            value.type = parts[part_idx].columns[column_idx].type;
            const jet_sql_type& target = bound.columns[column_idx].type;
            columns += (column_idx == 0 ? "" : ", ")
                       + jet_sql_collated(convert(value, target), target.is_text()) + " AS "
                       + quoted(column_name(column_idx));
        }
        bound.sql += "SELECT " + columns + " FROM (" + parts[part_idx].sql + ")";
    }
    if (select.order_by.empty()) return bound;
    jet_sql_scope scope;
    scope.outer = outer;
    jet_sql_bound_source result;
    for (std::size_t column_idx = 0; column_idx < bound.columns.size(); ++column_idx)
        result.columns.push_back({bound.columns[column_idx].name, bound.columns[column_idx].type,
                                  "\"u\"." + quoted(column_name(column_idx))});
    scope.sources.push_back(std::move(result));
    std::string order_by;
    for (const jet_sql_order_item& item : select.order_by) {
        jet_sql_emitted term = emit(*item.expr, scope);
        order_by += (order_by.empty() ? " ORDER BY " : ", ")
                    + jet_sql_collated(term.sql, term.type.is_text())
                    + (item.descending ? " DESC" : "");
    }
    bound.sql = "SELECT * FROM (" + bound.sql + ") AS \"u\"" + order_by;
    return bound;
}
