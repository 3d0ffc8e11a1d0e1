#include "make/make_options.hpp"

#include <charconv>
#include <stdexcept>

#include "platform/winbase/win_codepage.hpp"

const char* const MAKE_USAGE =
    "usage: vantrelmake FILE.mdb|FILE.accdb (--table=NAME COLUMN... [INDEX...] "
    "[--rows=N | --csv=FILE])...\n"
    "  --column=NAME:TYPE[:SIZE][:required][:autonumber][:default=EXPRESSION]\n"
    "      TYPE yesno byte integer long single double currency datetime text memo binary\n"
    "      ole guid decimal; SIZE: text and binary length, decimal PRECISION.SCALE\n"
    "  --index=NAME:COLUMN[-][,COLUMN[-]...][:primary|:unique]   (- descending)\n"
    "  --rows=N     N generated rows (NULLs, several scripts, long values over pages)\n"
    "  --csv=FILE   rows from CSV as vantreldump prints them: a header line, then one\n"
    "               line per row (empty field NULL, \"\" empty text, 0x.. binary)\n";

namespace {

struct type_name {
    const char* name;
    std::uint8_t type_code;
};

constexpr type_name TYPES[] = {
    {"yesno", JET_TYPE_BOOLEAN},     {"byte", JET_TYPE_BYTE},         {"integer", JET_TYPE_INT16},
    {"long", JET_TYPE_INT32},        {"single", JET_TYPE_FLOAT32},    {"double", JET_TYPE_FLOAT64},
    {"currency", JET_TYPE_CURRENCY}, {"datetime", JET_TYPE_DATETIME}, {"text", JET_TYPE_TEXT},
    {"memo", JET_TYPE_MEMO},         {"binary", JET_TYPE_BINARY},     {"ole", JET_TYPE_OLE},
    {"guid", JET_TYPE_GUID},         {"decimal", JET_TYPE_NUMERIC}};

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at = 0; at <= text.size(); ++at) {
        if (at < text.size() && text[at] != separator) continue;
        parts.push_back(text.substr(from, at - from));
        from = at + 1;
    }
    return parts;
}

unsigned number(const std::string& text, const std::string& option) {
    unsigned value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        throw std::invalid_argument("not a number in " + option);
    return value;
}

jet_new_column parse_column(const std::string& value) {
    std::vector<std::string> parts = split(value, ':');
    if (parts.size() < 2) throw std::invalid_argument("--column needs NAME:TYPE");
    jet_new_column column;
    column.name = win_utf8_to_utf16(parts[0]);
    const type_name* found = nullptr;
    for (const type_name& type : TYPES)
        if (parts[1] == type.name) found = &type;
    if (!found) throw std::invalid_argument("unknown column type " + parts[1]);
    column.type_code = found->type_code;
    if (column.type_code == JET_TYPE_TEXT || column.type_code == JET_TYPE_BINARY)
        column.length = 255;
    for (std::size_t part_idx = 2; part_idx < parts.size(); ++part_idx) {
        const std::string& part = parts[part_idx];
        if (part == "required") {
            column.is_required = true;
        } else if (part == "autonumber") {
            column.is_autonumber = true;
        } else if (part.rfind("default=", 0) == 0) {
            column.default_value = win_utf8_to_utf16(part.substr(8));
        } else if (column.type_code == JET_TYPE_NUMERIC) {
            std::vector<std::string> shape = split(part, '.');
            column.precision = std::uint8_t(number(shape[0], "--column"));
            column.scale = std::uint8_t(shape.size() > 1 ? number(shape[1], "--column") : 0);
        } else {
            column.length = std::uint16_t(number(part, "--column"));
        }
    }
    return column;
}

jet_new_index parse_index(const std::string& value) {
    std::vector<std::string> parts = split(value, ':');
    if (parts.size() < 2) throw std::invalid_argument("--index needs NAME:COLUMNS");
    jet_new_index index;
    index.name = win_utf8_to_utf16(parts[0]);
    for (std::string key : split(parts[1], ',')) {
        bool descending = !key.empty() && key.back() == '-';
        if (descending) key.pop_back();
        index.columns.push_back({win_utf8_to_utf16(key), !descending});
    }
    for (std::size_t part_idx = 2; part_idx < parts.size(); ++part_idx) {
        if (parts[part_idx] == "primary") index.is_primary = true;
        else if (parts[part_idx] == "unique") index.is_unique = true;
        else throw std::invalid_argument("unknown index flag " + parts[part_idx]);
    }
    return index;
}

make_table& current(make_options& options, const std::string& option) {
    if (options.tables.empty()) throw std::invalid_argument(option + " before --table");
    return options.tables.back();
}

}   // namespace

make_options make_parse_options(const std::vector<std::string>& arguments) {
    make_options options;
    for (const std::string& argument : arguments) {
        std::size_t equals = argument.find('=');
        std::string key = argument.substr(0, equals);
        std::string value = equals == std::string::npos ? "" : argument.substr(equals + 1);
        if (argument.rfind("--", 0) != 0) {
            if (!options.file.empty()) throw std::invalid_argument("a second file " + argument);
            options.file = argument;
        } else if (key == "--table") {
            options.tables.emplace_back();
            options.tables.back().table.name = win_utf8_to_utf16(value);
        } else if (key == "--column") {
            current(options, key).table.columns.push_back(parse_column(value));
        } else if (key == "--index") {
            current(options, key).table.indexes.push_back(parse_index(value));
        } else if (key == "--rows") {
            current(options, key).generated_rows = number(value, key);
        } else if (key == "--csv") {
            current(options, key).csv = value;
        } else {
            throw std::invalid_argument("unknown option " + argument);
        }
    }
    if (options.file.empty()) throw std::invalid_argument("no file to write");
    return options;
}
