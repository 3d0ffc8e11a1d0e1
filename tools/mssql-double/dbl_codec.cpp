// dbl_codec.cpp - TDS type info and values for every column type, both directions.
// Wire forms (little-endian): INTN/BITN/FLTN/MONEYN/DATETIMN/GUID/DECIMALN/DATETIME2N carry a
// one-byte length, 0 = NULL; short char and binary types a two-byte length, 0xFFFF = NULL;
// (max) types are PLP: u64 total (all ones = NULL), u32-sized chunks, a zero chunk last;
// text, ntext and image a text pointer (length byte 0 = NULL), timestamp and u32 length.
#include "dbl_tds.hpp"

#include "dbl_date.hpp"
#include "dbl_error.hpp"
#include "dbl_text.hpp"
#include "dbl_wire_types.hpp"

#include <cstring>

namespace {

std::uint8_t wire_type(const dbl_type& type) {
    switch (type.kind) {
    case dbl_kind::BIT: return W_BITN;
    case dbl_kind::TINYINT:
    case dbl_kind::SMALLINT:
    case dbl_kind::INT:
    case dbl_kind::BIGINT: return W_INTN;
    case dbl_kind::REAL:
    case dbl_kind::FLOAT: return W_FLTN;
    case dbl_kind::MONEY: return W_MONEYN;
    case dbl_kind::DECIMAL: return W_DECIMALN;
    case dbl_kind::NUMERIC: return W_NUMERICN;
    case dbl_kind::DATETIME: return W_DATETIMN;
    case dbl_kind::DATETIME2: return W_DATETIME2N;
    case dbl_kind::CHAR: return W_BIGCHAR;
    case dbl_kind::VARCHAR: return W_BIGVARCHR;
    case dbl_kind::NCHAR: return W_NCHAR;
    case dbl_kind::NVARCHAR: return W_NVARCHAR;
    case dbl_kind::TEXT: return W_TEXT;
    case dbl_kind::NTEXT: return W_NTEXT;
    case dbl_kind::BINARY: return W_BIGBINARY;
    case dbl_kind::VARBINARY: return W_BIGVARBIN;
    case dbl_kind::IMAGE: return W_IMAGE;
    case dbl_kind::GUID: return W_GUID;
    }
    return W_INTN;
}

bool is_plp(const dbl_type& type) {
    return type.length == DBL_MAX_LENGTH
           && (type.kind == dbl_kind::VARCHAR || type.kind == dbl_kind::NVARCHAR
               || type.kind == dbl_kind::VARBINARY);
}

std::string payload_of(const dbl_type& type, const dbl_value& value) {
    if (!type.is_wide_text()) return value.bytes;
    std::string bytes;
    for (char16_t c : value.wide) {
        bytes.push_back(char(c & 0xFF));
        bytes.push_back(char(c >> 8));
    }
    return bytes;
}

void write_decimal(dbl_writer& w, const dbl_type& type, __int128 unscaled) {
    int size = type.max_bytes();
    w.u8(std::uint8_t(size));
    w.u8(unscaled < 0 ? 0 : 1);
    unsigned __int128 magnitude = unscaled < 0 ? -(unsigned __int128)unscaled : unscaled;
    for (int i = 0; i < size - 1; ++i, magnitude >>= 8) w.u8(std::uint8_t(magnitude & 0xFF));
}

void write_datetime2(dbl_writer& w, const dbl_type& type, std::int64_t hns) {
    int size = type.max_bytes();
    std::int64_t days = hns / DBL_HNS_PER_DAY;
    std::int64_t time = hns % DBL_HNS_PER_DAY;
    for (int i = type.scale; i < 7; ++i) time /= 10;
    w.u8(std::uint8_t(size));
    for (int i = 0; i < size - 3; ++i, time >>= 8) w.u8(std::uint8_t(time & 0xFF));
    for (int i = 0; i < 3; ++i, days >>= 8) w.u8(std::uint8_t(days & 0xFF));
}

void write_long(dbl_writer& w, const dbl_type& type, const std::string& payload) {
    if (is_plp(type)) {
        w.u64_le(payload.size());
        if (!payload.empty()) {
            w.u32_le(std::uint32_t(payload.size()));
            w.raw(payload);
        }
        w.u32_le(0);
        return;
    }
    w.u8(16);
    for (int i = 0; i < 16; ++i) w.u8(0xAA);   // text pointer: opaque to clients
    for (int i = 0; i < 8; ++i) w.u8(0);       // timestamp
    w.u32_le(std::uint32_t(payload.size()));
    w.raw(payload);
}

}   // namespace

