#pragma once
// jet_property_blob_writer.hpp - a table's column properties (DefaultValue, Required,
// AllowZeroLength ...) as the MSysObjects.LvProp blob of Jet 4 / ACE, in the layout
// jet_property_blob.hpp draws and jet_read_property_blob reads: "MR2\0", a names chunk, then a
// chunk per column that has properties. Empty when no column has a property.

#include <cstdint>
#include <vector>

#include "platform/jet/jet_schema.hpp"

std::vector<std::uint8_t> jet_encode_property_blob(const jet_table_def& def);
