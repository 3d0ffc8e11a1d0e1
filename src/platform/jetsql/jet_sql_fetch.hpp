#pragma once
// jet_sql_fetch.hpp - a result value read back from SQLite into the jet_value its column's Jet
// type calls for: Boolean from -1/0, Currency from its scaled integer, Decimal from exact
// text at the column's scale, Single narrowed, GUID from its 16 bytes. A value the type cannot
// hold is VBA's Overflow (6) or Jet's type mismatch (3464), never a silently altered value.

#include <optional>
#include <string_view>

#include "platform/jet/jet_value.hpp"
#include "platform/jetsql/jet_sql_type.hpp"

struct sqlite3_stmt;

jet_value jet_sql_fetch(sqlite3_stmt* statement, int column_idx, const jet_sql_type& type);

// Exact decimal text ("-12.50") at the given scale; nullopt when it is not a decimal number or
// needs more than 28 digits.
std::optional<jet_decimal> jet_sql_parse_decimal(std::string_view text, std::uint8_t scale,
                                                 std::uint8_t precision);
