#pragma once
// mss_lit.hpp - values made safe for SQL Server and written as T-SQL literals. Dates outside
// 1753..9999 become 9999-12-30 and infinite doubles the largest float; decimals that do not
// fit their column become the column's largest value of the same sign.
// Invariant: every value that reaches statement text goes through mss_sql_literal, which
// decides the literal's form by the value's type, never by looking inside its text.

#include "ole/ole_var.hpp"

#include <string>

struct t_ftd;

ole_variant mssql_get_safe_variant(const ole_variant& value);
// The double rule of mssql_get_safe_variant alone, for a load that holds the number itself.
double mss_safe_double(double number);

// SQL Server's datetime starts with this year.
inline constexpr int MSS_FIRST_DATETIME_YEAR = 1753;

// The bulk load's rule for a date before MSS_FIRST_DATETIME_YEAR: its time stays, on
// 1899-12-30 (the day Access keeps time-only values on). True when it replaced the day; a
// row the bulk load sends by statement uses it too, so both read back alike.
bool mss_replace_early_date(SYSTEMTIME& time);

// The one way a value becomes T-SQL: NULL; integers, currency and decimals as their exact
// digits; doubles and singles as the shortest text that reads back as the same bits;
// Booleans 1 or 0; text and GUIDs N'...' with every quote doubled (text holding U+0000 is
// refused for its record: db-lib would cut the statement there); dates
// 'YYYYMMDD hh:mm:ss.mmm' (a time alone on 1899-12-30); binary 0x and two hex digits a byte.
std::u16string mss_sql_literal(const ole_variant& value);

// The precision and scale a decimal column's reserved word carries (scale + 256 x precision).
int mss_decimal_precision(const t_ftd& field);
int mss_decimal_scale(const t_ftd& field);

bool dec_is_out_of_range(const ole_variant& value, const t_ftd& field);
std::u16string gen_dec_value(const t_ftd& field, bool negative);
