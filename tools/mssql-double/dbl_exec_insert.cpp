// dbl_exec_insert.cpp - INSERT INTO t [(columns)] VALUES (...)[, (...)]: all rows or none.
#include "dbl_executor.hpp"

#include "dbl_eval.hpp"
#include "dbl_row_writer.hpp"
#include "dbl_text.hpp"

namespace {

std::vector<int> target_columns(const dbl_statement& st, const dbl_table& table) {
    std::vector<int> columns;
    if (st.columns.empty()) {
        for (std::size_t i = 0; i < table.columns.size(); ++i)
            if (!table.columns[i].b_identity) columns.push_back(int(i));
        return columns;
    }
    for (const std::string& name : st.columns) {
        int index = table.column_index(name);
        if (index < 0) throw dbl_err::invalid_column(name);
        for (int seen : columns)
            if (seen == index) throw dbl_err::insert_column_twice(name);
        columns.push_back(index);
    }
    return columns;
}

bool identity_insert_on(const dbl_executor& ex, const dbl_table_ref& ref) {
    const auto& on = ex.session.identity_insert;
    return on && on->object_id == ref.table->object_id
           && dbl_same_name(on->database, ref.database->name());
}

// A value of the VALUES list; an overflow or a division by zero in it may be NULL instead.
dbl_typed evaluate(dbl_executor& ex, const dbl_write_rules& rules, const dbl_expr& expr,
                   const dbl_eval_context& context) {
    try {
        return dbl_eval(expr, context);
    } catch (const dbl_sql_error& error) {
        dbl_settle_arithmetic_error(ex, rules, error);
        return dbl_typed{dbl_make_type(dbl_kind::INT), dbl_null()};
    }
}

}   // namespace

void dbl_run_insert(dbl_executor& ex, const dbl_statement& st) {
    dbl_table_ref ref = ex.resolve_table(st.target, true);
    std::vector<int> columns = target_columns(st, *ref.table);
    bool identity_on = identity_insert_on(ex, ref);
    if (st.columns.empty() && identity_on)
        throw dbl_sql_error(8101, 1, 16,
                            "An explicit value for the identity column in table '"
                                + st.target.written()
                                + "' can only be specified when a column list "
                                  "is used and IDENTITY_INSERT is ON.");
    for (const auto& row : st.rows) {
        if (row.size() == columns.size()) continue;
        if (st.columns.empty())
            throw dbl_sql_error(213, 1, 16,
                                "Column name or number of supplied values does not "
                                "match table definition.");
        throw row.size() < columns.size() ? dbl_err::more_columns_than_values()
                                          : dbl_err::more_values_than_columns();
    }
    ex.check_filtered_index_options("INSERT", ref.table->has_filtered_index());
    dbl_write_rules rules = dbl_insert_rules(ex.session.set);
    rules.b_identity_allowed = identity_on;
    std::uint64_t count = 0;
    ex.transact(*ref.database, [&] {
        dbl_row_writer writer(ex, ref, rules);
        dbl_eval_context context{&ex, nullptr, {}, nullptr};
        for (const auto& row : st.rows) {
            std::vector<dbl_typed> values;
            values.reserve(row.size());
            for (const dbl_expr_ptr& expr : row)
                values.push_back(evaluate(ex, rules, *expr, context));
            writer.write(columns, values);
            ++count;
        }
        writer.finish();
    });
    ex.session.last_rowcount = std::int64_t(count);
    ex.send_done(dbl_tds::CMD_INSERT, true, count);
}
