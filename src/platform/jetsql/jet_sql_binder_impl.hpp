#pragma once
// jet_sql_binder_impl.hpp - the binder's working state, shared by its three source files:
// statements and sources (jet_sql_binder.cpp), operators (jet_sql_bind_expr.cpp) and
// functions (jet_sql_bind_call.cpp).

#include <string>
#include <vector>

#include "platform/jetsql/jet_sql_binder.hpp"

// An expression as SQL, with what the checks above it need to know.
struct jet_sql_emitted {
    std::string sql;
    jet_sql_type type;
    bool has_aggregate = false;
    std::u16string ungrouped;   // a column used outside aggregates and GROUP BY, as written
};

struct jet_sql_source_column {
    std::u16string name;
    jet_sql_type type;
    std::string sql;   // "s2"."c0"
};

struct jet_sql_bound_source {
    std::u16string alias;    // as written, or the table's name
    std::string sql_alias;   // "s2" for a loaded table; empty for a derived table
    std::vector<jet_sql_source_column> columns;
};

struct jet_sql_scope {
    const jet_sql_scope* outer = nullptr;
    std::vector<jet_sql_bound_source> sources;
    const jet_sql_select* select = nullptr;                  // for its aliases
    std::vector<std::string> group_sql;                      // GROUP BY terms as emitted
    bool is_collecting_use = false;                          // while the select list is bound
    std::vector<const jet_sql_bound_source*> used_sources;   // by the select list
};

class jet_sql_binder {
public:
    explicit jet_sql_binder(jet_sql_loader& table_loader) : loader(table_loader) {}

    jet_sql_compiled bind_statement(const jet_sql_select& select);

    // jet_sql_binder.cpp
    struct bound_select {
        std::string sql;
        std::vector<jet_sql_output_column> columns;
    };
    // A SELECT with its unions; as_union_part binds one SELECT alone, without the ORDER BY
    // that belongs to the whole union.
    bound_select bind_select(const jet_sql_select& select, const jet_sql_scope* outer,
                             bool as_union_part = false);
    // jet_sql_bind_union.cpp
    bound_select bind_union(const jet_sql_select& select, const jet_sql_scope* outer);

    // jet_sql_bind_expr.cpp
    jet_sql_emitted emit(const jet_sql_expr& expr, jet_sql_scope& scope);
    std::string param(jet_sql_param value);
    static std::string as_double(const jet_sql_emitted& value);
    static std::string convert(const jet_sql_emitted& value, const jet_sql_type& target);

    // jet_sql_bind_call.cpp
    jet_sql_emitted emit_call(const jet_sql_expr& expr, jet_sql_scope& scope);

private:
    std::string add_source(const jet_sql_source& source, jet_sql_scope& scope);
    std::string add_table(const jet_sql_source& source, jet_sql_scope& scope);
    std::string add_query(const jet_sql_source& source, jet_sql_scope& scope);
    std::string add_saved_query(const jet_sql_source& source, const std::u16string& text,
                                jet_sql_scope& scope);
    std::string add_derived(const bound_select& inner, const std::u16string& alias,
                            jet_sql_scope& scope);
    void add_parameter(const std::u16string& name);
    std::string next_alias() { return "s" + std::to_string(alias_count++); }

    jet_sql_emitted emit_column(const jet_sql_expr& expr, jet_sql_scope& scope);
    // A name that is no column: Access asks for it as a parameter.
    jet_sql_emitted emit_parameter(const jet_sql_expr& expr);
    void coerce_literal(const jet_sql_expr& literal, const jet_sql_type& other,
                        jet_sql_emitted& emitted);
    jet_sql_emitted emit_binary(const jet_sql_expr& expr, jet_sql_scope& scope);
    jet_sql_emitted emit_arithmetic(const jet_sql_expr& expr, const jet_sql_emitted& left,
                                    const jet_sql_emitted& right);
    jet_sql_emitted emit_predicate(const jet_sql_expr& expr, jet_sql_scope& scope);
    jet_sql_emitted emit_query_value(const jet_sql_expr& expr, jet_sql_scope& scope);
    jet_sql_emitted emit_aggregate(const jet_sql_expr& expr, jet_sql_scope& scope,
                                   const std::u16string& function);
    static void check_grouping(const jet_sql_select& select,
                               const std::vector<jet_sql_emitted>& items,
                               const jet_sql_emitted& having,
                               const std::vector<jet_sql_emitted>& order);

    // The clauses of one SELECT as SQL, ready to be put together.
    struct select_parts {
        std::string columns, from, where, group_by, having;
        std::vector<std::string> order_values;   // ORDER BY terms, collated
        std::vector<bool> descending;
    };
    static void note_use(jet_sql_scope& scope, const jet_sql_bound_source& source);
    static bool is_aggregate_query(const std::vector<jet_sql_emitted>& items,
                                   const jet_sql_emitted& having);
    static std::string distinct_row_grouping(const jet_sql_scope& scope);
    std::vector<jet_sql_emitted> bind_items(const jet_sql_select& select, jet_sql_scope& scope,
                                            std::vector<jet_sql_output_column>& columns);
    std::string compose(const jet_sql_select& select, const select_parts& parts,
                        std::size_t column_count);

    jet_sql_loader& loader;
    std::vector<jet_sql_param> params;
    int alias_count = 0;
    int expression_count = 0;   // for Access's Expr1000, Expr1001, ... column names
    bool in_aggregate = false;
    bool in_where = false;
    std::vector<const jet_sql_expr*> aliases_in_use;   // guards alias self-reference
    std::vector<std::u16string> parameter_names;       // declared, then met, in order
    std::vector<std::u16string> expanding;             // saved queries being expanded
};

// "(a) COLLATE jet_nocase" when text compares, else a as it is.
std::string jet_sql_collated(const std::string& sql, bool is_text);
