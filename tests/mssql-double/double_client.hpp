#pragma once
// double_client.hpp - a small db-lib client for the double's tests: connects, runs a batch,
// and keeps every result set (values as text and as the raw bytes db-lib hands over) and
// every server message (number, severity, state, text, line) for the test to compare.
// Also starts private doubles with fault options.

#include <sybdb.h>
#include <sybfront.h>

// db-lib's SUCCEED and FAIL collide with GoogleTest's macros of the same names.
constexpr RETCODE DBLIB_SUCCEED = SUCCEED;
constexpr RETCODE DBLIB_FAIL = FAIL;
#undef SUCCEED
#undef FAIL

#include <memory>
#include <string>
#include <vector>

namespace double_test {

struct server_message {
    int number = 0;
    int severity = 0;
    int state = 0;
    int line = 0;
    std::string text;
};

struct cell {
    bool b_null = false;
    std::string text;                 // db-lib's conversion to character
    std::vector<unsigned char> raw;   // the value as received
};

struct result_set {
    std::vector<std::string> names;
    std::vector<int> types;   // db-lib type codes (SYBINT4, SYBDATETIME, ...)
    std::vector<std::vector<cell>> rows;
};

struct batch_result {
    bool b_ok = true;   // false when dbsqlexec or dbresults failed
    std::vector<result_set> sets;
    std::vector<server_message> messages;
    std::vector<long> counts;   // DBCOUNT after each result, -1 when none
    bool has_error(int number) const;
    std::string first(std::size_t set = 0) const;   // first cell of a set, "" when none
};

class connection {
public:
    ~connection();
    // nullptr when the login failed; `messages` then holds the server's answers.
    static std::unique_ptr<connection> open(int port, const std::string& password,
                                            const std::string& database,
                                            std::vector<server_message>* messages = nullptr);
    batch_result run(const std::string& sql);
    DBPROCESS* handle() { return dbproc; }

private:
    DBPROCESS* dbproc = nullptr;
};

// The port of the fixture's double; fails the calling test when it is not running.
int fixture_port();
// Opens a connection to the fixture's double in a fresh database of this name. The session
// has db-lib's login options: ANSI_NULLS, ANSI_PADDING, ANSI_WARNINGS, ARITHABORT,
// CONCAT_NULL_YIELDS_NULL and QUOTED_IDENTIFIER OFF.
std::unique_ptr<connection> fresh_database(const std::string& name);
// The SET statement a careful db-lib client sends after login: the options filtered indexes
// need (else 1934) and ANSI_WARNINGS, without which over-long text and overflow are lost
// silently.
extern const char* const ANSI_OPTIONS_ON;
// fresh_database, then ANSI_OPTIONS_ON.
std::unique_ptr<connection> fresh_ansi_database(const std::string& name);

// A double of our own, for fault options; stopped with SIGTERM when destroyed.
class private_double {
public:
    explicit private_double(const std::vector<std::string>& extra_args);
    ~private_double();
    int port() const { return listening_port; }

private:
    int pid = -1;
    int listening_port = 0;
};

// Runs a program with `input` on standard input; returns standard output and error.
std::string run_program(const std::vector<std::string>& argv, const std::string& input,
                        int* exit_status = nullptr);
std::string freetds_conf(int port);   // writes a freetds.conf naming server "dbl"

}   // namespace double_test
