// main.cpp - mssql-double: a SQL Server test double that speaks TDS 7.4 and keeps its
// databases in SQLite. Prints "listening on PORT" when ready; SIGTERM stops it cleanly.
#include "dbl_connection.hpp"
#include "dbl_options.hpp"

#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stop_requested = 0;

void on_signal(int) { stop_requested = 1; }

int listen_on(const dbl_options& options, int& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(options.port));
    if (inet_pton(AF_INET, options.bind.c_str(), &address.sin_addr) != 1
        || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(fd, 64) != 0) {
        ::close(fd);
        return -1;
    }
    socklen_t size = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    port = ntohs(address.sin_port);
    return fd;
}

}   // namespace

int main(int argc, char** argv) {
    // Nobody reads SQLite's memory figures, and keeping them takes a global lock at every
    // allocation: a bulk row made several.
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    dbl_options options;
    try {
        options = dbl_parse_options(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "mssql-double: %s\n%s", error.what(), DBL_USAGE);
        return 2;
    }
    if (!options.data_dir.empty()) ::mkdir(options.data_dir.c_str(), 0700);
    std::unique_ptr<dbl_server> server;
    try {
        server = std::make_unique<dbl_server>(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "mssql-double: cannot open the data: %s\n", error.what());
        return 1;
    }
    int port = 0;
    int listener = listen_on(options, port);
    if (listener < 0) {
        std::perror("mssql-double: cannot listen");
        return 1;
    }
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    std::printf("listening on %d\n", port);
    std::fflush(stdout);
    while (!stop_requested) {
        pollfd waiting{listener, POLLIN, 0};
        if (::poll(&waiting, 1, 200) <= 0) continue;
        int client = ::accept(listener, nullptr, nullptr);
        if (client < 0) continue;
        int yes = 1;
        setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        std::thread(dbl_serve_connection, std::ref(*server), client).detach();
    }
    ::close(listener);
    // Connections still open end with the process; every statement they ran is committed,
    // and taking the lock waits for the one that is running now.
    std::scoped_lock guard(server->lock());
    std::_Exit(0);
}
