// e2e_rows_test.cpp - no row lost, nothing changed without a word, end to end on both load
// paths: a refused row costs only itself and lands in the rejects file, a table whose rows
// all go by INSERT ends without an error, substitutions are counted in the summary, a lost
// connection shows as a shortfall, and Ctrl-C or SIGTERM stops the run cleanly. The exit
// status tells each outcome: 0 all arrived, 1 something refused or lost, 128 + the signal.
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "e2e/e2e_case.hpp"

namespace {

constexpr const char* NWIND = "mdbtools-mdbtestdata/nwind.mdb";
constexpr std::size_t REFUSED_RECORD = 1200;   // 1-based, in the middle of the second batch
constexpr long BIG_ROWS = 2155L * 77;          // every order line with every product

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string last_line(const std::string& text) {
    std::size_t end = text.find_last_not_of('\n');
    if (end == std::string::npos) return "";
    std::size_t start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1, end + 1 - (start + 1));
}

class RowAccount : public E2eCase {
protected:
    std::string write_profile(const std::string& db, const std::string& tables) {
        const std::string profile = scratch.path + "/run.profile";
        std::ofstream(profile) << "[Generic settings]\nsrc=" << e2e_paths::testdata(NWIND)
                               << "\ndest=" << db
                               << "\n[MS SQL Server settings]\nserver=" << target->agent_host()
                               << "\nlogin=" << target->user << "\npassword=" << target->password
                               << "\nwindows authentication=0\n[Selected Tables]\n"
                               << tables;
        ::chmod(profile.c_str(), 0600);   // a profile holds the SQL Server password
        return profile;
    }

    e2e_scratch scratch{"rows"};
};

// Order Details (2,155 rows) is merged into a table that already holds its record #1200
// under a unique index (made from a profile query, as the double has no DELETE): only that
// record is refused, by its number, and every other row arrives.
TEST_F(RowAccount, ARefusedRowCostsOnlyItselfAndIsKeptInTheRejectsFile) {
    const e2e_source source = read_source(NWIND);
    const e2e_table* details = source.find("Order Details");
    ASSERT_NE(details, nullptr);
    ASSERT_GT(details->rows.size(), 2000u);
    const e2e_row& refused = details->rows.at(REFUSED_RECORD - 1);
    const std::string order_id = refused.at(0);
    const std::string product_id = refused.at(1);
    std::ofstream(scratch.path + "/tables.txt") << "Order Details\n";
    for (const e2e_load_path path : {e2e_load_path::bulk, e2e_load_path::statements}) {
        SCOPED_TRACE(e2e_path_name(path));
        const std::string db = e2e_unique_db(std::string("refused") + e2e_path_name(path));
        e2e_database_guard guard(*client, db);
        const std::string log = scratch.path + "/" + db + ".log";
        const std::string rejects = scratch.path + "/" + db + ".rejects.csv";
        const std::string profile = write_profile(
            db, "Order Details=SELECT * FROM [Order Details] WHERE OrderID = " + order_id
                    + " AND ProductID = " + product_id + "\n");
        e2e_result first = e2e_run_agent({"--profile=" + profile, "--logfile=" + log}, path);
        ASSERT_EQ(first.status, 0) << first.both();
        EXPECT_NE(first.out.find("\nOrder Details: 1 read, 1 in the destination, 0 rejected\n"),
                  std::string::npos)
            << first.out;
        EXPECT_FALSE(std::filesystem::exists(rejects)) << "no refused row, no rejects file";
        client->query(db, "CREATE UNIQUE INDEX [Line] ON [Order Details] ([OrderID], "
                          "[ProductID])");

        std::vector<std::string> args = agent_args(NWIND, db);
        args.push_back("--tab_file=" + scratch.path + "/tables.txt");
        args.push_back("--logfile=" + log);
        args.push_back("--mode=3");
        e2e_result merged = e2e_run_agent(args, path);
        EXPECT_EQ(merged.status, 1) << merged.both();
        EXPECT_NE(merged.out.find("Error:\nOrder Details, record #" + std::to_string(REFUSED_RECORD)
                                  + ": "),
                  std::string::npos)
            << merged.out;
        EXPECT_EQ(merged.out.find("record #", merged.out.find("record #") + 1), std::string::npos)
            << "one record refused, no other: " << merged.out;
        EXPECT_EQ(client->count(db, "Order Details"), long(details->rows.size()));
        const std::string total = std::to_string(details->rows.size());
        EXPECT_NE(merged.out.find("Order Details: " + total + " read, " + total
                                  + " in the destination (1 there before), 1 rejected"),
                  std::string::npos)
            << merged.out;
        EXPECT_EQ(last_line(merged.out), "Rejected records are in " + rejects);
        struct stat info {};
        ASSERT_EQ(::stat(rejects.c_str(), &info), 0) << rejects;
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        const std::string csv = read_file(rejects);
        EXPECT_NE(csv.find("\"Order Details\",\"" + std::to_string(REFUSED_RECORD) + "\",\""),
                  std::string::npos)
            << csv;
        EXPECT_NE(csv.find(",\"" + order_id + "\",\"" + product_id + "\","), std::string::npos)
            << csv;
        EXPECT_NE(read_file(log).find("Rejected records are in"), std::string::npos);
    }
}

