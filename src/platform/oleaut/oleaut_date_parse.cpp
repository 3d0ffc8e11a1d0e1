// oleaut_date_parse.cpp - VarDateFromStr for the en-US forms: a date, a date and a time, or a
// time alone. Dates: "2024-02-29" and "2024/2/29" (year first, four digits), "2/29/2024" and
// "2/29/24" (month first; two-digit years 00-29 are 20xx, 30-99 19xx), "Feb 29, 2024",
// "February 29 2024", "29 Feb 2024", "29-Feb-2024". Times: "13:05", "13:05:09", "1:05 PM",
// "1:05:09 am"; after an ISO date also "T13:05:09". Fractions of seconds, dates the calendar
// lacks and anything else are refused with DISP_E_TYPEMISMATCH; nothing is guessed.
#include "platform/oleaut/oleaut_time.hpp"

#include "platform/oleaut/oleaut_calendar.hpp"

#include <array>
#include <optional>
#include <string_view>

namespace {

struct parsed_time {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// A cursor over the text; every reader leaves it unmoved when it fails.
class date_scanner {
public:
    explicit date_scanner(std::u16string_view new_text) : text(new_text) {}

    bool at_end() const { return at == text.size(); }
    void skip_blanks() {
        while (at < text.size() && (text[at] == u' ' || text[at] == u'\t')) ++at;
    }
    bool take(char16_t c) {
        if (at < text.size() && text[at] == c) {
            ++at;
            return true;
        }
        return false;
    }
    // 1..max_digits digits; the count read goes to digit_count.
    std::optional<int> number(std::size_t max_digits, std::size_t* digit_count = nullptr) {
        std::size_t start = at;
        int value = 0;
        while (at < text.size() && text[at] >= u'0' && text[at] <= u'9'
               && at - start < max_digits) {
            value = value * 10 + (text[at] - u'0');
            ++at;
        }
        bool more_digits = at < text.size() && text[at] >= u'0' && text[at] <= u'9';
        if (at == start || more_digits) {
            at = start;
            return std::nullopt;
        }
        if (digit_count != nullptr) *digit_count = at - start;
        return value;
    }
    std::u16string_view word() {
        std::size_t start = at;
        while (at < text.size() && is_letter(text[at])) ++at;
        return text.substr(start, at - start);
    }
    std::size_t position() const { return at; }
    void rewind(std::size_t position) { at = position; }

private:
    static bool is_letter(char16_t c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    }

