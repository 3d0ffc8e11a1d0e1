// e2e_compare.cpp - value normalisation and the table comparison. The rules are those of
// tests/e2e/README.md ("Normalisation"); change both together.
#include "e2e/e2e_compare.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace {

constexpr int DAO_BOOLEAN = 1, DAO_BYTE = 2, DAO_INTEGER = 3, DAO_LONG = 4, DAO_CURRENCY = 5,
              DAO_SINGLE = 6, DAO_DOUBLE = 7, DAO_DATE = 8, DAO_BINARY = 9, DAO_LONG_BINARY = 11,
              DAO_BIGINT = 16, DAO_VARBINARY = 17, DAO_DECIMAL = 20;

std::string trim(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Exact decimal text without sign noise, leading or trailing zeros: "-012.3400" -> "-12.34".
std::string canonical_decimal(const std::string& raw) {
    std::string text = trim(raw);
    bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.erase(0, 1);
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) return raw;
    std::size_t point = text.find('.');
    std::string whole = text.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (whole.empty()) whole = "0";
    std::string result = whole + (fraction.empty() ? "" : "." + fraction);
    return (negative && result != "0" ? "-" : "") + result;
}

template <class T>
std::string shortest(T number) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    return std::string(buffer, result.ptr);
}

std::string canonical_float(const std::string& raw, bool b_single) {
    std::string text = trim(raw);
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end) return raw;
    return b_single ? shortest(float(value)) : shortest(value);
}

const char* const MONTHS[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// "YYYY-MM-DD HH:MM:SS[.fff]" or "Mon DD YYYY HH:MM:SS[:fff][AM|PM]" to
// "YYYY-MM-DD HH:MM:SS", fractions rounded to the second (Access keeps whole seconds).
std::string canonical_date(const std::string& raw) {
    std::string text = trim(raw);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    double fraction = 0;
    char rest[32] = {0};
    if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d%31s", &year, &month, &day, &hour, &minute,
                    &second, rest)
        >= 3) {
        if (rest[0] == '.') fraction = std::atof(rest);
    } else {
        char month_name[4] = {0};
        char tail[32] = {0};
        if (std::sscanf(text.c_str(), "%3s %d %d %d:%d:%d%31s", month_name, &day, &year, &hour,
                        &minute, &second, tail)
            < 6)
            return raw;
        for (int idx = 0; idx < 12; ++idx)
            if (std::string(month_name) == MONTHS[idx]) month = idx + 1;
        std::string after = tail;
        if (!after.empty() && (after[0] == ':' || after[0] == '.'))
            fraction = std::atof(("0." + after.substr(1, after.find_first_of("AP") - 1)).c_str());
        bool pm = after.find("PM") != std::string::npos;
        bool am = after.find("AM") != std::string::npos;
        if (pm && hour < 12) hour += 12;
        if (am && hour == 12) hour = 0;
    }
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    std::time_t days = timegm(&parts) / 86400;
    long seconds = hour * 3600L + minute * 60L + second + std::lround(fraction);
    days += seconds / 86400;
    seconds %= 86400;
    std::time_t stamp = days * 86400;
    std::tm out{};
    gmtime_r(&stamp, &out);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02ld:%02ld:%02ld", out.tm_year + 1900,
                  out.tm_mon + 1, out.tm_mday, seconds / 3600, seconds / 60 % 60, seconds % 60);
    return buffer;
}

std::string canonical_binary(const std::string& raw) {
    std::string text = trim(raw);
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.erase(0, 2);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char ch) { return char(std::tolower(ch)); });
    return "0x" + text;
}

std::string canonical_value(int dao_type, const std::string& text) {
    switch (dao_type) {
    case DAO_BOOLEAN:
    case DAO_BYTE:
    case DAO_INTEGER:
    case DAO_LONG:
    case DAO_BIGINT:
    case DAO_CURRENCY:
    case DAO_DECIMAL: return canonical_decimal(text);
    case DAO_SINGLE: return canonical_float(text, true);
    case DAO_DOUBLE: return canonical_float(text, false);
    case DAO_DATE: return canonical_date(text);
    case DAO_BINARY:
    case DAO_LONG_BINARY:
    case DAO_VARBINARY: return canonical_binary(text);
    default: return text;
    }
}

std::vector<std::string> split_bars(const std::string& line) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t bar = line.find('|', start);
        parts.push_back(trim(line.substr(start, bar - start)));
        if (bar == std::string::npos) return parts;
        start = bar + 1;
    }
}

std::string join_row(const std::vector<std::string>& values) {
    std::string line;
    for (std::size_t idx = 0; idx < values.size(); ++idx) line += (idx ? " | " : "") + values[idx];
    return line;
}

// The destination column for each source column: same name, else the same position.
std::vector<int> column_map(const e2e_table& source, const e2e_table_data& dest) {
    std::vector<int> map;
    for (std::size_t idx = 0; idx < source.columns.size(); ++idx) {
        auto found = std::find(dest.columns.begin(), dest.columns.end(), source.columns[idx].name);
        map.push_back(found != dest.columns.end() ? int(found - dest.columns.begin())
                      : idx < dest.columns.size() ? int(idx)
                                                  : -1);
    }
    return map;
}

