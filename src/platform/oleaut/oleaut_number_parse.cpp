// oleaut_number_parse.cpp - reads number text the way OLE Automation's en-US parser does and
// turns it into an exact_number or a double. Digits are kept as text, so a 400-digit input
// costs nothing but its length; exponents are clamped far beyond any representable value.
#include "platform/oleaut/oleaut_exact.hpp"

#include <algorithm>
#include <charconv>
#include <limits>

namespace {

constexpr long EXPONENT_CLAMP = 100000;

bool is_blank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\u00A0';
}

bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }

int digit_in_base(char16_t c, int base) {
    int value = -1;
    if (c >= u'0' && c <= u'9') value = c - u'0';
    if (c >= u'A' && c <= u'F') value = c - u'A' + 10;
    if (c >= u'a' && c <= u'f') value = c - u'a' + 10;
    return value < base ? value : -1;
}

std::string strip_leading_zeros(const std::string& digits) {
    std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? std::string() : digits.substr(first);
}

// "&H1F", "&O17": at most 64 bits, as VarI8FromStr reads them.
bool parse_radix(std::u16string_view body, number_text* result) {
    int base = (body[1] == u'H' || body[1] == u'h') ? 16 : 8;
    std::u16string_view digits = body.substr(2);
    if (digits.empty() || digits.size() > std::size_t(base == 16 ? 16 : 22)) return false;
    uint128 value = 0;
    for (char16_t c : digits) {
        int digit = digit_in_base(c, base);
        if (digit < 0) return false;
        value = value * uint128(base) + uint128(digit);
    }
    if (value > std::numeric_limits<std::uint64_t>::max()) return false;
    std::string text;
    for (; value != 0; value /= 10) text.insert(text.begin(), char('0' + int(value % 10)));
    result->digits = text;
    return true;
}

// The exponent after "E": optional sign and at least one digit, clamped.
bool parse_exponent(std::u16string_view text, std::size_t at, long* exponent) {
    bool negative = false;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
        negative = text[at] == u'-';
        ++at;
    }
    if (at >= text.size()) return false;
    long value = 0;
    for (; at < text.size(); ++at) {
        if (!is_digit(text[at])) return false;
        value = std::min(EXPONENT_CLAMP, value * 10 + (text[at] - u'0'));
    }
    *exponent = negative ? -value : value;
    return true;
}

bool parse_decimal(std::u16string_view body, number_text* result) {
    std::string digits;
    long fraction_digits = 0;
    bool seen_point = false;
    std::size_t at = 0;
    for (; at < body.size(); ++at) {
        char16_t c = body[at];
        if (is_digit(c)) {
            digits.push_back(char(c));
            if (seen_point) ++fraction_digits;
        } else if (c == u',' && !seen_point && !digits.empty()) {
            continue;   // thousands separator
        } else if (c == u'.' && !seen_point) {
            seen_point = true;
        } else {
            break;
        }
    }
    if (digits.empty()) return false;
    long exponent = 0;
    if (at < body.size()) {
        if (body[at] != u'E' && body[at] != u'e') return false;
        if (!parse_exponent(body, at + 1, &exponent)) return false;
    }
    result->digits = strip_leading_zeros(digits);
    result->exponent = exponent - fraction_digits;
    return true;
}

}   // namespace

bool parse_number_text(std::u16string_view text, number_text* result) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && is_blank(text[first])) ++first;
    while (last > first && is_blank(text[last - 1])) --last;
    std::u16string_view body = text.substr(first, last - first);
    number_text parsed;
    if (!body.empty() && (body[0] == u'+' || body[0] == u'-')) {
        parsed.negative = body[0] == u'-';
        body.remove_prefix(1);
    }
    if (!body.empty() && body[0] == u'$') body.remove_prefix(1);
    if (body.empty()) return false;
    bool ok = (body.size() >= 2 && body[0] == u'&') ? parse_radix(body, &parsed)
                                                    : parse_decimal(body, &parsed);
    if (!ok) return false;
    *result = parsed;
    return true;
}

HRESULT number_text_to_exact(const number_text& text, exact_number* result) {
    exact_number number;
    number.negative = text.negative;
    if (text.digits.empty()) {
        *result = number;
        return S_OK;
    }
    std::string digits = text.digits;
    long exponent = text.exponent;
    if (exponent >= 0) {
        if (long(digits.size()) + exponent > EXACT_MAX_DIGITS) return DISP_E_OVERFLOW;
        digits.append(std::size_t(exponent), '0');
        exponent = 0;
    }
    // Too many digits or too deep a fraction: round the surplus off, half to even.
    long scale = -exponent;
    long surplus = std::max(long(digits.size()) - EXACT_MAX_DIGITS, scale - EXACT_MAX_DIGITS);
    if (surplus > 0) {
        long keep = long(digits.size()) - surplus;
        std::string dropped = keep > 0 ? digits.substr(std::size_t(keep)) : digits;
        if (keep < 0) dropped.insert(0, std::size_t(-keep), '0');
        digits = keep > 0 ? digits.substr(0, std::size_t(keep)) : std::string();
        scale -= surplus;
        uint128 kept = 0;
        for (char digit : digits) kept = kept * 10 + uint128(digit - '0');
        bool above_half = dropped[0] > '5'
                          || (dropped[0] == '5'
                              && dropped.find_first_not_of('0', 1) != std::string::npos);
        bool at_half = dropped[0] == '5' && !above_half;
        if (above_half || (at_half && (kept & 1) != 0)) ++kept;
        number.magnitude = kept;
    } else {
        for (char digit : digits) number.magnitude = number.magnitude * 10 + uint128(digit - '0');
    }
    number.scale = int(scale);
    *result = number;
    return S_OK;
}

HRESULT number_text_to_double(const number_text& text, double* result) {
    if (text.digits.empty()) {
        *result = text.negative ? -0.0 : 0.0;
        return S_OK;
    }
    std::string spelled = text.digits + "e" + std::to_string(text.exponent);
    // from_chars reads the C format whatever the process locale; it reports a value beyond
    // the double range (and one too small for a denormal) as out of range.
    double value = 0.0;
    auto [end, error] = std::from_chars(spelled.data(), spelled.data() + spelled.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (text.exponent + long(text.digits.size()) > 0) return DISP_E_OVERFLOW;
        value = 0.0;
    }
    *result = text.negative ? -value : value;
    return S_OK;
}
