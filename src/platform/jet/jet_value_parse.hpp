#pragma once
// jet_value_parse.hpp - the inverse of jet_value_to_csv: one CSV field (quotes still on) as
// the value of a column, so vantreldump's rows can be written back into a file. An empty
// unquoted field is NULL; text is "..." with "" for a quote; Booleans 1/0; numbers in
// decimal; Currency and Decimal exact (more decimals than the column keeps: refused);
// dates YYYY-MM-DD[ HH:MM:SS]; GUIDs {XXXXXXXX-...}; binary 0x and hex.
// A field that does not read as the column's type is jet_error 3421.

#include <optional>
#include <string_view>

#include "platform/jet/jet_schema.hpp"
#include "platform/jet/jet_value.hpp"

jet_value jet_value_from_csv(const jet_column& column, std::string_view field);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (either case) as the 16 bytes in file order;
// nothing when the text is not that.
std::optional<jet_guid> jet_guid_from_text(std::u16string_view text);