TEST_F(RowAccount, RowsThatAllGoByInsertEndWithoutAnError) {
    for (const e2e_load_path path : {e2e_load_path::bulk, e2e_load_path::statements}) {
        SCOPED_TRACE(e2e_path_name(path));
        const std::string db = e2e_unique_db(std::string("allinsert") + e2e_path_name(path));
        e2e_database_guard guard(*client, db);
        // An empty text cannot travel by bulk load, so every row goes by INSERT.
        const std::string profile = write_profile(
            db, "Shippers\nEmptyText=SELECT OrderID, '' AS Note FROM Orders\n");
        e2e_result run = e2e_run_agent({"--profile=" + profile}, path);
        EXPECT_EQ(run.status, 0) << run.both();
        EXPECT_EQ(run.out.find("Error:"), std::string::npos) << run.out;
        EXPECT_EQ(client->count(db, "EmptyText"), 830);
        EXPECT_NE(run.out.find("EmptyText: 830 read, 830 in the destination, 0 rejected"),
                  std::string::npos)
            << run.out;
    }
}

// Every date before 1753 in the file is counted, as vantreldump reads them.
TEST_F(RowAccount, SubstitutedDatesAreCountedInTheSummary) {
    constexpr const char* DATES = "mdbtools-mdbtestdata/DateTestDatabase.mdb";
    const e2e_source source = read_source(DATES);
    const e2e_table* table = source.find("DateTest");
    ASSERT_NE(table, nullptr);
    long early = 0;
    for (const e2e_row& row : table->rows) {
        for (const std::string& value : row) {
            if (value.size() == 19 && value[4] == '-' && value.substr(0, 4) < "1753") ++early;
        }
    }
    ASSERT_GT(early, 0);
    for (const e2e_load_path path : {e2e_load_path::bulk, e2e_load_path::statements}) {
        SCOPED_TRACE(e2e_path_name(path));
        const std::string db = e2e_unique_db(std::string("early") + e2e_path_name(path));
        e2e_database_guard guard(*client, db);
        e2e_result run = e2e_run_agent(agent_args(DATES, db), path);
        EXPECT_EQ(run.status, 0) << run.both();
        EXPECT_NE(run.out.find("dates before 1753: " + std::to_string(early) + "\n"),
                  std::string::npos)
            << run.out;
    }
}

