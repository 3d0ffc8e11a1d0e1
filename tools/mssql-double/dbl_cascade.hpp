#pragma once
// dbl_cascade.hpp - the rule on cascading foreign keys (1785): a DELETE or an UPDATE may
// reach a table along one chain of cascading actions only. A table may not appear twice in
// the tree of actions one statement starts, so no cycle (a table cascading to itself
// included) and no second path to a table.

#include "dbl_database.hpp"

// Throws 1785 (with 1750) when `key`, about to be added to `child`, would make a second
// path or a cycle of cascading actions, for ON DELETE and ON UPDATE each.
void dbl_check_cascade_paths(const dbl_database& database, const dbl_table& child,
                             const dbl_key& key);
