// oleaut_exact.cpp - arithmetic on exact_number: rescaling with half-to-even rounding and the
// moves between integers, CY, DECIMAL, double and text.
#include "platform/oleaut/oleaut_exact.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr int CY_SCALE = 4;

std::string magnitude_digits(uint128 magnitude) {
    if (magnitude == 0) return "0";
    std::string digits;
    while (magnitude != 0) {
        digits.insert(digits.begin(), char('0' + int(magnitude % 10)));
        magnitude /= 10;
    }
    return digits;
}

}   // namespace

uint128 power_of_ten(int exponent) {
    uint128 result = 1;
    for (int step = 0; step < exponent; ++step) result *= 10;
    return result;
}

uint128 divide_rounding_to_even(uint128 magnitude, int drop) {
    if (drop <= 0) return magnitude;
    if (drop > EXACT_MAX_DIGITS) return 0;   // 10^39 exceeds every magnitude
    uint128 divisor = power_of_ten(drop);
    uint128 quotient = magnitude / divisor;
    uint128 remainder = magnitude % divisor;
    uint128 half = divisor / 2;
    if (remainder > half || (remainder == half && (quotient & 1) != 0)) ++quotient;
    return quotient;
}

bool rescale(const exact_number& number, int new_scale, exact_number* result) {
    exact_number scaled = number;
    scaled.scale = new_scale;
    if (new_scale <= number.scale) {
        scaled.magnitude = divide_rounding_to_even(number.magnitude, number.scale - new_scale);
    } else {
        int grow = new_scale - number.scale;
        if (grow > EXACT_MAX_DIGITS) return number.magnitude == 0;
        uint128 factor = power_of_ten(grow);
        if (number.magnitude > std::numeric_limits<uint128>::max() / factor) return false;
        scaled.magnitude = number.magnitude * factor;
    }
    *result = scaled;
    return true;
}

HRESULT exact_to_integer(const exact_number& number, __int128 low, __int128 high,
                         __int128* result) {
    uint128 whole = divide_rounding_to_even(number.magnitude, number.scale);
    if (whole > (uint128(1) << 100)) return DISP_E_OVERFLOW;   // far beyond any 64-bit range
    __int128 value = number.negative ? -__int128(whole) : __int128(whole);
    if (value < low || value > high) return DISP_E_OVERFLOW;
    *result = value;
    return S_OK;
}

HRESULT exact_to_cy(const exact_number& number, CY* result) {
    exact_number scaled;
    if (!rescale(number, CY_SCALE, &scaled)) return DISP_E_OVERFLOW;
    __int128 units = 0;
    HRESULT hr = exact_to_integer(exact_number{scaled.negative, scaled.magnitude, 0},
                                  std::numeric_limits<std::int64_t>::min(),
                                  std::numeric_limits<std::int64_t>::max(), &units);
    if (FAILED(hr)) return hr;
    result->int64 = std::int64_t(units);
    return S_OK;
}

HRESULT exact_to_decimal(const exact_number& number, DECIMAL* result) {
    exact_number fitted = number;
    if (fitted.scale > DECIMAL_MAX_SCALE) rescale(number, DECIMAL_MAX_SCALE, &fitted);
    while (fitted.magnitude > DECIMAL_MAX_MAGNITUDE && fitted.scale > 0) {
        rescale(fitted, fitted.scale - 1, &fitted);
    }
    if (fitted.magnitude > DECIMAL_MAX_MAGNITUDE) return DISP_E_OVERFLOW;
    DECIMAL value{};
    value.scale = BYTE(fitted.scale);
    value.sign = fitted.negative && fitted.magnitude != 0 ? DECIMAL_NEG : 0;
    value.Hi32 = ULONG(fitted.magnitude >> 64);
    value.Lo64 = ULONGLONG(fitted.magnitude);
    *result = value;
    return S_OK;
}

double exact_to_double(const exact_number& number) {
    // Through text, so the result is the double nearest the exact value.
    std::string text = magnitude_digits(number.magnitude) + "e-" + std::to_string(number.scale);
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return number.negative ? -value : value;
}

exact_number exact_from_integer(__int128 number) {
    exact_number result;
    result.negative = number < 0;
    result.magnitude = number < 0 ? uint128(-(number + 1)) + 1 : uint128(number);
    return result;
}

exact_number exact_from_cy(CY value) {
    exact_number result = exact_from_integer(value.int64);
    result.scale = CY_SCALE;
    return result;
}

exact_number exact_from_decimal(const DECIMAL& value) {
    exact_number result;
    result.negative = (value.sign & DECIMAL_NEG) != 0;
    result.magnitude = (uint128(value.Hi32) << 64) | value.Lo64;
    result.scale = value.scale;
    return result;
}

HRESULT exact_from_double(double value, exact_number* result) {
    if (!std::isfinite(value)) return DISP_E_OVERFLOW;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14E", value);
    std::u16string text(buffer, buffer + std::char_traits<char>::length(buffer));
    number_text parsed;
    if (!parse_number_text(text, &parsed)) return DISP_E_TYPEMISMATCH;
    return number_text_to_exact(parsed, result);
}

std::u16string exact_to_text(const exact_number& number) {
    std::string digits = magnitude_digits(number.magnitude);
    if (number.scale > 0) {
        if (int(digits.size()) <= number.scale) {
            digits.insert(0, std::size_t(number.scale) - digits.size() + 1, '0');
        }
        digits.insert(digits.size() - std::size_t(number.scale), 1, '.');
        while (digits.back() == '0') digits.pop_back();
        if (digits.back() == '.') digits.pop_back();
    }
    if (number.negative && digits != "0") digits.insert(0, 1, '-');
    return std::u16string(digits.begin(), digits.end());
}
