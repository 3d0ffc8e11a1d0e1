#include "platform/jetsql/jet_sql_binder.hpp"

#include "platform/jetsql/jet_sql_binder_impl.hpp"
#include "platform/jetsql/jet_sql_errors.hpp"
#include "platform/jetsql/jet_sql_functions.hpp"
#include "platform/jetsql/jet_sql_loader.hpp"
#include "platform/jetsql/jet_sql_parser.hpp"
#include "platform/winbase/win_compare.hpp"

namespace {

std::string column_name(std::size_t column_idx) { return "c" + std::to_string(column_idx); }

std::string quoted(const std::string& our_name) { return "\"" + our_name + "\""; }

// Access names an aggregate of a bare column "SumOfQuantity"; other expressions Expr1000...
std::u16string default_name(const jet_sql_expr& expr, int& expression_count) {
    if (expr.kind == jet_sql_expr_kind::column) return expr.name;
    if (expr.kind == jet_sql_expr_kind::call && expr.args.size() == 1
        && expr.args[0]->kind == jet_sql_expr_kind::column) {
        for (std::u16string_view aggregate :
             {u"Count", u"Sum", u"Avg", u"Min", u"Max", u"First", u"Last"}) {
            if (win_equal_ignore_case(expr.name, aggregate))
                return std::u16string(aggregate) + u"Of" + expr.args[0]->name;
        }
    }
    std::string number = std::to_string(1000 + expression_count++);
    return u"Expr" + std::u16string(number.begin(), number.end());
}

const jet_sql_bound_source* find_source(const jet_sql_scope& scope, std::u16string_view alias) {
    for (const jet_sql_bound_source& source : scope.sources)
        if (win_equal_ignore_case(source.alias, alias)) return &source;
    return nullptr;
}

// Two result columns of one name from different sources are told apart as Access does:
// "Orders.OrderID" and "Order Details.OrderID".
void qualify_duplicates(std::vector<jet_sql_output_column>& columns,
                        const std::vector<std::u16string>& qualifiers) {
    std::vector<bool> is_duplicate(columns.size(), false);
    for (std::size_t left = 0; left < columns.size(); ++left)
        for (std::size_t right = left + 1; right < columns.size(); ++right)
            if (win_equal_ignore_case(columns[left].name, columns[right].name)
                && !qualifiers[left].empty() && !qualifiers[right].empty())
                is_duplicate[left] = is_duplicate[right] = true;
    for (std::size_t column_idx = 0; column_idx < columns.size(); ++column_idx)
        if (is_duplicate[column_idx])
            columns[column_idx].name = qualifiers[column_idx] + u"." + columns[column_idx].name;
}

}   // namespace

std::string jet_sql_collated(const std::string& sql, bool is_text) {
    if (!is_text) return sql;
    return "(" + sql + ") COLLATE " + JET_SQL_COLLATION;
}

jet_sql_compiled jet_sql_bind(const jet_sql_select& select, jet_sql_loader& loader) {
    return jet_sql_binder(loader).bind_statement(select);
}

// Nothing gives parameters values here, so a statement that has any fails as DAO's
// OpenRecordset does on a parameter query, naming them all.
jet_sql_compiled jet_sql_binder::bind_statement(const jet_sql_select& select) {
    parameter_names = select.parameters;
    bound_select bound = bind_select(select, nullptr);
    if (!parameter_names.empty()) throw jet_sql_too_few_parameters(parameter_names);
    jet_sql_compiled compiled;
    compiled.sql = std::move(bound.sql);
    compiled.columns = std::move(bound.columns);
    compiled.params = std::move(params);
    return compiled;
}

std::string jet_sql_binder::add_table(const jet_sql_source& source, jet_sql_scope& scope) {
    const jet_sql_loaded_table& table = loader.load(source.table_name);
    std::string alias = next_alias();
    jet_sql_bound_source bound;
    bound.alias = source.alias.empty() ? source.table_name : source.alias;
    bound.sql_alias = alias;
    const std::vector<jet_column>& columns = table.definition.columns;
    for (std::size_t column_idx = 0; column_idx < columns.size(); ++column_idx) {
        bound.columns.push_back({columns[column_idx].name,
                                 jet_sql_type::of_column(columns[column_idx]),
                                 quoted(alias) + "." + quoted(column_name(column_idx))});
    }
    scope.sources.push_back(std::move(bound));
    return quoted(table.sql_name) + " AS " + quoted(alias);
}

std::string jet_sql_binder::add_query(const jet_sql_source& source, jet_sql_scope& scope) {
    return add_derived(bind_select(*source.query, scope.outer), source.alias, scope);
}