// The agent as a child of its own, in a folder of its own, so the test can signal it and
// look for the temporary files it leaves.
class agent_child {
public:
    agent_child(const std::vector<std::string>& args, const std::string& folder)
        : out_path(folder + "/agent.out") {
        pid = ::fork();
        if (pid == 0) {
            if (::chdir(folder.c_str()) != 0) ::_exit(126);
            ::setenv("TMPDIR", folder.c_str(), 1);
            std::freopen(out_path.c_str(), "w", stdout);
            std::freopen((folder + "/agent.err").c_str(), "w", stderr);
            std::vector<char*> argv;
            std::string program = e2e_paths::agent();
            argv.push_back(program.data());
            std::vector<std::string> copies = args;
            for (std::string& arg : copies) argv.push_back(arg.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
    }
    ~agent_child() {
        if (pid > 0 && !b_reaped) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    agent_child(const agent_child&) = delete;
    agent_child& operator=(const agent_child&) = delete;

    std::string out() const { return read_file(out_path); }
    bool wait_for_output(const std::string& text, int seconds) const {
        for (int tries = 0; tries < seconds * 10; ++tries) {
            if (out().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    // The exit status (128 + the signal when one ended it), or -1 when it did not end in
    // time (it is then killed). `times` signals go at once.
    int stop_with(int signal_number, int seconds, int times = 1) {
        for (int sent = 0; sent < times; ++sent) {
            // Two signals sent at once may be delivered as one: a little apart they are two.
            if (sent > 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ::kill(pid, signal_number);
        }
        for (int tries = 0; tries < seconds * 10; ++tries) {
            int raw = 0;
            if (::waitpid(pid, &raw, WNOHANG) == pid) {
                b_reaped = true;
                if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
                return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return -1;
    }

private:
    std::string out_path;
    pid_t pid = -1;
    bool b_reaped = false;
};

// 165,935 rows, stopped while they load; a second Ctrl-C ends the process at once and still
// leaves no temporary workgroup file.
TEST_F(RowAccount, ASignalStopsTheRunWithASummaryAndNoTemporaryFile) {
    for (const auto& [signal_number, times] : {std::pair{SIGINT, 1}, {SIGTERM, 1}, {SIGINT, 2}}) {
        const int status = 128 + signal_number;
        SCOPED_TRACE(std::to_string(signal_number) + " x" + std::to_string(times));
        const std::string folder = scratch.path + "/signal" + std::to_string(signal_number) + "x"
                                   + std::to_string(times);
        std::filesystem::create_directories(folder);
        const std::string db = e2e_unique_db("signal");
        e2e_database_guard guard(*client, db);
        const std::string profile = write_profile(
            db, "Big=SELECT d.OrderID, d.ProductID, p.ProductName FROM [Order Details] AS d "
                "INNER JOIN Products AS p ON d.Quantity > 0 AND p.ProductID > 0\n");
        agent_child agent({"--profile=" + profile}, folder);
        ASSERT_TRUE(agent.wait_for_output("Converting table Big(", 120)) << agent.out();
        // The double takes these rows in well under a second, so a fixed wait could outrun
        // the load: the signal goes as soon as the first batch is in.
        bool b_loading = false;
        for (int tries = 0; tries < 12000 && !b_loading; ++tries) {
            try {
                b_loading = client->count(db, "Big") > 0;
            } catch (const std::runtime_error&) {   // the table is not there yet: ask again
            }
            if (!b_loading) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(b_loading) << agent.out();
        ASSERT_EQ(agent.stop_with(signal_number, 120, times), status) << agent.out();
        const std::string out = agent.out();
        if (times > 1) {
            for (const auto& entry : std::filesystem::directory_iterator(folder)) {
                const std::string name = entry.path().filename().string();
                EXPECT_TRUE(name == "agent.out" || name == "agent.err") << "left: " << name;
            }
            continue;   // ended at once: no summary to read
        }
        const long arrived = client->count(db, "Big");
        EXPECT_GT(arrived, 0);
        EXPECT_LT(arrived, BIG_ROWS) << "the run was stopped, not finished";
        EXPECT_NE(out.find("Stopped while converting table Big: " + std::to_string(arrived)
                           + " of its rows arrived."),
                  std::string::npos)
            << out;
        EXPECT_NE(out.find("Summary:\nBig: "), std::string::npos) << out;
        EXPECT_NE(out.find(std::to_string(arrived) + " in the destination, 0 rejected"),
                  std::string::npos)
            << out;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "agent.out" || name == "agent.err") << "left behind: " << name;
        }
    }
}

}   // namespace
