#include "platform/jetsql/jet_sql_format.hpp"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/jetsql/jet_sql_calendar.hpp"
#include "platform/jetsql/jet_sql_date.hpp"
#include "platform/jetsql/jet_sql_errors.hpp"
#include "platform/jetsql/jet_sql_functions.hpp"
#include "platform/jetsql/jet_sql_text.hpp"
#include "platform/winbase/win_codepage.hpp"
#include "platform/winbase/win_compare.hpp"

namespace {

constexpr const char* MONTHS[] = {"January",   "February", "March",    "April",
                                  "May",       "June",     "July",     "August",
                                  "September", "October",  "November", "December"};
constexpr const char* WEEKDAYS[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                    "Thursday", "Friday", "Saturday"};

struct named_pattern {
    std::u16string_view name;
    std::u16string_view pattern;
};

constexpr named_pattern DATE_FORMS[] = {
    {u"Long Date", u"dddd, mmmm d, yyyy"}, {u"Medium Date", u"dd-mmm-yy"},
    {u"Short Date", u"m/d/yyyy"},          {u"Long Time", u"h:nn:ss AM/PM"},
    {u"Medium Time", u"hh:nn AM/PM"},      {u"Short Time", u"hh:nn"}};

constexpr named_pattern NUMBER_FORMS[] = {{u"Currency", u"$#,##0.00;($#,##0.00)"},
                                          {u"Fixed", u"0.00"},
                                          {u"Standard", u"#,##0.00"},
                                          {u"Percent", u"0.00%"},
                                          {u"Scientific", u"0.00E+00"}};

std::u16string ascii(const char* text) { return win_utf8_to_utf16(text); }

std::u16string padded(int number, std::size_t width) {
    std::u16string digits = ascii(std::to_string(number).c_str());
    while (digits.size() < width) digits.insert(digits.begin(), u'0');
    return digits;
}

// The run of one letter at pos, case-blind.
std::size_t run_length(std::u16string_view pattern, std::size_t pos) {
    char16_t letter = pattern[pos] | 0x20;
    std::size_t end = pos;
    while (end < pattern.size() && (pattern[end] | 0x20) == letter) ++end;
    return end - pos;
}

bool starts_with_blind(std::u16string_view text, std::size_t pos, std::u16string_view word) {
    return text.size() - pos >= word.size()
           && win_equal_ignore_case(text.substr(pos, word.size()), word);
}

struct date_writer {
    date_writer(const jet_sql_date_parts& date_parts, double ole_date, bool is_twelve_hour)
        : parts(date_parts), date(ole_date), twelve_hour(is_twelve_hour) {}

    const jet_sql_date_parts& parts;
    double date;
    bool twelve_hour;   // an AM/PM marker makes h count 1 to 12
    std::u16string out;
    bool after_hour = false;   // an m run right after h is minutes

    void meridiem(std::u16string_view pattern, std::size_t& pos) {
        bool is_pm = parts.hour >= 12;
        if (starts_with_blind(pattern, pos, u"AM/PM")) {
            bool is_lower = pattern[pos] == u'a';
            out += is_pm ? (is_lower ? u"pm" : u"PM") : (is_lower ? u"am" : u"AM");
            pos += 5;
        } else {
            bool is_lower = pattern[pos] == u'a';
            out += is_pm ? (is_lower ? u"p" : u"P") : (is_lower ? u"a" : u"A");
            pos += 3;
        }
    }

