// oledb_text_format.cpp - value-to-text forms of the provider stand-in.

#include "platform/oledb/oledb_text_format.hpp"

#include <charconv>
#include <cstdio>

#include "platform/oleaut/oleaut_guid.hpp"

std::string oledb_format_timestamp(int year, int month, int day, int hour, int minute, int second,
                                   int millisecond) {
    char text[40];
    if (millisecond == 0) {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour,
                      minute, second);
    } else {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", year, month, day,
                      hour, minute, second, millisecond);
    }
    return text;
}

std::string oledb_format_money(std::int64_t ten_thousandths) {
    const bool negative = ten_thousandths < 0;
    // Through unsigned so that the most negative amount does not overflow.
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(ten_thousandths)
                                             : static_cast<std::uint64_t>(ten_thousandths);
    char text[40];
    std::snprintf(text, sizeof text, "%s%llu.%04llu", negative ? "-" : "",
                  static_cast<unsigned long long>(magnitude / 10000),
                  static_cast<unsigned long long>(magnitude % 10000));
    return text;
}

std::string oledb_format_guid(const std::array<std::uint8_t, 16>& bytes) {
    return guid_to_string(guid_from_bytes(bytes));
}

std::string oledb_format_double(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string oledb_format_float(float value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}
