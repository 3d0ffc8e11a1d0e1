#include "platform/jetsql/jet_sql_date.hpp"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr std::int64_t SECONDS_PER_DAY = 86400;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
std::int64_t days_from_civil(std::int64_t year, int month, int day) {
    year -= month <= 2;
    std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    std::int64_t year_of_era = year - era * 400;
    std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    std::int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 +
                              day_of_year;
    return era * 146097 + day_of_era - 719468;
}

void civil_from_days(std::int64_t days, int& year, int& month, int& day) {
    days += 719468;
    std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    std::int64_t day_of_era = days - era * 146097;
    std::int64_t year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    std::int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 -
                                             year_of_era / 100);
    std::int64_t month_index = (5 * day_of_year + 2) / 153;
    day = int(day_of_year - (153 * month_index + 2) / 5 + 1);
    month = int(month_index < 10 ? month_index + 3 : month_index - 9);
    year = int(year_of_era + era * 400 + (month <= 2));
}

const std::int64_t OLE_EPOCH = days_from_civil(1899, 12, 30);

bool is_leap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap(year) ? 29 : days[month - 1];
}

// Splits "12/31/1999 10:30:00 PM" into numbers and separators.
struct date_scan {
    std::vector<int> numbers;
    std::vector<char16_t> separators;   // the one after each number (0 at the end)
    std::vector<int> digit_counts;
    int meridiem = 0;                   // 0 none, 1 AM, 2 PM
};

std::optional<date_scan> scan(std::u16string_view text) {
    date_scan result;
    std::size_t pos = 0;
    auto skip_spaces = [&] { while (pos < text.size() && text[pos] == u' ') ++pos; };
    skip_spaces();
    while (pos < text.size()) {
        char16_t c = text[pos];
        if (c >= u'0' && c <= u'9') {
            int value = 0, digits = 0;
            while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
                if (++digits > 4) return std::nullopt;
                value = value * 10 + (text[pos++] - u'0');
            }
            result.numbers.push_back(value);
            result.digit_counts.push_back(digits);
            result.separators.push_back(0);
        } else if ((c == u'/' || c == u'-' || c == u':' || c == u' ') &&
                   !result.numbers.empty() && result.separators.back() == 0) {
            result.separators.back() = c;
            ++pos;
            skip_spaces();
        } else if (c == u'A' || c == u'a' || c == u'P' || c == u'p') {
            if (pos + 1 >= text.size() || (text[pos + 1] != u'M' && text[pos + 1] != u'm'))
                return std::nullopt;
            if (result.numbers.empty() || result.separators.back() != u' ') return std::nullopt;
            result.separators.back() = 0;
            result.meridiem = (c == u'A' || c == u'a') ? 1 : 2;
            pos += 2;
            skip_spaces();
            if (pos != text.size()) return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    return result;
}

bool valid_time(int hour, int minute, int second, int meridiem) {
    if (meridiem != 0 && (hour < 1 || hour > 12)) return false;
    return hour <= 23 && minute <= 59 && second <= 59;
}

}  // namespace

double jet_sql_date_join(const jet_sql_date_parts& parts) {
    double days = double(days_from_civil(parts.year, parts.month, parts.day) - OLE_EPOCH);
    double fraction = double(parts.hour * 3600 + parts.minute * 60 + parts.second) /
                      double(SECONDS_PER_DAY);
    return days < 0 ? days - fraction : days + fraction;
}

std::optional<double> jet_sql_parse_date(std::u16string_view text) {
    std::optional<date_scan> scanned = scan(text);
    if (!scanned || scanned->numbers.empty()) return std::nullopt;
    const std::vector<int>& numbers = scanned->numbers;
    const std::vector<char16_t>& separators = scanned->separators;
    jet_sql_date_parts parts;
    std::size_t time_start = 0;
    if (separators[0] == u'/' || separators[0] == u'-') {
        if (numbers.size() < 3 || separators[1] != separators[0]) return std::nullopt;
        if (separators[0] == u'-' && scanned->digit_counts[0] == 4) {
            parts.year = numbers[0], parts.month = numbers[1], parts.day = numbers[2];
        } else {
            parts.month = numbers[0], parts.day = numbers[1], parts.year = numbers[2];
            if (scanned->digit_counts[2] <= 2) parts.year += parts.year < 30 ? 2000 : 1900;
        }
        if (parts.year < 100 || parts.month < 1 || parts.month > 12 || parts.day < 1 ||
            parts.day > days_in_month(parts.year, parts.month))
            return std::nullopt;
        if (separators[2] != 0 && separators[2] != u' ') return std::nullopt;
        time_start = 3;
    }
    std::size_t time_numbers = numbers.size() - time_start;
    if (time_numbers == 0) return scanned->meridiem == 0 ? std::optional(jet_sql_date_join(parts))
                                                         : std::nullopt;
    if (time_numbers > 3 || (time_numbers == 1 && scanned->meridiem == 0)) return std::nullopt;
    for (std::size_t number_idx = time_start; number_idx + 1 < numbers.size(); ++number_idx)
        if (separators[number_idx] != u':') return std::nullopt;
    if (separators.back() != 0) return std::nullopt;
    int hour = numbers[time_start];
    int minute = time_numbers > 1 ? numbers[time_start + 1] : 0;
    int second = time_numbers > 2 ? numbers[time_start + 2] : 0;
    if (!valid_time(hour, minute, second, scanned->meridiem)) return std::nullopt;
    if (scanned->meridiem != 0) hour = hour % 12 + (scanned->meridiem == 2 ? 12 : 0);
    parts.hour = hour, parts.minute = minute, parts.second = second;
    return jet_sql_date_join(parts);
}

std::optional<jet_sql_date_parts> jet_sql_date_split(double ole_date) {
    if (!std::isfinite(ole_date) || std::fabs(ole_date) > 3.0e6) return std::nullopt;
    double whole = std::trunc(ole_date);
    std::int64_t days = std::int64_t(whole);
    std::int64_t seconds = std::llround(std::fabs(ole_date - whole) * double(SECONDS_PER_DAY));
    if (seconds >= SECONDS_PER_DAY) {
        seconds -= SECONDS_PER_DAY;
        ++days;   // the next calendar day, also before 1899-12-30
    }
    jet_sql_date_parts parts;
    civil_from_days(days + OLE_EPOCH, parts.year, parts.month, parts.day);
    if (parts.year < 100 || parts.year > 9999) return std::nullopt;
    parts.hour = int(seconds / 3600);
    parts.minute = int(seconds / 60 % 60);
    parts.second = int(seconds % 60);
    return parts;
}

std::optional<double> jet_sql_parse_number(std::u16string_view text) {
    std::string ascii;
    for (char16_t c : text) {
        if (c > 0x7F) return std::nullopt;
        ascii.push_back(char(c));
    }
    std::size_t first = ascii.find_first_not_of(' ');
    std::size_t last = ascii.find_last_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    ascii = ascii.substr(first, last - first + 1);
    if (ascii.find_first_not_of("0123456789+-.eE") != std::string::npos) return std::nullopt;
    char* end = nullptr;
    double value = std::strtod(ascii.c_str(), &end);
    if (end != ascii.c_str() + ascii.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}
