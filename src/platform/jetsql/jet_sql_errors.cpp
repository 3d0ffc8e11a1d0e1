#include "platform/jetsql/jet_sql_errors.hpp"

#include "platform/jetsql/jet_query.hpp"
#include "platform/winbase/win_codepage.hpp"

jet_error jet_sql_expression_error(std::u16string_view expression) {
    return jet_error(JET_ERR_SYNTAX_EXPRESSION,
                     "Syntax error (missing operator) in query expression '"
                         + win_utf16_to_utf8(expression) + "'.");
}

jet_error jet_sql_from_error() {
    return jet_error(JET_ERR_SYNTAX_FROM, "Syntax error in FROM clause.");
}

jet_error jet_sql_select_error() {
    return jet_error(JET_ERR_SYNTAX_SELECT,
                     "The SELECT statement includes a reserved word or an argument name that is "
                     "misspelled or missing, or the punctuation is incorrect.");
}

jet_error jet_sql_invalid_statement() {
    return jet_error(JET_ERR_INVALID_STATEMENT,
                     "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', "
                     "'SELECT', or 'UPDATE'.");
}

jet_error jet_sql_trailing_characters() {
    return jet_error(JET_ERR_TRAILING_CHARACTERS, "Characters found after end of SQL statement.");
}

jet_error jet_sql_too_complex() {
    return jet_error(JET_ERR_QUERY_TOO_COMPLEX, "Query is too complex.");
}

// Access asks for a parameter value; without one to give, DAO fails with this.
jet_error jet_sql_unknown_name() {
    return jet_error(JET_ERR_TOO_FEW_PARAMETERS, "Too few parameters. Expected 1.");
}

jet_error jet_sql_too_few_parameters(const std::vector<std::u16string>& names) {
    std::string text = "Too few parameters. Expected " + std::to_string(names.size()) + ".";
    for (std::size_t name_idx = 0; name_idx < names.size(); ++name_idx)
        text += (name_idx == 0 ? " Parameters: [" : ", [") + win_utf16_to_utf8(names[name_idx])
                + "]";
    return jet_error(JET_ERR_TOO_FEW_PARAMETERS, text);
}

jet_error jet_sql_ambiguous_field(std::u16string_view name) {
    return jet_error(JET_ERR_AMBIGUOUS_FIELD,
                     "The specified field '" + win_utf16_to_utf8(name)
                         + "' could refer to more than one table listed in the FROM clause of "
                           "your SQL statement.");
}

jet_error jet_sql_not_aggregated(std::u16string_view expression) {
    return jet_error(JET_ERR_NOT_AGGREGATED,
                     "You tried to execute a query that does not include the specified "
                     "expression '"
                         + win_utf16_to_utf8(expression) + "' as part of an aggregate function.");
}

jet_error jet_sql_table_not_found(std::u16string_view name) {
    return jet_error::table_not_found(win_utf16_to_utf8(name));
}

jet_error jet_sql_undefined_function(std::u16string_view name) {
    return jet_error(JET_ERR_UNDEFINED_FUNCTION,
                     "Undefined function '" + win_utf16_to_utf8(name) + "' in expression.");
}

jet_error jet_sql_aggregate_in_expression(std::u16string_view expression) {
    return jet_error(JET_ERR_AGGREGATE_IN_EXPRESSION,
                     "Cannot have aggregate function in expression ("
                         + win_utf16_to_utf8(expression) + ").");
}

jet_error jet_sql_aggregate_in_where(std::u16string_view expression) {
    return jet_error(JET_ERR_AGGREGATE_IN_WHERE, "Cannot have aggregate function in WHERE clause ("
                                                     + win_utf16_to_utf8(expression) + ").");
}

jet_error jet_sql_subquery_fields() {
    return jet_error(JET_ERR_SUBQUERY_FIELDS,
                     "You have written a subquery that can return more than one field without "
                     "using the EXISTS reserved word in the main query's FROM clause. Revise "
                     "the SELECT statement of the subquery to request only one field.");
}

jet_error jet_sql_type_mismatch() {
    return jet_error(JET_ERR_TYPE_MISMATCH, "Data type mismatch in criteria expression.");
}

jet_error jet_sql_union_columns() {
    return jet_error(JET_ERR_UNION_COLUMNS,
                     "The number of columns in the two selected tables or queries of a union "
                     "query do not match.");
}

jet_error jet_sql_circular_query(std::u16string_view name, std::u16string_view chain) {
    return jet_error(JET_ERR_CIRCULAR_QUERY, "Circular reference caused by query '"
                                                 + win_utf16_to_utf8(name) + "' ("
                                                 + win_utf16_to_utf8(chain) + ").");
}
