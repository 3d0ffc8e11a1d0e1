#pragma once
// oledb_data_convert.hpp - IDataConvert::DataConvert for the one conversion the destination
// asks of it: DBTYPE_R8 to DBTYPE_NUMERIC of a given precision and scale. DB_NUMERIC keeps
// the magnitude as a 128-bit little-endian integer scaled by 10^scale; sign 1 is positive.

#include "platform/oledb/oledb_types.hpp"

#include <array>
#include <cstdint>
#include <string>

struct DB_NUMERIC {
    std::uint8_t precision = 0;
    std::uint8_t scale = 0;
    std::uint8_t sign = 1;
    std::array<std::uint8_t, 16> val{};
};

// Rounds to `scale` decimals (half away from zero). Fails with DB_E_DATAOVERFLOW when the
// value needs more than `precision` digits, DB_E_BADPRECISION/DB_E_BADSCALE for a precision
// outside 1..38 or a scale above it, DB_E_CANTCONVERTVALUE for infinities and NaN.
oledb_hresult oledb_convert_r8_to_numeric(double value, std::uint8_t precision,
                                          std::uint8_t scale, DB_NUMERIC& out);

// The decimal text of a DB_NUMERIC ("-123.45"), as bulk load sends it.
std::string oledb_numeric_to_text(const DB_NUMERIC& value);
