// ole_date_parse.cpp - ole_date read from text. The explicit forms go first and in a fixed
// order: 14- and 8-digit timestamps, a pure time "h:m:s[.fff]", the platform's parser
// (VarDateFromStr), then "y-m-d", "y/m/d" and "y.m.d" with an optional time. The patterns
// read the first number as the year; a day-first text (17.05.2023) is turned round afterwards.
#include "ole/ole_date.hpp"

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_trim.hpp"
#include "tk/tk_utf.hpp"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr std::size_t MIN_TEXT_CHARS = 5;

// The part before the first marker, searched in this order, each from the start.
std::string cut_at_marker(const std::string& text) {
    for (const char* marker : {"AM", "PM", "am", "pm"}) {
        std::size_t at = text.find(marker);
        if (at != std::string::npos) return tk_trim(text.substr(0, at));
    }
    return text;
}

bool has_pm_marker(const std::string& text) {
    return text.find("PM") != std::string::npos || text.find("pm") != std::string::npos;
}

bool has_am_marker(const std::string& text) {
    return text.find("AM") != std::string::npos || text.find("am") != std::string::npos;
}

}   // namespace

ole_date::ole_date(const std::string& text) {
    tk_trace::write(1, "ole_date::ole_date('%s')", text.c_str());
    std::string trimmed = tk_trim(text);
    tk_trace::write(2, "After tk_trim: %s", trimmed.c_str());
    std::string body = cut_at_marker(trimmed);
    tk_trace::write(2, "Again buf1=%s", body.c_str());
    if (body.size() < MIN_TEXT_CHARS) {
        tk_trace::write(2, "Invalid date/time format: '%s'", body.c_str());
        return;
    }
    import_from_string(body);
    if ((kind == date_time || kind == date_only) && time.wDay > 31 && time.wYear < 32) {
        std::swap(time.wDay, time.wYear);
    }
    if (kind == invalid) return;
    // 12 PM is noon and 12 AM midnight: a marker moves hours 1-11 up and 12 AM down.
    if (has_pm_marker(trimmed) && time.wHour < 12) {
        time.wHour = WORD(time.wHour + 12);
    } else if (!has_pm_marker(trimmed) && has_am_marker(trimmed) && time.wHour == 12) {
        time.wHour = 0;
    }
}

void ole_date::process_milliseconds(const char* seconds_text) {
    tk_trace::write(1, "ole_date::process_milliseconds");
    if (seconds_text == nullptr) {
        throw tk_mail_assertion(OLE_DATE_SOURCE, FAULT_DATE_SECONDS_MISSING);
    }
    tk_trace::write(2, "Got row sec: '%s'", seconds_text);
    double seconds = std::atof(seconds_text);
    if (!(seconds >= 0.0 && seconds < 61.0)) seconds = 61.0;   // is_valid refuses it later
    int second = int(seconds);
    int milliseconds = int((seconds - second) * 1000);
    tk_trace::write(2, "Got msec: %d", milliseconds);
    if (milliseconds >= 500) ++second;
    int minute = time.wMinute;
    int hour = time.wHour;
    if (second > 59) {
        second -= 60;
        ++minute;
    }
    if (minute > 59) {
        minute -= 60;
        ++hour;
    }
    if (hour > 23) hour -= 24;
    time.wSecond = WORD(second);
    time.wMinute = WORD(minute);
    time.wHour = WORD(hour);
    time.wMilliseconds = 0;   // rounded to the second above
    tk_trace::write(2, "After processing: %02d:%02d:%02d", hour, minute, second);
}

bool ole_date::try_timestamp(const std::string& text) {
    int fields[6] = {};
    if (text.size() == 14) {
        tk_trace::write(2, "Trying timestamp format (1)...");
        int read = std::sscanf(text.c_str(), "%4d%02d%02d%02d%02d%02d", &fields[0], &fields[1],
                               &fields[2], &fields[3], &fields[4], &fields[5]);
        if (read == 6) kind = date_time;
    } else if (text.size() == 8) {
        tk_trace::write(2, "Trying timestamp format (2)...");
        int read = std::sscanf(text.c_str(), "%4d%02d%02d", &fields[0], &fields[1], &fields[2]);
        if (read == 3) kind = date_only;
    }
    if (kind == invalid) return false;
    time.wYear = WORD(fields[0]);
    time.wMonth = WORD(fields[1]);
    time.wDay = WORD(fields[2]);
    time.wHour = WORD(fields[3]);
    time.wMinute = WORD(fields[4]);
    time.wSecond = WORD(fields[5]);
    if (is_valid()) return true;
    kind = invalid;
    reset();
    return false;
}

bool ole_date::try_pure_time(const std::string& text) {
    tk_trace::write(2, "Trying pure time format...");
    short hour = 0;
    short minute = 0;
    std::vector<char> seconds(text.size() + 1, '\0');
    if (std::sscanf(text.c_str(), "%hd:%hd:%s", &hour, &minute, seconds.data()) == 3) {
        kind = time_only;
        time.wHour = WORD(hour);
        time.wMinute = WORD(minute);
        if (is_valid()) {
            process_milliseconds(seconds.data());
            return true;
        }
    }
    kind = invalid;
    reset();
    return false;
}

bool ole_date::try_platform_parser(const std::string& text) {
    std::u16string wide = tk_utf8_to_utf16(text);
    DATE number = 0;
    if (FAILED(VarDateFromStr(wide.c_str(), LOCALE_SYSTEM_DEFAULT, 0, &number))) return false;
    SYSTEMTIME parsed{};
    if (!VariantTimeToSystemTime(number, &parsed)) return false;
    tk_trace::write(2, "Got datetime using Microsoft API");
    time = parsed;
    time.wDayOfWeek = 0;
    kind = date_time;
    refine_type();
    return true;
}

bool ole_date::try_patterns(const std::string& text) {
    static constexpr const char* PATTERNS[] = {"%hd-%hd-%hd %hd:%hd:%s", "%hd/%hd/%hd %hd:%hd:%s",
                                               "%hd.%hd.%hd %hd:%hd:%s"};
    std::vector<char> seconds(text.size() + 1, '\0');
    for (int pattern_idx = 0; pattern_idx < 3; ++pattern_idx) {
        tk_trace::write(2, "Trying datetime format #%d", pattern_idx);
        short fields[5] = {};
        int read = std::sscanf(text.c_str(), PATTERNS[pattern_idx], &fields[0], &fields[1],
                               &fields[2], &fields[3], &fields[4], seconds.data());
        if (read != 3 && read != 6) continue;
        reset();
        time.wYear = WORD(fields[0]);
        time.wMonth = WORD(fields[1]);
        time.wDay = WORD(fields[2]);
        tk_trace::write(2, "Format #%d succeeded (%d items)", pattern_idx, read);
        if (read == 3) {
            kind = date_only;
            if (is_valid()) return true;
        } else {
            kind = date_time;
            time.wHour = WORD(fields[3]);
            time.wMinute = WORD(fields[4]);
            if (is_valid()) {
                process_milliseconds(seconds.data());
                refine_type();
                return true;
            }
        }
        kind = invalid;
        reset();
    }
    return false;
}

void ole_date::import_from_string(const std::string& text) {
    tk_trace::write(1, "ole_date::import_from_string");
    kind = invalid;
    reset();
    if (try_timestamp(text) || try_pure_time(text) || try_platform_parser(text)
        || try_patterns(text)) {
        return;
    }
    kind = invalid;
    reset();
    tk_trace::write(2, "Invalid date/time format: '%s'", text.c_str());
}
