#include "platform/jetsql/jet_sql_date.hpp"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/oleaut/oleaut_calendar.hpp"

namespace {

constexpr std::int64_t SECONDS_PER_DAY = 86400;

// Splits "12/31/1999 10:30:00 PM" into numbers and separators.
struct date_scan {
    std::vector<int> numbers;
    std::vector<char16_t> separators;   // the one after each number (0 at the end)
    std::vector<int> digit_counts;
    int meridiem = 0;   // 0 none, 1 AM, 2 PM
};

std::optional<date_scan> scan(std::u16string_view text) {
    date_scan result;
    std::size_t pos = 0;
    auto skip_spaces = [&] {
        while (pos < text.size() && text[pos] == u' ') ++pos;
    };
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
        } else if ((c == u'/' || c == u'-' || c == u':' || c == u' ') && !result.numbers.empty()
                   && result.separators.back() == 0) {
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

}   // namespace

double jet_sql_date_join(const jet_sql_date_parts& parts) {
    const std::int64_t day = day_number(civil_date{parts.year, parts.month, parts.day});
    const std::int64_t seconds = parts.hour * 3600 + parts.minute * 60 + parts.second;
    return date_from_parts(day, seconds * 1000);
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
        if (parts.year < 100 || parts.month < 1 || parts.month > 12 || parts.day < 1
            || parts.day > days_in_month(parts.year, parts.month))
            return std::nullopt;
        if (separators[2] != 0 && separators[2] != u' ') return std::nullopt;
        time_start = 3;
    }
    std::size_t time_numbers = numbers.size() - time_start;
    if (time_numbers == 0)
        return scanned->meridiem == 0 ? std::optional(jet_sql_date_join(parts)) : std::nullopt;
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
    const civil_date date = date_of_day_number(days);
    jet_sql_date_parts parts;
    parts.year = date.year, parts.month = date.month, parts.day = date.day;
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
