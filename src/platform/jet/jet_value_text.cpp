#include "platform/jet/jet_value_text.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/oleaut/oleaut_calendar.hpp"
#include "platform/oleaut/oleaut_guid.hpp"
#include "platform/winbase/win_codepage.hpp"

namespace {

using jet_uint128 = unsigned __int128;

constexpr std::int64_t SECONDS_PER_DAY = 86400;

// Writes value as exactly width digits at out (values here are never negative).
void put_digits(char* out, std::int64_t value, int width) {
    for (int digit = width - 1; digit >= 0; --digit) {
        out[digit] = char('0' + value % 10);
        value /= 10;
    }
}

// "YYYY-MM-DD HH:MM:SS" without printf: dumps print millions of dates.
// day: days since 1899-12-30, the OLE epoch.
std::string format_date_time(std::int64_t day, std::int64_t seconds) {
    civil_date date = date_of_day_number(day);
    if (date.year < 0 || date.year > 9999) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%d-%02d-%02d", date.year, date.month, date.day);
        std::string text = buffer;
        std::string time = "00:00:00";
        put_digits(time.data(), seconds / 3600, 2);
        put_digits(time.data() + 3, seconds / 60 % 60, 2);
        put_digits(time.data() + 6, seconds % 60, 2);
        return text + " " + time;
    }
    std::string text = "0000-00-00 00:00:00";
    put_digits(text.data(), date.year, 4);
    put_digits(text.data() + 5, date.month, 2);
    put_digits(text.data() + 8, date.day, 2);
    put_digits(text.data() + 11, seconds / 3600, 2);
    put_digits(text.data() + 14, seconds / 60 % 60, 2);
    put_digits(text.data() + 17, seconds % 60, 2);
    return text;
}

std::string unsigned_text(jet_uint128 magnitude) {
    if (magnitude == 0) return "0";
    std::string digits;
    while (magnitude > 0) {
        digits.insert(digits.begin(), char('0' + int(magnitude % 10)));
        magnitude /= 10;
    }
    return digits;
}

// digits with a decimal point scale places from the right.
std::string scaled_text(bool negative, jet_uint128 magnitude, unsigned scale) {
    std::string digits = unsigned_text(magnitude);
    if (scale > 0) {
        if (digits.size() <= scale) digits.insert(0, scale - digits.size() + 1, '0');
        digits.insert(digits.size() - scale, 1, '.');
    }
    return (negative && magnitude != 0 ? "-" : "") + digits;
}

template <class T>
std::string shortest_text(T number) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    return std::string(buffer, result.ptr);
}

}   // namespace

std::string jet_currency_text(jet_currency value) {
    bool negative = value.units < 0;
    jet_uint128 magnitude = negative ? jet_uint128(-(value.units + 1)) + 1
                                     : jet_uint128(value.units);
    return scaled_text(negative, magnitude, 4);
}

std::string jet_decimal_text(const jet_decimal& value) {
    jet_uint128 magnitude = jet_uint128(value.hi) << 64 | jet_uint128(value.mid) << 32 | value.lo;
    return scaled_text(value.negative, magnitude, value.scale);
}

// The OLE date keeps the time as a positive fraction also before 1899-12-30: -1.25 is
// 1899-12-29 06:00. Split day and fraction before rounding to the second.
std::string jet_date_text(double ole_date) {
    if (!std::isfinite(ole_date) || std::fabs(ole_date) > 3e6) return shortest_text(ole_date);
    double whole_days = std::trunc(ole_date);
    double fraction = std::fabs(ole_date - whole_days);
    std::int64_t days = std::int64_t(whole_days);
    std::int64_t seconds = std::llround(fraction * SECONDS_PER_DAY);
    if (seconds >= SECONDS_PER_DAY) {
        seconds -= SECONDS_PER_DAY;
        ++days;
    }
    return format_date_time(days, seconds);
}

// Stored: 19 digits of days since 0001-01-01, ':', 12 digits of seconds, 7 digits of ticks.
std::string jet_date_ext_text(const jet_date_ext& value) {
    const std::string& stored = value.stored;
    auto digits = [&](std::size_t at, std::size_t count, std::int64_t& out) {
        if (stored.size() < at + count) return false;
        auto result = std::from_chars(stored.data() + at, stored.data() + at + count, out);
        return result.ec == std::errc() && result.ptr == stored.data() + at + count;
    };
    std::int64_t days = 0, seconds = 0, ticks = 0;
    if (!digits(0, 19, days) || !digits(20, 12, seconds) || !digits(32, 7, ticks)
        || seconds >= SECONDS_PER_DAY)
        return jet_quoted(std::u16string(stored.begin(), stored.end()));
    char fraction[16];
    std::snprintf(fraction, sizeof fraction, ".%07lld", static_cast<long long>(ticks));
    static const std::int64_t first_day = day_number(civil_date{1, 1, 1});   // 0001-01-01
    return format_date_time(first_day + days, seconds) + fraction;
}

std::string jet_guid_text(const jet_guid& value) {
    return guid_to_string(guid_from_bytes(value.bytes));
}

std::string jet_hex_text(const std::vector<std::uint8_t>& bytes) {
    static const char HEX[] = "0123456789abcdef";
    std::string text(2 + bytes.size() * 2, 'x');
    text[0] = '0';
    std::size_t at = 2;
    for (std::uint8_t byte : bytes) {
        text[at++] = HEX[byte >> 4];
        text[at++] = HEX[byte & 0x0F];
    }
    return text;
}

std::string jet_quoted(const std::u16string& text) {
    std::string utf8 = win_utf16_to_utf8(text);
    std::string quoted;
    quoted.reserve(utf8.size() + 2);
    quoted += '"';
    std::size_t from = 0;
    for (std::size_t quote; (quote = utf8.find('"', from)) != std::string::npos; from = quote + 1)
        quoted.append(utf8, from, quote + 1 - from).push_back('"');
    quoted.append(utf8, from, std::string::npos);
    quoted += '"';
    return quoted;
}

std::string jet_value_to_csv(const jet_value& value) {
    switch (value.kind()) {
    case jet_value_kind::null_value: return "";
    case jet_value_kind::boolean: return value.get<bool>() ? "1" : "0";
    case jet_value_kind::byte: return std::to_string(value.get<std::uint8_t>());
    case jet_value_kind::int16: return std::to_string(value.get<std::int16_t>());
    case jet_value_kind::int32: return std::to_string(value.get<std::int32_t>());
    case jet_value_kind::int64: return std::to_string(value.get<std::int64_t>());
    case jet_value_kind::float32: return shortest_text(value.get<float>());
    case jet_value_kind::float64: return shortest_text(value.get<double>());
    case jet_value_kind::currency: return jet_currency_text(value.get<jet_currency>());
    case jet_value_kind::decimal: return jet_decimal_text(value.get<jet_decimal>());
    case jet_value_kind::date: return jet_date_text(value.get<jet_date>().serial);
    case jet_value_kind::date_ext: return jet_date_ext_text(value.get<jet_date_ext>());
    case jet_value_kind::guid: return jet_guid_text(value.get<jet_guid>());
    case jet_value_kind::text: return jet_quoted(value.get<std::u16string>());
    case jet_value_kind::binary: return jet_hex_text(value.get<std::vector<std::uint8_t>>());
    }
    return "";
}
