#pragma once
// jet_value_text.hpp - the normalised text of a value, as vantreldump prints it and the
// reader comparisons expect it. One CSV field per value:
//   NULL           nothing (an empty, unquoted field)
//   text           "..." in UTF-8 with " doubled; empty text is ""
//   Boolean        1 or 0
//   integers       decimal
//   Single/Double  the shortest decimal form that reads back to the same number
//   Currency       exact, four decimals ("-12.3400")
//   Decimal        exact, the column's scale of decimals ("1.50")
//   Date/Time      YYYY-MM-DD HH:MM:SS (seconds rounded; years 100..9999, before 1899-12-30
//                  too)
//   Date/Time Ext. YYYY-MM-DD HH:MM:SS.fffffff
//   GUID           {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
//   binary         0x followed by lower-case hex of every byte ("0x" when empty)

#include <string>

#include "platform/jet/jet_value.hpp"

std::string jet_value_to_csv(const jet_value& value);

std::string jet_currency_text(jet_currency value);
std::string jet_decimal_text(const jet_decimal& value);
std::string jet_date_text(double ole_date);
std::string jet_date_ext_text(const jet_date_ext& value);
std::string jet_guid_text(const jet_guid& value);
std::string jet_hex_text(const std::vector<std::uint8_t>& bytes);
// Text quoted for CSV: "..." with " doubled.
std::string jet_quoted(const std::u16string& text);
