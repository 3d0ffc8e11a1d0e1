// dbl_exec_select.cpp - SELECT: a source (table, catalogue view, subquery or none), WHERE,
// whole-set aggregates, ORDER BY (expressions, output names or ordinals), TOP and the select
// list. A table without ORDER BY comes back in clustered-key order, as SQL Server's scan of
// a clustered index does.
#include "dbl_executor.hpp"

#include "dbl_convert.hpp"
#include "dbl_eval.hpp"
#include "dbl_number.hpp"
#include "dbl_sum.hpp"
#include "dbl_text.hpp"
#include "dbl_views.hpp"

#include <algorithm>
#include <optional>

namespace {

struct source_rows {
    dbl_rowset rowset;
    std::vector<std::string> qualifiers;
    const dbl_table* table = nullptr;
    // Set instead of `rowset.rows` when the statement only counts a whole table.
    std::optional<std::int64_t> row_count;
};

// SELECT COUNT(*) [, COUNT(*) ...] FROM table, without WHERE: the table's count answers it.
bool counts_whole_table(const dbl_select& select) {
    if (select.where || !select.from || select.from->subquery) return false;
    for (const dbl_select_item& item : select.items) {
        if (!item.expr || item.expr->kind != dbl_expr_kind::AGGREGATE || item.expr->name != "count"
            || !item.expr->b_star) {
            return false;
        }
    }
    return !select.items.empty();
}

dbl_rowset run_select(dbl_executor& ex, const dbl_select& select);

std::vector<dbl_result_column> table_columns(const dbl_table& table) {
    std::vector<dbl_result_column> columns;
    for (const dbl_column& column : table.columns) {
        dbl_result_column result;
        result.name = column.name;
        result.type = column.type;
        result.b_nullable = column.b_nullable;
        result.b_identity = column.b_identity;
        result.b_updatable = !column.b_identity;
        if (column.type.kind == dbl_kind::TEXT || column.type.kind == dbl_kind::NTEXT
            || column.type.kind == dbl_kind::IMAGE)
            result.table_parts = {table.schema, table.name};
        columns.push_back(result);
    }
    return columns;
}

int compare_rows(const dbl_row& a, const dbl_row& b, const std::vector<int>& columns,
                 const std::vector<bool>& descending, const std::vector<dbl_result_column>& types) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const dbl_value& x = a[std::size_t(columns[i])];
        const dbl_value& y = b[std::size_t(columns[i])];
        int order = 0;
        if (x.b_null || y.b_null) order = x.b_null == y.b_null ? 0 : x.b_null ? -1 : 1;
        else {
            const dbl_type& type = types[std::size_t(columns[i])].type;
            order = dbl_compare(dbl_typed{type, x}, dbl_typed{type, y});
        }
        if (order != 0) return descending[i] ? -order : order;
    }
    return 0;
}

// Rows come in the clustered key's order, as SQL Server's scan gives them, unless the result
// cannot show an order (an aggregate over all rows): sorting a million rows to count them
// would cost more than the count.
source_rows load_source(dbl_executor& ex, const dbl_select& select, bool b_rows_wanted,
                        bool b_order_shown) {
    source_rows source;
    if (!select.from) {
        source.rowset.rows.emplace_back();
        return source;
    }
    const dbl_source& from = *select.from;
    if (from.subquery) {
        source.rowset = run_select(ex, *from.subquery);
        source.qualifiers.push_back(from.alias);
        return source;
    }
    source.qualifiers.push_back(from.table.written());
    source.qualifiers.push_back(from.table.last());
    if (!from.alias.empty()) source.qualifiers = {from.alias};
    if (auto view = dbl_catalog_view(ex, from.table)) {
        source.rowset = std::move(*view);
        return source;
    }
    dbl_table_ref ref = ex.resolve_table(from.table, true);
    source.table = ref.table;
    source.rowset.columns = table_columns(*ref.table);
    if (!b_rows_wanted) return source;
    if (counts_whole_table(select)) {
        source.row_count = ref.database->count_rows(*ref.table);
        return source;
    }
    source.rowset.rows = ref.database->scan(*ref.table);
    const dbl_key* clustered = ref.table->clustered_key();
    if (clustered && select.order.empty() && b_order_shown) {
        std::stable_sort(source.rowset.rows.begin(), source.rowset.rows.end(),
                         [&](const dbl_row& a, const dbl_row& b) {
                             return compare_rows(a, b, clustered->columns, clustered->descending,
                                                 source.rowset.columns)
                                    < 0;
                         });
    }
    return source;
}

