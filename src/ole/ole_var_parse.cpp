// ole_var_parse.cpp - ole_variant::from_string and from_wstring: a value of a target type
// from text. Integers are read like atoi/sscanf (leading blanks, a sign, digits up to the first
// other character, 0 when there are none); decimals accept a comma for the point. Text that
// cannot become a currency, decimal, date or byte array gives VT_EMPTY with a trace line.
#include "ole/ole_var.hpp"

#include "ole/ole_date.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <limits>

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// atoll without its undefined overflow: saturates at the 64-bit limits as strtoll does.
std::int64_t leading_integer(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && is_blank(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = negative ? std::uint64_t(1) << 63 : (std::uint64_t(1) << 63) - 1;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        std::uint64_t digit = std::uint64_t(text[at] - '0');
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    }
    return negative ? std::int64_t(0 - magnitude) : std::int64_t(magnitude);
}

// sscanf "%u"-like at 64 bits: a minus sign negates modulo 2^64; 0 when nothing is read.
std::uint64_t leading_unsigned(const std::string& text) {
    return std::strtoull(text.c_str(), nullptr, 10);
}

// from_chars with atof's extras: a "0x" prefix reads hexadecimal, as atof does.
std::from_chars_result read_double(const char* first, const char* last, double* result) {
    bool negative = first != last && *first == '-';
    const char* digits = negative ? first + 1 : first;
    if (last - digits > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        auto read = std::from_chars(digits + 2, last, *result, std::chars_format::hex);
        if (read.ec == std::errc() && negative) *result = -*result;
        if (read.ec != std::errc::invalid_argument) return read;
        *result = 0.0;   // "0x" alone: atof reads the 0
        return {digits + 1, std::errc()};
    }
    return std::from_chars(first, last, *result);
}

// atof with a point, whatever the process locale: the longest leading number, else 0.
double leading_double(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    std::size_t at = 0;
    while (at < text.size() && is_blank(text[at])) ++at;
    if (at < text.size() && text[at] == '+') ++at;
    double result = 0.0;
    auto [end, error] = read_double(text.data() + at, text.data() + text.size(), &result);
    if (error == std::errc::result_out_of_range) {
        // Beyond the double range: an infinity, or 0 for a number too small.
        bool negative = at < text.size() && text[at] == '-';
        std::string_view number(text.data() + at, std::size_t(end - text.data() - at));
        std::size_t exponent_at = number.find_first_of("eEpP");
        bool tiny = exponent_at != std::string_view::npos
                    && number.find('-', exponent_at) != std::string_view::npos;
        double huge = std::numeric_limits<double>::infinity();
        return tiny ? 0.0 : (negative ? -huge : huge);
    }
    return error == std::errc() ? result : 0.0;
}

// A double beyond the float range becomes an infinity rather than undefined behaviour.
float narrow_to_float(double number) {
    constexpr float LARGEST = std::numeric_limits<float>::max();
    constexpr float INFINITE = std::numeric_limits<float>::infinity();
    if (number > LARGEST) return INFINITE;
    if (number < -LARGEST) return -INFINITE;
    return float(number);
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// One pair read as sscanf "%02X" would: one or two hex digits, 0 when the first is not one.
BYTE hex_pair(char high, char low) {
    int first = hex_digit(high);
    if (first < 0) return 0;
    int second = hex_digit(low);
    return BYTE(second < 0 ? first : first * 16 + second);
}

bool equals_ignoring_case(const std::string& text, std::string_view word) {
    return std::equal(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b;
    });
}

}   // namespace

ole_variant ole_variant::binary_from_hex(const std::string& text) {
    ole_variant result;
    if (text.size() % 2 != 0) {
        tk_trace::write(2, "Incorrect BLOB (size is odd)");
        return result;
    }
    bool has_prefix = text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    tk_trace::write(2, "Got BLOB size: %d", int(text.size()));
    std::size_t first = has_prefix ? 2 : 0;
    std::vector<BYTE> bytes;
    bytes.reserve((text.size() - first) / 2);
    for (std::size_t at = first; at + 1 < text.size(); at += 2) {
        bytes.push_back(hex_pair(text[at], text[at + 1]));
    }
    result.attach_binary(bytes);
    return result;
}

