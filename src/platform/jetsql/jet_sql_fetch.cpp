#include "platform/jetsql/jet_sql_fetch.hpp"

#include <sqlite3.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "platform/jet/jet_error.hpp"
#include "platform/jetsql/jet_query.hpp"
#include "platform/jetsql/jet_sql_errors.hpp"
#include "platform/winbase/win_codepage.hpp"

namespace {

using uint128 = unsigned __int128;

[[noreturn]] void overflow() { throw jet_error(VBA_ERR_OVERFLOW, "Overflow"); }

[[noreturn]] void mismatch() { throw jet_sql_type_mismatch(); }

std::int64_t whole_number(sqlite3_stmt* statement, int column_idx) {
    if (sqlite3_column_type(statement, column_idx) == SQLITE_INTEGER)
        return sqlite3_column_int64(statement, column_idx);
    double value = std::nearbyint(sqlite3_column_double(statement, column_idx));
    if (!(std::fabs(value) < 9.2e18)) overflow();
    return std::int64_t(value);
}

template <class T>
jet_value bounded(std::int64_t value) {
    if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) overflow();
    return jet_value(T(value));
}

std::u16string column_text(sqlite3_stmt* statement, int column_idx) {
    if (sqlite3_column_type(statement, column_idx) == SQLITE_FLOAT) {
        double value = sqlite3_column_double(statement, column_idx);
        char buffer[40];
        if (value == std::trunc(value) && std::fabs(value) < 1e15)
            std::snprintf(buffer, sizeof buffer, "%.0f", value);
        else std::snprintf(buffer, sizeof buffer, "%.15g", value);
        return win_utf8_to_utf16(buffer);
    }
    const void* text = sqlite3_column_text16(statement, column_idx);
    int bytes = sqlite3_column_bytes16(statement, column_idx);
    if (text == nullptr) return {};
    return std::u16string(static_cast<const char16_t*>(text), std::size_t(bytes) / 2);
}

std::vector<std::uint8_t> column_bytes(sqlite3_stmt* statement, int column_idx) {
    const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, column_idx));
    int size = sqlite3_column_bytes(statement, column_idx);
    if (data == nullptr) return {};
    return std::vector<std::uint8_t>(data, data + size);
}

std::string column_utf8(sqlite3_stmt* statement, int column_idx) {
    const auto* text = sqlite3_column_text(statement, column_idx);
    return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

jet_value fetch_decimal(sqlite3_stmt* statement, int column_idx, const jet_sql_type& type) {
    std::string text;
    if (sqlite3_column_type(statement, column_idx) == SQLITE_TEXT) {
        text = column_utf8(statement, column_idx);
    } else {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*f", int(type.scale),
                      sqlite3_column_double(statement, column_idx));
        text = buffer;
    }
    std::optional<jet_decimal> value = jet_sql_parse_decimal(text, type.scale, type.precision);
    if (!value) mismatch();
    return jet_value(*value);
}

}   // namespace

std::optional<jet_decimal> jet_sql_parse_decimal(std::string_view text, std::uint8_t scale,
                                                 std::uint8_t precision) {
    jet_decimal result;
    result.scale = scale;
    result.precision = precision;
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
        result.negative = text[pos++] == '-';
    uint128 magnitude = 0;
    int digits = 0, fraction_digits = 0;
    bool in_fraction = false;
    const uint128 limit = (uint128(1) << 96) - 1;
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '.' && !in_fraction) {
            in_fraction = true;
            continue;
        }
        if (c < '0' || c > '9') return std::nullopt;
        if (in_fraction && fraction_digits >= scale) {
            if (c != '0') return std::nullopt;   // more decimals than the column keeps
            continue;
        }
        magnitude = magnitude * 10 + uint128(c - '0');
        if (magnitude > limit || ++digits > 38) return std::nullopt;
        fraction_digits += in_fraction ? 1 : 0;
    }
    if (digits == 0) return std::nullopt;
    for (; fraction_digits < scale; ++fraction_digits) {
        magnitude *= 10;
        if (magnitude > limit) return std::nullopt;
    }
    result.lo = std::uint32_t(magnitude);
    result.mid = std::uint32_t(magnitude >> 32);
    result.hi = std::uint32_t(magnitude >> 64);
    if (magnitude == 0) result.negative = false;
    return result;
}

jet_value jet_sql_fetch(sqlite3_stmt* statement, int column_idx, const jet_sql_type& type) {
    if (sqlite3_column_type(statement, column_idx) == SQLITE_NULL) return jet_value();
    switch (type.type_code) {
    case JET_TYPE_BOOLEAN: return jet_value(whole_number(statement, column_idx) != 0);
    case JET_TYPE_BYTE: return bounded<std::uint8_t>(whole_number(statement, column_idx));
    case JET_TYPE_INT16: return bounded<std::int16_t>(whole_number(statement, column_idx));
    case JET_TYPE_INT32: return bounded<std::int32_t>(whole_number(statement, column_idx));
    case JET_TYPE_BIGINT: return jet_value(whole_number(statement, column_idx));
    case JET_TYPE_CURRENCY: return jet_value(jet_currency{whole_number(statement, column_idx)});
    case JET_TYPE_FLOAT32: {
        double value = sqlite3_column_double(statement, column_idx);
        if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max())
            overflow();
        return jet_value(float(value));
    }
    case JET_TYPE_FLOAT64: return jet_value(sqlite3_column_double(statement, column_idx));
    case JET_TYPE_DATETIME:
        return jet_value(jet_date{sqlite3_column_double(statement, column_idx)});
    case JET_TYPE_NUMERIC: return fetch_decimal(statement, column_idx, type);
    case JET_TYPE_DATETIME_EXT: return jet_value(jet_date_ext{column_utf8(statement, column_idx)});
    case JET_TYPE_GUID: {
        std::vector<std::uint8_t> bytes = column_bytes(statement, column_idx);
        if (bytes.size() != 16) mismatch();
        jet_guid guid;
        std::copy(bytes.begin(), bytes.end(), guid.bytes.begin());
        return jet_value(guid);
    }
    case JET_TYPE_BINARY:
    case JET_TYPE_OLE: return jet_value(column_bytes(statement, column_idx));
    default: return jet_value(column_text(statement, column_idx));
    }
}
