#pragma once
// dbl_wire_types.hpp - the TDS type codes of column data ([MS-TDS] 2.2.5.4): the nullable
// "N" types the double answers with, the long types, and the fixed-length types a bcp
// client may also describe its rows with.

#include <cstdint>

// W_ for "wire": only the two codec files include this.
enum : std::uint8_t {
    W_INTN = 0x26,
    W_BITN = 0x68,
    W_FLTN = 0x6D,
    W_MONEYN = 0x6E,
    W_DATETIMN = 0x6F,
    W_DECIMALN = 0x6A,
    W_NUMERICN = 0x6C,
    W_GUID = 0x24,
    W_DATETIME2N = 0x2A,
    W_BIGVARCHR = 0xA7,
    W_BIGCHAR = 0xAF,
    W_NVARCHAR = 0xE7,
    W_NCHAR = 0xEF,
    W_BIGVARBIN = 0xA5,
    W_BIGBINARY = 0xAD,
    W_TEXT = 0x23,
    W_NTEXT = 0x63,
    W_IMAGE = 0x22,
    W_INT1 = 0x30,
    W_BIT = 0x32,
    W_INT2 = 0x34,
    W_INT4 = 0x38,
    W_FLT4 = 0x3B,
    W_MONEY = 0x3C,
    W_DATETIME = 0x3D,
    W_FLT8 = 0x3E,
    W_INT8 = 0x7F
};
