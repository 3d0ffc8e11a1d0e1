#pragma once
// jet_property_blob_writer.hpp - a table's column properties (DefaultValue, Required,
// AllowZeroLength ...) as the MSysObjects.LvProp blob jet_read_property_blob reads:
//   "MR2\0"; a names chunk (u32 length, u16 type 0x80, then u16 length + UTF-16 name per
//   property name); per column a chunk (u32 length, u16 type 0x01, u32 6 + name bytes,
//   u16 name bytes, the column name, then entries: u16 entry length, u8 0, u8 type,
//   u16 name slot, u16 value length, value).
// Empty when no column has a property.

#include <cstdint>
#include <vector>

#include "platform/jet/jet_schema.hpp"

std::vector<std::uint8_t> jet_encode_property_blob(const jet_table_def& def);
