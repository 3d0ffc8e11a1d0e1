#include "platform/jet/jet_row_encoder.hpp"

#include <algorithm>
#include <bit>
#include <span>

#include "platform/jet/jet_byte_writer.hpp"
#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_row_layout.hpp"
#include "platform/jet/jet_text.hpp"
#include "platform/jet/jet_text_encoder.hpp"

namespace {

constexpr int JET_ERR_TYPE_CONVERSION = 3421;
constexpr int JET_ERR_FIELD_TOO_SMALL = 3163;
constexpr std::uint8_t NUMERIC_NEGATIVE = 0x80;

jet_value_kind kind_of(std::uint8_t type_code) {
    switch (type_code) {
    case JET_TYPE_BOOLEAN: return jet_value_kind::boolean;
    case JET_TYPE_BYTE: return jet_value_kind::byte;
    case JET_TYPE_INT16: return jet_value_kind::int16;
    case JET_TYPE_INT32: return jet_value_kind::int32;
    case JET_TYPE_CURRENCY: return jet_value_kind::currency;
    case JET_TYPE_FLOAT32: return jet_value_kind::float32;
    case JET_TYPE_FLOAT64: return jet_value_kind::float64;
    case JET_TYPE_DATETIME: return jet_value_kind::date;
    case JET_TYPE_GUID: return jet_value_kind::guid;
    case JET_TYPE_NUMERIC: return jet_value_kind::decimal;
    case JET_TYPE_TEXT:
    case JET_TYPE_MEMO: return jet_value_kind::text;
    default: return jet_value_kind::binary;
    }
}

[[noreturn]] void too_small(const jet_column& column) {
    throw jet_error(JET_ERR_FIELD_TOO_SMALL,
                    "The field is too small to accept the amount of data you attempted to "
                    "add ("
                        + jet_utf8(column.name) + ").");
}

void put_fixed(std::span<std::uint8_t> area, const jet_column& column, const jet_value& value) {
    std::size_t at = column.fixed_offset;
    switch (column.type_code) {
    case JET_TYPE_BYTE: jet_put_u8(area, at, value.get<std::uint8_t>()); break;
    case JET_TYPE_INT16: jet_put_u16(area, at, std::uint16_t(value.get<std::int16_t>())); break;
    case JET_TYPE_INT32: jet_put_u32(area, at, std::uint32_t(value.get<std::int32_t>())); break;
    case JET_TYPE_CURRENCY:
        jet_put_u64(area, at, std::uint64_t(value.get<jet_currency>().units));
        break;
    case JET_TYPE_FLOAT32:
        jet_put_u32(area, at, std::bit_cast<std::uint32_t>(value.get<float>()));
        break;
    case JET_TYPE_FLOAT64:
        jet_put_u64(area, at, std::bit_cast<std::uint64_t>(value.get<double>()));
        break;
    case JET_TYPE_DATETIME:
        jet_put_u64(area, at, std::bit_cast<std::uint64_t>(value.get<jet_date>().serial));
        break;
    case JET_TYPE_GUID:
        for (std::size_t byte_idx = 0; byte_idx < 16; ++byte_idx)
            jet_put_u8(area, at + byte_idx, value.get<jet_guid>().bytes[byte_idx]);
        break;
    case JET_TYPE_NUMERIC: {
        // sign, then the 128-bit magnitude as four little-endian words, most significant
        // first; the top word is always 0 for a 96-bit decimal.
        const jet_decimal& number = value.get<jet_decimal>();
        jet_put_u8(area, at, number.negative ? NUMERIC_NEGATIVE : 0);
        jet_put_u32(area, at + 1, 0);
        jet_put_u32(area, at + 5, number.hi);
        jet_put_u32(area, at + 9, number.mid);
        jet_put_u32(area, at + 13, number.lo);
        break;
    }
    default: break;   // Booleans live in the null mask
    }
}

std::vector<std::uint8_t> variable_bytes(const jet_column& column, const jet_value& value,
                                         jet_long_value_writer& long_values) {
    bool compress = column.is_compressed_unicode();
    switch (column.type_code) {
    case JET_TYPE_TEXT: {
        const std::u16string& text = value.get<std::u16string>();
        if (text.size() * 2 > column.size_bytes) too_small(column);
        return jet_encode_unicode(text, compress);
    }
    case JET_TYPE_BINARY: {
        const std::vector<std::uint8_t>& bytes = value.get<std::vector<std::uint8_t>>();
        if (bytes.size() > column.size_bytes) too_small(column);
        return bytes;
    }
    case JET_TYPE_MEMO:
        return long_values.store_value(jet_encode_unicode(value.get<std::u16string>(), compress));
    default: return long_values.store_value(value.get<std::vector<std::uint8_t>>());
    }
}

// Places the parts where jet_row_layout.hpp puts them; the offsets count from the row's start.
std::vector<std::uint8_t> lay_out_row(std::size_t column_count, std::span<const std::uint8_t> fixed,
                                      const std::vector<std::vector<std::uint8_t>>& variable,
                                      std::span<const std::uint8_t> mask) {
    constexpr jet_row_layout LAYOUT = JET4_ROW_LAYOUT;
    std::size_t data_size = 0;
    for (const std::vector<std::uint8_t>& bytes : variable) data_size += bytes.size();
    std::size_t offsets_size = variable.empty()
                                   ? 0
                                   : (variable.size() + 1) * LAYOUT.count_size + LAYOUT.count_size;
    std::size_t row_size = LAYOUT.fixed_area() + fixed.size() + data_size + offsets_size
                           + mask.size();
    std::vector<std::uint8_t> row(row_size, 0);
    jet_put_u16(row, JET_ROW_COLUMN_COUNT, std::uint16_t(column_count));
    std::copy(fixed.begin(), fixed.end(), row.begin() + std::ptrdiff_t(LAYOUT.fixed_area()));
    std::size_t mask_at = jet_row_mask_at(row_size, mask.size());
    std::copy(mask.begin(), mask.end(), row.begin() + std::ptrdiff_t(mask_at));
    if (variable.empty()) return row;
    std::size_t count_at = LAYOUT.var_count_at(row_size, mask.size());
    jet_put_u16(row, count_at, std::uint16_t(variable.size()));
    std::size_t data_at = LAYOUT.fixed_area() + fixed.size();
    for (std::size_t slot = 0; slot < variable.size(); ++slot) {
        jet_put_u16(row, LAYOUT.var_offset_at(count_at, slot), std::uint16_t(data_at));
        std::copy(variable[slot].begin(), variable[slot].end(),
                  row.begin() + std::ptrdiff_t(data_at));
        data_at += variable[slot].size();
    }
    jet_put_u16(row, LAYOUT.var_offset_at(count_at, variable.size()), std::uint16_t(data_at));
    return row;
}

}   // namespace

