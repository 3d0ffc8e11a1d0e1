#pragma once
// e2e_server.hpp - the SQL Server the suite converts into, and the independent way to read
// it back: FreeTDS's own clients (bsqldb for statements, freebcp for rows), never our code.
//
// The server is the CTest fixture's mssql-double, or a real SQL Server when the environment
// names one: VANTREL_TEST_MSSQL="host[,port];user;password".

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "e2e/e2e_paths.hpp"
#include "e2e/e2e_process.hpp"

struct e2e_server {
    std::string host = "127.0.0.1";
    int port = 1433;
    std::string user;
    std::string password;
    bool b_double = true;

    std::string agent_host() const;   // "host,port" as the agent's --mssqlh= takes it
    std::string tds_server() const;   // "host:port" as FreeTDS's clients take it
};

// The server of this run, or nothing with the reason (no fixture, bad variable).
std::optional<e2e_server> e2e_target(std::string& why_not);
// Parses "host[,port];user;password"; nothing when malformed.
std::optional<e2e_server> e2e_parse_target(const std::string& text);

// A database name no other test of this run uses: prefix, process id and a counter.
std::string e2e_unique_db(const std::string& hint);

// A SQL name in brackets, ] doubled; a N'...' literal, ' doubled.
std::string e2e_bracket(const std::string& name);
std::string e2e_literal(const std::string& text);

struct e2e_table_data {
    std::vector<std::string> columns;             // destination column names, in order
    std::vector<std::string> types;               // their DATA_TYPE
    std::vector<std::vector<std::string>> rows;   // text as freebcp writes it
    std::vector<std::vector<bool>> nulls;         // true where the value is NULL
};

// One index of a destination table as sp_statistics lists it, and one foreign key as
// sp_fkeys does (rules: 0 cascade, 1 no action, as ODBC numbers them).
struct e2e_dest_index {
    std::string name;
    bool b_unique = false;
    std::vector<std::string> columns;
};
struct e2e_dest_key {
    std::string name;
    std::string table;
    std::string referenced_table;
    int update_rule = 1;
    int delete_rule = 1;
};

class e2e_client {
public:
    explicit e2e_client(const e2e_server& server);
    ~e2e_client();
    e2e_client(const e2e_client&) = delete;
    e2e_client& operator=(const e2e_client&) = delete;

    // Runs a batch in a database (empty: the login's default); rows as tab-separated lines.
    e2e_result sql(const std::string& database, const std::string& batch) const;
    // Like sql(), but throws std::runtime_error with the output when the client fails.
    std::vector<std::vector<std::string>> query(const std::string& database,
                                                const std::string& batch) const;
    bool database_exists(const std::string& database) const;
    void drop_database(const std::string& database) const;
    std::vector<std::string> tables(const std::string& database) const;
    std::vector<std::string> foreign_keys(const std::string& database) const;   // "T.FK"
    std::vector<e2e_dest_index> indexes(const std::string& database,
                                        const std::string& table) const;
    std::vector<e2e_dest_key> keys_of(const std::string& database, const std::string& table) const;
    long count(const std::string& database, const std::string& table) const;
    e2e_table_data read_table(const std::string& database, const std::string& table) const;

private:
    std::vector<std::string> login_args() const;

    e2e_server server;
    std::unique_ptr<e2e_scratch> scratch;   // the clients' freetds.conf (no password in it)
};
