#pragma once
// jet_sql_tree.hpp - an Access-SQL SELECT as the parser leaves it: names exactly as written,
// literals already decoded. Nothing here has been checked against the database; the binder
// resolves names and types when it turns the tree into SQLite SQL.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct jet_sql_select;

enum class jet_sql_expr_kind : std::uint8_t {
    null_literal,
    integer_literal,   // integer_value
    real_literal,      // real_value
    text_literal,      // text
    date_literal,      // real_value: the OLE date
    bool_literal,      // integer_value: -1 or 0
    column,            // qualifier (may be empty) and name
    star,              // the * of Count(*)
    negate,            // args[0]
    logical_not,       // args[0]
    binary,            // op, args[0], args[1]: + - * / \ ^ & Mod = <> < > <= >= And Or Xor
    like,              // args[0] LIKE args[1], negated
    between,           // args[0] BETWEEN args[1] AND args[2], negated
    in_list,           // args[0] IN (args[1..]), negated
    in_query,          // args[0] IN (query), negated
    is_null,           // args[0] IS NULL, negated
    exists,            // EXISTS (query)
    scalar_query,      // (query)
    call,              // name(args)
};

struct jet_sql_expr {
    jet_sql_expr_kind kind = jet_sql_expr_kind::null_literal;
    std::u16string name;        // column or function name
    std::u16string qualifier;   // table or alias of a column
    std::u16string op;          // binary operator, upper case for words; a column's last
                                // separator, "." or "!"
    std::u16string text;        // text literal
    std::u16string source;      // the expression as written, for error messages
    std::int64_t integer_value = 0;
    double real_value = 0;
    bool negated = false;
    std::vector<std::unique_ptr<jet_sql_expr>> args;
    std::unique_ptr<jet_sql_select> query;
};
using jet_sql_expr_ptr = std::unique_ptr<jet_sql_expr>;

struct jet_sql_select_item {
    jet_sql_expr_ptr expr;           // null for * and q.*
    std::u16string star_qualifier;   // q of q.*
    bool is_star = false;
    std::u16string alias;
};

enum class jet_sql_join_kind : std::uint8_t { inner, left, right, cross };

struct jet_sql_source {
    enum class kind_t : std::uint8_t { table, query, join } kind = kind_t::table;
    std::u16string table_name;               // table
    std::u16string alias;                    // table or query
    std::unique_ptr<jet_sql_select> query;   // query
    jet_sql_join_kind join = jet_sql_join_kind::inner;
    std::unique_ptr<jet_sql_source> left, right;   // join
    jet_sql_expr_ptr on;                           // join, null for cross
};
using jet_sql_source_ptr = std::unique_ptr<jet_sql_source>;

struct jet_sql_order_item {
    jet_sql_expr_ptr expr;
    bool descending = false;
};

// One SELECT joined to the statement by UNION (duplicates removed) or UNION ALL.
struct jet_sql_union_part {
    bool all = false;
    std::unique_ptr<jet_sql_select> select;
};

struct jet_sql_select {
    bool distinct = false;
    bool distinct_row = false;   // DISTINCTROW: one row per underlying record
    bool has_top = false;
    bool top_percent = false;
    std::int64_t top = 0;
    std::vector<jet_sql_select_item> items;
    std::vector<jet_sql_source_ptr> from;   // comma-separated sources
    jet_sql_expr_ptr where;
    std::vector<jet_sql_expr_ptr> group_by;
    jet_sql_expr_ptr having;
    std::vector<jet_sql_order_item> order_by;   // with unions: the order of the whole result
    std::vector<jet_sql_union_part> unions;     // the SELECTs after the first, in order
    std::vector<std::u16string> parameters;     // declared by PARAMETERS, in order
};
