// oledb_data_convert.cpp - R8 to NUMERIC through the exact decimal text of the double, so
// rounding happens once, on the true binary value.

#include "platform/oledb/oledb_data_convert.hpp"

#include <charconv>
#include <cmath>

namespace {

using uint128 = unsigned __int128;

constexpr std::uint8_t MAX_PRECISION = 38;
constexpr int EXACT_FRACTION_DIGITS = 1074;
constexpr std::size_t EXACT_TEXT_SIZE = 1500;

uint128 power_of_ten(unsigned exponent) {
    uint128 result = 1;
    for (unsigned step = 0; step < exponent; ++step) result *= 10;
    return result;
}

}  // namespace

oledb_hresult oledb_convert_r8_to_numeric(double value, std::uint8_t precision,
                                          std::uint8_t scale, DB_NUMERIC& out) {
    if (precision == 0 || precision > MAX_PRECISION) return DB_E_BADPRECISION;
    if (scale > precision) return DB_E_BADSCALE;
    if (!std::isfinite(value)) return DB_E_CANTCONVERTVALUE;
    // The exact decimal expansion of the double (at most 309 integer and 1074 fraction
    // digits), so that rounding half away from zero looks at the true value.
    char text[EXACT_TEXT_SIZE];
    const auto printed = std::to_chars(text, text + sizeof text, std::fabs(value),
                                       std::chars_format::fixed, EXACT_FRACTION_DIGITS);
    if (printed.ec != std::errc()) return DB_E_CANTCONVERTVALUE;
    const uint128 limit = power_of_ten(precision);
    uint128 magnitude = 0;
    int fraction_digits = -1;   // -1 until the point
    for (const char* at = text; at < printed.ptr; ++at) {
        if (*at == '.') {
            fraction_digits = 0;
            continue;
        }
        if (fraction_digits == scale) {   // the first dropped digit decides
            if (*at >= '5') ++magnitude;
            break;
        }
        magnitude = magnitude * 10 + static_cast<unsigned>(*at - '0');
        if (magnitude >= limit) return DB_E_DATAOVERFLOW;
        if (fraction_digits >= 0) ++fraction_digits;
    }
    if (magnitude >= limit) return DB_E_DATAOVERFLOW;
    DB_NUMERIC result;
    result.precision = precision;
    result.scale = scale;
    result.sign = (value < 0 && magnitude != 0) ? 0 : 1;
    for (std::size_t byte_idx = 0; byte_idx < result.val.size(); ++byte_idx) {
        result.val[byte_idx] = static_cast<std::uint8_t>(magnitude >> (8 * byte_idx));
    }
    out = result;
    return OLEDB_S_OK;
}

std::string oledb_numeric_to_text(const DB_NUMERIC& value) {
    uint128 magnitude = 0;
    for (std::size_t byte_idx = value.val.size(); byte_idx-- > 0;) {
        magnitude = (magnitude << 8) | value.val[byte_idx];
    }
    std::string digits;   // least significant first
    do {
        digits.push_back(char('0' + static_cast<int>(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude != 0);
    while (digits.size() <= value.scale) digits.push_back('0');
    std::string text;
    for (std::size_t digit_idx = digits.size(); digit_idx-- > 0;) {
        text.push_back(digits[digit_idx]);
        if (digit_idx == value.scale && value.scale > 0) text.push_back('.');
    }
    digits = text;
    return (value.sign == 0 ? "-" : "") + digits;
}
