#pragma once
// dump_security.hpp - the workgroup logon behind --sysdb/--uglu/--uglp.

#include "dump/dump_options.hpp"

// Throws jet_error: the logon's refusal (3029, 3173, 3358, ...), or 3251 "Operation is not
// supported" when this build has no workgroup support.
void dump_check_workgroup(const dump_options& options);
