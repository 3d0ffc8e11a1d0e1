#pragma once
// dbl_number.hpp - exact decimal arithmetic on 128-bit unscaled integers (38 digits fit),
// the way SQL Server keeps decimal, numeric and money.

#include <optional>
#include <string>

struct dbl_decimal_text {
    __int128 unscaled = 0;
    int precision = 1;   // significant digits, at least the scale and at least 1
    int scale = 0;
};

// "12.50", "-3", ".5"; nullopt when not a plain decimal number or over 38 digits.
std::optional<dbl_decimal_text> dbl_parse_decimal(const std::string& text);
std::string dbl_format_decimal(__int128 unscaled, int scale);
// Rescales, rounding half away from zero as SQL Server does when the scale shrinks.
__int128 dbl_rescale(__int128 unscaled, int from_scale, int to_scale);
__int128 dbl_pow10(int exponent);
int dbl_digits(__int128 unscaled);
// Round-trip text of a float, or of a real when `b_real`: the shortest that reads back.
std::string dbl_format_float(double number, bool b_real);
