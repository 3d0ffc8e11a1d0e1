// mss_lit.cpp - safe values and the literals of statements and column defaults.

#include "mss/mss_lit.hpp"

#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"
#include "udb/udb_sche.hpp"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr int LAST_DATETIME_YEAR = 9999;
// SQL Server keeps subnormal floats it receives as bytes, but reads a literal below the
// smallest normal float as 0 (a warning only); such a value is written as an exact product of
// two normal literals instead. Scaling by a power of two is exact in both directions.
constexpr int SUBNORMAL_SCALE_EXPONENT = 64;

std::u16string quoted_unicode(const std::u16string& text) {
    // db-lib sends a batch up to its first NUL: the statement would be cut inside the
    // literal, and whatever followed it in the batch (IDENTITY_INSERT OFF) would be lost.
    // Bulk load carries such text; a statement refuses its record instead.
    if (text.find(u'\0') != std::u16string::npos) {
        throw tk_exception("A text value holding the character U+0000 cannot be written by a "
                           "statement.",
                           ERROR_LEVEL_RECOVERABLE);
    }
    std::u16string literal = u"N'";
    literal.reserve(text.size() + 3);
    for (const char16_t c : text) {
        literal += c;
        if (c == u'\'') literal += u'\'';   // an undoubled quote would end the literal early
    }
    return literal + u"'";
}

std::u16string two_digits(unsigned number) {
    return std::u16string{char16_t(u'0' + number / 10 % 10), char16_t(u'0' + number % 10)};
}

std::u16string datetime_literal(const SYSTEMTIME& time) {
    const bool b_time_only = time.wYear == 0;
    const unsigned year = b_time_only ? 1899 : time.wYear;
    std::u16string text = u"'";
    text += two_digits(year / 100) + two_digits(year % 100);
    text += two_digits(b_time_only ? 12 : time.wMonth) + two_digits(b_time_only ? 30 : time.wDay);
    text += u' ' + two_digits(time.wHour) + u':' + two_digits(time.wMinute) + u':'
            + two_digits(time.wSecond);
    const unsigned milliseconds = time.wMilliseconds % 1000;
    text += u'.' + two_digits(milliseconds / 10) + char16_t(u'0' + milliseconds % 10);
    return text + u"'";
}

std::u16string binary_literal(const ole_variant& value) {
    static constexpr char16_t DIGITS[] = u"0123456789ABCDEF";
    BYTE* data = nullptr;
    const std::size_t length = value.get_bytes(&data);
    std::u16string text = u"0x";
    text.reserve(2 + 2 * length);
    for (std::size_t at = 0; at < length && data != nullptr; ++at) {
        text += DIGITS[data[at] >> 4];
        text += DIGITS[data[at] & 0x0F];
    }
    return text;
}

// Scientific form, so SQL Server reads the literal as a float and never as a decimal that
// it would round a second time.
std::u16string shortest_float_text(double number) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number,
                                      std::chars_format::scientific);
    return tk_utf8_to_utf16(std::string(buffer, result.ptr));
}

std::u16string float_literal(double number) {
    if (!std::isfinite(number)) {
        throw tk_exception("A floating-point value that is not a number cannot be stored in "
                           "SQL Server.",
                           ERROR_LEVEL_RECOVERABLE);
    }
    if (number == 0.0 || std::fabs(number) >= std::numeric_limits<double>::min()) {
        return shortest_float_text(number);
    }
    return u"(" + shortest_float_text(std::ldexp(number, SUBNORMAL_SCALE_EXPONENT)) + u"*"
           + shortest_float_text(std::ldexp(1.0, -SUBNORMAL_SCALE_EXPONENT)) + u")";
}

bool is_binary(VARTYPE vt) {
    return vt == VT_BLOB || vt == VT_BLOB_OBJECT || vt == VT_BINARY_ARRAY;
}

}   // namespace

bool mss_replace_early_date(SYSTEMTIME& time) {
    if (time.wYear >= MSS_FIRST_DATETIME_YEAR) return false;
    time.wYear = 1899;
    time.wMonth = 12;
    time.wDay = 30;
    return true;
}

int mss_decimal_precision(const t_ftd& field) {
    return static_cast<int>((field.reserved >> 8) & 0xFF);
}
int mss_decimal_scale(const t_ftd& field) { return static_cast<int>(field.reserved & 0xFF); }

ole_variant mssql_get_safe_variant(const ole_variant& value) {
    tk_trace::write(1, "mssql_get_safe_variant");
    if (value.type() == VT_DATE) {
        const int year = value.date_value.wYear;
        if (year >= MSS_FIRST_DATETIME_YEAR && year <= LAST_DATETIME_YEAR) return value;
        tk_trace::write(2, "Skip date-out-of-range");
        SYSTEMTIME replaced = value.date_value;
        replaced.wYear = 9999;
        replaced.wMonth = 12;
        replaced.wDay = 30;
        return ole_variant(replaced);
    }
    if (value.type() == VT_R8 && std::isinf(value.value.dblVal)) {
        return ole_variant(mss_safe_double(value.value.dblVal));
    }
    return value;
}

// Every finite double is a float SQL Server holds (subnormals included, see float_literal);
// only infinity is beyond it.
double mss_safe_double(double number) {
    if (!std::isinf(number)) return number;
    const double largest = std::numeric_limits<double>::max();
    return number < 0 ? -largest : largest;
}

std::u16string mss_sql_literal(const ole_variant& value) {
    const VARTYPE vt = value.type();
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL: return u"NULL";
    case VT_BOOL: return value.to_bool() ? u"1" : u"0";
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
    case VT_CY:
    case VT_DECIMAL:
        return value.to_wstring();   // printed from the number itself: digits, sign, point
    // A single widened to double is exact, so the float the server reads narrows back to it.
    case VT_R4: return float_literal(double(value.value.fltVal));
    case VT_R8: return float_literal(value.value.dblVal);
    case VT_DATE: return datetime_literal(value.date_value);
    default:
        if (is_binary(vt)) return binary_literal(value);
        return quoted_unicode(value.to_wstring());   // text, GUIDs and anything else as text
    }
}

bool dec_is_out_of_range(const ole_variant& value, const t_ftd& field) {
    TK_ASSERT(value.type() == VT_DECIMAL);
    const std::string text = value.to_string();
    const int value_scale = value.value.decVal.scale;
    const bool negative = (value.value.decVal.sign & DECIMAL_NEG) != 0;
    const int digits = static_cast<int>(text.size()) - (negative ? 1 : 0)
                       - (value_scale != 0 ? 1 : 0);
    tk_trace::write(2, "Got decimal: %s, scale=%d, prec=%d", text.c_str(), value_scale, digits);
    if (field.reserved == 0) return false;
    return !(mss_decimal_scale(field) >= value_scale && mss_decimal_precision(field) >= digits);
}

std::u16string gen_dec_value(const t_ftd& field, bool negative) {
    const int precision = field.reserved == 0 ? 0 : mss_decimal_precision(field);
    const int scale = field.reserved == 0 ? 0 : mss_decimal_scale(field);
    std::u16string text = negative ? u"-" : u"";
    text.append(static_cast<std::size_t>(std::max(precision - scale, 0)), u'9');
    text += u'.';
    text.append(static_cast<std::size_t>(scale), u'9');
    return text;
}
