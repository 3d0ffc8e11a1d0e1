// mss_lit.cpp - safe values and literals for statements.

#include "mss/mss_lit.hpp"

#include "ole/ole_date.hpp"
#include "ole/ole_misc.hpp"
#include "tk/tk_trace.hpp"
#include "udb/udb_sche.hpp"

#include <cmath>

namespace {

constexpr int FIRST_DATETIME_YEAR = 1753;
constexpr int LAST_DATETIME_YEAR = 9999;
constexpr double SMALLEST_FLOAT = 2.23e-308;
constexpr double LARGEST_FLOAT = 1.79e308;

std::u16string replaced_all(std::u16string text, const std::u16string& from,
                            const std::u16string& to) {
    for (std::size_t at = text.find(from); at != std::u16string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::u16string quotes_doubled(const std::u16string& text) { return replaced_all(text, u"'", u"''"); }

bool is_hex_digit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool is_hex_literal(const std::u16string& text) {
    if (text.size() < 3 || text[0] != u'0' || (text[1] != u'x' && text[1] != u'X')) return false;
    for (std::size_t at = 2; at < text.size(); ++at) {
        if (!is_hex_digit(text[at])) return false;
    }
    return true;
}

bool is_all_digits(const std::u16string& text) {
    if (text.size() < 2) return false;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') return false;
    }
    return true;
}

std::u16string common_ending(const std::u16string& text, VARTYPE vt) {
    std::u16string literal = quotes_doubled(text);
    if (vt == VT_BSTR || vt == VT_DATE) literal = u"'" + literal + u"'";
    if (vt == VT_BSTR) literal = u"N" + literal;
    return literal;
}

std::u16string date_text(const std::u16string& text) {
    std::u16string printed = ole_date(text).to_wstring();
    if (printed.find(u"0000-00-00") != std::u16string::npos) {
        tk_trace::write(2, "Null date has been found");
        printed = replaced_all(printed, u"0000-00-00", u"1899-12-30");
    }
    return replaced_all(printed, u"-", u"");
}

std::u16string blob_literal(const std::u16string& text) {
    tk_trace::write(2, "GOT BLOB!!!");
    if (text.size() < 2) return u"";
    const ole_guid_extractor guid(text);
    if (guid.is_found()) {
        tk_trace::write(2, "BLOB IS AN GUID");
        return u"0x" + guid.get_guid_digits();
    }
    if (is_hex_literal(text) || is_all_digits(text)) return text;
    // Quotes inside are doubled: an undoubled quote would end the literal and let the rest
    // of the value run as SQL.
    return u"'" + quotes_doubled(text) + u"'";
}

}  // namespace

int mss_decimal_precision(const t_ftd& field) { return static_cast<int>((field.reserved >> 8) & 0xFF); }
int mss_decimal_scale(const t_ftd& field) { return static_cast<int>(field.reserved & 0xFF); }

ole_variant mssql_get_safe_variant(const ole_variant& value) {
    tk_trace::write(1, "mssql_get_safe_variant");
    if (value.type() == VT_DATE) {
        const int year = value.date_value.wYear;
        if (year >= FIRST_DATETIME_YEAR && year <= LAST_DATETIME_YEAR) return value;
        tk_trace::write(2, "Skip date-out-of-range");
        SYSTEMTIME replaced = value.date_value;
        replaced.wYear = 9999;
        replaced.wMonth = 12;
        replaced.wDay = 30;
        return ole_variant(replaced);
    }
    if (value.type() == VT_R8 && value.value.dblVal != 0.0) {
        const double magnitude = std::fabs(value.value.dblVal);
        const double sign = value.value.dblVal < 0 ? -1.0 : 1.0;
        if (magnitude <= SMALLEST_FLOAT) return ole_variant(sign * SMALLEST_FLOAT);
        if (magnitude >= LARGEST_FLOAT) return ole_variant(sign * LARGEST_FLOAT);
    }
    return value;
}

std::u16string to_mssql_str(const std::u16string& text, VARTYPE vt) {
    tk_trace::write(1, u"to_mssql_str(%s)", text);
    if (text.empty()) return u"''";
    switch (vt) {
    case VT_DATE:
        return common_ending(date_text(text), vt);
    case VT_BSTR: {
        const ole_guid_extractor guid(text);
        if (guid.is_found()) {
            tk_trace::write(2, "BSTR IS AN GUID");
            return u"'" + guid.get_guid() + u"'";
        }
        return common_ending(text, vt);
    }
    case VT_BLOB: case VT_BLOB_OBJECT: case VT_BINARY_ARRAY:
        return blob_literal(text);
    default:
        return common_ending(text, vt);
    }
}

std::u16string mss_date_literal(const ole_variant& value) {
    return to_mssql_str(value.to_wstring(), VT_DATE);
}

std::u16string mss_number_literal(const std::u16string& text) {
    if (text.empty()) return u"";
    for (const char16_t c : text) {
        const bool allowed = (c >= u'0' && c <= u'9') || c == u'-' || c == u'+' || c == u'.'
                             || c == u'e' || c == u'E';
        if (!allowed) return u"";
    }
    return text;
}

std::u16string mss_datetime_literal(const SYSTEMTIME& time) {
    const bool b_time_only = time.wYear == 0;
    const auto two = [](unsigned number) {
        return std::u16string{char16_t(u'0' + number / 10 % 10), char16_t(u'0' + number % 10)};
    };
    const unsigned year = b_time_only ? 1899 : time.wYear;
    std::u16string text = u"'";
    text += two(year / 100) + two(year % 100);
    text += two(b_time_only ? 12 : time.wMonth) + two(b_time_only ? 30 : time.wDay);
    text += u' ' + two(time.wHour) + u':' + two(time.wMinute) + u':' + two(time.wSecond);
    const unsigned milliseconds = time.wMilliseconds % 1000;
    text += u'.' + two(milliseconds / 10) + char16_t(u'0' + milliseconds % 10);
    return text + u"'";
}

std::u16string mss_binary_literal(const BYTE* data, std::size_t length) {
    static constexpr char16_t DIGITS[] = u"0123456789ABCDEF";
    std::u16string text = u"0x";
    text.reserve(2 + 2 * length);
    for (std::size_t at = 0; at < length; ++at) {
        text += DIGITS[data[at] >> 4];
        text += DIGITS[data[at] & 0x0F];
    }
    return text;
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