// A saved query named as a source is its own SQL as a derived table under the query's name.
// It sees none of the naming query's names; its declared parameters join the statement's.
std::string jet_sql_binder::add_saved_query(const jet_sql_source& source,
                                            const std::u16string& text, jet_sql_scope& scope) {
    for (const std::u16string& open : expanding) {
        if (!win_equal_ignore_case(open, source.table_name)) continue;
        std::u16string chain;
        for (const std::u16string& name : expanding) chain += name + u" -> ";
        throw jet_sql_circular_query(source.table_name, chain + source.table_name);
    }
    expanding.push_back(source.table_name);
    std::unique_ptr<jet_sql_select> parsed = jet_sql_parse(text);
    for (const std::u16string& declared : parsed->parameters) add_parameter(declared);
    bound_select inner = bind_select(*parsed, nullptr);
    expanding.pop_back();
    return add_derived(inner, source.alias.empty() ? source.table_name : source.alias, scope);
}

std::string jet_sql_binder::add_derived(const bound_select& inner, const std::u16string& name,
                                        jet_sql_scope& scope) {
    std::string alias = next_alias();
    jet_sql_bound_source bound;
    bound.alias = name;
    for (std::size_t column_idx = 0; column_idx < inner.columns.size(); ++column_idx) {
        bound.columns.push_back({inner.columns[column_idx].name, inner.columns[column_idx].type,
                                 quoted(alias) + "." + quoted(column_name(column_idx))});
    }
    scope.sources.push_back(std::move(bound));
    return "(" + inner.sql + ") AS " + quoted(alias);
}

std::string jet_sql_binder::add_source(const jet_sql_source& source, jet_sql_scope& scope) {
    switch (source.kind) {
    case jet_sql_source::kind_t::table:
        if (std::optional<std::u16string> text = loader.saved_query_text(source.table_name))
            return add_saved_query(source, *text, scope);
        return add_table(source, scope);
    case jet_sql_source::kind_t::query: return add_query(source, scope);
    case jet_sql_source::kind_t::join: break;
    }
    std::string left = add_source(*source.left, scope);
    std::string right = add_source(*source.right, scope);
    const char* join = source.join == jet_sql_join_kind::left    ? " LEFT JOIN "
                       : source.join == jet_sql_join_kind::right ? " RIGHT JOIN "
                                                                 : " INNER JOIN ";
    jet_sql_emitted on = emit(*source.on, scope);
    if (on.has_aggregate) throw jet_sql_aggregate_in_expression(source.on->source);
    return "(" + left + join + right + " ON " + on.sql + ")";
}

jet_sql_binder::bound_select jet_sql_binder::bind_select(const jet_sql_select& select,
                                                         const jet_sql_scope* outer,
                                                         bool as_union_part) {
    if (!as_union_part && !select.unions.empty()) return bind_union(select, outer);
    // A subquery is a statement of its own: aggregates are allowed in it wherever it sits.
    struct context_reset {
        explicit context_reset(jet_sql_binder& owner)
            : binder(owner), was_in_aggregate(owner.in_aggregate), was_in_where(owner.in_where) {
            binder.in_aggregate = binder.in_where = false;
        }
        ~context_reset() {
            binder.in_aggregate = was_in_aggregate;
            binder.in_where = was_in_where;
        }
        jet_sql_binder& binder;
        bool was_in_aggregate, was_in_where;
    } reset(*this);
    jet_sql_scope scope;
    scope.outer = outer;
    scope.select = &select;
    select_parts parts;
    for (const jet_sql_source_ptr& source : select.from)
        parts.from += (parts.from.empty() ? "" : ", ") + add_source(*source, scope);
    if (select.where) {
        in_where = true;
        parts.where = " WHERE " + emit(*select.where, scope).sql;
        in_where = false;
    }
    for (const jet_sql_expr_ptr& term : select.group_by) {
        jet_sql_emitted emitted = emit(*term, scope);
        if (emitted.has_aggregate) throw jet_sql_aggregate_in_expression(term->source);
        scope.group_sql.push_back(emitted.sql);
        parts.group_by += (parts.group_by.empty() ? " GROUP BY " : ", ")
                          + jet_sql_collated(emitted.sql, emitted.type.is_text());
    }
    bound_select bound;
    std::vector<jet_sql_emitted> items = bind_items(select, scope, bound.columns);
    jet_sql_emitted having;
    if (select.having) {
        having = emit(*select.having, scope);
        parts.having = " HAVING " + having.sql;
    }
    std::vector<jet_sql_emitted> order;
    if (!as_union_part)
        for (const jet_sql_order_item& item : select.order_by)
            order.push_back(emit(*item.expr, scope));
    check_grouping(select, items, having, order);
    if (select.distinct_row && select.group_by.empty() && !is_aggregate_query(items, having))
        parts.group_by = distinct_row_grouping(scope);
    for (std::size_t column_idx = 0; column_idx < items.size(); ++column_idx) {
        parts.columns += (column_idx == 0 ? "" : ", ")
                         + jet_sql_collated(items[column_idx].sql, items[column_idx].type.is_text())
                         + " AS " + quoted(column_name(column_idx));
    }
    for (std::size_t order_idx = 0; order_idx < order.size(); ++order_idx) {
        parts.order_values.push_back(
            jet_sql_collated(order[order_idx].sql, order[order_idx].type.is_text()));
        parts.descending.push_back(select.order_by[order_idx].descending);
    }
    bound.sql = compose(select, parts, items.size());
    return bound;
}

