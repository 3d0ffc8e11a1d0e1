#include "platform/jet/jet_decimal_scale.hpp"

#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_text.hpp"

namespace {

constexpr int JET_ERR_TYPE_CONVERSION = 3421;
constexpr unsigned ROUND_UP_FROM = 5;

using jet_uint128 = unsigned __int128;

}   // namespace

jet_decimal jet_decimal_for_column(const jet_column& column, const jet_decimal& value) {
    jet_uint128 magnitude = jet_uint128(value.hi) << 64 | jet_uint128(value.mid) << 32 | value.lo;
    int scale = value.scale;
    for (; scale > column.scale; --scale) {
        unsigned digit = unsigned(magnitude % 10);
        magnitude /= 10;
        if (scale == column.scale + 1 && digit >= ROUND_UP_FROM) ++magnitude;
    }
    // Stops once past 96 bits: a smaller magnitude times 10 stays far below 2^128.
    for (; scale < column.scale && (magnitude >> 96) == 0; ++scale) magnitude *= 10;
    if ((magnitude >> 96) != 0)
        throw jet_error(JET_ERR_TYPE_CONVERSION,
                        "Data type conversion error (" + jet_utf8(column.name) + ").");
    return jet_decimal{std::uint32_t(magnitude),
                       std::uint32_t(magnitude >> 32),
                       std::uint32_t(magnitude >> 64),
                       column.scale,
                       column.precision,
                       value.negative && magnitude != 0};
}
