#pragma once
// dbl_eval.hpp - evaluates expressions over one row: column references, literals,
// built-in functions and variables, comparisons with SQL Server's implicit conversions
// (text becomes the other side's number or date type) and three-valued logic.

#include "dbl_ast.hpp"
#include "dbl_tds.hpp"

#include <string>
#include <vector>

class dbl_executor;

struct dbl_eval_context {
    dbl_executor* ex = nullptr;
    const std::vector<dbl_result_column>* columns = nullptr;
    std::vector<std::string> qualifiers;   // names the row's source answers to (t, dbo.t, x)
    const std::vector<dbl_value>* row = nullptr;
};

// Index of the column a reference names; 207 when there is none.
int dbl_find_column(const dbl_expr& column_ref, const dbl_eval_context& context);
dbl_typed dbl_eval(const dbl_expr& e, const dbl_eval_context& context);
// True only when the condition is true (false and unknown both reject the row).
bool dbl_eval_condition(const dbl_expr& e, const dbl_eval_context& context);
// Orders two non-null values; both sides are first brought to a common type.
int dbl_compare(const dbl_typed& a, const dbl_typed& b);
