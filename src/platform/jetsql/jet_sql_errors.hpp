#pragma once
// jet_sql_errors.hpp - the DAO errors a query raises, with Jet's own texts, built in one place
// so the parser, the binder and the runner word them alike.

#include <string>
#include <string_view>
#include <vector>

#include "platform/jet/jet_error.hpp"

inline constexpr int JET_ERR_RESERVED = 3000;
inline constexpr int JET_ERR_AMBIGUOUS_FIELD = 3079;
inline constexpr int JET_ERR_NOT_AGGREGATED = 3122;
inline constexpr int JET_ERR_INVALID_STATEMENT = 3129;
inline constexpr int JET_ERR_TRAILING_CHARACTERS = 3142;
inline constexpr int JET_ERR_QUERY_TOO_COMPLEX = 3360;
inline constexpr int JET_ERR_NUMERIC_OVERFLOW = 3349;
inline constexpr int VBA_ERR_INVALID_ARGUMENT = 5;
inline constexpr int VBA_ERR_OVERFLOW = 6;
inline constexpr int VBA_ERR_DIVISION_BY_ZERO = 11;
inline constexpr int VBA_ERR_TYPE_MISMATCH = 13;

jet_error jet_sql_expression_error(std::u16string_view expression);
jet_error jet_sql_from_error();
jet_error jet_sql_select_error();
jet_error jet_sql_invalid_statement();
jet_error jet_sql_trailing_characters();
jet_error jet_sql_too_complex();
jet_error jet_sql_unknown_name();
// DAO's own text, "Too few parameters. Expected 2.", then the names Access would ask for.
jet_error jet_sql_too_few_parameters(const std::vector<std::u16string>& names);
jet_error jet_sql_ambiguous_field(std::u16string_view name);
jet_error jet_sql_not_aggregated(std::u16string_view expression);
jet_error jet_sql_table_not_found(std::u16string_view name);

inline constexpr int JET_ERR_UNDEFINED_FUNCTION = 3085;
inline constexpr int JET_ERR_AGGREGATE_IN_EXPRESSION = 3095;
inline constexpr int JET_ERR_AGGREGATE_IN_WHERE = 3096;
inline constexpr int JET_ERR_SUBQUERY_FIELDS = 3306;
inline constexpr int JET_ERR_SUBQUERY_ROWS = 3354;
inline constexpr int JET_ERR_UNION_COLUMNS = 3307;
inline constexpr int JET_ERR_CIRCULAR_QUERY = 3103;

jet_error jet_sql_undefined_function(std::u16string_view name);
jet_error jet_sql_aggregate_in_expression(std::u16string_view expression);
jet_error jet_sql_aggregate_in_where(std::u16string_view expression);
jet_error jet_sql_subquery_fields();
jet_error jet_sql_type_mismatch();
jet_error jet_sql_union_columns();
// chain: "A -> B -> A".
jet_error jet_sql_circular_query(std::u16string_view name, std::u16string_view chain);
