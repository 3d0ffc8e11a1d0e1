#pragma once
// dbl_sum.hpp - SUM and AVG as SQL Server types and bounds them ("SUM", "AVG"): tinyint,
// smallint and int add up as int, bigint as bigint, decimal(p, s) as decimal(38, s), money as
// money, real and float as float; a running sum past its type is 8115, never wrapped.

#include "dbl_type.hpp"

dbl_type dbl_sum_type(const dbl_type& argument);
// Adds `value`, already of the sum's type, to `sum`; 8115 when the sum leaves its type.
void dbl_add_to_sum(dbl_typed& sum, const dbl_value& value);
