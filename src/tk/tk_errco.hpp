// tk_errco.hpp - the map from error codes to the friendlier texts the error handler prints.
// Filled from static tables; a code already in the map keeps its first text, so the table
// loaded first wins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

struct tk_error_pair {
    std::int32_t code;
    const char* text;
};

inline constexpr const char* TK_ERRCO_SOURCE = "tk_errco";
inline constexpr int FAULT_ERRCO_TABLE_MISSING = 43;

class tk_error_converter {
public:
    tk_error_converter(std::size_t size, const tk_error_pair* table);
    void load_map(std::size_t size, const tk_error_pair* table);
    // The text for `code`, or an empty string so the caller falls back to what().
    std::string convert(std::int32_t code) const;

private:
    std::map<std::int32_t, std::string> messages_;
};
