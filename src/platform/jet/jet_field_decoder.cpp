#include "platform/jet/jet_field_decoder.hpp"

#include <string>

#include "platform/jet/jet_long_value.hpp"
#include "platform/jet/jet_pager.hpp"
#include "platform/jet/jet_reader.hpp"
#include "platform/jet/jet_text.hpp"

namespace {

using jet_uint128 = unsigned __int128;

constexpr std::size_t CALC_LENGTH_AT = 16;
constexpr std::size_t CALC_DATA_AT = 20;
constexpr std::size_t NUMERIC_SIZE = 17;
constexpr std::size_t GUID_SIZE = 16;
constexpr std::size_t DATETIME_EXT_SIZE = 42;
constexpr std::uint8_t NUMERIC_NEGATIVE = 0x80;
constexpr std::uint8_t MAX_DECIMAL_PRECISION = 28;

std::vector<std::uint8_t> all_bytes(const jet_reader& bytes) {
    std::span<const std::uint8_t> view = bytes.span(0, bytes.size());
    return {view.begin(), view.end()};
}

void need_exactly(const jet_reader& bytes, std::size_t size, const jet_column& column) {
    if (bytes.size() < size)
        bytes.corrupt("column " + jet_utf8(column.name) + " holds " + std::to_string(bytes.size())
                      + " bytes, its type needs " + std::to_string(size));
}

// Calculated Decimal results: length word, scale, sign, then the magnitude in 4 or 8 byte
// little-endian groups, most significant first, leading zero groups left out.
jet_value decode_calculated_numeric(const jet_reader& bytes, const jet_column& column) {
    if (bytes.size() == 0) return jet_value();
    std::size_t stated = bytes.u16(0);
    std::size_t magnitude_size = (stated > 0 ? stated : bytes.size()) - 2;
    magnitude_size = std::min<std::size_t>(magnitude_size / 4 * 4, 16);
    jet_decimal value;
    value.scale = bytes.u8(2);
    value.negative = bytes.u8(3) != 0;
    value.precision = MAX_DECIMAL_PRECISION;
    jet_uint128 magnitude = 0;
    std::size_t at = 4;
    if (magnitude_size % 8 != 0) {
        magnitude = bytes.u32(at);
        at += 4;
    }
    for (; at < 4 + magnitude_size; at += 8) magnitude = (magnitude << 64) | bytes.u64(at);
    if ((magnitude >> 96) != 0)
        bytes.corrupt("a calculated decimal of " + jet_utf8(column.name) + " exceeds 96 bits");
    value.lo = std::uint32_t(magnitude);
    value.mid = std::uint32_t(magnitude >> 32);
    value.hi = std::uint32_t(magnitude >> 64);
    return jet_value(value);
}

// A Yes/No expression stores one byte (0xFF for True) in an Integer column: integers are
// sign-extended from the bytes present.
jet_value decode_calculated_integer(const jet_reader& bytes, const jet_column& column) {
    if (bytes.size() == 0) return jet_value();
    std::size_t width = column.type_code == JET_TYPE_BYTE    ? 1
                        : column.type_code == JET_TYPE_INT16 ? 2
                                                             : 4;
    std::size_t present = std::min(bytes.size(), width);
    std::uint32_t raw = 0;
    for (std::size_t byte_idx = 0; byte_idx < present; ++byte_idx)
        raw |= std::uint32_t(bytes.u8(byte_idx)) << (8 * byte_idx);
    bool negative = (raw >> (8 * present - 1)) & 1;
    if (negative && present < 4) raw |= ~0u << (8 * present);
    if (column.type_code == JET_TYPE_BYTE) return jet_value(std::uint8_t(raw));
    if (column.type_code == JET_TYPE_INT16) return jet_value(std::int16_t(raw));
    return jet_value(std::int32_t(raw));
}

}   // namespace

jet_decimal jet_decode_numeric(const jet_reader& bytes, std::uint8_t scale,
                               std::uint8_t precision) {
    bytes.need(0, NUMERIC_SIZE);
    if (bytes.u32(1) != 0) bytes.corrupt("a decimal value exceeds 96 bits");
    jet_decimal value;
    value.negative = (bytes.u8(0) & NUMERIC_NEGATIVE) != 0;
    value.hi = bytes.u32(5);
    value.mid = bytes.u32(9);
    value.lo = bytes.u32(13);
    value.scale = scale;
    value.precision = precision;
    return value;
}

