#include "dump/dump_readers.hpp"

#include <cstdio>
#include <map>
#include <memory>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "platform/jet/jet_test_files.hpp"
#include "platform/jet/jet_text.hpp"
#include "platform/jet/jet_value_text.hpp"

std::string dump_run(const std::string& command, int* status) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    int result = ::pclose(pipe);
    if (status) *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return output;
}

bool dump_has_program(const std::string& name) {
    int status = 0;
    dump_run("command -v " + name + " >/dev/null 2>&1", &status);
    return status == 0;
}

std::string dump_shell_quote(const std::string& text) {
    std::string quoted = "'";
    for (char ch : text) {
        if (ch == '\'') quoted += "'\\''";
        else quoted += ch;
    }
    return quoted + "'";
}

std::vector<dump_record> dump_split_csv(const std::string& text) {
    std::vector<dump_record> records;
    dump_record record;
    std::string field;
    bool quoted = false;
    bool any = false;
    for (char ch : text) {
        if (ch == '"') quoted = !quoted;   // "" inside a field toggles twice
        if (!quoted && (ch == ',' || ch == '\n')) {
            record.push_back(field);
            field.clear();
            if (ch == '\n') {
                records.push_back(record);
                record.clear();
            }
            any = false;
            continue;
        }
        field += ch;
        any = true;
    }
    if (any || !record.empty()) {
        record.push_back(field);
        records.push_back(record);
    }
    return records;
}

std::vector<dump_record> dump_split_plain(const std::string& text, char field_separator,
                                          char record_separator) {
    std::vector<dump_record> records;
    dump_record record;
    std::string field;
    for (char ch : text) {
        if (ch == field_separator || ch == record_separator) {
            record.push_back(field);
            field.clear();
            if (ch == record_separator) {
                records.push_back(record);
                record.clear();
            }
            continue;
        }
        field += ch;
    }
    if (!field.empty() || !record.empty()) {
        record.push_back(field);
        records.push_back(record);
    }
    return records;
}

std::vector<dump_record> dump_engine_rows(const jet_database& db, const std::u16string& table) {
    std::vector<dump_record> rows;
    auto cursor = db.open_cursor(table);
    while (cursor->next()) {
        dump_record row;
        for (const jet_value& value : cursor->values()) row.push_back(jet_value_to_csv(value));
        rows.push_back(row);
    }
    return rows;
}

std::vector<dump_section> dump_sections(const std::string& output) {
    std::vector<dump_section> sections;
    const std::string marker = "[table \"";
    std::size_t at = 0;
    while ((at = output.find(marker, at)) != std::string::npos) {
        if (at != 0 && output[at - 1] != '\n') {
            at += marker.size();
            continue;
        }
        std::size_t name_end = output.find("\"]\n", at);
        if (name_end == std::string::npos) break;
        dump_section section;
        std::string quoted = output.substr(at + marker.size(), name_end - at - marker.size());
        for (std::size_t pos = 0; pos < quoted.size(); ++pos) {
            section.name += quoted[pos];
            if (quoted[pos] == '"' && pos + 1 < quoted.size() && quoted[pos + 1] == '"') ++pos;
        }
        std::size_t body = name_end + 3;
        std::size_t next = output.find("\n" + marker, body - 1);
        section.text = output.substr(body, next == std::string::npos ? std::string::npos
                                                                     : next + 1 - body);
        sections.push_back(section);
        at = body;
    }
    return sections;
}

std::size_t dump_for_each_plain_file(
    const std::function<void(const jet_database& db, const std::string& path)>& check) {
    std::size_t compared = 0;
    for (const std::string& relative : jet_all_test_databases()) {
        SCOPED_TRACE(relative);
        std::unique_ptr<jet_database> db;
        try {
            db = jet_database::open(jet_testdata(relative));
        } catch (const jet_error& error) {
            if (error.dao_number() != JET_ERR_PASSWORD) throw;
            continue;
        }
        check(*db, jet_testdata(relative));
        ++compared;
    }
    return compared;
}

bool dump_is_system_name(const std::string& name) {
    return name.rfind("MSys", 0) == 0 || name.rfind("msys", 0) == 0 || name.rfind("~", 0) == 0;
}

std::vector<dump_record> dump_in_our_order(const std::vector<dump_record>& ours,
                                           const std::vector<dump_record>& theirs) {
    std::map<std::string, const dump_record*> by_key;
    for (const dump_record& row : theirs)
        if (row.empty() || !by_key.emplace(row[0], &row).second) return theirs;
    std::vector<dump_record> ordered;
    for (const dump_record& row : ours) {
        auto found = row.empty() ? by_key.end() : by_key.find(row[0]);
        if (found == by_key.end()) return theirs;
        ordered.push_back(*found->second);
    }
    return ordered;
}

std::string dump_unquote(const std::string& field) {
    if (field.size() < 2 || field.front() != '"' || field.back() != '"') return field;
    std::string text;
    for (std::size_t at = 1; at + 1 < field.size(); ++at) {
        text += field[at];
        if (field[at] == '"' && field[at + 1] == '"') ++at;
    }
    return text;
}