bool has_aggregate(const dbl_select& select) {
    for (const dbl_select_item& item : select.items)
        if (item.expr && item.expr->kind == dbl_expr_kind::AGGREGATE) return true;
    return false;
}

bool references_column(const dbl_expr& e) {
    if (e.kind == dbl_expr_kind::COLUMN) return true;
    if (e.kind == dbl_expr_kind::AGGREGATE) return false;
    for (const dbl_expr_ptr& arg : e.args)
        if (references_column(*arg)) return true;
    return false;
}

dbl_typed aggregate(dbl_executor& ex, const dbl_expr& e, const source_rows& source) {
    dbl_eval_context context{&ex, &source.rowset.columns, source.qualifiers, nullptr};
    if (e.name == "count" && e.b_star && source.row_count) {
        return dbl_typed{dbl_make_type(dbl_kind::INT), dbl_int(*source.row_count)};
    }
    if (e.name == "count") {
        std::int64_t count = 0;
        for (const dbl_row& row : source.rowset.rows) {
            context.row = &row;
            if (e.b_star || !dbl_eval(*e.args.at(0), context).value.b_null) ++count;
        }
        return dbl_typed{dbl_make_type(dbl_kind::INT), dbl_int(count)};
    }
    if (e.args.size() != 1)
        throw dbl_sql_error(174, 1, 15, "The " + e.name + " function requires 1 argument(s).",
                            dbl_scope::BATCH);
    dbl_typed result = dbl_eval(*e.args[0], context);
    result.value = dbl_null();
    if (e.name == "sum" || e.name == "avg") result.type = dbl_sum_type(result.type);
    std::int64_t count = 0;
    for (const dbl_row& row : source.rowset.rows) {
        context.row = &row;
        dbl_typed value = dbl_eval(*e.args[0], context);
        if (value.value.b_null) continue;
        ++count;
        dbl_typed converted{result.type, dbl_convert(value, result.type, dbl_target{})};
        if (result.value.b_null) {
            result.value = converted.value;
            continue;
        }
        if (e.name == "min" || e.name == "max") {
            int order = dbl_compare(converted, result);
            if ((e.name == "min" && order < 0) || (e.name == "max" && order > 0))
                result.value = converted.value;
        } else {
            dbl_add_to_sum(result, converted.value);
        }
    }
    if (e.name == "avg" && count > 0) {
        result.value.integer /= count;
        result.value.decimal /= count;
        result.value.floating /= double(count);
    }
    return result;
}

void add_item_column(dbl_rowset& out, const dbl_select_item& item, const dbl_typed& sample,
                     const source_rows& source, const dbl_eval_context& context) {
    dbl_result_column column;
    column.type = sample.type;
    if (item.expr->kind == dbl_expr_kind::COLUMN) {
        column = source.rowset.columns[std::size_t(dbl_find_column(*item.expr, context))];
    }
    column.name = item.b_has_alias                           ? item.alias
                  : item.expr->kind == dbl_expr_kind::COLUMN ? column.name
                                                             : std::string();
    out.columns.push_back(column);
}

dbl_rowset aggregate_select(dbl_executor& ex, const dbl_select& select, const source_rows& source) {
    dbl_rowset out;
    dbl_row row;
    dbl_eval_context context{&ex, &source.rowset.columns, source.qualifiers, nullptr};
    for (const dbl_select_item& item : select.items) {
        if (!item.expr || references_column(*item.expr))
            throw dbl_sql_error(8120, 1, 16,
                                "Column '" + (item.expr ? item.expr->written : std::string("*"))
                                    + "' is invalid in the select list because it is not contained "
                                      "in either an aggregate function or the GROUP BY clause.",
                                dbl_scope::BATCH);
        dbl_typed value = item.expr->kind == dbl_expr_kind::AGGREGATE
                              ? aggregate(ex, *item.expr, source)
                              : dbl_eval(*item.expr, context);
        dbl_result_column column;
        column.type = value.type;
        column.name = item.b_has_alias ? item.alias : "";
        out.columns.push_back(column);
        row.push_back(value.value);
    }
    out.rows.push_back(std::move(row));
    return out;
}

struct ordered_row {
    dbl_row output;
    std::vector<dbl_typed> keys;
};

