// e2e_server.cpp - FreeTDS clients as the independent reader of the destination. They run
// with a freetds.conf of our own (UTF-8 client charset, TDS 7.4) so that non-ASCII names and
// text are not narrowed to the locale's charset on the way back; the password travels only
// on the client's command line, never into a file or a message of ours.
#include "e2e/e2e_server.hpp"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

#include "e2e/e2e_paths.hpp"
#include "mssql-double/double_fixture.hpp"

namespace {

// Terminators for freebcp: control characters alone occur in the test data's text
// (testUnicodeCompV2003, testIndexCodesV1997), these sequences do not.
const std::string FIELD_MARK = "\x1f<|f|>\x1f";
const std::string ROW_MARK = "\x1e<|r|>\x1e";

std::vector<std::string> split(const std::string& text, const std::string& mark) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t at = text.find(mark, start);
        if (at == std::string::npos) break;
        parts.push_back(text.substr(start, at - start));
        start = at + mark.size();
    }
    parts.push_back(text.substr(start));
    return parts;
}

std::vector<std::string> split(const std::string& text, char mark) {
    return split(text, std::string(1, mark));
}

std::string strip_line_end(std::string line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return line;
}

}   // namespace

std::string e2e_server::agent_host() const { return host + "," + std::to_string(port); }
std::string e2e_server::tds_server() const { return host + ":" + std::to_string(port); }

std::optional<e2e_server> e2e_parse_target(const std::string& text) {
    std::vector<std::string> parts = split(text, ';');
    if (parts.size() != 3 || parts[0].empty() || parts[1].empty()) return std::nullopt;
    e2e_server server;
    server.b_double = false;
    server.user = parts[1];
    server.password = parts[2];
    std::size_t comma = parts[0].find(',');
    server.host = parts[0].substr(0, comma);
    if (comma != std::string::npos) {
        std::string port = parts[0].substr(comma + 1);
        char* end = nullptr;
        long value = std::strtol(port.c_str(), &end, 10);
        if (port.empty() || *end || value <= 0 || value > 65535) return std::nullopt;
        server.port = int(value);
    }
    return server.host.empty() ? std::nullopt : std::optional(server);
}

std::optional<e2e_server> e2e_target(std::string& why_not) {
    if (const char* named = std::getenv("VANTREL_TEST_MSSQL")) {
        std::optional<e2e_server> server = e2e_parse_target(named);
        if (!server) why_not = "VANTREL_TEST_MSSQL is not host[,port];user;password";
        return server;
    }
    int port = double_fixture::port();
    if (port <= 0) {
        why_not = "mssql-double is not running (run the suite through ctest)";
        return std::nullopt;
    }
    e2e_server server;
    server.host = double_fixture::host();
    server.port = port;
    server.user = double_fixture::user();
    server.password = double_fixture::password();
    return server;
}

std::string e2e_unique_db(const std::string& hint) {
    static std::atomic<int> counter{0};
    std::string clean;
    for (char ch : hint)
        if (std::isalnum(static_cast<unsigned char>(ch))) clean.push_back(ch);
    return "vt_e2e_" + clean.substr(0, 40) + "_" + std::to_string(::getpid()) + "_"
           + std::to_string(++counter);
}

std::string e2e_bracket(const std::string& name) {
    std::string text = "[";
    for (char ch : name) {
        text.push_back(ch);
        if (ch == ']') text.push_back(']');
    }
    return text + "]";
}

std::string e2e_literal(const std::string& text) {
    std::string literal = "N'";
    for (char ch : text) {
        literal.push_back(ch);
        if (ch == '\'') literal.push_back('\'');
    }
    return literal + "'";
}

e2e_client::e2e_client(const e2e_server& new_server)
    : server(new_server), scratch(std::make_unique<e2e_scratch>("client")) {
    std::ofstream conf(scratch->path + "/freetds.conf");
    conf << "[global]\n\ttds version = 7.4\n\tclient charset = UTF-8\n"
         << "\ttext size = 2147483647\n";
}

e2e_client::~e2e_client() = default;

std::vector<std::string> e2e_client::login_args() const {
    return {"-S", server.tds_server(), "-U", server.user, "-P", server.password};
}

e2e_result e2e_client::sql(const std::string& database, const std::string& batch) const {
    e2e_command command;
    command.args = {e2e_find_program("bsqldb"), "-q", "-t", "\t"};
    for (const std::string& arg : login_args()) command.args.push_back(arg);
    if (!database.empty()) {
        command.args.push_back("-D");
        command.args.push_back(database);
    }
    command.env["FREETDSCONF"] = scratch->path + "/freetds.conf";
    command.input = batch + "\n";
    command.timeout_seconds = 120;
    return e2e_run(command);
}

std::vector<std::vector<std::string>> e2e_client::query(const std::string& database,
                                                        const std::string& batch) const {
    e2e_result result = sql(database, batch);
    if (result.status != 0 || result.err.find("Msg ") != std::string::npos)
        throw std::runtime_error("bsqldb failed on \"" + batch + "\": " + result.both());
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(result.out);
    std::string line;
    while (std::getline(lines, line)) {
        line = strip_line_end(line);
        if (line.empty()) continue;
        rows.push_back(split(line, '\t'));
    }
    return rows;
}

