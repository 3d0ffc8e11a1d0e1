// e2e_source.cpp - a reader for vantreldump's output. Text values may hold line breaks, so the
// output is first cut into logical lines, a line break inside quotes staying inside the line.
#include "e2e/e2e_source.hpp"

#include <cstdlib>
#include <stdexcept>

#include "e2e/e2e_paths.hpp"

namespace {

std::vector<std::string> logical_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    bool b_in_quotes = false;
    for (char ch : text) {
        if (ch == '"') b_in_quotes = !b_in_quotes;
        if (ch == '\n' && !b_in_quotes) {
            lines.push_back(line);
            line.clear();
            continue;
        }
        line.push_back(ch);
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

bool starts_with(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The quoted name that starts at `at`; `at` moves past it.
std::string quoted_at(const std::string& line, std::size_t& at) {
    if (at >= line.size() || line[at] != '"')
        throw std::runtime_error("expected a quoted name in: " + line);
    std::string name;
    for (++at; at < line.size(); ++at) {
        if (line[at] != '"') {
            name.push_back(line[at]);
        } else if (at + 1 < line.size() && line[at + 1] == '"') {
            name.push_back('"');
            ++at;
        } else {
            ++at;
            return name;
        }
    }
    throw std::runtime_error("unterminated name in: " + line);
}

std::vector<std::string> quoted_list_at(const std::string& line, std::size_t& at) {
    std::vector<std::string> names;
    while (at < line.size() && line[at] == '"') {
        names.push_back(quoted_at(line, at));
        if (at < line.size() && line[at] == ',') ++at;
    }
    return names;
}

std::string attribute(const std::string& line, const std::string& key) {
    std::size_t at = line.find(" " + key + "=");
    if (at == std::string::npos) return "";
    at += key.size() + 2;
    return line.substr(at, line.find(' ', at) - at);
}

void parse_catalogue_line(const std::string& line, e2e_source& source) {
    std::size_t at = 6;
    e2e_table table;
    table.name = quoted_at(line, at);
    table.b_local = line.compare(at, 7, " local ") == 0;
    table.b_system = line.find(" system attributes=", at) != std::string::npos;
    source.tables.push_back(table);
}

e2e_table& table_named(e2e_source& source, const std::string& name) {
    for (e2e_table& table : source.tables)
        if (table.name == name) return table;
    source.tables.emplace_back();
    source.tables.back().name = name;
    return source.tables.back();
}

void parse_column_line(const std::string& line, e2e_table& table) {
    std::size_t at = 7;
    e2e_column column;
    column.name = quoted_at(line, at);
    column.dao_type = std::atoi(attribute(line, "type").c_str());
    table.columns.push_back(column);
}

void parse_index_line(const std::string& line, e2e_table& table) {
    std::size_t at = 6;
    e2e_index index;
    index.name = quoted_at(line, at);
    index.b_primary = attribute(line, "primary") == "1";
    index.b_unique = attribute(line, "unique") == "1";
    at = line.find(" columns=", at);
    if (at == std::string::npos) throw std::runtime_error("bad index: " + line);
    at += 9;
    index.columns = quoted_list_at(line, at);
    table.indexes.push_back(index);
}

void parse_relationship_line(const std::string& line, e2e_source& source) {
    std::size_t at = 13;
    e2e_relationship rel;
    rel.name = quoted_at(line, at);
    ++at;
    rel.table = quoted_at(line, at);
    ++at;   // '('
    rel.columns = quoted_list_at(line, at);
    at = line.find(" -> ", at);
    if (at == std::string::npos) throw std::runtime_error("bad relationship: " + line);
    at += 4;
    rel.referenced_table = quoted_at(line, at);
    ++at;
    rel.referenced_columns = quoted_list_at(line, at);
    rel.flags = std::strtoul(attribute(line, "flags").c_str(), nullptr, 16);
    source.relationships.push_back(rel);
}

// The header at `at`, then rows up to "end rows <count>"; the index of that last line.
std::size_t parse_rows(const std::vector<std::string>& lines, std::size_t at, e2e_table& table) {
    for (++at; at < lines.size() && !starts_with(lines[at], "end rows "); ++at)
        table.rows.push_back(e2e_split_record(lines[at]));
    if (at >= lines.size()) throw std::runtime_error("rows of table " + table.name + " cut off");
    table.row_count = std::atol(lines[at].c_str() + 9);
    if (table.row_count != long(table.rows.size()))
        throw std::runtime_error("table " + table.name + ": " + std::to_string(table.rows.size())
                                 + " rows printed, " + lines[at]);
    return at;
}

}   // namespace

const e2e_table* e2e_source::find(const std::string& name) const {
    for (const e2e_table& table : tables)
        if (table.name == name) return &table;
    return nullptr;
}

std::vector<const e2e_table*> e2e_source::user_tables() const {
    std::vector<const e2e_table*> result;
    for (const e2e_table& table : tables)
        if (table.b_local && !table.b_system) result.push_back(&table);
    return result;
}

e2e_row e2e_split_record(const std::string& line) {
    e2e_row fields;
    std::string field;
    bool b_in_quotes = false;
    for (char ch : line) {
        if (ch == '"') b_in_quotes = !b_in_quotes;
        if (ch == ',' && !b_in_quotes) {
            fields.push_back(field);
            field.clear();
            continue;
        }
        field.push_back(ch);
    }
    if (b_in_quotes) throw std::runtime_error("unterminated quote in record: " + line);
    fields.push_back(field);
    return fields;
}

std::string e2e_unquote(const std::string& field) {
    if (field.size() < 2 || field.front() != '"' || field.back() != '"') return field;
    std::string text;
    for (std::size_t idx = 1; idx + 1 < field.size(); ++idx) {
        text.push_back(field[idx]);
        if (field[idx] == '"') ++idx;
    }
    return text;
}

e2e_source e2e_parse_dump(const std::string& output) {
    e2e_source source;
    std::vector<std::string> lines = logical_lines(output);
    e2e_table* current = nullptr;
    for (std::size_t line_idx = 0; line_idx < lines.size(); ++line_idx) {
        const std::string& line = lines[line_idx];
        if (starts_with(line, "table \"")) {
            parse_catalogue_line(line, source);
        } else if (starts_with(line, "[table \"")) {
            std::size_t at = 7;
            std::string name = quoted_at(line, at);
            current = &table_named(source, name);
        } else if (current && starts_with(line, "column \"")) {
            parse_column_line(line, *current);
        } else if (current && starts_with(line, "index \"")) {
            parse_index_line(line, *current);
        } else if (current && line == "rows") {
            line_idx = parse_rows(lines, line_idx + 1, *current);
        } else if (starts_with(line, "relationship \"")) {
            parse_relationship_line(line, source);
        } else {
            throw std::runtime_error("unexpected dump line " + std::to_string(line_idx + 1) + ": "
                                     + line.substr(0, 200));
        }
    }
    return source;
}

e2e_result e2e_run_dump(const std::string& file, const e2e_source_options& options) {
    e2e_command command;
    command.args = {e2e_paths::dump(), file};
    if (!options.password.empty()) command.args.push_back("--accp=" + options.password);
    if (!options.system_db.empty()) {
        command.args.push_back("--sysdb=" + options.system_db);
        command.args.push_back("--uglu=" + options.user);
        command.args.push_back("--uglp=" + options.user_password);
    }
    return e2e_run(command);
}
