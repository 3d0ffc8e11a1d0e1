// wiz_xvfb_test.cpp - one whole run of vantrelwiz in a real X window: Xvfb on a display of its
// own, the xcb platform, real key presses from xdotool through all seven pages, Northwind into
// the test server, and every value of the destination checked as the end-to-end tests do.
// A screenshot of every page and dialog is saved in build/wiz-screenshots (the README's
// pictures in docs/screenshots come from here).
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "e2e/e2e_agent.hpp"
#include "e2e/e2e_compare.hpp"
#include "e2e/e2e_paths.hpp"
#include "e2e/e2e_server.hpp"
#include "e2e/e2e_source.hpp"
#include "test_data.hpp"

extern char** environ;

namespace {

constexpr const char* NORTHWIND = "npsmith88-NorthwindDatabaseQueryTool/Northwind.mdb";
constexpr const char* FRENCH_ORDERS = "French orders";
constexpr const char* FRENCH_ORDERS_SQL = "SELECT * FROM Orders WHERE ShipCountry = 'France'";

// Rows of a table whose column holds the text `value` (vantreldump quotes text).
long count_rows_with(const e2e_table& table, const std::string& column, const std::string& value) {
    std::size_t column_idx = 0;
    while (column_idx < table.columns.size() && table.columns[column_idx].name != column) {
        ++column_idx;
    }
    long count = 0;
    for (const e2e_row& row : table.rows) {
        if (column_idx < row.size() && row[column_idx] == "\"" + value + "\"") ++count;
    }
    return count;
}

// A child that runs beside the test and is ended with it.
class background_process {
public:
    // Descriptors made by pipe() without O_CLOEXEC are inherited (Xvfb's -displayfd).
    background_process(std::vector<std::string> args, const std::vector<std::string>& extra_env) {
        std::vector<std::string> env;
        for (char** entry = environ; *entry != nullptr; ++entry) env.emplace_back(*entry);
        env.insert(env.end(), extra_env.begin(), extra_env.end());
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& entry : env) envp.push_back(entry.data());
        envp.push_back(nullptr);
        if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) {
            pid = -1;
        }
    }
    ~background_process() { stop(); }
    background_process(const background_process&) = delete;
    background_process& operator=(const background_process&) = delete;

    bool is_started() const { return pid > 0; }
    // The exit status, or -1 when it did not end within `seconds`.
    int wait_for_exit(int seconds) {
        for (int tick = 0; tick < seconds * 10 && pid > 0; ++tick) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return -1;
    }
    void stop() {
        if (pid <= 0) return;
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
        pid = -1;
    }

private:
    pid_t pid = -1;
};