    std::u16string_view text;
    std::size_t at = 0;
};

char16_t lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c; }

bool equals_ignoring_case(std::u16string_view left, std::u16string_view right) {
    if (left.size() != right.size()) return false;
    for (std::size_t char_idx = 0; char_idx < left.size(); ++char_idx) {
        if (lower(left[char_idx]) != lower(right[char_idx])) return false;
    }
    return true;
}

// 1..12 for a full English month name or its first three letters ("Sept" too); 0 otherwise.
int month_of_name(std::u16string_view name) {
    static constexpr std::array<std::u16string_view, 12> NAMES = {
        u"january", u"february", u"march",     u"april",   u"may",      u"june",
        u"july",    u"august",   u"september", u"october", u"november", u"december"};
    for (std::size_t month_idx = 0; month_idx < NAMES.size(); ++month_idx) {
        std::u16string_view full = NAMES[month_idx];
        if (equals_ignoring_case(name, full) || equals_ignoring_case(name, full.substr(0, 3))) {
            return int(month_idx) + 1;
        }
    }
    return equals_ignoring_case(name, u"sept") ? 9 : 0;
}

int widen_two_digit_year(int year, std::size_t digit_count) {
    if (digit_count > 2) return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

// "2024-02-29", "2024/2/29", "2/29/2024", "2/29/24".
std::optional<civil_date> numeric_date(date_scanner& scan, bool* iso) {
    std::size_t start = scan.position();
    std::size_t first_digits = 0;
    std::size_t last_digits = 0;
    std::optional<int> first = scan.number(4, &first_digits);
    char16_t separator = u'-';
    if (first && !scan.take(u'-')) separator = scan.take(u'/') ? u'/' : u'\0';
    std::optional<int> second = separator != u'\0' ? scan.number(2) : std::nullopt;
    std::optional<int> third;
    if (second && scan.take(separator)) third = scan.number(4, &last_digits);
    if (!third) {
        scan.rewind(start);
        return std::nullopt;
    }
    if (first_digits == 4) {
        *iso = separator == u'-';
        return civil_date{*first, *second, *third};
    }
    if (separator != u'/' || last_digits == 3) {
        scan.rewind(start);
        return std::nullopt;
    }
    return civil_date{widen_two_digit_year(*third, last_digits), *first, *second};
}

// "Feb 29, 2024", "February 29 2024".
std::optional<civil_date> month_first_date(date_scanner& scan) {
    std::size_t start = scan.position();
    int month = month_of_name(scan.word());
    scan.take(u'.');
    scan.skip_blanks();
    std::optional<int> day = month != 0 ? scan.number(2) : std::nullopt;
    if (day) {
        scan.take(u',');
        scan.skip_blanks();
        if (std::optional<int> year = scan.number(4)) return civil_date{*year, month, *day};
    }
    scan.rewind(start);
    return std::nullopt;
}

// "29 Feb 2024", "29-Feb-2024", "29 February, 2024".
std::optional<civil_date> day_first_date(date_scanner& scan) {
    std::size_t start = scan.position();
    std::optional<int> day = scan.number(2);
    bool dashed = day && scan.take(u'-');
    scan.skip_blanks();
    int month = day ? month_of_name(scan.word()) : 0;
    if (month != 0) {
        scan.take(u'.');
        bool separated = dashed ? scan.take(u'-') : true;
        scan.take(u',');
        scan.skip_blanks();
        std::optional<int> year = separated ? scan.number(4) : std::nullopt;
        if (year) return civil_date{*year, month, *day};
    }
    scan.rewind(start);
    return std::nullopt;
}

// "13:05", "13:05:09", "1:05 PM"; hours 0-23, or 1-12 with a marker.
std::optional<parsed_time> time_of_day(date_scanner& scan) {
    std::size_t start = scan.position();
    parsed_time time;
    std::optional<int> hour = scan.number(2);
    std::optional<int> minute = hour && scan.take(u':') ? scan.number(2) : std::nullopt;
    if (!minute) {
        scan.rewind(start);
        return std::nullopt;
    }
    time.hour = *hour;
    time.minute = *minute;
    if (scan.take(u':')) {
        std::optional<int> second = scan.number(2);
        if (!second) return std::nullopt;
        time.second = *second;
    }
    scan.skip_blanks();
    std::u16string_view marker = scan.word();
    bool am = equals_ignoring_case(marker, u"am") || equals_ignoring_case(marker, u"a");
    bool pm = equals_ignoring_case(marker, u"pm") || equals_ignoring_case(marker, u"p");
    if (!marker.empty() && !am && !pm) return std::nullopt;
    if (am || pm) {
        if (time.hour < 1 || time.hour > 12) return std::nullopt;
        time.hour = time.hour % 12 + (pm ? 12 : 0);
    }
    if (time.hour > 23 || time.minute > 59 || time.second > 59) return std::nullopt;
    return time;
}

std::u16string_view trim_blanks(std::u16string_view text) {
    std::size_t first = text.find_first_not_of(u" \t\r\n");
    if (first == std::u16string_view::npos) return {};
    std::size_t last = text.find_last_not_of(u" \t\r\n");
    return text.substr(first, last - first + 1);
}

}   // namespace

HRESULT VarDateFromStr(LPCOLESTR text, LCID, ULONG, DATE* result) {
    if (text == nullptr || result == nullptr) return E_INVALIDARG;
    date_scanner scan(trim_blanks(std::u16string_view(text)));
    bool iso = false;
    std::optional<civil_date> date = numeric_date(scan, &iso);
    if (!date) date = month_first_date(scan);
    if (!date) date = day_first_date(scan);
    bool needs_time = false;
    if (date && !scan.at_end()) {
        needs_time = iso && scan.take(u'T');
        if (!needs_time) {
            std::size_t before = scan.position();
            scan.skip_blanks();
            if (scan.position() == before) return DISP_E_TYPEMISMATCH;
        }
    }
    std::optional<parsed_time> time;
    if (needs_time || !scan.at_end()) {
        time = time_of_day(scan);
        if (!time || !scan.at_end()) return DISP_E_TYPEMISMATCH;
    }
    if (!date && !time) return DISP_E_TYPEMISMATCH;
    std::int64_t day = 0;
    if (date) {
        if (!is_calendar_date(date->year, date->month, date->day)) return DISP_E_TYPEMISMATCH;
        day = day_number(*date);
    }
    parsed_time clock = time.value_or(parsed_time{});
    std::int64_t milliseconds = ((std::int64_t(clock.hour) * 60 + clock.minute) * 60 + clock.second)
                                * 1000;
    *result = date_from_parts(day, milliseconds);
    return S_OK;
}
