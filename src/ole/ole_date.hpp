// ole_date.hpp - ole_date, a date, a time of day or both, read from the many text forms of
// Access values, defaults, SQL Server values and profiles, and printed in the one form both
// databases take: "%04d-%02d-%02d %02d:%02d:%02d". A time_only value has year, month and day
// 0; the day of week is never set; milliseconds are kept but never printed.
#pragma once

#include "platform/oleaut/oleaut.hpp"

#include <string>

class ole_variant;

inline constexpr const char* OLE_DATE_SOURCE = "ole_date";
inline constexpr int FAULT_DATE_NOT_A_DATE = 74;
inline constexpr int FAULT_DATE_SECONDS_MISSING = 356;

class ole_date {
public:
    // NOLINTNEXTLINE(readability-identifier-naming): the kinds keep their fixed names
    enum date_kind : int { invalid = 0, date_time = 1, date_only = 2, time_only = 3 };

    explicit ole_date(const VARIANT& value);
    explicit ole_date(const SYSTEMTIME& time);
    explicit ole_date(const std::string& text);
    explicit ole_date(const std::u16string& text);

    bool is_valid() const;
    ole_variant to_variant() const;
    std::string to_string() const;
    std::u16string to_wstring() const;

    void refine_type();
    void process_milliseconds(const char* seconds_text);
    void import_from_string(const std::string& text);

    date_kind kind = invalid;
    SYSTEMTIME time{};

private:
    bool try_timestamp(const std::string& text);
    bool try_pure_time(const std::string& text);
    bool try_platform_parser(const std::string& text);
    bool try_patterns(const std::string& text);
    void reset();
};
