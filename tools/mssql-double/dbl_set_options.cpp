// dbl_set_options.cpp - login defaults, SET statements and the filtered-index rule.
#include "dbl_set_options.hpp"

dbl_set_options dbl_login_options(bool b_odbc) {
    dbl_set_options options;
    options.b_ansi_nulls = b_odbc;
    options.b_ansi_padding = b_odbc;
    options.b_ansi_warnings = b_odbc;
    options.b_concat_null_yields_null = b_odbc;
    options.b_quoted_identifier = b_odbc;
    return options;   // ARITHABORT and NUMERIC_ROUNDABORT start OFF for both
}

bool dbl_apply_set_option(dbl_set_options& options, const std::string& name, bool b_on) {
    if (name == "ansi_nulls") options.b_ansi_nulls = b_on;
    else if (name == "ansi_padding") options.b_ansi_padding = b_on;
    else if (name == "ansi_warnings") options.b_ansi_warnings = b_on;
    else if (name == "arithabort") options.b_arithabort = b_on;
    else if (name == "concat_null_yields_null") options.b_concat_null_yields_null = b_on;
    else if (name == "numeric_roundabort") options.b_numeric_roundabort = b_on;
    else if (name == "quoted_identifier") options.b_quoted_identifier = b_on;
    else if (name == "ansi_defaults") {
        // SET ANSI_DEFAULTS: also ANSI_NULL_DFLT_ON, CURSOR_CLOSE_ON_COMMIT and
        // IMPLICIT_TRANSACTIONS, which change nothing the double stores.
        options.b_ansi_nulls = options.b_ansi_padding = options.b_ansi_warnings = b_on;
        options.b_quoted_identifier = b_on;
    } else {
        return false;
    }
    return true;
}

std::string dbl_wrong_index_options(const dbl_set_options& options) {
    // The order SQL Server lists them in, as its messages show.
    const std::pair<bool, const char*> checks[] = {
        {options.b_ansi_nulls, "ANSI_NULLS"},
        {options.b_quoted_identifier, "QUOTED_IDENTIFIER"},
        {options.b_concat_null_yields_null, "CONCAT_NULL_YIELDS_NULL"},
        {options.b_ansi_warnings, "ANSI_WARNINGS"},
        {options.b_ansi_padding, "ANSI_PADDING"},
        {options.is_arithabort_on(), "ARITHABORT"},
        {!options.b_numeric_roundabort, "NUMERIC_ROUNDABORT"},
    };
    std::string wrong;
    for (const auto& [b_right, name] : checks) {
        if (b_right) continue;
        wrong += (wrong.empty() ? "" : ", ") + std::string(name);
    }
    return wrong;
}
