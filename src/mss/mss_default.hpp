// mss_default.hpp - computed defaults (udb_default_function) in SQL Server's words, and the
// reason a column's source default cannot be created, for the run to report by column.
// date and time exist from SQL Server 2008 (version codes 5 and 1); older servers have no
// equivalent of Date() or Time().
#pragma once

#include <string>

#include "udb/udb_sche.hpp"

// The expression for a column created as text (b_text_column: a GUID kept as braced text)
// or as its own type; empty when this server has none.
std::u16string mss_function_default(udb_default_function function, bool b_text_column,
                                    int version_code);
// Empty when the field has no default or one the destination can create.
std::u16string mss_lost_default(const t_ftd& field, int version_code);