std::vector<std::string> dest_rows(const e2e_table& source, const e2e_table_data& dest,
                                   const std::vector<int>& map) {
    std::vector<std::string> rows;
    for (std::size_t row_idx = 0; row_idx < dest.rows.size(); ++row_idx) {
        std::vector<std::string> values;
        for (std::size_t column_idx = 0; column_idx < source.columns.size(); ++column_idx) {
            int at = map[column_idx];
            if (at < 0 || std::size_t(at) >= dest.rows[row_idx].size()) {
                values.push_back("<missing>");
                continue;
            }
            values.push_back(e2e_canonical_dest(source.columns[column_idx].dao_type,
                                                dest.rows[row_idx][std::size_t(at)],
                                                dest.nulls[row_idx][std::size_t(at)]));
        }
        rows.push_back(join_row(values));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

const e2e_expectation* find_expectation(const std::vector<e2e_expectation>& expectations,
                                        const std::string& file, const std::string& table,
                                        const std::string& column, const std::string& source,
                                        const std::string& load_path) {
    for (const e2e_expectation& entry : expectations) {
        if (entry.file == file && entry.table == table && entry.column == column
            && entry.source == source && (entry.path == "both" || entry.path == load_path))
            return &entry;
    }
    return nullptr;
}

void report_differences(const std::vector<std::string>& wanted, const std::vector<std::string>& got,
                        e2e_table_report& report) {
    std::vector<std::string> missing, extra;
    std::set_difference(wanted.begin(), wanted.end(), got.begin(), got.end(),
                        std::back_inserter(missing));
    std::set_difference(got.begin(), got.end(), wanted.begin(), wanted.end(),
                        std::back_inserter(extra));
    for (std::size_t idx = 0; idx < missing.size() && idx < 5; ++idx)
        report.problems.push_back("expected row not found: " + missing[idx].substr(0, 400));
    for (std::size_t idx = 0; idx < extra.size() && idx < 5; ++idx)
        report.problems.push_back("unexpected row: " + extra[idx].substr(0, 400));
    if (missing.size() > 5 || extra.size() > 5)
        report.problems.push_back(std::to_string(missing.size()) + " rows missing, "
                                  + std::to_string(extra.size()) + " unexpected in all");
}

}   // namespace

std::string e2e_canonical_source(int dao_type, const std::string& csv_field) {
    if (csv_field.empty()) return "NULL";
    if (csv_field.front() == '"') return "=" + e2e_unquote(csv_field);
    return "=" + canonical_value(dao_type, csv_field);
}

std::string e2e_canonical_dest(int dao_type, const std::string& text, bool b_null) {
    if (b_null) return "NULL";
    if (dao_type == 10 || dao_type == 12 || dao_type == 15) return "=" + text;
    return "=" + canonical_value(dao_type, text);
}

std::vector<e2e_expectation> e2e_read_expectations(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read expectations " + path);
    std::vector<e2e_expectation> result;
    std::string line;
    for (int line_no = 1; std::getline(in, line); ++line_no) {
        if (trim(line).empty() || trim(line)[0] == '#') continue;
        std::vector<std::string> parts = split_bars(line);
        if (parts.size() != 7
            || (parts[4] != "bulk" && parts[4] != "statements" && parts[4] != "both"))
            throw std::runtime_error(path + ":" + std::to_string(line_no)
                                     + ": want file|table|column|source|path|expected|why");
        result.push_back({parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], parts[6]});
    }
    return result;
}

std::vector<e2e_expectation> e2e_default_expectations() {
    return e2e_read_expectations(std::string(VANTREL_SOURCE_DIR)
                                 + "/tests/e2e/e2e_expectations.txt");
}

std::vector<std::string> e2e_canonical_rows(const e2e_table& source, const e2e_table_data& dest) {
    return dest_rows(source, dest, column_map(source, dest));
}

e2e_table_report e2e_compare_table(const std::string& file, const e2e_table& source,
                                   const e2e_table_data& dest,
                                   const std::vector<e2e_expectation>& expectations,
                                   const std::string& load_path) {
    e2e_table_report report;
    std::vector<int> map = column_map(source, dest);
    for (std::size_t idx = 0; idx < source.columns.size(); ++idx)
        if (map[idx] < 0 || dest.columns.at(std::size_t(map[idx])) != source.columns[idx].name)
            report.problems.push_back("column \"" + source.columns[idx].name
                                      + "\" has no destination column of that name");
    if (dest.columns.size() != source.columns.size())
        report.problems.push_back("source has " + std::to_string(source.columns.size())
                                  + " columns, destination " + std::to_string(dest.columns.size()));
    std::vector<std::string> wanted;
    for (const e2e_row& row : source.rows) {
        std::vector<std::string> values;
        for (std::size_t idx = 0; idx < source.columns.size(); ++idx) {
            const e2e_column& column = source.columns[idx];
            std::string value = e2e_canonical_source(column.dao_type,
                                                     idx < row.size() ? row[idx] : "");
            std::string bare = value == "NULL" ? value : value.substr(1);
            if (const e2e_expectation* entry = find_expectation(expectations, file, source.name,
                                                                column.name, bare, load_path)) {
                value = entry->expected;
                ++entry->uses;
            }
            values.push_back(value);
        }
        wanted.push_back(join_row(values));
    }
    std::sort(wanted.begin(), wanted.end());
    if (long(dest.rows.size()) != source.row_count)
        report.problems.push_back("source has " + std::to_string(source.row_count)
                                  + " rows, destination " + std::to_string(dest.rows.size()));
    report_differences(wanted, dest_rows(source, dest, map), report);
    return report;
}