void jet_check_value_kind(const jet_column& column, const jet_value& value) {
    if (value.is_null() || value.kind() == kind_of(column.type_code)) return;
    throw jet_error(JET_ERR_TYPE_CONVERSION,
                    "Data type conversion error (" + jet_utf8(column.name) + ").");
}

std::vector<std::uint8_t> jet_encode_row(const jet_table_def& def,
                                         const std::vector<jet_value>& values,
                                         jet_long_value_writer& long_values) {
    std::size_t fixed_size = 0;
    for (const jet_column& column : def.columns) {
        jet_check_value_kind(column, values[column.column_number]);
        if (column.is_fixed())
            fixed_size = std::max<std::size_t>(fixed_size, column.fixed_offset + column.size_bytes);
    }
    std::vector<std::uint8_t> mask(jet_row_mask_size(def.columns.size()), 0);
    std::vector<std::uint8_t> fixed(fixed_size, 0);
    std::vector<std::vector<std::uint8_t>> variable(def.var_column_count);
    for (const jet_column& column : def.columns) {
        const jet_value& value = values[column.column_number];
        bool present = !value.is_null();
        if (column.type_code == JET_TYPE_BOOLEAN) present = present && value.get<bool>();
        if (present) {
            std::uint8_t& mask_byte = mask[jet_row_mask_byte(column.column_number)];
            mask_byte = std::uint8_t(mask_byte | jet_row_mask_flag(column.column_number));
        }
        if (value.is_null()) continue;
        if (column.is_fixed()) put_fixed(fixed, column, value);
        else variable[column.var_index] = variable_bytes(column, value, long_values);
    }
    return lay_out_row(def.columns.size(), fixed, variable, mask);
}