std::vector<jet_sql_emitted> jet_sql_binder::bind_items(
    const jet_sql_select& select, jet_sql_scope& scope,
    std::vector<jet_sql_output_column>& columns) {
    std::vector<jet_sql_emitted> items;
    std::vector<std::u16string> qualifiers;
    scope.is_collecting_use = true;
    for (const jet_sql_select_item& item : select.items) {
        if (!item.is_star) {
            items.push_back(emit(*item.expr, scope));
            columns.push_back(
                {item.alias.empty() ? default_name(*item.expr, expression_count) : item.alias,
                 items.back().type});
            bool is_plain_column = item.alias.empty()
                                   && item.expr->kind == jet_sql_expr_kind::column;
            qualifiers.push_back(is_plain_column ? item.expr->qualifier : u"");
            continue;
        }
        bool is_found = item.star_qualifier.empty();
        for (const jet_sql_bound_source& source : scope.sources) {
            if (!item.star_qualifier.empty()
                && !win_equal_ignore_case(source.alias, item.star_qualifier))
                continue;
            is_found = true;
            note_use(scope, source);
            for (const jet_sql_source_column& column : source.columns) {
                jet_sql_emitted emitted;
                emitted.sql = column.sql;
                emitted.type = column.type;
                emitted.ungrouped = column.name;
                items.push_back(emitted);
                columns.push_back({column.name, column.type});
                qualifiers.push_back(source.alias);
            }
        }
        if (!is_found) throw jet_sql_unknown_name();
    }
    scope.is_collecting_use = false;
    qualify_duplicates(columns, qualifiers);
    return items;
}

// TOP keeps the rows that tie with the last one, as Access does: ranked by the ORDER BY terms,
// a row is kept while its rank is within the count (or the percentage, rounded up).
std::string jet_sql_binder::compose(const jet_sql_select& select, const select_parts& parts,
                                    std::size_t column_count) {
    std::string head = std::string("SELECT ") + (select.distinct ? "DISTINCT " : "")
                       + parts.columns;
    std::string tail = " FROM " + parts.from + parts.where + parts.group_by + parts.having;
    std::string window_order;
    for (std::size_t order_idx = 0; order_idx < parts.order_values.size(); ++order_idx) {
        window_order += (order_idx == 0 ? "ORDER BY " : ", ")
                        + quoted("o" + std::to_string(order_idx))
                        + (parts.descending[order_idx] ? " DESC" : "");
    }
    if (!select.has_top) {
        std::string order_by;
        for (std::size_t order_idx = 0; order_idx < parts.order_values.size(); ++order_idx)
            order_by += (order_idx == 0 ? " ORDER BY " : ", ") + parts.order_values[order_idx]
                        + (parts.descending[order_idx] ? " DESC" : "");
        return head + tail + order_by;
    }
    jet_sql_param top;
    top.integer_value = select.top;
    std::string order_columns;
    for (std::size_t order_idx = 0; order_idx < parts.order_values.size(); ++order_idx)
        order_columns += ", " + parts.order_values[order_idx] + " AS "
                         + quoted("o" + std::to_string(order_idx));
    std::string rank = window_order.empty() ? "row_number() OVER ()"
                                            : "rank() OVER (" + window_order + ")";
    std::string ranked = "SELECT *, " + rank + " AS \"r\", count(*) OVER () AS \"n\" FROM (" + head
                         + order_columns + tail + ")";
    std::string condition = select.top_percent ? "\"r\" <= (\"n\" * " + param(top) + " + 99) / 100"
                                               : "\"r\" <= " + param(top);
    std::string outer_columns;
    for (std::size_t column_idx = 0; column_idx < column_count; ++column_idx)
        outer_columns += (column_idx == 0 ? "" : ", ") + quoted(column_name(column_idx));
    return "SELECT " + outer_columns + " FROM (" + ranked + ") WHERE " + condition + " "
           + window_order;
}

