// e2e_process.cpp - fork/exec with three pipes, read by poll() until both output pipes close,
// so a child that fills one pipe while we wait on the other cannot dead-lock us.
#include "e2e/e2e_process.hpp"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct pipe_pair {
    int fds[2] = {-1, -1};
    pipe_pair() {
        if (::pipe2(fds, O_CLOEXEC) != 0) fds[0] = fds[1] = -1;
    }
    ~pipe_pair() { close_both(); }
    void close_read() { close_one(0); }
    void close_write() { close_one(1); }
    void close_both() {
        close_one(0);
        close_one(1);
    }
    void close_one(int idx) {
        if (fds[idx] >= 0) ::close(fds[idx]);
        fds[idx] = -1;
    }
};

std::vector<std::string> merged_environment(const std::map<std::string, std::string>& extra) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry; ++entry) {
        std::string text = *entry;
        std::string name = text.substr(0, text.find('='));
        if (!extra.count(name)) result.push_back(text);
    }
    for (const auto& [name, value] : extra) result.push_back(name + "=" + value);
    return result;
}

std::vector<char*> pointers_to(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

[[noreturn]] void exec_child(const e2e_command& command, pipe_pair& in, pipe_pair& out,
                             pipe_pair& err) {
    ::dup2(in.fds[0], 0);
    ::dup2(out.fds[1], 1);
    ::dup2(err.fds[1], 2);
    std::vector<std::string> args = command.args;
    std::vector<std::string> env = merged_environment(command.env);
    std::vector<char*> argv = pointers_to(args);
    std::vector<char*> envp = pointers_to(env);
    ::execve(argv[0], argv.data(), envp.data());
    std::string message = "cannot start " + command.args[0] + ": " + std::strerror(errno) + "\n";
    (void)!::write(2, message.data(), message.size());
    ::_exit(127);
}

// Feeds the input and drains both outputs until they close or the deadline passes.
bool pump(const e2e_command& command, pipe_pair& in, pipe_pair& out, pipe_pair& err,
          e2e_result& result) {
    auto deadline = std::chrono::steady_clock::now()
                    + std::chrono::seconds(command.timeout_seconds);
    std::size_t written = 0;
    if (command.input.empty()) in.close_write();
    while (out.fds[0] >= 0 || err.fds[0] >= 0) {
        pollfd fds[3] = {{out.fds[0], POLLIN, 0}, {err.fds[0], POLLIN, 0}, {in.fds[1], POLLOUT, 0}};
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) return false;
        if (::poll(fds, 3, int(std::min<long long>(left, 1000))) < 0 && errno != EINTR)
            return false;
        char buffer[65536];
        for (int idx = 0; idx < 2; ++idx) {
            if (!(fds[idx].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            pipe_pair& source = idx == 0 ? out : err;
            ssize_t got = ::read(source.fds[0], buffer, sizeof buffer);
            if (got > 0) (idx == 0 ? result.out : result.err).append(buffer, std::size_t(got));
            else if (got == 0 || errno != EINTR) source.close_read();
        }
        if (fds[2].revents & (POLLOUT | POLLERR | POLLHUP)) {
            ssize_t put = ::write(in.fds[1], command.input.data() + written,
                                  command.input.size() - written);
            if (put > 0) written += std::size_t(put);
            if (put < 0 || written == command.input.size()) in.close_write();
        }
    }
    return true;
}

}   // namespace

e2e_result e2e_run(const e2e_command& command) {
    e2e_result result;
    pipe_pair in, out, err;
    std::signal(SIGPIPE, SIG_IGN);
    pid_t pid = ::fork();
    if (pid < 0) {
        result.err = "fork failed";
        return result;
    }
    if (pid == 0) exec_child(command, in, out, err);
    in.close_read();
    out.close_write();
    err.close_write();
    if (!pump(command, in, out, err, result)) {
        ::kill(pid, SIGKILL);
        result.b_timed_out = true;
    }
    int wait_status = 0;
    while (::waitpid(pid, &wait_status, 0) < 0 && errno == EINTR) {}
    if (!result.b_timed_out && WIFEXITED(wait_status)) result.status = WEXITSTATUS(wait_status);
    return result;
}

std::string e2e_find_program(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return "";
}
