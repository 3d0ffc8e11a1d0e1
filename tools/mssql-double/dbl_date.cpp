// dbl_date.cpp - calendar arithmetic and date text.
#include "dbl_date.hpp"

#include <cctype>
#include <cstdio>

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t days_from_epoch(int year, int month, int day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int yoe = int(year - era * 400);
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

const std::int64_t EPOCH_1900 = days_from_epoch(1900, 1, 1);

class date_scanner {
public:
    explicit date_scanner(const std::string& text) : s(text) {}
    bool done() {
        skip_spaces();
        return at == s.size();
    }
    bool peek(char c) const { return at < s.size() && s[at] == c; }
    bool eat(char c) {
        if (!peek(c)) return false;
        ++at;
        return true;
    }
    void skip_spaces() {
        while (at < s.size() && s[at] == ' ') ++at;
    }
    // Reads 1..max digits; -1 when none.
    int number(int max_digits, int* count = nullptr) {
        int value = 0, digits = 0;
        while (at < s.size() && digits < max_digits && std::isdigit((unsigned char)s[at])) {
            value = value * 10 + (s[at++] - '0');
            ++digits;
        }
        if (count) *count = digits;
        return digits == 0 ? -1 : value;
    }
    std::size_t pos() const { return at; }

private:
    const std::string& s;
    std::size_t at = 0;
};

bool parse_time(date_scanner& scan, dbl_civil& out) {
    out.hour = scan.number(2);
    if (out.hour < 0 || !scan.eat(':')) return false;
    out.minute = scan.number(2);
    if (out.minute < 0) return false;
    if (scan.eat(':')) {
        out.second = scan.number(2);
        if (out.second < 0) return false;
        if (scan.eat('.')) {
            int digits = 0;
            std::int64_t fraction = 0;
            while (digits < 7) {
                int count = 0;
                int digit = scan.number(1, &count);
                if (count == 0) break;
                fraction = fraction * 10 + digit;
                ++digits;
            }
            if (digits == 0) return false;
            out.fraction_digits = digits;
            for (int i = digits; i < 7; ++i) fraction *= 10;
            out.fraction_hns = fraction;
        }
    }
    return true;
}

bool parse_date_part(date_scanner& scan, dbl_civil& out) {
    int count = 0;
    int first = scan.number(8, &count);
    if (first < 0) return false;
    if (count == 8) {
        out.year = first / 10000;
        out.month = first / 100 % 100;
        out.day = first % 100;
        return true;
    }
    if (count == 4 && (scan.eat('-') || scan.eat('/') || scan.eat('.'))) {
        out.year = first;
        out.month = scan.number(2);
        if (out.month < 0 || !(scan.eat('-') || scan.eat('/') || scan.eat('.'))) return false;
        out.day = scan.number(2);
        return out.day >= 0;
    }
    if (count <= 2 && (scan.eat('/') || scan.eat('-') || scan.eat('.'))) {
        out.month = first;
        out.day = scan.number(2);
        if (out.day < 0 || !(scan.eat('/') || scan.eat('-') || scan.eat('.'))) return false;
        out.year = scan.number(4, &count);
        return count == 4;
    }
    return false;
}

}   // namespace

std::int64_t dbl_days_from_civil(int year, int month, int day) {
    return days_from_epoch(year, month, day) - EPOCH_1900;
}

void dbl_civil_from_days(std::int64_t days, int& year, int& month, int& day) {
    std::int64_t z = days + EPOCH_1900 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = int(z - era * 146097);
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = int(yoe + era * 400) + (month <= 2);
}

bool dbl_is_valid_day(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= lengths[month - 1] + (month == 2 && leap ? 1 : 0);
}

dbl_date_parse dbl_parse_date(const std::string& text, dbl_civil& out) {
    out = dbl_civil{};
    date_scanner scan(text);
    scan.skip_spaces();
    std::size_t start = scan.pos();
    bool has_date = parse_date_part(scan, out);
    if (!has_date) {
        out = dbl_civil{};
        date_scanner time_only(text);
        time_only.skip_spaces();
        if (!parse_time(time_only, out) || !time_only.done()) return dbl_date_parse::SYNTAX;
    } else if (!scan.done()) {
        if (!scan.eat('T')) scan.skip_spaces();
        if (scan.pos() == start || !parse_time(scan, out) || !scan.done())
            return dbl_date_parse::SYNTAX;
    }
    if (!dbl_is_valid_day(out.year, out.month, out.day) || out.hour > 23 || out.minute > 59
        || out.second > 59)
        return dbl_date_parse::RANGE;
    return dbl_date_parse::OK;
}

std::optional<std::int64_t> dbl_datetime_ticks(const dbl_civil& civil) {
    if (civil.year < 1753) return std::nullopt;
    std::int64_t milliseconds = civil.fraction_hns / 10000;
    std::int64_t ticks = (civil.hour * 3600 + civil.minute * 60 + civil.second) * 300
                         + (milliseconds * 3 + 5) / 10;
    std::int64_t total = dbl_days_from_civil(civil.year, civil.month, civil.day) * DBL_TICKS_PER_DAY
                         + ticks;
    if (total >= (dbl_days_from_civil(9999, 12, 31) + 1) * DBL_TICKS_PER_DAY) return std::nullopt;
    return total;
}

std::int64_t dbl_datetime2_ticks(const dbl_civil& civil, int scale) {
    std::int64_t unit = 1;
    for (int i = scale; i < 7; ++i) unit *= 10;
    std::int64_t fraction = (civil.fraction_hns + unit / 2) / unit * unit;
    std::int64_t day_hns = (civil.hour * 3600LL + civil.minute * 60 + civil.second) * 10000000LL
                           + fraction;
    std::int64_t days = dbl_days_from_civil(civil.year, civil.month, civil.day)
                        - dbl_days_from_civil(1, 1, 1);
    return days * DBL_HNS_PER_DAY + day_hns;
}

std::string dbl_format_datetime(std::int64_t ticks) {
    std::int64_t days = ticks / DBL_TICKS_PER_DAY;
    std::int64_t rest = ticks % DBL_TICKS_PER_DAY;
    if (rest < 0) {
        rest += DBL_TICKS_PER_DAY;
        --days;
    }
    int year, month, day;
    dbl_civil_from_days(days, year, month, day);
    std::int64_t seconds = rest / 300;
    int milliseconds = int(((rest % 300) * 10 + 1) / 3);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03d", year, month, day,
                  int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60), milliseconds);
    return buffer;
}

std::string dbl_format_datetime2(std::int64_t hns, int scale) {
    std::int64_t days = hns / DBL_HNS_PER_DAY + dbl_days_from_civil(1, 1, 1);
    std::int64_t rest = hns % DBL_HNS_PER_DAY;
    int year, month, day;
    dbl_civil_from_days(days, year, month, day);
    std::int64_t seconds = rest / 10000000;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%07lld", year, month, day,
                  int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60),
                  (long long)(rest % 10000000));
    std::string text = buffer;
    if (scale == 0) return text.substr(0, 19);
    return text.substr(0, 20 + scale);
}
