#pragma once
// oledb_text_format.hpp - the text the provider gives for values bound as wide text, written
// the way the SQL Server provider writes them: datetime "2024-02-29 13:05:09.123" (no
// fraction when it is zero), money with four decimals, GUIDs braced in upper case, doubles
// in the shortest form that reads back to the same number.

#include <array>
#include <cstdint>
#include <string>

std::string oledb_format_timestamp(int year, int month, int day, int hour, int minute, int second,
                                   int millisecond);
// Money is a count of ten-thousandths.
std::string oledb_format_money(std::int64_t ten_thousandths);
// The 16 bytes of a uniqueidentifier in wire order (first three groups little-endian).
std::string oledb_format_guid(const std::array<std::uint8_t, 16>& bytes);
std::string oledb_format_double(double value);
std::string oledb_format_float(float value);
