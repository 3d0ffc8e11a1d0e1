#include "platform/jetsql/jet_sql_type.hpp"

namespace {

// Widening order of numbers when two meet.
int number_rank(std::uint8_t code) {
    switch (code) {
    case JET_TYPE_BOOLEAN: return 1;
    case JET_TYPE_BYTE: return 2;
    case JET_TYPE_INT16: return 3;
    case JET_TYPE_INT32: return 4;
    case JET_TYPE_BIGINT: return 5;
    case JET_TYPE_CURRENCY: return 6;
    case JET_TYPE_FLOAT32: return 7;
    case JET_TYPE_FLOAT64: return 8;
    default: return 0;
    }
}

}   // namespace

jet_sql_type jet_sql_type::of(std::uint8_t code) {
    jet_sql_type type;
    type.type_code = code;
    return type;
}

jet_sql_type jet_sql_type::text(std::uint16_t characters) {
    jet_sql_type type = of(JET_TYPE_TEXT);
    type.size_bytes = std::uint16_t(characters * 2);
    return type;
}

jet_sql_type jet_sql_type::of_column(const jet_column& column) {
    jet_sql_type type = of(column.type_code);
    if (column.type_code == JET_TYPE_COMPLEX) type.type_code = JET_TYPE_INT32;
    if (column.type_code == JET_TYPE_TEXT) {
        // Results describe text in Jet 4's two bytes per character, whatever the file's.
        std::uint32_t characters = column.dao_size();
        type.size_bytes = std::uint16_t(std::min<std::uint32_t>(characters, 255) * 2);
    } else {
        type.size_bytes = column.size_bytes;
    }
    type.precision = column.precision;
    type.scale = column.scale;
    return type;
}

bool jet_sql_type::is_integer() const {
    return number_rank(type_code) >= 1 && number_rank(type_code) <= 5;
}

bool jet_sql_type::is_number() const { return number_rank(type_code) > 0 || is_decimal(); }

jet_column jet_sql_type::as_column(const std::u16string& name) const {
    jet_column column;
    column.name = name;
    jet_sql_type described = is_unknown() ? text() : *this;
    column.type_code = described.type_code;
    column.size_bytes = described.size_bytes;
    column.precision = described.precision;
    column.scale = described.scale;
    column.flags = 0x02;   // nullable
    column.bytes_per_char = 2;
    return column;
}

jet_sql_type jet_sql_merge_types(const jet_sql_type& left, const jet_sql_type& right) {
    if (left.is_unknown()) return right;
    if (right.is_unknown()) return left;
    if (left.type_code == right.type_code) {
        jet_sql_type merged = left;
        merged.size_bytes = std::max(left.size_bytes, right.size_bytes);
        return merged;
    }
    if (left.is_text() && right.is_text()) return jet_sql_type::of(JET_TYPE_MEMO);
    int left_rank = number_rank(left.type_code), right_rank = number_rank(right.type_code);
    if (left_rank > 0 && right_rank > 0)
        return jet_sql_type::of(left_rank > right_rank ? left.type_code : right.type_code);
    if (left.is_number() && right.is_number()) return jet_sql_type::of(JET_TYPE_FLOAT64);
    return jet_sql_type::of(JET_TYPE_MEMO);
}

const char* jet_sql_storage_declaration(const jet_sql_type& type) {
    switch (type.type_code) {
    case JET_TYPE_BOOLEAN:
    case JET_TYPE_BYTE:
    case JET_TYPE_INT16:
    case JET_TYPE_INT32:
    case JET_TYPE_BIGINT:
    case JET_TYPE_CURRENCY: return "INTEGER";
    case JET_TYPE_FLOAT32:
    case JET_TYPE_FLOAT64:
    case JET_TYPE_DATETIME: return "REAL";
    case JET_TYPE_TEXT:
    case JET_TYPE_MEMO:
    case JET_TYPE_DATETIME_EXT: return "TEXT COLLATE jet_nocase";
    default: return "BLOB";   // no conversion: decimals stay exact text, binary stays bytes
    }
}
