#pragma once
// jet_row_encoder.hpp - one row's bytes in the Jet 4 / ACE layout jet_row_layout.hpp draws and
// jet_row reads. Values must already have the kind of their column (jet_value_kind): 3421
// "Data type conversion error." otherwise, 3163 for text or binary longer than the column.

#include <cstdint>
#include <vector>

#include "platform/jet/jet_long_value_writer.hpp"
#include "platform/jet/jet_schema.hpp"
#include "platform/jet/jet_value.hpp"

// Long values are stored as the row is encoded, so a row that then fails leaves at most
// unreferenced long-value rows behind, never a half row.
std::vector<std::uint8_t> jet_encode_row(const jet_table_def& def,
                                         const std::vector<jet_value>& values,
                                         jet_long_value_writer& long_values);

// 3421 unless the value is null or of the kind the column stores.
void jet_check_value_kind(const jet_column& column, const jet_value& value);
