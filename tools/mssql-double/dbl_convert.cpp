// dbl_convert.cpp - implicit conversions between column types, with SQL Server's errors.
#include "dbl_convert.hpp"

#include "dbl_blank_text.hpp"
#include "dbl_date.hpp"
#include "dbl_error.hpp"
#include "dbl_number.hpp"
#include "dbl_text.hpp"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const __int128 MONEY_LIMIT = (__int128)922337203685477LL * 10000 + 5807;

std::string source_name(const dbl_type& type) {
    if (type.kind == dbl_kind::DECIMAL) return "numeric";
    return type.base_name();
}

std::string narrow_of(const dbl_typed& from) {
    if (from.type.is_wide_text()) return dbl_utf8(from.value.wide);
    return dbl_utf8(dbl_from_cp1252(from.value.bytes));
}

std::string trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Exact value of a number as unscaled digits at `scale`; false when out of 38 digits.
bool exact_of(const dbl_typed& from, int scale, __int128& out) {
    const dbl_value& v = from.value;
    switch (from.type.kind) {
    case dbl_kind::MONEY: out = dbl_rescale(v.integer, 4, scale); return true;
    case dbl_kind::DECIMAL:
    case dbl_kind::NUMERIC: out = dbl_rescale(v.decimal, from.type.scale, scale); return true;
    case dbl_kind::REAL:
    case dbl_kind::FLOAT: {
        long double scaled = std::round((long double)v.floating * (long double)dbl_pow10(scale));
        if (std::fabs(scaled) >= 1e38L) return false;
        out = (__int128)scaled;
        return true;
    }
    default: out = dbl_rescale(v.integer, 0, scale); return true;
    }
}

double floating_of(const dbl_typed& from) {
    const dbl_value& v = from.value;
    switch (from.type.kind) {
    case dbl_kind::REAL:
    case dbl_kind::FLOAT: return v.floating;
    case dbl_kind::MONEY: return double(v.integer) / 10000.0;
    case dbl_kind::DECIMAL:
    case dbl_kind::NUMERIC:
        return std::strtod(dbl_format_decimal(v.decimal, from.type.scale).c_str(), nullptr);
    default: return double(v.integer);
    }
}

dbl_value to_integer(const dbl_typed& from, const dbl_type& to) {
    static const std::int64_t limits[][2] = {
        {0, 1}, {0, 255}, {-32768, 32767}, {INT32_MIN, INT32_MAX}, {INT64_MIN, INT64_MAX}};
    const auto& limit = limits[int(to.kind)];
    // Only text needs a value of its own: numbers are read where they are, since a copy of
    // every value cost a bulk load more than checking it.
    dbl_typed parsed_text;
    const dbl_typed& source = from.type.is_text() ? parsed_text : from;
    if (from.type.is_text()) {
        std::string text = trimmed(narrow_of(from));
        auto parsed = dbl_parse_decimal(text);
        if (!parsed || parsed->scale > 0 || text.find('.') != std::string::npos)
            throw dbl_err::conversion_failed(from.type.base_name(), narrow_of(from),
                                             to.base_name());
        parsed_text.type = dbl_make_type(dbl_kind::NUMERIC, 38, parsed->precision, 0);
        parsed_text.value.b_null = false;
        parsed_text.value.decimal = parsed->unscaled;
    } else if (from.type.is_date() || from.type.kind == dbl_kind::GUID) {
        throw dbl_err::operand_clash(from.type.base_name(), to.base_name());
    }
    if (to.kind == dbl_kind::BIT) {
        bool nonzero = source.type.kind == dbl_kind::FLOAT || source.type.kind == dbl_kind::REAL
                           ? source.value.floating != 0
                           : source.value.integer != 0 || source.value.decimal != 0;
        return dbl_int(nonzero ? 1 : 0);
    }
    __int128 whole = 0;
    bool fits = true;
    if (source.type.kind == dbl_kind::REAL || source.type.kind == dbl_kind::FLOAT) {
        double truncated = std::trunc(source.value.floating);
        fits = std::fabs(truncated) < 9.3e18;
        whole = fits ? (__int128)truncated : 0;
    } else if (source.type.is_integer()) {
        whole = source.value.integer;
    } else {
        int scale = source.type.kind == dbl_kind::MONEY ? 4 : source.type.scale;
        __int128 unscaled = source.type.kind == dbl_kind::MONEY ? source.value.integer
                                                                : source.value.decimal;
        whole = unscaled / dbl_pow10(scale);   // SQL Server truncates toward zero
    }
    if (fits && whole >= limit[0] && whole <= limit[1]) return dbl_int(std::int64_t(whole));
    bool small_target = to.kind == dbl_kind::TINYINT || to.kind == dbl_kind::SMALLINT;
    if (source.type.is_integer() && small_target)
        throw dbl_err::overflow_for_type(to.base_name(), std::to_string(source.value.integer));
    throw dbl_err::overflow_converting(
        source.type.is_integer() ? "expression" : source_name(source.type), to.base_name());
}

