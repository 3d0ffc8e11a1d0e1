#pragma once
// jet_value.hpp - one field value exactly as the file holds it. No conversion happens here:
// currency stays scaled by 10^4, decimals keep their 96-bit magnitude, dates stay OLE date
// doubles, text stays UTF-16 (surrogate pairs kept), binary keeps every byte.

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// Alternative order of jet_value::storage.
enum class jet_value_kind : std::uint8_t {
    null_value,
    boolean,
    byte,
    int16,
    int32,
    int64,
    float32,
    float64,
    currency,
    decimal,
    date,
    date_ext,
    guid,
    text,
    binary,
};

// Currency: the stored 64-bit integer, ten-thousandths of a unit.
struct jet_currency {
    std::int64_t units = 0;
    bool operator==(const jet_currency&) const = default;
};

// Decimal (Numeric): value = (-1 if negative) * magnitude / 10^scale, magnitude 96 bits.
// precision is the column's declared precision (1..28), kept for the layers above.
struct jet_decimal {
    std::uint32_t lo = 0;
    std::uint32_t mid = 0;
    std::uint32_t hi = 0;
    std::uint8_t scale = 0;
    std::uint8_t precision = 0;
    bool negative = false;
    bool operator==(const jet_decimal&) const = default;
};

// Date/Time: the OLE date (days since 1899-12-30; before it the time stays a positive
// fraction of a negative day).
struct jet_date {
    double serial = 0;
    bool operator==(const jet_date&) const = default;
};

// Date/Time Extended as Access stores it: 42 ASCII characters, days since 0001-01-01 (19
// digits), ':', seconds of the day (12 digits), then 100-nanosecond ticks (7 digits) and the
// trailing bytes Access writes.
struct jet_date_ext {
    std::string stored;
    bool operator==(const jet_date_ext&) const = default;
};

// GUID / Replication ID: the 16 bytes in file order (Data1..Data3 little-endian).
struct jet_guid {
    std::array<std::uint8_t, 16> bytes{};
    bool operator==(const jet_guid&) const = default;
};

class jet_value {
public:
    using storage = std::variant<std::monostate, bool, std::uint8_t, std::int16_t, std::int32_t,
                                 std::int64_t, float, double, jet_currency, jet_decimal, jet_date,
                                 jet_date_ext, jet_guid, std::u16string, std::vector<std::uint8_t>>;

    jet_value() = default;
    template <class T>
    explicit jet_value(T value) : data(std::move(value)) {}

    jet_value_kind kind() const { return jet_value_kind(data.index()); }
    bool is_null() const { return data.index() == 0; }

    // Throws std::bad_variant_access when the value holds another kind.
    template <class T>
    const T& get() const {
        return std::get<T>(data);
    }

    bool operator==(const jet_value&) const = default;

    storage data;
};
