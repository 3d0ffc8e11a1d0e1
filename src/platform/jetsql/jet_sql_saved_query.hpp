#pragma once
// jet_sql_saved_query.hpp - the SQL of a query saved in an Access file. Access keeps no SQL
// text: MSysQueries holds one row per piece of the design, keyed by the query's MSysObjects
// Id, and the SQL is put back together from them:
//   Attribute  Flag / Name1 / Name2 / Expression
//   1          Flag: the query type, 1 SELECT, 9 UNION (others are action queries)
//   2          a parameter: Name1 its name
//   3          Flag: 2 DISTINCT (for a union: UNION without ALL), 8 DISTINCTROW, 16 TOP,
//              32 PERCENT; Name1 the TOP count
//   4          another database the tables are in (refused)
//   5          a source: Name1 the table or query, Name2 its alias; Expression a derived
//              table's or union part's SQL
//   6          an output column: Expression, Name1 its alias
//   7          a join: Name1 and Name2 the sources joined, Expression the condition, Flag 1
//              INNER, 2 LEFT, 3 RIGHT; two rows for one pair are one join with both conditions
//   8 WHERE, 9 GROUP BY, 10 HAVING, 11 ORDER BY (Name1 "D" descending): Expression

#include <optional>
#include <string>
#include <string_view>

class jet_database;

// The SELECT (or UNION) statement of the saved query of that name (case-blind); nullopt when
// the file has no query of that name. Throws jet_error 3129 for an action query, 3131 for a
// design the SQL cannot be rebuilt from.
std::optional<std::u16string> jet_sql_saved_query_text(const jet_database& database,
                                                       std::u16string_view name);
