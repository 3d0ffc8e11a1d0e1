// udb_decimal_shape.cpp - measuring decimal values for their narrowest numeric column; see
// udb_decimal_shape.hpp.
#include "udb/udb_decimal_shape.hpp"

#include <algorithm>

#include <vector>

#include "tk/tk_trace.hpp"
#include "udb/udb_db.hpp"

namespace {

using uint128 = unsigned __int128;

int digit_count(uint128 magnitude) {
    int digits = 0;
    for (; magnitude != 0; magnitude /= 10) ++digits;
    return digits;
}

}   // namespace

void udb_decimal_shape::widen(const ole_variant& value) {
    if (value.type() != VT_DECIMAL) return;
    const DECIMAL& decimal = value.value.decVal;
    uint128 magnitude = (uint128(decimal.Hi32) << 64) | decimal.Lo64;
    int scale = decimal.scale;
    while (scale > 0 && magnitude % 10 == 0) {
        magnitude /= 10;
        --scale;
    }
    const int integer_digits = std::max(0, digit_count(magnitude) - scale);
    max_integer_digits = std::max(max_integer_digits, integer_digits);
    max_scale = std::max(max_scale, scale);
    b_seen = true;
}

int udb_decimal_shape::precision() const { return std::max(1, max_integer_digits + max_scale); }

bool udb_is_undeclared_decimal(const t_ftd& column) {
    return column.vartype == VT_DECIMAL && ((column.reserved >> 8) & 0xFF) == 0;
}

void udb_apply_decimal_shape(t_ftd& column, const udb_decimal_shape& shape) {
    if (!shape.is_measured()) return;
    if (shape.fits_numeric()) {
        column.reserved = static_cast<std::uint32_t>(shape.precision() * 256 + shape.scale());
        tk_trace::write(2, u"Decimal column '%s' measured as numeric(%d,%d)", column.name,
                        shape.precision(), shape.scale());
        return;
    }
    // Integer digits and scale together exceed every numeric: the exact text keeps them.
    tk_trace::write(2, u"Decimal column '%s' needs %d digits; kept as text", column.name,
                    shape.precision());
    column.vartype = VT_BSTR;
    column.size = UDB_DECIMAL_TEXT_SIZE;
    column.reserved = 0;
    column.def_value = ole_variant();
}

udb_schema udb_measured_schema(udb_recordset& table) {
    udb_schema measured = table.schema;
    std::vector<std::size_t> undeclared;
    for (std::size_t column_idx = 0; column_idx < measured.size(); ++column_idx) {
        if (udb_is_undeclared_decimal(measured[column_idx])) undeclared.push_back(column_idx);
    }
    if (undeclared.empty()) return measured;
    tk_trace::write(2, u"Measuring %d decimal column(s) of '%s'",
                    static_cast<int>(undeclared.size()), table.name);
    std::vector<udb_decimal_shape> shapes(undeclared.size());
    for (table.reset(); !table.is_eof(); table.next()) {
        const udb_record* record = table.get_item();
        if (record == nullptr) continue;
        for (std::size_t shape_idx = 0; shape_idx < undeclared.size(); ++shape_idx) {
            const std::size_t column_idx = undeclared[shape_idx];
            if (column_idx < record->size()) shapes[shape_idx].widen((*record)[column_idx]);
        }
    }
    for (std::size_t shape_idx = 0; shape_idx < undeclared.size(); ++shape_idx) {
        udb_apply_decimal_shape(measured[undeclared[shape_idx]], shapes[shape_idx]);
    }
    return measured;
}