bool e2e_client::database_exists(const std::string& database) const {
    return !query("", "SELECT name FROM sys.databases WHERE name = " + e2e_literal(database))
                .empty();
}

void e2e_client::drop_database(const std::string& database) const {
    if (database_exists(database)) query("", "DROP DATABASE " + e2e_bracket(database));
}

std::vector<std::string> e2e_client::tables(const std::string& database) const {
    std::vector<std::string> names;
    for (const auto& row :
         query(database, "SELECT TABLE_NAME FROM INFORMATION_SCHEMA.TABLES "
                         "WHERE TABLE_TYPE = 'BASE TABLE' ORDER BY TABLE_SCHEMA, TABLE_NAME"))
        names.push_back(row.at(0));
    return names;
}

std::vector<std::string> e2e_client::foreign_keys(const std::string& database) const {
    std::vector<std::string> keys;
    for (const std::string& table : tables(database)) {
        for (const auto& row :
             query(database, "EXEC sp_fkeys @fktable_name = " + e2e_literal(table))) {
            if (row.size() < 12) continue;
            std::string key = row[6] + "." + row[11];   // FKTABLE_NAME.FK_NAME
            if (keys.empty() || keys.back() != key) keys.push_back(key);
        }
    }
    return keys;
}

std::vector<e2e_dest_index> e2e_client::indexes(const std::string& database,
                                                const std::string& table) const {
    std::vector<e2e_dest_index> found;
    for (const auto& row :
         query(database, "EXEC sp_statistics @table_name = " + e2e_literal(table))) {
        // NON_UNIQUE 3, INDEX_NAME 5, TYPE 6 (0: the table's own statistics), COLUMN_NAME 8
        if (row.size() < 9 || row[6] == "0") continue;
        if (found.empty() || found.back().name != row[5]) {
            found.push_back(e2e_dest_index{row[5], row[3] == "0", {}});
        }
        found.back().columns.push_back(row[8]);
    }
    return found;
}

std::vector<e2e_dest_key> e2e_client::keys_of(const std::string& database,
                                              const std::string& table) const {
    std::vector<e2e_dest_key> keys;
    for (const auto& row : query(database, "EXEC sp_fkeys @fktable_name = " + e2e_literal(table))) {
        // PKTABLE_NAME 2, FKTABLE_NAME 6, UPDATE_RULE 9, DELETE_RULE 10, FK_NAME 11
        if (row.size() < 12) continue;
        if (!keys.empty() && keys.back().name == row[11]) continue;
        keys.push_back(e2e_dest_key{row[11], row[6], row[2], std::atoi(row[9].c_str()),
                                    std::atoi(row[10].c_str())});
    }
    return keys;
}

long e2e_client::count(const std::string& database, const std::string& table) const {
    auto rows = query(database, "SELECT COUNT(*) FROM " + e2e_bracket(table));
    if (rows.empty() || rows[0].empty()) throw std::runtime_error("no count for table " + table);
    return std::atol(rows[0][0].c_str());
}

e2e_table_data e2e_client::read_table(const std::string& database, const std::string& table) const {
    e2e_table_data data;
    for (const auto& row :
         query(database,
               "SELECT COLUMN_NAME, DATA_TYPE FROM INFORMATION_SCHEMA.COLUMNS WHERE TABLE_NAME = "
                   + e2e_literal(table) + " ORDER BY ORDINAL_POSITION")) {
        data.columns.push_back(row.at(0));
        data.types.push_back(row.size() > 1 ? row[1] : "");
    }
    std::string file = scratch->path + "/rows.bcp";
    e2e_command command;
    command.args = {e2e_find_program("freebcp"),
                    database + ".dbo." + e2e_bracket(table),
                    "out",
                    file,
                    "-c",
                    "-t",
                    FIELD_MARK,
                    "-r",
                    ROW_MARK,
                    "-C",
                    "UTF-8",
                    "-T",
                    "2147483647"};   // freebcp cuts long text at 4096 bytes
    for (const std::string& arg : login_args()) command.args.push_back(arg);
    command.env["FREETDSCONF"] = scratch->path + "/freetds.conf";
    e2e_result result = e2e_run(command);
    if (result.status != 0)
        throw std::runtime_error("freebcp out of " + table + " failed: " + result.both());
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> records = split(bytes, ROW_MARK);
    records.pop_back();   // what follows the last row's mark
    for (const std::string& record : records) {
        std::vector<std::string> fields = split(record, FIELD_MARK);
        std::vector<bool> nulls;
        for (std::string& field : fields) {
            // bcp's character format writes NULL as nothing and an empty string as one NUL.
            nulls.push_back(field.empty());
            if (field == std::string(1, '\0')) field.clear();
        }
        data.rows.push_back(fields);
        data.nulls.push_back(nulls);
    }
    return data;
}