jet_value jet_field_decoder::decode(const jet_column& column, const jet_reader& bytes) const {
    if (column.is_calculated()) return decode_calculated(column, bytes);
    if (column.is_long_value()) return decode_long(column, bytes);
    return decode_plain(column, bytes);
}

jet_value jet_field_decoder::decode_long(const jet_column& column, const jet_reader& bytes) const {
    std::vector<std::uint8_t> value = jet_read_long_value(pager, bytes);
    if (column.type_code == JET_TYPE_OLE) return jet_value(std::move(value));
    return jet_value(text.decode(value));
}

jet_value jet_field_decoder::decode_calculated(const jet_column& column,
                                               const jet_reader& bytes) const {
    std::vector<std::uint8_t> wrapped = column.is_long_value() ? jet_read_long_value(pager, bytes)
                                                               : all_bytes(bytes);
    jet_reader wrapper(wrapped, bytes.page());
    jet_reader payload = wrapper;
    if (wrapper.size() >= CALC_DATA_AT) {
        std::size_t stated = wrapper.u32(CALC_LENGTH_AT);
        payload = wrapper.sub(CALC_DATA_AT, std::min(stated, wrapper.size() - CALC_DATA_AT));
    }
    switch (column.type_code) {
    case JET_TYPE_BOOLEAN: return jet_value(payload.size() > 0 && payload.u8(0) != 0);
    case JET_TYPE_TEXT:
    case JET_TYPE_MEMO: return jet_value(text.decode(payload.span(0, payload.size())));
    case JET_TYPE_NUMERIC: return decode_calculated_numeric(payload, column);
    case JET_TYPE_BYTE:
    case JET_TYPE_INT16:
    case JET_TYPE_INT32: return decode_calculated_integer(payload, column);
    default:
        if (payload.size() == 0) return jet_value();   // Access writes some nulls this way
        return decode_plain(column, payload);
    }
}

jet_value jet_field_decoder::decode_plain(const jet_column& column, const jet_reader& bytes) const {
    switch (column.type_code) {
    case JET_TYPE_BOOLEAN: need_exactly(bytes, 1, column); return jet_value(bytes.u8(0) != 0);
    case JET_TYPE_BYTE: need_exactly(bytes, 1, column); return jet_value(bytes.u8(0));
    case JET_TYPE_INT16: need_exactly(bytes, 2, column); return jet_value(bytes.i16(0));
    case JET_TYPE_INT32:
    case JET_TYPE_COMPLEX:   // the row's key into the complex column's hidden table
        need_exactly(bytes, 4, column);
        return jet_value(bytes.i32(0));
    case JET_TYPE_BIGINT: need_exactly(bytes, 8, column); return jet_value(bytes.i64(0));
    case JET_TYPE_CURRENCY:
        need_exactly(bytes, 8, column);
        return jet_value(jet_currency{bytes.i64(0)});
    case JET_TYPE_FLOAT32: need_exactly(bytes, 4, column); return jet_value(bytes.f32(0));
    case JET_TYPE_FLOAT64: need_exactly(bytes, 8, column); return jet_value(bytes.f64(0));
    case JET_TYPE_DATETIME:
        need_exactly(bytes, 8, column);
        return jet_value(jet_date{bytes.f64(0)});
    case JET_TYPE_GUID: {
        need_exactly(bytes, GUID_SIZE, column);
        jet_guid guid;
        for (std::size_t byte_idx = 0; byte_idx < GUID_SIZE; ++byte_idx)
            guid.bytes[byte_idx] = bytes.u8(byte_idx);
        return jet_value(guid);
    }
    case JET_TYPE_NUMERIC:
        need_exactly(bytes, NUMERIC_SIZE, column);
        return jet_value(jet_decode_numeric(bytes, column.scale, column.precision));
    case JET_TYPE_DATETIME_EXT: {
        need_exactly(bytes, DATETIME_EXT_SIZE, column);
        std::span<const std::uint8_t> view = bytes.span(0, DATETIME_EXT_SIZE);
        return jet_value(jet_date_ext{std::string(view.begin(), view.end())});
    }
    case JET_TYPE_TEXT: return jet_value(text.decode(bytes.span(0, bytes.size())));
    case JET_TYPE_MEMO:
    case JET_TYPE_OLE: return decode_long(column, bytes);
    default:   // Binary and types no reader knows: every byte as stored
        return jet_value(all_bytes(bytes));
    }
}
