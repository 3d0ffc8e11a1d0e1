#pragma once
// oleaut_exact.hpp - exact decimal numbers inside the runtime: (-1)^negative * magnitude /
// 10^scale with a 128-bit magnitude. Integers, CY (scale 4) and DECIMAL all pass through it,
// so every conversion between them rounds in one place: half to even, as OLE Automation does.
// Not for the layers above; they use the Var… functions.

#include "platform/oleaut/oleaut_types.hpp"

#include <string>
#include <string_view>

using uint128 = unsigned __int128;

inline constexpr int EXACT_MAX_DIGITS = 38;   // every 38-digit number fits 128 bits
inline constexpr uint128 DECIMAL_MAX_MAGNITUDE = (uint128(1) << 96) - 1;

struct exact_number {
    bool negative = false;
    uint128 magnitude = 0;
    int scale = 0;   // 0..EXACT_MAX_DIGITS
};

uint128 power_of_ten(int exponent);   // exponent 0..38

// magnitude / 10^drop rounded half to even.
uint128 divide_rounding_to_even(uint128 magnitude, int drop);

// Sets result to the number with scale new_scale; false when it does not fit 128 bits.
bool rescale(const exact_number& number, int new_scale, exact_number* result);

// The integer nearest to number (ties to even) within [low, high]; DISP_E_OVERFLOW beyond.
HRESULT exact_to_integer(const exact_number& number, __int128 low, __int128 high, __int128* result);
HRESULT exact_to_cy(const exact_number& number, CY* result);
// Fits 96 bits by giving up fraction digits (rounded); DISP_E_OVERFLOW when even scale 0 fails.
HRESULT exact_to_decimal(const exact_number& number, DECIMAL* result);
double exact_to_double(const exact_number& number);

exact_number exact_from_integer(__int128 number);
exact_number exact_from_cy(CY value);
exact_number exact_from_decimal(const DECIMAL& value);
// The value as OLE reads a double: rounded to 15 significant digits.
HRESULT exact_from_double(double value, exact_number* result);

// Text with a point and no trailing fraction zeros: "-12.5", "0", "7".
std::u16string exact_to_text(const exact_number& number);

// Digits and a power of ten as read from text: value = digits * 10^exponent.
struct number_text {
    bool negative = false;
    std::string digits;   // no leading zeros; empty for zero
    long exponent = 0;
};

// Reads en-US number text: blanks around, a sign, "$", digits with "," between them, ".",
// an exponent "E[+-]n"; or "&H" hex and "&O" octal integers. False for anything else.
bool parse_number_text(std::u16string_view text, number_text* result);
// DISP_E_OVERFLOW when the value needs more than 38 digits before the point.
HRESULT number_text_to_exact(const number_text& text, exact_number* result);
// Correctly rounded; DISP_E_OVERFLOW beyond the double range.
HRESULT number_text_to_double(const number_text& text, double* result);
