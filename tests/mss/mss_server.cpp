// mss_server.cpp - test servers: the configured real one, the fixture's double, or a
// private double this process starts and stops.

#include "mss/mss_server.hpp"

#include "mssql-double/double_fixture.hpp"
#include "tk/tk_utf.hpp"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::u16string wide(const std::string& text) { return tk_utf8_to_utf16(text); }

std::vector<std::string> split_config(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t semicolon = text.find(';', start);
        parts.push_back(text.substr(start, semicolon - start));
        if (semicolon == std::string::npos) return parts;
        start = semicolon + 1;
    }
}

// Waits for the double's "listening on PORT" line in its output file.
int wait_for_port(const std::string& output_path, int pid) {
    constexpr int MAX_TRIES = 200;   // 20 s
    for (int attempt = 0; attempt < MAX_TRIES; ++attempt) {
        if (std::FILE* file = std::fopen(output_path.c_str(), "r")) {
            char line[256];
            int port = 0;
            while (std::fgets(line, sizeof line, file) != nullptr) {
                if (std::sscanf(line, "listening on %d", &port) == 1) break;
            }
            std::fclose(file);
            if (port != 0) return port;
        }
        if (::waitpid(pid, nullptr, WNOHANG) == pid) return 0;   // it ended
        ::usleep(100000);
    }
    return 0;
}

}   // namespace

mss_test_server mss_shared_server() {
    mss_test_server server;
    if (const char* configured = std::getenv("VANTREL_TEST_MSSQL")) {
        const std::vector<std::string> parts = split_config(configured);
        if (parts.size() == 3) {
            server.host = wide(parts[0]);
            server.user = wide(parts[1]);
            server.password = wide(parts[2]);
            server.b_real = true;
        }
        return server;
    }
    const int port = double_fixture::port();
    if (port == 0) return server;
    server.host = wide(double_fixture::host() + "," + std::to_string(port));
    server.user = wide(double_fixture::user());
    server.password = wide(double_fixture::password());
    return server;
}

std::u16string mss_unique_db_name(const std::u16string& stem) {
    static std::atomic<int> counter{0};
    return stem + u"_" + wide(std::to_string(::getpid())) + u"_" + wide(std::to_string(counter++));
}

mss_private_double::mss_private_double(const std::vector<std::string>& options) {
    const std::string program = std::string(VANTREL_BUILD_DIR) + "/mssql-double";
    if (::access(program.c_str(), X_OK) != 0) return;
    char pattern[] = "/tmp/vantrel-double-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return;
    data_dir = pattern;
    const std::string output_path = data_dir + "/stdout";
    const std::string database_dir = data_dir + "/data";
    if (::mkdir(database_dir.c_str(), 0700) != 0) return;
    std::vector<std::string> arguments{program, "--port=0", "--login=sa:Secret1",
                                       "--data-dir=" + database_dir};
    arguments.insert(arguments.end(), options.begin(), options.end());
    pid = ::fork();
    if (pid == 0) {
        if (std::freopen(output_path.c_str(), "w", stdout) == nullptr) ::_exit(126);
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    if (pid > 0) port = wait_for_port(output_path, pid);
}

mss_private_double::~mss_private_double() {
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    if (!data_dir.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(data_dir, ignored);
    }
}

mss_test_server mss_private_double::server() const {
    mss_test_server server;
    if (port == 0) return server;
    server.host = wide("127.0.0.1," + std::to_string(port));
    server.user = u"sa";
    server.password = u"Secret1";
    return server;
}