std::vector<dbl_typed> order_keys(dbl_executor& ex, const dbl_select& select, const dbl_rowset& out,
                                  const dbl_row& output, const dbl_eval_context& context) {
    std::vector<dbl_typed> keys;
    for (const dbl_order_item& item : select.order) {
        const dbl_expr& e = *item.expr;
        if (e.kind == dbl_expr_kind::LITERAL && e.literal.type.kind == dbl_kind::INT) {
            std::int64_t ordinal = e.literal.value.integer;
            if (ordinal < 1 || ordinal > std::int64_t(out.columns.size()))
                throw dbl_sql_error(108, 1, 15,
                                    "The ORDER BY position number " + std::to_string(ordinal)
                                        + " is out of range of the number "
                                          "of items in the select list.",
                                    dbl_scope::BATCH);
            keys.push_back(
                {out.columns[std::size_t(ordinal - 1)].type, output[std::size_t(ordinal - 1)]});
            continue;
        }
        bool by_output = false;
        if (e.kind == dbl_expr_kind::COLUMN && e.column.parts.size() == 1) {
            for (std::size_t i = 0; i < out.columns.size() && !by_output; ++i) {
                if (!dbl_same_name(out.columns[i].name, e.column.last())) continue;
                keys.push_back({out.columns[i].type, output[i]});
                by_output = true;
            }
        }
        if (!by_output) keys.push_back(dbl_eval(e, context));
    }
    (void)ex;
    return keys;
}

void sort_rows(const dbl_select& select, std::vector<ordered_row>& rows) {
    std::stable_sort(rows.begin(), rows.end(), [&](const ordered_row& a, const ordered_row& b) {
        for (std::size_t i = 0; i < select.order.size(); ++i) {
            const dbl_typed& x = a.keys[i];
            const dbl_typed& y = b.keys[i];
            int order = 0;
            if (x.value.b_null || y.value.b_null)
                order = x.value.b_null == y.value.b_null ? 0 : x.value.b_null ? -1 : 1;
            else order = dbl_compare(x, y);
            if (order != 0) return select.order[i].b_descending ? order > 0 : order < 0;
        }
        return false;
    });
}

dbl_rowset run_select(dbl_executor& ex, const dbl_select& select) {
    bool rows_wanted = !ex.session.b_fmtonly;
    source_rows source = load_source(ex, select, rows_wanted, !has_aggregate(select));
    dbl_eval_context context{&ex, &source.rowset.columns, source.qualifiers, nullptr};
    if (select.where) {
        std::vector<dbl_row> kept;
        for (dbl_row& row : source.rowset.rows) {
            context.row = &row;
            if (dbl_eval_condition(*select.where, context)) kept.push_back(std::move(row));
        }
        source.rowset.rows = std::move(kept);
    }
    if (has_aggregate(select)) return aggregate_select(ex, select, source);
    dbl_rowset out;
    std::vector<int> star_columns;
    for (const dbl_select_item& item : select.items) {
        if (!item.expr) {
            for (std::size_t i = 0; i < source.rowset.columns.size(); ++i)
                out.columns.push_back(source.rowset.columns[i]);
            continue;
        }
        context.row = source.rowset.rows.empty() ? nullptr : &source.rowset.rows.front();
        add_item_column(out, item, dbl_eval(*item.expr, context), source, context);
    }
    std::vector<ordered_row> rows;
    for (const dbl_row& row : source.rowset.rows) {
        context.row = &row;
        ordered_row result;
        for (const dbl_select_item& item : select.items) {
            if (!item.expr) {
                result.output.insert(result.output.end(), row.begin(), row.end());
                continue;
            }
            dbl_typed value = dbl_eval(*item.expr, context);
            std::size_t index = result.output.size();
            result.output.push_back(dbl_convert(value, out.columns[index].type, dbl_target{}));
        }
        result.keys = order_keys(ex, select, out, result.output, context);
        rows.push_back(std::move(result));
    }
    if (source.rowset.rows.empty() && !select.order.empty()) {
        context.row = nullptr;
        order_keys(ex, select, out, dbl_row(out.columns.size()), context);   // names checked
    }
    sort_rows(select, rows);
    std::size_t limit = select.top ? std::size_t(std::max<std::int64_t>(*select.top, 0))
                                   : rows.size();
    for (std::size_t i = 0; i < rows.size() && i < limit; ++i)
        out.rows.push_back(std::move(rows[i].output));
    return out;
}

}   // namespace

dbl_rowset dbl_select_rows(dbl_executor& ex, const dbl_select& select) {
    return run_select(ex, select);
}

void dbl_run_select(dbl_executor& ex, const dbl_statement& st) {
    dbl_rowset rowset = run_select(ex, *st.select);
    ex.send_rowset(rowset, dbl_tds::CMD_SELECT, false);
}
