// dbl_blank_text.cpp - empty strings converted to numbers and dates as SQL Server does.
#include "dbl_blank_text.hpp"

#include "dbl_date.hpp"

namespace {

bool is_blank(const dbl_typed& from) {
    if (from.type.is_wide_text())
        return from.value.wide.find_first_not_of(u' ') == std::u16string::npos;
    return from.value.bytes.find_first_not_of(' ') == std::string::npos;
}

}   // namespace

std::optional<dbl_value> dbl_blank_text_value(const dbl_typed& from, const dbl_type& to) {
    if (from.value.b_null || !from.type.is_text() || !is_blank(from)) return std::nullopt;
    dbl_value value;
    value.b_null = false;
    if (to.is_integer() || to.kind == dbl_kind::MONEY) return value;   // 0
    if (to.kind == dbl_kind::REAL || to.kind == dbl_kind::FLOAT) return value;
    if (to.kind == dbl_kind::DATETIME) return value;   // day 0 is 1900-01-01
    if (to.kind == dbl_kind::DATETIME2) return dbl_int(dbl_datetime2_ticks(dbl_civil{}, to.scale));
    return std::nullopt;
}
