#include "platform/jet/jet_value_parse.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <type_traits>

#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_text.hpp"
#include "platform/oleaut/oleaut.hpp"
#include "platform/winbase/win_codepage.hpp"

namespace {

using jet_uint128 = unsigned __int128;
constexpr int JET_ERR_TYPE_CONVERSION = 3421;

[[noreturn]] void unreadable(const jet_column& column, std::string_view field) {
    throw jet_error(JET_ERR_TYPE_CONVERSION, "Data type conversion error (" + jet_utf8(column.name)
                                                 + ": " + std::string(field.substr(0, 40)) + ").");
}

template <class Number>
Number number_of(const jet_column& column, std::string_view field, int base = 10) {
    Number number{};
    std::from_chars_result result{};
    if constexpr (std::is_floating_point_v<Number>) {
        result = std::from_chars(field.data(), field.data() + field.size(), number);
    } else {
        result = std::from_chars(field.data(), field.data() + field.size(), number, base);
    }
    auto [end, error] = result;
    if (error != std::errc() || end != field.data() + field.size()) unreadable(column, field);
    return number;
}

// "-12.3400" as -123400 at scale 4; more decimals than the scale are refused.
std::pair<bool, jet_uint128> scaled(const jet_column& column, std::string_view field, int scale) {
    bool negative = !field.empty() && field.front() == '-';
    if (negative) field.remove_prefix(1);
    std::size_t point = field.find('.');
    std::string digits(field.substr(0, point));
    std::string_view decimals = point == std::string_view::npos ? "" : field.substr(point + 1);
    if (digits.empty() || int(decimals.size()) > scale) unreadable(column, field);
    digits += decimals;
    digits.append(std::size_t(scale) - decimals.size(), '0');
    jet_uint128 magnitude = 0;
    for (char digit : digits) {
        if (digit < '0' || digit > '9' || magnitude > (~jet_uint128(0)) / 20)
            unreadable(column, field);
        magnitude = magnitude * 10 + jet_uint128(digit - '0');
    }
    return {negative, magnitude};
}

std::u16string unquoted(const jet_column& column, std::string_view field) {
    if (field.size() < 2 || field.front() != '"' || field.back() != '"') unreadable(column, field);
    std::string text;
    for (std::size_t at = 1; at + 1 < field.size(); ++at) {
        text += field[at];
        if (field[at] == '"') ++at;   // "" stands for one quote
    }
    return win_utf8_to_utf16(text);
}

std::vector<std::uint8_t> hex_bytes(const jet_column& column, std::string_view field) {
    if (field.substr(0, 2) != "0x" || field.size() % 2 != 0) unreadable(column, field);
    std::vector<std::uint8_t> bytes;
    for (std::size_t at = 2; at < field.size(); at += 2)
        bytes.push_back(number_of<std::uint8_t>(column, field.substr(at, 2), 16));
    return bytes;
}

double date_of(const jet_column& column, std::string_view field) {
    SYSTEMTIME time{};
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    std::string text(field);
    int read = std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d", &year, &month, &day, &hour,
                           &minute, &second);
    if (read != 3 && read != 6) unreadable(column, field);
    time.wYear = WORD(year);
    time.wMonth = WORD(month);
    time.wDay = WORD(day);
    time.wHour = WORD(hour);
    time.wMinute = WORD(minute);
    time.wSecond = WORD(second);
    DATE serial = 0;
    if (!SystemTimeToVariantTime(&time, &serial)) unreadable(column, field);
    return serial;
}

jet_decimal decimal_of(const jet_column& column, std::string_view field) {
    auto [negative, magnitude] = scaled(column, field, column.scale);
    if ((magnitude >> 96) != 0) unreadable(column, field);
    return jet_decimal{std::uint32_t(magnitude),
                       std::uint32_t(magnitude >> 32),
                       std::uint32_t(magnitude >> 64),
                       column.scale,
                       column.precision,
                       negative && magnitude != 0};
}

jet_currency currency_of(const jet_column& column, std::string_view field) {
    auto [negative, magnitude] = scaled(column, field, 4);
    jet_uint128 limit = jet_uint128(INT64_MAX) + (negative ? 1 : 0);
    if (magnitude > limit) unreadable(column, field);
    std::int64_t units = negative ? std::int64_t(-(magnitude - 1)) - 1 : std::int64_t(magnitude);
    return jet_currency{units};
}

}   // namespace

std::optional<jet_guid> jet_guid_from_text(std::u16string_view text) {
    GUID guid{};
    if (FAILED(guid_from_wstring(text, &guid))) return std::nullopt;
    return jet_guid{guid_to_bytes(guid)};
}

jet_value jet_value_from_csv(const jet_column& column, std::string_view field) {
    if (field.empty()) return jet_value();
    switch (column.type_code) {
    case JET_TYPE_BOOLEAN: return jet_value(number_of<int>(column, field) != 0);
    case JET_TYPE_BYTE: return jet_value(number_of<std::uint8_t>(column, field));
    case JET_TYPE_INT16: return jet_value(number_of<std::int16_t>(column, field));
    case JET_TYPE_INT32: return jet_value(number_of<std::int32_t>(column, field));
    case JET_TYPE_FLOAT32: return jet_value(number_of<float>(column, field));
    case JET_TYPE_FLOAT64: return jet_value(number_of<double>(column, field));
    case JET_TYPE_CURRENCY: return jet_value(currency_of(column, field));
    case JET_TYPE_NUMERIC: return jet_value(decimal_of(column, field));
    case JET_TYPE_DATETIME: return jet_value(jet_date{date_of(column, field)});
    case JET_TYPE_GUID: {
        std::optional<jet_guid> guid = jet_guid_from_text(win_utf8_to_utf16(field));
        if (!guid) unreadable(column, field);
        return jet_value(*guid);
    }
    case JET_TYPE_TEXT:
    case JET_TYPE_MEMO: return jet_value(unquoted(column, field));
    default: return jet_value(hex_bytes(column, field));
    }
}