    void letters(char16_t letter, std::size_t count) {
        switch (letter) {
        case u'd':
            if (count == 1 || count == 2) out += padded(parts.day, count);
            else if (count == 3) out += ascii(WEEKDAYS[weekday() - 1]).substr(0, 3);
            else out += ascii(WEEKDAYS[weekday() - 1]);
            break;
        case u'm':
            if (after_hour && count <= 2) out += padded(parts.minute, count);
            else if (count <= 2) out += padded(parts.month, count);
            else if (count == 3) out += ascii(MONTHS[parts.month - 1]).substr(0, 3);
            else out += ascii(MONTHS[parts.month - 1]);
            break;
        case u'y':
            if (count == 1) out += padded(int(*jet_sql_date_part_value(u"y", date)), 1);
            else if (count <= 3) out += padded(parts.year % 100, 2);
            else out += padded(parts.year, 4);
            break;
        case u'q': out += padded((parts.month - 1) / 3 + 1, 1); break;
        case u'w':
            out += padded(int(*jet_sql_date_part_value(count == 1 ? u"w" : u"ww", date)), 1);
            break;
        case u'h':
            out += padded(twelve_hour ? (parts.hour + 11) % 12 + 1 : parts.hour,
                          std::min<std::size_t>(count, 2));
            break;
        case u'n': out += padded(parts.minute, std::min<std::size_t>(count, 2)); break;
        default: out += padded(parts.second, std::min<std::size_t>(count, 2)); break;   // s
        }
    }

    int weekday() const { return int(*jet_sql_date_part_value(u"w", date)); }
};

std::u16string general_date(double date, const jet_sql_date_parts& parts) {
    bool has_time = parts.hour != 0 || parts.minute != 0 || parts.second != 0;
    bool has_date = std::trunc(date) != 0;
    std::u16string pattern = has_date ? u"m/d/yyyy" : u"";
    if (has_time) pattern += std::u16string(has_date ? u" " : u"") + u"h:nn:ss AM/PM";
    return *jet_sql_format_date(date, pattern.empty() ? u"m/d/yyyy" : pattern);
}

bool has_meridiem(std::u16string_view pattern) {
    for (std::size_t pos = 0; pos < pattern.size(); ++pos)
        if (starts_with_blind(pattern, pos, u"AM/PM") || starts_with_blind(pattern, pos, u"A/P"))
            return true;
    return false;
}

// Digits of |value| rounded half away from zero to `decimals` places, as text without a point
// ("12345" for 123.45 at 2), read from its 15 significant decimal digits first.
std::string rounded_digits(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    std::string text(buffer);
    std::size_t e_at = text.find('e');
    int exponent = std::atoi(text.c_str() + e_at + 1);
    std::string digits = text.substr(0, 1) + text.substr(2, e_at - 2);   // 15 digits
    // digits * 10^(exponent - 14); keep integer digits plus `decimals`.
    int keep = exponent + 1 + decimals;
    if (keep < 0) return "0";
    bool round_up = std::size_t(keep) < digits.size() && digits[std::size_t(keep)] >= '5';
    digits = std::size_t(keep) < digits.size()
                 ? digits.substr(0, std::size_t(keep))
                 : digits + std::string(std::size_t(keep) - digits.size(), '0');
    if (round_up) {
        int at = int(digits.size()) - 1;
        while (at >= 0 && digits[std::size_t(at)] == '9') digits[std::size_t(at--)] = '0';
        if (at < 0) digits.insert(digits.begin(), '1');
        else ++digits[std::size_t(at)];
    }
    return digits.empty() ? "0" : digits;
}

struct number_section {
    std::u16string prefix, suffix;
    int integer_zeros = 0, decimals = 0, decimal_zeros = 0, exponent_zeros = 0;
    bool has_grouping = false, is_percent = false, has_exponent = false;
    bool exponent_plus = false;
};

number_section parse_section(std::u16string_view pattern) {
    number_section section;
    std::size_t first = pattern.find_first_of(u"0#.");
    std::size_t last = pattern.find_last_of(u"0#");
    auto literal = [&](std::u16string_view part) {
        std::u16string text;
        for (std::size_t pos = 0; pos < part.size(); ++pos) {
            if (part[pos] == u'"') {
                std::size_t close = part.find(u'"', pos + 1);
                text += part.substr(pos + 1, close == std::u16string_view::npos
                                                 ? std::u16string_view::npos
                                                 : close - pos - 1);
                if (close == std::u16string_view::npos) break;
                pos = close;
            } else if (part[pos] == u'\\' && pos + 1 < part.size()) {
                text += part[++pos];
            } else {
                section.is_percent = section.is_percent || part[pos] == u'%';
                text += part[pos];
            }
        }
        return text;
    };
    if (first == std::u16string_view::npos) {
        section.prefix = literal(pattern);
        return section;
    }
    section.prefix = literal(pattern.substr(0, first));
    std::u16string_view body = pattern.substr(first, last + 1 - first);
    std::size_t e_at = body.find_first_of(u"eE");
    std::u16string_view mantissa = body.substr(0, e_at);
    bool in_fraction = false;
    for (char16_t c : mantissa) {
        if (c == u'.') in_fraction = true;
        else if (c == u',' && !in_fraction) section.has_grouping = true;
        else if (c == u'0' && !in_fraction) ++section.integer_zeros;
        else if ((c == u'0' || c == u'#') && in_fraction) {
            ++section.decimals;
            if (c == u'0') section.decimal_zeros = section.decimals;
        }
    }
    if (e_at != std::u16string_view::npos && e_at + 1 < body.size()) {
        section.has_exponent = true;
        section.exponent_plus = body[e_at + 1] == u'+';
        for (char16_t c : body.substr(e_at + 2)) section.exponent_zeros += c == u'0';
    }
    section.suffix = literal(pattern.substr(last + 1));
    return section;
}

std::u16string group_thousands(const std::string& integer) {
    std::u16string out;
    for (std::size_t pos = 0; pos < integer.size(); ++pos) {
        if (pos > 0 && (integer.size() - pos) % 3 == 0) out += u',';
        out += char16_t(integer[pos]);
    }
    return out;
}

std::u16string format_magnitude(double magnitude, const number_section& section) {
    int exponent = 0;
    if (section.has_exponent && magnitude != 0) {
        exponent = int(std::floor(std::log10(magnitude)));
        magnitude /= std::pow(10.0, exponent);
        if (rounded_digits(magnitude, section.decimals).size() > std::size_t(section.decimals) + 1)
            magnitude /= 10, ++exponent;
    }
    std::string digits = rounded_digits(magnitude, section.decimals);
    while (digits.size() < std::size_t(section.decimals) + 1) digits.insert(digits.begin(), '0');
    std::string integer = digits.substr(0, digits.size() - std::size_t(section.decimals));
    std::string fraction = digits.substr(integer.size());
    integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size()));
    if (integer.size() < std::size_t(section.integer_zeros))
        integer.insert(0, std::size_t(section.integer_zeros) - integer.size(), '0');
    while (fraction.size() > std::size_t(section.decimal_zeros) && fraction.back() == '0')
        fraction.pop_back();
    std::u16string out = section.has_grouping ? group_thousands(integer)
                                              : win_utf8_to_utf16(integer);
    if (section.decimals > 0 && (!fraction.empty() || section.decimal_zeros > 0))
        out += u"." + win_utf8_to_utf16(fraction);
    else if (section.decimals > 0 && section.decimal_zeros == 0) out += u".";
    if (section.has_exponent) {
        out += u'E';
        if (exponent < 0) out += u'-';
        else if (section.exponent_plus) out += u'+';
        out += padded(std::abs(exponent), std::size_t(std::max(section.exponent_zeros, 1)));
    }
    return out;
}

