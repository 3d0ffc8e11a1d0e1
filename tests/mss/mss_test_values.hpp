#pragma once
// mss_test_values.hpp - values the destination tests build again and again.

#include "ole/ole_var.hpp"

inline ole_variant null_value() {
    ole_variant value;
    value.value.vt = VT_NULL;
    return value;
}

inline ole_variant date_time(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    return ole_variant(time);
}
