// ole_date.cpp - ole_date's constructors, validity and printing. Reading text is
// ole_date_parse's job.
#include "ole/ole_date.hpp"

#include "ole/ole_var.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

#include <cstdio>

void ole_date::reset() { time = SYSTEMTIME{}; }

ole_date::ole_date(const VARIANT& value) {
    tk_trace::write(1, "ole_date::ole_date(VARIANT, vt=%d)", int(value.vt));
    if (value.vt == VT_EMPTY || value.vt == VT_NULL) return;
    if (value.vt != VT_DATE) throw tk_mail_assertion(OLE_DATE_SOURCE, FAULT_DATE_NOT_A_DATE);
    if (!VariantTimeToSystemTime(value.date, &time)) {
        tk_trace::write(2, "Failed to convert VARIANT->SYSTEMTIME");
        reset();
        return;
    }
    time.wDayOfWeek = 0;   // never set, as from every other source
    kind = date_time;
    refine_type();
}

ole_date::ole_date(const SYSTEMTIME& given) {
    tk_trace::write(1, "ole_date::ole_date(SYSTEMTIME)");
    time = given;
    kind = date_time;
    refine_type();
}

ole_date::ole_date(const std::u16string& text) : ole_date(tk_utf16_to_utf8(text)) {}

bool ole_date::is_valid() const {
    tk_trace::write(1, "ole_date::is_valid");
    if (kind == invalid) return false;
    if (time.wDay == 0 && time.wMonth == 0 && time.wYear == 0) {
        tk_trace::write(2, "DATETIME is a pute time");
    } else {
        if (time.wMonth == 0 || time.wMonth > 12) {
            tk_trace::write(2, "Invalid month");
            return false;
        }
        if (time.wDay == 0 || time.wYear == 0 || (time.wYear > 31 && time.wDay > 31)) {
            tk_trace::write(2, "Invalid day and/or year");
            return false;
        }
    }
    // 60, not 59: process_milliseconds carries a 60 into the next minute or hour.
    if (time.wHour <= 60 && time.wMinute <= 60 && time.wSecond <= 60) return true;
    tk_trace::write(2, "Invalid time");
    return false;
}

void ole_date::refine_type() {
    tk_trace::write(1, "ole_date::refine_type(%d,%d,%d,%d,%d,%d)", time.wYear, time.wMonth,
                    time.wDay, time.wHour, time.wMinute, time.wSecond);
    bool no_date = time.wDay == 0 && time.wMonth == 0 && time.wYear == 0;
    bool full_date = time.wDay != 0 && time.wMonth != 0 && time.wYear != 0;
    bool midnight = time.wHour == 0 && time.wMinute == 0 && time.wSecond == 0;
    if (no_date) {
        kind = time_only;
    } else if (midnight && full_date) {
        kind = date_only;
    }
}

ole_variant ole_date::to_variant() const {
    tk_trace::write(1, "ole_date::to_variant");
    return ole_variant(time);
}

std::string ole_date::to_string() const {
    tk_trace::write(1, "ole_date::to_string");
    char buffer[64] = "";
    bool midnight = time.wHour == 0 && time.wMinute == 0 && time.wSecond == 0;
    switch (kind) {
    case date_time:
        tk_trace::write(2, "printing datetime...");
        if (midnight) {
            std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", time.wYear, time.wMonth,
                          time.wDay);
        } else {
            std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", time.wYear,
                          time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond);
        }
        break;
    case date_only:
        tk_trace::write(2, "printing date...");
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", time.wYear, time.wMonth, time.wDay);
        break;
    case time_only:
        tk_trace::write(2, "printing time...");
        std::snprintf(buffer, sizeof buffer, "0000-00-00 %02d:%02d:%02d", time.wHour, time.wMinute,
                      time.wSecond);
        break;
    case invalid: break;
    }
    return buffer;
}

std::u16string ole_date::to_wstring() const {
    tk_trace::write(1, "ole_date::to_wstring");
    std::string text = to_string();
    return std::u16string(text.begin(), text.end());   // digits, '-', ':' and ' ' only
}
