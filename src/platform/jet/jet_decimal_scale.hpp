#pragma once
// jet_decimal_scale.hpp - a Decimal value as its column stores it. A row holds only the
// magnitude, read back at the column's scale, and an index key compares magnitudes: 1.5
// handed over at scale 1 must become 15000 in a column of scale 4, or the file says 0.0015
// and the key sorts it there. Extra decimals are rounded half away from zero, as DAO
// rounds; a magnitude past 96 bits is jet_error 3421; zero is never negative.

#include "platform/jet/jet_schema.hpp"
#include "platform/jet/jet_value.hpp"

// value: its magnitude at value.scale; the result's scale and precision are the column's.
jet_decimal jet_decimal_for_column(const jet_column& column, const jet_decimal& value);
