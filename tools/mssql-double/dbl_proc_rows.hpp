#pragma once
// dbl_proc_rows.hpp - the result sets of the catalogue procedures.

#include "dbl_executor.hpp"

#include <map>

// Parameter values by lower-case name ("@table_name"); absent when not given or NULL.
using dbl_proc_args = std::map<std::string, std::string>;

dbl_rowset dbl_sp_columns(dbl_executor& ex, const dbl_proc_args& args);
dbl_rowset dbl_sp_pkeys(dbl_executor& ex, const dbl_proc_args& args);
dbl_rowset dbl_sp_fkeys(dbl_executor& ex, const dbl_proc_args& args);
dbl_rowset dbl_sp_statistics(dbl_executor& ex, const dbl_proc_args& args);