dbl_value to_decimal(const dbl_typed& from, const dbl_type& to) {
    dbl_typed source = from;
    bool from_text = from.type.is_text();
    if (from_text) {
        auto parsed = dbl_parse_decimal(trimmed(narrow_of(from)));
        if (!parsed) {
            if (to.kind == dbl_kind::MONEY) throw dbl_err::money_syntax();
            throw dbl_err::error_converting(from.type.base_name(), source_name(to));
        }
        source.type = dbl_make_type(dbl_kind::NUMERIC, 0, parsed->precision, parsed->scale);
        source.value.decimal = parsed->unscaled;
    } else if (from.type.is_date() || from.type.kind == dbl_kind::GUID || from.type.is_binary()) {
        throw dbl_err::operand_clash(from.type.base_name(), to.base_name());
    }
    int scale = to.kind == dbl_kind::MONEY ? 4 : to.scale;
    __int128 unscaled = 0;
    bool fits = exact_of(source, scale, unscaled);
    __int128 limit = to.kind == dbl_kind::MONEY ? MONEY_LIMIT : dbl_pow10(to.precision) - 1;
    if (!fits || unscaled > limit || unscaled < -limit - (to.kind == dbl_kind::MONEY ? 1 : 0)) {
        std::string from_name = from_text ? from.type.base_name() : source_name(source.type);
        throw dbl_err::overflow_converting(from_name, source_name(to));
    }
    dbl_value value;
    value.b_null = false;
    if (to.kind == dbl_kind::MONEY) value.integer = std::int64_t(unscaled);
    else value.decimal = unscaled;
    return value;
}

std::string float_text(double number) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%f", number);
    return buffer;
}

dbl_value to_floating(const dbl_typed& from, const dbl_type& to) {
    dbl_value value;
    value.b_null = false;
    if (from.type.is_text()) {
        std::string text = trimmed(narrow_of(from));
        char* end = nullptr;
        value.floating = text.empty() ? 0 : std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0' || std::isinf(value.floating)
            || std::isnan(value.floating))
            throw dbl_err::error_converting(from.type.base_name(), to.base_name());
    } else if (from.type.is_numeric()) {
        value.floating = floating_of(from);
    } else {
        throw dbl_err::operand_clash(from.type.base_name(), to.base_name());
    }
    if (to.kind == dbl_kind::REAL) {
        if (std::fabs(value.floating) > FLT_MAX)
            throw dbl_err::overflow_float("real", float_text(value.floating));
        value.floating = double(float(value.floating));
    }
    return value;
}

dbl_value date_from_text(const dbl_typed& from, const dbl_type& to) {
    dbl_civil civil;
    dbl_date_parse parsed = dbl_parse_date(narrow_of(from), civil);
    if (to.kind == dbl_kind::DATETIME2) {
        if (parsed != dbl_date_parse::OK) throw dbl_err::date_conversion();
        return dbl_int(dbl_datetime2_ticks(civil, to.scale));
    }
    if (parsed == dbl_date_parse::SYNTAX || civil.fraction_digits > 3)
        throw dbl_err::date_conversion();
    auto ticks = parsed == dbl_date_parse::OK ? dbl_datetime_ticks(civil) : std::nullopt;
    if (!ticks) throw dbl_err::date_out_of_range(from.type.base_name());
    return dbl_int(*ticks);
}