std::u16string yes_no(double value, std::u16string_view yes, std::u16string_view no) {
    return std::u16string(value != 0 ? yes : no);
}

}   // namespace

std::optional<std::u16string> jet_sql_format_date(double date, std::u16string_view pattern) {
    std::optional<jet_sql_date_parts> parts = jet_sql_date_split(date);
    if (!parts) return std::nullopt;
    if (pattern.empty() || win_equal_ignore_case(pattern, u"General Date"))
        return general_date(date, *parts);
    for (const named_pattern& form : DATE_FORMS)
        if (win_equal_ignore_case(pattern, form.name))
            return jet_sql_format_date(date, form.pattern);
    date_writer writer(*parts, date, has_meridiem(pattern));
    for (std::size_t pos = 0; pos < pattern.size();) {
        char16_t c = pattern[pos];
        char16_t letter = c | 0x20;
        if (c == u'"') {
            std::size_t close = pattern.find(u'"', pos + 1);
            std::size_t end = close == std::u16string_view::npos ? pattern.size() : close;
            writer.out += pattern.substr(pos + 1, end - pos - 1);
            pos = end + 1;
        } else if (c == u'\\' && pos + 1 < pattern.size()) {
            writer.out += pattern[pos + 1];
            pos += 2;
        } else if (letter == u'a'
                   && (starts_with_blind(pattern, pos, u"AM/PM")
                       || starts_with_blind(pattern, pos, u"A/P"))) {
            writer.meridiem(pattern, pos);
        } else if (letter == u'd' || letter == u'm' || letter == u'y' || letter == u'q'
                   || letter == u'w' || letter == u'h' || letter == u'n' || letter == u's') {
            std::size_t count = run_length(pattern, pos);
            writer.letters(letter, count);
            if (letter == u'h') writer.after_hour = true;
            else if (letter != u'n' && letter != u's') writer.after_hour = false;
            pos += count;
        } else {
            writer.out += c;
            ++pos;
        }
    }
    return writer.out;
}

