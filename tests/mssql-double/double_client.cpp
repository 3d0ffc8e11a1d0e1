// double_client.cpp - the tests' db-lib client and process helpers.
#include "double_client.hpp"

#include "mssql-double/double_fixture.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace double_test {
namespace {

// db-lib calls the handler on the thread that made the call: each thread collects its own.
thread_local std::vector<server_message>* collecting = nullptr;

int on_message(DBPROCESS*, DBINT number, int state, int severity, char* text, char*, char*,
               int line) {
    if (collecting) collecting->push_back({number, severity, state, line, text ? text : ""});
    return 0;
}

int on_error(DBPROCESS*, int, int, int, char*, char*) { return INT_CANCEL; }

void init_dblib() {
    static bool done = [] {
        dbinit();
        dbmsghandle(on_message);
        dberrhandle(on_error);
        return true;
    }();
    (void)done;
}

cell read_cell(DBPROCESS* dbproc, int column) {
    cell value;
    BYTE* data = dbdata(dbproc, column);
    DBINT size = dbdatlen(dbproc, column);
    if (!data) {
        value.b_null = true;
        return value;
    }
    value.raw.assign(data, data + size);
    int type = dbcoltype(dbproc, column);
    std::vector<char> text(std::size_t(size) * 4 + 64);
    DBINT written = dbconvert(dbproc, type, data, size, SYBCHAR,
                              reinterpret_cast<BYTE*>(text.data()), DBINT(text.size()));
    if (written >= 0) value.text.assign(text.data(), std::size_t(written));
    while (!value.text.empty() && value.text.back() == '\0') value.text.pop_back();
    return value;
}

}   // namespace

bool batch_result::has_error(int number) const {
    for (const server_message& message : messages)
        if (message.number == number) return true;
    return false;
}

std::string batch_result::first(std::size_t set) const {
    if (set >= sets.size() || sets[set].rows.empty() || sets[set].rows[0].empty()) return "";
    return sets[set].rows[0][0].text;
}

connection::~connection() {
    if (dbproc) dbclose(dbproc);
}

std::unique_ptr<connection> connection::open(int port, const std::string& password,
                                             const std::string& database,
                                             std::vector<server_message>* messages) {
    init_dblib();
    LOGINREC* login = dblogin();
    DBSETLUSER(login, double_fixture::user().c_str());
    DBSETLPWD(login, password.c_str());
    DBSETLCHARSET(login, "UTF-8");
    if (!database.empty()) DBSETLDBNAME(login, database.c_str());
    std::vector<server_message> seen;
    collecting = &seen;
    std::string server = double_fixture::host() + ":" + std::to_string(port);
    DBPROCESS* dbproc = dbopen(login, server.c_str());
    collecting = nullptr;
    dbloginfree(login);
    if (messages) *messages = seen;
    if (!dbproc) return nullptr;
    auto opened = std::unique_ptr<connection>(new connection());
    opened->dbproc = dbproc;
    return opened;
}

batch_result connection::run(const std::string& sql) {
    batch_result result;
    collecting = &result.messages;
    dbcmd(dbproc, sql.c_str());
    if (dbsqlexec(dbproc) == DBLIB_FAIL) result.b_ok = false;
    RETCODE code;
    while ((code = dbresults(dbproc)) != NO_MORE_RESULTS) {
        if (code == DBLIB_FAIL) {
            result.b_ok = false;
            break;
        }
        int columns = dbnumcols(dbproc);
        if (columns > 0) {
            result_set set;
            for (int column = 1; column <= columns; ++column) {
                set.names.push_back(dbcolname(dbproc, column));
                set.types.push_back(dbcoltype(dbproc, column));
            }
            while (dbnextrow(dbproc) != NO_MORE_ROWS) {
                std::vector<cell> row;
                for (int column = 1; column <= columns; ++column)
                    row.push_back(read_cell(dbproc, column));
                set.rows.push_back(std::move(row));
            }
            result.sets.push_back(std::move(set));
        }
        result.counts.push_back(DBCOUNT(dbproc));
    }
    collecting = nullptr;
    return result;
}

int fixture_port() {
    int port = double_fixture::port();
    EXPECT_GT(port, 0) << "the mssql_double fixture is not running";
    return port;
}

std::unique_ptr<connection> fresh_database(const std::string& name) {
    auto admin = connection::open(fixture_port(), double_fixture::password(), "");
    if (!admin) return nullptr;
    batch_result found = admin->run("SELECT name FROM sys.databases WHERE name = N'" + name + "'");
    // A connection to it closed just now may not be gone on the server yet (3702, in use).
    constexpr int DROP_ATTEMPTS = 100;
    for (int attempt = 0; !found.first().empty() && attempt < DROP_ATTEMPTS; ++attempt) {
        if (!admin->run("DROP DATABASE [" + name + "]").has_error(3702)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    batch_result created = admin->run("CREATE DATABASE [" + name + "]");
    EXPECT_TRUE(created.messages.empty()) << created.messages.front().text;
    return connection::open(fixture_port(), double_fixture::password(), name);
}

const char* const ANSI_OPTIONS_ON = "SET ANSI_NULLS, ANSI_PADDING, ANSI_WARNINGS, ARITHABORT, "
                                    "CONCAT_NULL_YIELDS_NULL, QUOTED_IDENTIFIER ON";

std::unique_ptr<connection> fresh_ansi_database(const std::string& name) {
    auto db = fresh_database(name);
    if (db) {
        EXPECT_TRUE(db->run(ANSI_OPTIONS_ON).messages.empty());
    }
    return db;
}

private_double::private_double(const std::vector<std::string>& extra_args) {
    int out[2];
    if (pipe(out) != 0) return;
    pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        std::vector<std::string> args = {std::string(VANTREL_BUILD_DIR) + "/mssql-double",
                                         "--port=0", "--login=sa:Secret1"};
        args.insert(args.end(), extra_args.begin(), extra_args.end());
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    FILE* stream = fdopen(out[0], "r");
    char line[128] = {0};
    if (stream && fgets(line, sizeof line, stream))
        std::sscanf(line, "listening on %d", &listening_port);
    if (stream) fclose(stream);
}

private_double::~private_double() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

std::string run_program(const std::vector<std::string>& argv, const std::string& input,
                        int* exit_status) {
    std::string path = std::string(VANTREL_BUILD_DIR) + "/mssql-double-input-XXXXXX";
    char* input_path = path.data();
    int fd = mkstemp(input_path);
    if (fd < 0) return "";
    bool written = write(fd, input.data(), input.size()) == ssize_t(input.size());
    close(fd);
    if (!written) {
        unlink(input_path);
        return "";
    }
    std::string command;
    for (const std::string& arg : argv) command += "'" + arg + "' ";
    command += std::string("< ") + input_path + " 2>&1";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t got;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
        int status = pclose(pipe);
        if (exit_status) *exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    unlink(input_path);
    return output;
}

std::string freetds_conf(int port) {
    std::string path = std::string(VANTREL_BUILD_DIR) + "/mssql-double-freetds-"
                       + std::to_string(port) + ".conf";
    std::ofstream conf(path);
    conf << "[dbl]\n\thost = 127.0.0.1\n\tport = " << port << "\n\ttds version = 7.4\n";
    return path;
}

}   // namespace double_test