dbl_value to_date(const dbl_typed& from, const dbl_type& to) {
    if (from.type.is_text()) return date_from_text(from, to);
    const std::int64_t hns_1900 = dbl_days_from_civil(1900, 1, 1) - dbl_days_from_civil(1, 1, 1);
    if (from.type.kind == dbl_kind::DATETIME && to.kind == dbl_kind::DATETIME2) {
        std::int64_t days = from.value.integer / DBL_TICKS_PER_DAY;
        std::int64_t ticks = from.value.integer % DBL_TICKS_PER_DAY;
        if (ticks < 0) {
            ticks += DBL_TICKS_PER_DAY;
            --days;
        }
        std::int64_t hns = (ticks * 10000000 * 2 + 300) / 600;
        std::int64_t total = (days + hns_1900) * DBL_HNS_PER_DAY + hns;
        std::int64_t unit = 1;
        for (int i = to.scale; i < 7; ++i) unit *= 10;
        return dbl_int((total + unit / 2) / unit * unit);
    }
    if (from.type.kind == dbl_kind::DATETIME2 && to.kind == dbl_kind::DATETIME) {
        std::int64_t days = from.value.integer / DBL_HNS_PER_DAY - hns_1900;
        std::int64_t hns = from.value.integer % DBL_HNS_PER_DAY;
        std::int64_t total = days * DBL_TICKS_PER_DAY + (hns * 300 + 5000000) / 10000000;
        if (total < dbl_days_from_civil(1753, 1, 1) * DBL_TICKS_PER_DAY)
            throw dbl_err::date_out_of_range(from.type.base_name());
        return dbl_int(total);
    }
    if (from.type.kind == to.kind) return from.value;
    if (to.kind == dbl_kind::DATETIME && from.type.is_numeric()) {
        double days = floating_of(from);
        double total = std::round(days * DBL_TICKS_PER_DAY);
        if (total < dbl_days_from_civil(1753, 1, 1) * double(DBL_TICKS_PER_DAY)
            || total >= (dbl_days_from_civil(9999, 12, 31) + 1) * double(DBL_TICKS_PER_DAY))
            throw dbl_err::overflow_converting("expression", "datetime");
        return dbl_int(std::int64_t(total));
    }
    throw dbl_err::operand_clash(from.type.base_name(), to.base_name());
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

dbl_value to_guid(const dbl_typed& from) {
    if (from.type.kind == dbl_kind::GUID) return from.value;
    if (from.type.is_binary()) {
        std::string bytes = from.value.bytes;
        bytes.resize(16, '\0');
        return dbl_bytes_value(bytes);
    }
    if (!from.type.is_text())
        throw dbl_err::operand_clash(from.type.base_name(), "uniqueidentifier");
    std::string text = trimmed(narrow_of(from));
    if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
    if (text.size() != 36) throw dbl_err::guid_conversion();
    std::string digits;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool dash_place = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash_place != (text[i] == '-')) throw dbl_err::guid_conversion();
        if (!dash_place && hex_digit(text[i]) < 0) throw dbl_err::guid_conversion();
        if (!dash_place) digits.push_back(text[i]);
    }
    std::string canonical(16, '\0');
    for (int i = 0; i < 16; ++i)
        canonical[i] = char(hex_digit(digits[2 * i]) * 16 + hex_digit(digits[2 * i + 1]));
    static const int wire_order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    std::string wire(16, '\0');
    for (int i = 0; i < 16; ++i) wire[i] = canonical[wire_order[i]];
    return dbl_bytes_value(wire);
}

bool only_spaces(const std::u16string& text, std::size_t from) {
    return text.find_first_not_of(u' ', from) == std::u16string::npos;
}

dbl_value to_text(const dbl_typed& from, const dbl_type& to, const dbl_target& target) {
    if (from.type.is_binary() && to.is_wide_text())
        throw dbl_err::implicit_conversion(from.type.base_name(), to.base_name());
    std::u16string text;
    if (from.type.is_wide_text()) text = from.value.wide;
    else if (from.type.is_narrow_text() || from.type.is_binary())
        text = dbl_from_cp1252(from.value.bytes);
    else text = dbl_value_text(from);
    if (to.is_narrow_text()) text = dbl_from_cp1252(dbl_to_cp1252(text));
    if (to.length != DBL_MAX_LENGTH && !to.is_long() && text.size() > std::size_t(to.length)) {
        std::size_t limit = std::size_t(to.length);
        if (!only_spaces(text, limit) && !target.column.empty() && !target.b_truncate_silently)
            throw dbl_err::truncated(target.table, target.column, dbl_utf8(text.substr(0, limit)));
        text.resize(limit);
    }
    if (to.kind == dbl_kind::CHAR || to.kind == dbl_kind::NCHAR)
        text.resize(std::size_t(to.length), u' ');
    if (to.is_wide_text()) return dbl_wide_value(text);
    return dbl_bytes_value(dbl_to_cp1252(text));
}

