#pragma once
// jet_sql_decimal.hpp - exact Decimal arithmetic for queries. Decimal values sit in SQLite as
// their exact text ("-12.50"); + - * and Sum over Decimal and whole numbers work on the scaled
// integer, never through a double, so 0.1 + 0.2 is 0.3. Sums and differences keep the larger
// scale, products add the scales (rounded half away from zero to 28 places beyond that), as
// VBA's Decimal does; a result beyond 28 digits is VBA's Overflow (6). Registered as
// jet_dec_add, jet_dec_sub, jet_dec_mul and the aggregate jet_decimal_sum.

#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct jet_sql_failure;

// A decimal as its scaled integer: value = units / 10^scale.
struct jet_sql_exact {
    __int128 units = 0;
    int scale = 0;
};

// "12", "-0.125", "+3." ; nullopt for anything else or more than 38 digits.
std::optional<jet_sql_exact> jet_sql_exact_parse(std::string_view text);
std::string jet_sql_exact_text(const jet_sql_exact& value);
// nullopt when the result needs more than 28 digits.
std::optional<jet_sql_exact> jet_sql_exact_combine(char op, const jet_sql_exact& left,
                                                   const jet_sql_exact& right);

void jet_sql_register_decimal(sqlite3* connection, jet_sql_failure* failure);
