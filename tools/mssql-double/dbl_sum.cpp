// dbl_sum.cpp - the running sum of SUM and AVG, checked against its type.
#include "dbl_sum.hpp"

#include "dbl_error.hpp"
#include "dbl_number.hpp"

#include <cstdint>

dbl_type dbl_sum_type(const dbl_type& argument) {
    switch (argument.kind) {
    case dbl_kind::BIT:
    case dbl_kind::TINYINT:
    case dbl_kind::SMALLINT: return dbl_make_type(dbl_kind::INT);
    case dbl_kind::REAL: return dbl_make_type(dbl_kind::FLOAT);
    case dbl_kind::DECIMAL:
    case dbl_kind::NUMERIC: return dbl_make_type(dbl_kind::NUMERIC, 0, 38, argument.scale);
    default: return argument;
    }
}

void dbl_add_to_sum(dbl_typed& sum, const dbl_value& value) {
    const dbl_kind kind = sum.type.kind;
    if (kind == dbl_kind::REAL || kind == dbl_kind::FLOAT) {
        sum.value.floating += value.floating;
        return;
    }
    bool overflow = false;
    if (kind == dbl_kind::DECIMAL || kind == dbl_kind::NUMERIC) {
        sum.value.decimal += value.decimal;   // both under 10^38: no wrap in 127 bits
        const __int128 limit = dbl_pow10(sum.type.precision) - 1;
        overflow = sum.value.decimal > limit || sum.value.decimal < -limit;
    } else {
        overflow = __builtin_add_overflow(sum.value.integer, value.integer, &sum.value.integer);
        if (kind == dbl_kind::INT)
            overflow = overflow || sum.value.integer > INT32_MAX || sum.value.integer < INT32_MIN;
    }
    if (overflow)
        throw dbl_err::overflow_converting(
            "expression", kind == dbl_kind::NUMERIC ? "numeric" : sum.type.base_name());
}