std::string big_endian(std::int64_t number, int size) {
    std::string bytes(std::size_t(size), '\0');
    for (int i = size - 1; i >= 0; --i, number >>= 8) bytes[std::size_t(i)] = char(number & 0xFF);
    return bytes;
}

dbl_value to_binary(const dbl_typed& from, const dbl_type& to, const dbl_target& target) {
    std::string bytes;
    if (from.type.is_binary() || from.type.kind == dbl_kind::GUID) bytes = from.value.bytes;
    else if (from.type.is_integer()) bytes = big_endian(from.value.integer, from.type.max_bytes());
    else throw dbl_err::implicit_conversion(from.type.base_name(), to.base_name());
    if (to.length != DBL_MAX_LENGTH && !to.is_long() && bytes.size() > std::size_t(to.length)) {
        if (!target.column.empty() && !target.b_truncate_silently)
            throw dbl_err::truncated(target.table, target.column, "");
        bytes.resize(std::size_t(to.length));
    }
    if (to.kind == dbl_kind::BINARY) bytes.resize(std::size_t(to.length), '\0');
    return dbl_bytes_value(bytes);
}

}   // namespace

dbl_value dbl_convert(const dbl_typed& from, const dbl_type& to, const dbl_target& target) {
    if (from.value.b_null) return dbl_null();
    if (auto blank = dbl_blank_text_value(from, to)) return *blank;
    if (to.kind == dbl_kind::GUID) return to_guid(from);
    if (from.type.kind == dbl_kind::GUID && !to.is_text() && !to.is_binary())
        throw dbl_err::operand_clash("uniqueidentifier", to.base_name());
    if (to.is_integer()) return to_integer(from, to);
    if (to.kind == dbl_kind::DECIMAL || to.kind == dbl_kind::NUMERIC || to.kind == dbl_kind::MONEY)
        return to_decimal(from, to);
    if (to.kind == dbl_kind::REAL || to.kind == dbl_kind::FLOAT) return to_floating(from, to);
    if (to.is_date()) return to_date(from, to);
    if (to.is_text()) return to_text(from, to, target);
    return to_binary(from, to, target);
}

std::string dbl_guid_text(const std::string& wire) {
    static const int text_order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    std::string text;
    char hex[3];
    for (int i = 0; i < 16 && wire.size() == 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text.push_back('-');
        std::snprintf(hex, sizeof hex, "%02X", (unsigned char)wire[text_order[i]]);
        text += hex;
    }
    return text;
}

std::u16string dbl_value_text(const dbl_typed& from) {
    const dbl_value& v = from.value;
    if (v.b_null) return u"NULL";
    std::string text;
    switch (from.type.kind) {
    case dbl_kind::MONEY: text = dbl_format_decimal(v.integer, 4); break;
    case dbl_kind::DECIMAL:
    case dbl_kind::NUMERIC: text = dbl_format_decimal(v.decimal, from.type.scale); break;
    case dbl_kind::REAL:
    case dbl_kind::FLOAT:
        text = dbl_format_float(v.floating, from.type.kind == dbl_kind::REAL);
        break;
    case dbl_kind::DATETIME: text = dbl_format_datetime(v.integer); break;
    case dbl_kind::DATETIME2: text = dbl_format_datetime2(v.integer, from.type.scale); break;
    case dbl_kind::GUID: text = dbl_guid_text(v.bytes); break;
    case dbl_kind::CHAR:
    case dbl_kind::VARCHAR:
    case dbl_kind::TEXT: return dbl_from_cp1252(v.bytes);
    case dbl_kind::NCHAR:
    case dbl_kind::NVARCHAR:
    case dbl_kind::NTEXT: return v.wide;
    case dbl_kind::BINARY:
    case dbl_kind::VARBINARY:
    case dbl_kind::IMAGE: {
        text = "0x";
        char hex[3];
        for (char byte : v.bytes) {
            std::snprintf(hex, sizeof hex, "%02X", (unsigned char)byte);
            text += hex;
        }
        break;
    }
    default: text = std::to_string(v.integer); break;
    }
    return dbl_utf16(text);
}