void dbl_write_type_info(dbl_writer& w, const dbl_result_column& column) {
    const dbl_type& type = column.type;
    std::uint8_t code = wire_type(type);
    w.u8(code);
    switch (code) {
    case W_INTN:
    case W_BITN:
    case W_FLTN:
    case W_MONEYN:
    case W_DATETIMN:
    case W_GUID: w.u8(std::uint8_t(type.max_bytes())); return;
    case W_DECIMALN:
    case W_NUMERICN:
        w.u8(std::uint8_t(type.max_bytes()));
        w.u8(std::uint8_t(type.precision));
        w.u8(std::uint8_t(type.scale));
        return;
    case W_DATETIME2N: w.u8(std::uint8_t(type.scale)); return;
    case W_TEXT:
    case W_NTEXT:
    case W_IMAGE:
        w.u32_le(code == W_NTEXT ? 0x7FFFFFFE : 0x7FFFFFFF);
        if (code != W_IMAGE) w.raw(std::span<const std::uint8_t>(DBL_COLLATION, 5));
        w.u8(std::uint8_t(column.table_parts.size()));
        for (const std::string& part : column.table_parts) w.us_varchar(dbl_utf16(part));
        return;
    default:
        w.u16_le(type.max_bytes() < 0 ? 0xFFFF : std::uint16_t(type.max_bytes()));
        if (type.is_text()) w.raw(std::span<const std::uint8_t>(DBL_COLLATION, 5));
        return;
    }
}

void dbl_write_value(dbl_writer& w, const dbl_type& type, const dbl_value& value,
                     std::int64_t textsize) {
    std::uint8_t code = wire_type(type);
    bool long_form = is_plp(type) || type.is_long();
    if (value.b_null) {
        if (is_plp(type)) w.u64_le(~std::uint64_t(0));
        else if (long_form || code == W_INTN || code == W_BITN || code == W_FLTN || code == W_MONEYN
                 || code == W_DATETIMN || code == W_GUID || code == W_DECIMALN || code == W_NUMERICN
                 || code == W_DATETIME2N)
            w.u8(0);
        else w.u16_le(0xFFFF);
        return;
    }
    switch (code) {
    case W_INTN:
    case W_BITN: {
        int size = type.max_bytes();
        w.u8(std::uint8_t(size));
        std::uint64_t bits = std::uint64_t(value.integer);
        for (int i = 0; i < size; ++i, bits >>= 8) w.u8(std::uint8_t(bits & 0xFF));
        return;
    }
    case W_FLTN:
        if (type.kind == dbl_kind::REAL) {
            float single = float(value.floating);
            std::uint32_t bits;
            std::memcpy(&bits, &single, 4);
            w.u8(4);
            w.u32_le(bits);
        } else {
            std::uint64_t bits;
            std::memcpy(&bits, &value.floating, 8);
            w.u8(8);
            w.u64_le(bits);
        }
        return;
    case W_MONEYN:
        w.u8(8);
        w.u32_le(std::uint32_t(std::uint64_t(value.integer) >> 32));
        w.u32_le(std::uint32_t(std::uint64_t(value.integer) & 0xFFFFFFFF));
        return;
    case W_DATETIMN: {
        std::int64_t days = value.integer / DBL_TICKS_PER_DAY;
        std::int64_t ticks = value.integer % DBL_TICKS_PER_DAY;
        if (ticks < 0) {
            ticks += DBL_TICKS_PER_DAY;
            --days;
        }
        w.u8(8);
        w.u32_le(std::uint32_t(std::int32_t(days)));
        w.u32_le(std::uint32_t(ticks));
        return;
    }
    case W_DECIMALN:
    case W_NUMERICN: write_decimal(w, type, value.decimal); return;
    case W_DATETIME2N: write_datetime2(w, type, value.integer); return;
    case W_GUID:
        w.u8(16);
        w.raw(value.bytes);
        return;
    default: break;
    }
    std::string payload = payload_of(type, value);
    if (long_form) {
        if (textsize > 0 && payload.size() > std::uint64_t(textsize))
            payload.resize(std::size_t(textsize) & ~std::size_t(type.is_wide_text() ? 1 : 0));
        write_long(w, type, payload);
        return;
    }
    w.u16_le(std::uint16_t(payload.size()));
    w.raw(payload);
}