std::u16string jet_sql_format_number(double value, std::u16string_view pattern) {
    // No pattern applies to an infinity or NaN a Double column may hold: its plain text.
    if (pattern.empty() || win_equal_ignore_case(pattern, u"General Number")
        || !std::isfinite(value)) {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.15g", value);
        return win_utf8_to_utf16(buffer);
    }
    if (win_equal_ignore_case(pattern, u"Yes/No")) return yes_no(value, u"Yes", u"No");
    if (win_equal_ignore_case(pattern, u"True/False")) return yes_no(value, u"True", u"False");
    if (win_equal_ignore_case(pattern, u"On/Off")) return yes_no(value, u"On", u"Off");
    for (const named_pattern& form : NUMBER_FORMS)
        if (win_equal_ignore_case(pattern, form.name))
            return jet_sql_format_number(value, form.pattern);
    std::vector<std::u16string_view> sections;
    for (std::size_t start = 0;;) {
        std::size_t end = pattern.find(u';', start);
        sections.push_back(pattern.substr(
            start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start));
        if (end == std::u16string_view::npos) break;
        start = end + 1;
    }
    bool use_negative = value < 0 && sections.size() > 1 && !sections[1].empty();
    bool use_zero = value == 0 && sections.size() > 2 && !sections[2].empty();
    std::u16string_view chosen = use_zero ? sections[2] : use_negative ? sections[1] : sections[0];
    number_section section = parse_section(chosen);
    double magnitude = std::fabs(value) * (section.is_percent ? 100.0 : 1.0);
    std::u16string body = format_magnitude(magnitude, section);
    bool is_negative = value < 0 && !use_negative
                       && body.find_first_of(u"123456789") != std::u16string::npos;
    return (is_negative ? u"-" : u"") + section.prefix + body + section.suffix;
}

namespace {

void format_value(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(context);
    std::u16string pattern = sqlite3_value_type(argv[1]) == SQLITE_NULL
                                 ? u""
                                 : jet_sql_value_text(argv[1]);
    bool is_date = sqlite3_value_int(argv[2]) != 0;
    bool is_number = sqlite3_value_numeric_type(argv[0]) != SQLITE_TEXT
                     && sqlite3_value_type(argv[0]) != SQLITE_TEXT;
    std::u16string text;
    if (is_date) {
        std::optional<std::u16string> formatted = jet_sql_format_date(sqlite3_value_double(argv[0]),
                                                                      pattern);
        if (!formatted) {
            return jet_sql_fail(context, VBA_ERR_INVALID_ARGUMENT,
                                "Invalid procedure call or argument");
        }
        text = *formatted;
    } else if (is_number) {
        text = jet_sql_format_number(sqlite3_value_double(argv[0]), pattern);
    } else {
        text = jet_sql_value_text(argv[0]);   // text keeps its own form
    }
    sqlite3_result_text16(context, text.data(), int(text.size() * 2), SQLITE_TRANSIENT);
}

}   // namespace

void jet_sql_register_format(sqlite3* connection, jet_sql_failure* failure) {
    sqlite3_create_function(connection, "jet_format", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                            failure, format_value, nullptr, nullptr);
}