// A TCP port that accepts connections into its backlog and never answers.
struct silent_listener {
    silent_listener() {
        socket_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (socket_fd < 0 || ::bind(socket_fd, reinterpret_cast<sockaddr*>(&address), length) != 0
            || ::listen(socket_fd, 4) != 0
            || ::getsockname(socket_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        port = ntohs(address.sin_port);
    }
    ~silent_listener() { close_all(); }
    // Closing the listener resets the connections it never accepted.
    void close_all() {
        if (socket_fd >= 0) ::close(socket_fd);
        socket_fd = -1;
    }

    int socket_fd = -1;
    int port = 0;
};

class WizardInXvfb : public ::testing::Test {
protected:
    void SetUp() override {
        xvfb_path = e2e_find_program("Xvfb");
        xdotool_path = e2e_find_program("xdotool");
        if (xvfb_path.empty() || xdotool_path.empty()) GTEST_SKIP() << "no Xvfb or xdotool";
        TEST_DATA_REQUIRE(e2e_paths::has_testdata(), e2e_paths::testdata_dir());
        std::string why_not;
        server = e2e_target(why_not);
        if (!server) GTEST_SKIP() << why_not;
        shots = e2e_paths::build_dir() + "/wiz-screenshots";
        std::filesystem::create_directories(shots);
        ASSERT_TRUE(start_display());
    }

    // Xvfb picks a free display and writes its number to our pipe (-displayfd).
    bool start_display() {
        int fds[2];
        if (::pipe(fds) != 0) return false;
        xvfb = std::make_unique<background_process>(
            std::vector<std::string>{xvfb_path, "-displayfd", std::to_string(fds[1]), "-screen",
                                     "0", "1024x768x24", "-nolisten", "tcp"},
            std::vector<std::string>{});
        ::close(fds[1]);
        char number[16] = {};
        ssize_t length = ::read(fds[0], number, sizeof(number) - 1);
        ::close(fds[0]);
        if (length <= 0) return false;
        display = ":" + std::to_string(std::atoi(number));
        return true;
    }

    e2e_result xdotool(std::vector<std::string> args) {
        e2e_command command;
        command.args = {xdotool_path};
        command.args.insert(command.args.end(), args.begin(), args.end());
        command.env = {{"DISPLAY", display}};
        command.timeout_seconds = 60;
        return e2e_run(command);
    }

    // Key names separated by blanks, pressed one after the other.
    void keys(const std::string& key_names) {
        std::vector<std::string> args = {"key", "--delay", "120"};
        std::istringstream names(key_names);
        for (std::string name; names >> name;) args.push_back(name);
        xdotool(args);
        settle();
    }

    void type(const std::string& text) {
        xdotool({"key", "ctrl+a"});
        xdotool({"type", "--delay", "20", text});
    }

    // Without a window manager the focus does not come back by itself when a dialog closes.
    void focus_wizard() {
        xdotool({"windowfocus", "--sync", window});
        settle();
    }

    static void settle() { std::this_thread::sleep_for(std::chrono::milliseconds(700)); }

    void shot(const std::string& name) {
        e2e_command command;
        command.args = {e2e_paths::build_dir() + "/tests/wiz-screenshot", shots + "/" + name};
        command.env = {{"DISPLAY", display}};
        command.timeout_seconds = 60;
        EXPECT_EQ(e2e_run(command).status, 0) << name;
    }

    std::string xvfb_path;
    std::string xdotool_path;
    std::optional<e2e_server> server;
    std::string shots;
    std::string display;
    std::unique_ptr<background_process> xvfb;
    std::string window;
};

TEST_F(WizardInXvfb, ConvertsNorthwindDrivenByKeyboard) {
    e2e_client client(*server);
    const std::string database = e2e_unique_db("wizxvfb");
    e2e_database_guard guard(client, database);
    // An existing destination makes step 3 ask what to do with it.
    client.sql("", "CREATE DATABASE " + e2e_bracket(database));
    e2e_scratch settings("wizxvfb");
    background_process wizard({e2e_paths::build_dir() + "/vantrelwiz"},
                              {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb",
                               "XDG_CONFIG_HOME=" + settings.path, "LANG=C.UTF-8",
                               // Statements take long enough for the progress page's picture.
                               "VANTREL_FAST_LOAD=0"});
    ASSERT_TRUE(wizard.is_started());
    e2e_result found = xdotool({"search", "--sync", "--onlyvisible", "--name", "Vantrel 3.3"});
    ASSERT_EQ(found.status, 0) << found.both();
    window = found.out.substr(0, found.out.find('\n'));
    focus_wizard();
    shot("1-welcome.png");
    keys("alt+n");

    // First a server that takes the connection and never answers: the animation stays up
    // until the socket is closed, and the failure is shown.
    silent_listener listener;
    ASSERT_GT(listener.port, 0);
    keys("alt+q");
    keys("alt+s");
    type("127.0.0.1," + std::to_string(listener.port));
    keys("alt+l");
    type(server->user);
    keys("alt+p");
    type(server->password);
    xdotool({"key", "alt+n"});
    settle();
    settle();
    shot("3-connecting.png");
    listener.close_all();
    settle();
    settle();
    shot("3-connection-failed.png");
    keys("Return");
    focus_wizard();
    keys("F1");
    shot("3-help.png");
    e2e_result help = xdotool({"search", "--onlyvisible", "--name", "Step 1: Connect"});
    ASSERT_EQ(help.status, 0) << "F1 opened no help window";
    xdotool({"windowfocus", "--sync", help.out.substr(0, help.out.find('\n'))});
    keys("Escape");
    focus_wizard();
    keys("alt+s");
    type(server->agent_host());
    shot("2-connect-filled.png");
    xdotool({"key", "alt+n"});
    settle();
    focus_wizard();

    shot("4-security.png");
    keys("alt+n");

    keys("alt+a");
    type(e2e_paths::testdata(NORTHWIND));
    keys("alt+s");
    type(database);
    shot("5-databases.png");
    keys("alt+n");
    shot("6-existing-database.png");
    keys("Return");
    focus_wizard();

    keys("alt+l");
    // "&Add Query" shares its Alt+A with "&Available tables:". Add all leaves the focus in
    // the selected list; five tabs (Add, Add all, Remove, Remove all) reach the button.
    keys("Tab Tab Tab Tab Tab space");
    keys("Tab");
    xdotool({"type", "--delay", "20", std::string(FRENCH_ORDERS_SQL)});
    keys("shift+Tab");
    xdotool({"type", "--delay", "20", std::string(FRENCH_ORDERS)});
    shot("7-add-query.png");
    keys("Return");
    focus_wizard();
    shot("7-tables.png");
    xdotool({"key", "alt+n"});
    settle();
    shot("8-progress.png");

    e2e_result dumped = e2e_run_dump(e2e_paths::testdata(NORTHWIND), {});
    ASSERT_EQ(dumped.status, 0) << dumped.err;
    const e2e_source source = e2e_parse_dump(dumped.out);
    // The finish page comes at the first tick after the run; wait for the last table's rows.
    const e2e_table* last = source.user_tables().back();
    for (int tick = 0; tick < 600; ++tick) {
        if (client.database_exists(database)) {
            std::vector<std::string> tables = client.tables(database);
            if (std::find(tables.begin(), tables.end(), last->name) != tables.end()
                && client.count(database, last->name) == last->row_count) {
                break;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    settle();
    settle();
    shot("9-finish.png");
    keys("alt+f");
    EXPECT_EQ(wizard.wait_for_exit(30), 0);

    const std::vector<e2e_expectation> expectations = e2e_default_expectations();
    for (const e2e_table* table : source.user_tables()) {
        SCOPED_TRACE(table->name);
        e2e_table_report report = e2e_compare_table(NORTHWIND, *table,
                                                    client.read_table(database, table->name),
                                                    expectations, "statements");
        for (const std::string& problem : report.problems) ADD_FAILURE() << problem;
    }
    // The query added on step 4 became a table of its own.
    const e2e_table* orders = source.find("Orders");
    ASSERT_NE(orders, nullptr);
    const long french = count_rows_with(*orders, "ShipCountry", "France");
    EXPECT_GT(french, 0);
    EXPECT_EQ(client.count(database, FRENCH_ORDERS), french);
    EXPECT_EQ(client.tables(database).size(), source.user_tables().size() + 1);
}

TEST(WizardStartup, WithoutADisplayItSaysWhyAndEndsWith255) {
    e2e_command command;
    command.args = {e2e_paths::build_dir() + "/vantrelwiz"};
    command.env = {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", "xcb"}};
    command.timeout_seconds = 60;
    e2e_result result = e2e_run(command);
    EXPECT_EQ(result.status, 255);
    EXPECT_NE(result.err.find("Failed to initialize GUI library: no display could be opened."),
              std::string::npos)
        << result.both();
}

}   // namespace