// Currency and decimal text through the platform parser with a point; VT_EMPTY on failure.
ole_variant ole_variant::number_from_text(const std::string& text, VARTYPE target) {
    std::string pointed = text;
    std::replace(pointed.begin(), pointed.end(), ',', '.');
    std::u16string wide = tk_utf8_to_utf16(pointed);
    ole_variant result;
    if (target == VT_CY) {
        tk_trace::write(2, "GOT VT_CY");
        CY currency{};
        HRESULT hr = VarCyFromStr(wide.c_str(), LOCALE_EN_US, 0, &currency);
        if (FAILED(hr)) {
            tk_trace::write(3, "VarCyFromStr failed: %08X", unsigned(hr));
            return result;
        }
        return ole_variant(currency);
    }
    tk_trace::write(2, "GOT VT_DECIMAL");
    DECIMAL decimal{};
    HRESULT hr = VarDecFromStr(wide.c_str(), LOCALE_EN_US, 0, &decimal);
    if (FAILED(hr)) {
        tk_trace::write(3, "VarDecFromStr failed: %08X", unsigned(hr));
        return result;
    }
    return ole_variant(decimal);
}

namespace {

// A valid ole_date whose fields still have no OLE date number (31 February, hour 24) would
// carry day 0 as its number; such text is no date and becomes VT_EMPTY like any other.
ole_variant date_from_text(const std::string& text) {
    tk_trace::write(2, "GOT VT_DATE");
    ole_date date(text);
    if (!date.is_valid()) return ole_variant();
    DATE number = 0;
    if (!SystemTimeToVariantTime(&date.time, &number)) {
        tk_trace::write(2, "Date out of the calendar: '%s'", text.c_str());
        return ole_variant();
    }
    return ole_variant(date.time);
}

ole_variant bool_from_text(const std::string& text) {
    if (equals_ignoring_case(text, "yes") || equals_ignoring_case(text, "true")) {
        return ole_variant(true);
    }
    if (equals_ignoring_case(text, "no") || equals_ignoring_case(text, "false")) {
        return ole_variant(false);
    }
    return ole_variant(std::int32_t(leading_integer(text)) != 0);
}

}   // namespace

ole_variant ole_variant::from_string(const std::string& text, VARTYPE target) {
    tk_trace::write(1, "ole_variant::from_string('%s', 0x%08X)", text.c_str(), unsigned(target));
    if (text.empty()) {
        return target == VT_BSTR ? ole_variant(std::u16string()) : ole_variant();
    }
    switch (target) {
    case VT_I1: return ole_variant(char(leading_integer(text)));
    case VT_UI1: return ole_variant(static_cast<unsigned char>(leading_integer(text)));
    case VT_I2: return ole_variant(short(leading_integer(text)));
    case VT_UI2: return ole_variant(static_cast<unsigned short>(leading_integer(text)));
    case VT_I4: return ole_variant(int(leading_integer(text)));
    case VT_UI4: return ole_variant(static_cast<unsigned int>(leading_unsigned(text)));
    case VT_I8: return ole_variant(static_cast<long long>(leading_integer(text)));
    case VT_UI8: return ole_variant(static_cast<unsigned long long>(leading_unsigned(text)));
    case VT_R4: return ole_variant(narrow_to_float(leading_double(text)));
    case VT_R8: return ole_variant(leading_double(text));
    case VT_CY:
    case VT_DECIMAL: return number_from_text(text, target);
    case VT_DATE: return date_from_text(text);
    case VT_BOOL: return bool_from_text(text);
    case VT_BLOB:
    case VT_BINARY_ARRAY: return binary_from_hex(text);
    default: break;
    }
    ole_variant result;
    result.attach_string(text);
    HRESULT hr = VariantChangeType(&result.value, &result.value, 0, target);
    if (FAILED(hr)) throw ole_type_exception();
    tk_trace::write(2, "VariantChangeType succeeded");
    return result;
}

ole_variant ole_variant::from_wstring(const std::u16string& text, VARTYPE target) {
    tk_trace::write(1, "ole_variant::from_wstring");
    if (target == VT_BSTR) {
        return ole_variant(std::u16string(text.c_str()));   // up to the first NUL
    }
    return from_string(tk_utf16_to_utf8(text), target);
}
