#include "platform/jetsql/jet_sql_decimal.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>

#include "platform/jetsql/jet_sql_errors.hpp"
#include "platform/jetsql/jet_sql_functions.hpp"

namespace {

constexpr int MAX_SCALE = 28;

// 10^28 - 1 would allow 28 nines; Decimal holds 96 bits, 79228162514264337593543950335.
const __int128 DECIMAL_LIMIT = (__int128(1) << 96) - 1;

__int128 magnitude(__int128 value) { return value < 0 ? -value : value; }

bool fits(__int128 units) { return magnitude(units) <= DECIMAL_LIMIT; }

int bit_length(__int128 units) {
    int bits = 0;
    for (__int128 rest = magnitude(units); rest != 0; rest >>= 1) ++bits;
    return bits;
}

// Raises a value to a larger scale; false when it would no longer fit.
bool rescale(jet_sql_exact& value, int scale) {
    while (value.scale < scale) {
        if (magnitude(value.units) > DECIMAL_LIMIT / 10) return false;
        value.units *= 10;
        ++value.scale;
    }
    return true;
}

}   // namespace

std::optional<jet_sql_exact> jet_sql_exact_parse(std::string_view text) {
    jet_sql_exact value;
    bool negative = false, in_fraction = false;
    int digits = 0;
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '.' && !in_fraction) {
            in_fraction = true;
            continue;
        }
        if (c < '0' || c > '9' || ++digits > 38) return std::nullopt;
        value.units = value.units * 10 + (c - '0');
        value.scale += in_fraction ? 1 : 0;
    }
    if (digits == 0) return std::nullopt;
    if (negative) value.units = -value.units;
    return value;
}

std::string jet_sql_exact_text(const jet_sql_exact& value) {
    __int128 rest = magnitude(value.units);
    std::string reversed;   // least significant digit first
    for (int place = 0; rest != 0 || place <= value.scale; ++place) {
        if (place == value.scale && place > 0) reversed.push_back('.');
        reversed.push_back(char('0' + int(rest % 10)));
        rest /= 10;
    }
    if (value.units < 0) reversed.push_back('-');
    return std::string(reversed.rbegin(), reversed.rend());
}

std::optional<jet_sql_exact> jet_sql_exact_combine(char op, const jet_sql_exact& left,
                                                   const jet_sql_exact& right) {
    jet_sql_exact a = left, b = right;
    if (!fits(a.units) || !fits(b.units)) return std::nullopt;
    if (op == '*') {
        // The product must not wrap 128 bits. Products of more than 126 bits are refused as
        // Overflow even where rounding to 28 places would bring them back: a known limit.
        if (bit_length(a.units) + bit_length(b.units) > 126) return std::nullopt;
        jet_sql_exact product{a.units * b.units, a.scale + b.scale};
        while (product.scale > MAX_SCALE || (!fits(product.units) && product.scale > 0)) {
            __int128 remainder = product.units % 10;
            product.units /= 10;
            if (remainder >= 5) ++product.units;
            else if (remainder <= -5) --product.units;
            --product.scale;
        }
        if (!fits(product.units)) return std::nullopt;
        return product;
    }
    int scale = std::max(a.scale, b.scale);
    if (!rescale(a, scale) || !rescale(b, scale)) return std::nullopt;
    jet_sql_exact result{op == '+' ? a.units + b.units : a.units - b.units, scale};
    if (!fits(result.units)) return std::nullopt;
    return result;
}

namespace {

std::optional<jet_sql_exact> exact_of(sqlite3_value* value) {
    if (sqlite3_value_type(value) == SQLITE_INTEGER)
        return jet_sql_exact{sqlite3_value_int64(value), 0};
    const unsigned char* text = sqlite3_value_text(value);
    if (text == nullptr) return std::nullopt;
    return jet_sql_exact_parse(reinterpret_cast<const char*>(text));
}

void result_exact(sqlite3_context* context, const jet_sql_exact& value) {
    std::string text = jet_sql_exact_text(value);
    sqlite3_result_text(context, text.c_str(), int(text.size()), SQLITE_TRANSIENT);
}

void overflow(sqlite3_context* context) { jet_sql_fail(context, VBA_ERR_OVERFLOW, "Overflow"); }

template <char OP>
void combine(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(context);
    std::optional<jet_sql_exact> left = exact_of(argv[0]), right = exact_of(argv[1]);
    if (!left || !right) return jet_sql_fail(context, VBA_ERR_TYPE_MISMATCH, "Type mismatch");
    std::optional<jet_sql_exact> result = jet_sql_exact_combine(OP, *left, *right);
    if (!result) return overflow(context);
    result_exact(context, *result);
}

// SQLite's aggregate memory is only 8-byte aligned: the total sits in two 64-bit halves, not
// as an __int128 that the compiler may load with 16-byte aligned moves.
struct running_sum {
    std::uint64_t low, high;
    int scale;
    bool has_value, has_failed;

    jet_sql_exact total() const {
        return {__int128((static_cast<unsigned __int128>(high) << 64) | low), scale};
    }
    void set_total(const jet_sql_exact& value) {
        auto bits = static_cast<unsigned __int128>(value.units);
        low = std::uint64_t(bits);
        high = std::uint64_t(bits >> 64);
        scale = value.scale;
    }
};

void sum_step(sqlite3_context* context, int, sqlite3_value** argv) {
    auto* sum = static_cast<running_sum*>(sqlite3_aggregate_context(context, sizeof(running_sum)));
    if (sum == nullptr) return sqlite3_result_error_nomem(context);
    if (sum->has_failed || sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
    std::optional<jet_sql_exact> value = exact_of(argv[0]);
    std::optional<jet_sql_exact> total = value ? jet_sql_exact_combine('+', sum->total(), *value)
                                               : std::nullopt;
    if (!total) {
        sum->has_failed = true;
        return overflow(context);
    }
    sum->set_total(*total);
    sum->has_value = true;
}

void sum_final(sqlite3_context* context) {
    auto* sum = static_cast<running_sum*>(sqlite3_aggregate_context(context, 0));
    if (sum == nullptr || !sum->has_value) return sqlite3_result_null(context);
    if (sum->has_failed) return overflow(context);
    result_exact(context, sum->total());
}

}   // namespace

void jet_sql_register_decimal(sqlite3* connection, jet_sql_failure* failure) {
    int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(connection, "jet_dec_add", 2, flags, failure, combine<'+'>, nullptr,
                            nullptr);
    sqlite3_create_function(connection, "jet_dec_sub", 2, flags, failure, combine<'-'>, nullptr,
                            nullptr);
    sqlite3_create_function(connection, "jet_dec_mul", 2, flags, failure, combine<'*'>, nullptr,
                            nullptr);
    sqlite3_create_function(connection, "jet_decimal_sum", 1, SQLITE_UTF8, failure, nullptr,
                            sum_step, sum_final);
}
