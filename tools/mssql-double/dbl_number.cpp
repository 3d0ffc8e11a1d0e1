// dbl_number.cpp - decimal parsing, formatting and rescaling.
#include "dbl_number.hpp"

#include <cstdio>
#include <cstdlib>

__int128 dbl_pow10(int exponent) {
    __int128 result = 1;
    for (int i = 0; i < exponent; ++i) result *= 10;
    return result;
}

int dbl_digits(__int128 unscaled) {
    if (unscaled < 0) unscaled = -unscaled;
    int digits = 1;
    while (unscaled >= 10) {
        unscaled /= 10;
        ++digits;
    }
    return digits;
}

std::optional<dbl_decimal_text> dbl_parse_decimal(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ') ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    dbl_decimal_text result;
    int digits = 0;
    int significant = 0;
    bool dot = false;
    for (; at < text.size(); ++at) {
        char c = text[at];
        if (c == '.' && !dot) {
            dot = true;
            continue;
        }
        if (c < '0' || c > '9') break;
        ++digits;
        if (dot) ++result.scale;
        if (significant > 0 || c != '0') ++significant;
        if (significant > 38 || result.scale > 38) return std::nullopt;
        result.unscaled = result.unscaled * 10 + (c - '0');
    }
    while (at < text.size() && text[at] == ' ') ++at;
    if (digits == 0 || at != text.size()) return std::nullopt;
    if (negative) result.unscaled = -result.unscaled;
    int integer_digits = significant - result.scale;
    result.precision = std::max(result.scale + std::max(integer_digits, 0), 1);
    if (result.precision < result.scale) result.precision = result.scale;
    return result;
}

std::string dbl_format_decimal(__int128 unscaled, int scale) {
    bool negative = unscaled < 0;
    unsigned __int128 magnitude = negative ? -(unsigned __int128)unscaled : unscaled;
    std::string digits;
    do {
        digits.insert(digits.begin(), char('0' + int(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude > 0);
    while (int(digits.size()) <= scale) digits.insert(digits.begin(), '0');
    if (scale > 0) digits.insert(digits.end() - scale, '.');
    return negative ? "-" + digits : digits;
}

__int128 dbl_rescale(__int128 unscaled, int from_scale, int to_scale) {
    if (to_scale >= from_scale) return unscaled * dbl_pow10(to_scale - from_scale);
    __int128 divisor = dbl_pow10(from_scale - to_scale);
    __int128 quotient = unscaled / divisor;
    __int128 remainder = unscaled % divisor;
    if (remainder < 0) remainder = -remainder;
    if (remainder * 2 >= divisor) quotient += unscaled < 0 ? -1 : 1;
    return quotient;
}

std::string dbl_format_float(double number, bool b_real) {
    char buffer[64];
    for (int digits = b_real ? 6 : 15; digits <= 17; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*g", digits, number);
        double back = std::strtod(buffer, nullptr);
        if (b_real ? float(back) == float(number) : back == number) break;
    }
    return buffer;
}
