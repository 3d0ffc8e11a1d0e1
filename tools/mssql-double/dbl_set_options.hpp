#pragma once
// dbl_set_options.hpp - the session SET options that change what a statement stores or
// refuses: the values a login starts with (db-lib and ODBC differ), and the settings a table
// with a filtered index demands of CREATE INDEX and of every INSERT (1934).

#include <string>

struct dbl_set_options {
    bool b_ansi_nulls = false;
    bool b_ansi_padding = false;
    bool b_ansi_warnings = false;
    bool b_arithabort = false;
    bool b_concat_null_yields_null = false;
    bool b_numeric_roundabort = false;
    bool b_quoted_identifier = false;

    // SET ARITHABORT: ANSI_WARNINGS ON implies ARITHABORT ON at compatibility level 90 and
    // above, the only levels the double's databases have.
    bool is_arithabort_on() const { return b_arithabort || b_ansi_warnings; }
    // SET ARITHABORT: with both OFF an overflow or a division by zero gives NULL and a warning.
    bool are_arithmetic_errors_null() const { return !b_arithabort && !b_ansi_warnings; }
};

// What a login starts with. "SET Options That Affect Results": a DB-Library login has every
// option below OFF; an ODBC or OLE DB login (the fODBC bit of LOGIN7) has ANSI_NULLS,
// ANSI_PADDING, ANSI_WARNINGS, CONCAT_NULL_YIELDS_NULL and QUOTED_IDENTIFIER ON.
dbl_set_options dbl_login_options(bool b_odbc);

// Applies "SET <name> ON|OFF" for a folded option name; false when the name is not one of
// these (the caller keeps its own). ANSI_DEFAULTS sets its ISO options together.
bool dbl_apply_set_option(dbl_set_options& options, const std::string& name, bool b_on);

// The options a filtered index needs that are set otherwise, in SQL Server's order for 1934
// ("ANSI_NULLS, QUOTED_IDENTIFIER"); empty when all are right. CREATE INDEX documents them:
// ANSI_NULLS, ANSI_PADDING, ANSI_WARNINGS, ARITHABORT, CONCAT_NULL_YIELDS_NULL and
// QUOTED_IDENTIFIER ON, NUMERIC_ROUNDABORT OFF.
std::string dbl_wrong_index_options(const dbl_set_options& options);
