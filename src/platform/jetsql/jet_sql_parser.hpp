#pragma once
// jet_sql_parser.hpp - Access SQL text to a jet_sql_select tree. One SELECT statement,
// optionally ended by ';'. Errors are DAO's: 3075 in an expression (quoting it), 3131 in the
// FROM clause, 3141 elsewhere in the statement, 3129 for a statement that is not a SELECT,
// 3142 for text after its end, 3360 for nesting too deep to run.

#include <memory>
#include <string_view>

#include "platform/jetsql/jet_sql_tree.hpp"

std::unique_ptr<jet_sql_select> jet_sql_parse(std::u16string_view statement);