void jet_sql_binder::note_use(jet_sql_scope& scope, const jet_sql_bound_source& source) {
    if (!scope.is_collecting_use) return;
    for (const jet_sql_bound_source* used : scope.used_sources)
        if (used == &source) return;
    scope.used_sources.push_back(&source);
}

bool jet_sql_binder::is_aggregate_query(const std::vector<jet_sql_emitted>& items,
                                        const jet_sql_emitted& having) {
    bool has_aggregate = having.has_aggregate;
    for (const jet_sql_emitted& item : items) has_aggregate = has_aggregate || item.has_aggregate;
    return has_aggregate;
}

// DISTINCTROW keeps one row per combination of the records the selected fields come from; it
// changes nothing when they come from every table (or from a derived table, which has no
// records of its own). Grouping by those records' row ids keeps exactly one row each.
std::string jet_sql_binder::distinct_row_grouping(const jet_sql_scope& scope) {
    if (scope.used_sources.empty() || scope.used_sources.size() == scope.sources.size()) return {};
    std::string grouping;
    for (const jet_sql_bound_source* source : scope.used_sources) {
        if (source->sql_alias.empty()) return {};
        grouping += (grouping.empty() ? " GROUP BY " : ", ") + quoted(source->sql_alias) + ".rowid";
    }
    return grouping;
}

// In a query that groups, every column used outside an aggregate must be a GROUP BY term.
void jet_sql_binder::check_grouping(const jet_sql_select& select,
                                    const std::vector<jet_sql_emitted>& items,
                                    const jet_sql_emitted& having,
                                    const std::vector<jet_sql_emitted>& order) {
    bool is_grouped = !select.group_by.empty() || having.has_aggregate;
    for (const jet_sql_emitted& item : items) is_grouped = is_grouped || item.has_aggregate;
    for (const jet_sql_emitted& item : order) is_grouped = is_grouped || item.has_aggregate;
    if (!is_grouped) return;
    auto check = [](const jet_sql_emitted& value) {
        if (!value.ungrouped.empty()) throw jet_sql_not_aggregated(value.ungrouped);
    };
    for (const jet_sql_emitted& item : items) check(item);
    check(having);
    for (const jet_sql_emitted& item : order) check(item);
}

jet_sql_emitted jet_sql_binder::emit_column(const jet_sql_expr& expr, jet_sql_scope& scope) {
    for (const jet_sql_scope* level = &scope; level != nullptr; level = level->outer) {
        const jet_sql_source_column* found = nullptr;
        const jet_sql_bound_source* found_source = nullptr;
        if (!expr.qualifier.empty()) {
            found_source = find_source(*level, expr.qualifier);
            if (found_source == nullptr) continue;
            for (const jet_sql_source_column& column : found_source->columns)
                if (win_equal_ignore_case(column.name, expr.name)) found = &column;
            if (found == nullptr) return emit_parameter(expr);
        } else {
            for (const jet_sql_bound_source& source : level->sources) {
                for (const jet_sql_source_column& column : source.columns) {
                    if (!win_equal_ignore_case(column.name, expr.name)) continue;
                    if (found != nullptr) throw jet_sql_ambiguous_field(expr.name);
                    found = &column;
                    found_source = &source;
                }
            }
        }
        if (found != nullptr) {
            if (level == &scope) note_use(scope, *found_source);
            jet_sql_emitted emitted;
            emitted.sql = found->sql;
            emitted.type = found->type;
            bool is_own = level == &scope;
            if (is_own && !in_aggregate) emitted.ungrouped = expr.source;
            for (const std::string& term : scope.group_sql)
                if (is_own && term == emitted.sql) emitted.ungrouped.clear();
            return emitted;
        }
        if (expr.qualifier.empty() && level->select != nullptr) {
            for (const jet_sql_select_item& item : level->select->items) {
                if (item.is_star || item.alias.empty()
                    || !win_equal_ignore_case(item.alias, expr.name))
                    continue;
                for (const jet_sql_expr* in_use : aliases_in_use)
                    if (in_use == item.expr.get()) throw jet_sql_unknown_name();
                if (level != &scope) break;
                aliases_in_use.push_back(item.expr.get());
                jet_sql_emitted emitted = emit(*item.expr, scope);
                aliases_in_use.pop_back();
                return emitted;
            }
        }
    }
    return emit_parameter(expr);
}

void jet_sql_binder::add_parameter(const std::u16string& name) {
    for (const std::u16string& known : parameter_names)
        if (win_equal_ignore_case(known, name)) return;
    parameter_names.push_back(name);
}

jet_sql_emitted jet_sql_binder::emit_parameter(const jet_sql_expr& expr) {
    add_parameter(expr.qualifier.empty() ? expr.name : expr.qualifier + expr.op + expr.name);
    jet_sql_emitted emitted;
    emitted.sql = "NULL";
    return emitted;
}
