// e2e_progress_test.cpp - the agent's live progress line as a person sees it. On a terminal
// (a pseudo-terminal here) a line of rows done appears under "Converting table X(n records)",
// drawn in place and erased before anything else is written, so the rest of the output is
// exactly what a pipe gets; a pipe, a redirected file and --silent get none of it.
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <regex>

#include "e2e/e2e_case.hpp"

namespace {

constexpr const char* SOURCE = "mdbtools-mdbtestdata/nwind.mdb";

struct terminal_result {
    int status = -1;
    std::string text;   // standard output and error as the terminal received them
};

// Runs the agent with standard output and error on a new pseudo-terminal.
terminal_result run_on_terminal(const std::vector<std::string>& options) {
    std::vector<std::string> args{e2e_paths::agent()};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    terminal_result result;
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child < 0) return result;
    if (child == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(terminal, buffer, sizeof buffer);
        if (got > 0) {
            result.text.append(buffer, static_cast<std::size_t>(got));
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            break;   // EIO once the child has closed the terminal
        }
    }
    int raw = 0;
    waitpid(child, &raw, 0);
    close(terminal);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

// What stays on the screen: every drawing and erasing of the line taken out, and the
// terminal's line ends made plain.
std::string without_progress(const std::string& text) {
    const std::string plain = std::regex_replace(text, std::regex("\r[^\r\n]*\x1b\\[K"), "");
    return std::regex_replace(plain, std::regex("\r\n"), "\n");
}

class AgentProgress : public E2eCase {
protected:
    std::string fresh_db(const std::string& hint) {
        std::string db = e2e_unique_db(hint);
        guards.push_back(std::make_unique<e2e_database_guard>(*client, db));
        return db;
    }

    std::vector<std::unique_ptr<e2e_database_guard>> guards;
};

}   // namespace

TEST_F(AgentProgress, OnATerminalTheLineIsDrawnUnderItsTableAndLeavesNothingBehind) {
    const e2e_result piped = e2e_run_agent(agent_args(SOURCE, fresh_db("progress_pipe")));
    ASSERT_EQ(piped.status, 0) << piped.both();
    EXPECT_EQ(piped.out.find('\x1b'), std::string::npos) << piped.out;
    EXPECT_EQ(piped.out.find(" rows/s"), std::string::npos) << piped.out;
    EXPECT_EQ(piped.out.find('\r'), std::string::npos) << piped.out;

    const terminal_result shown = run_on_terminal(agent_args(SOURCE, fresh_db("progress_tty")));
    ASSERT_EQ(shown.status, 0) << shown.text;
    // The first row draws the line at once, under its table's line (830 orders in nwind).
    EXPECT_NE(shown.text.find("Converting table Orders(830 records)\r\n\r1 of 830 rows\x1b[K"),
              std::string::npos)
        << shown.text;
    // Erased before the next table's line.
    EXPECT_NE(shown.text.find("\r\x1b[KConverting table Products("), std::string::npos)
        << shown.text;
    EXPECT_EQ(without_progress(shown.text), piped.out);

    std::vector<std::string> quiet = agent_args(SOURCE, fresh_db("progress_silent"));
    quiet.push_back("--silent");
    const terminal_result silent = run_on_terminal(quiet);
    ASSERT_EQ(silent.status, 0) << silent.text;
    EXPECT_EQ(silent.text, "");
}
