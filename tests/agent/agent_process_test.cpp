// agent_process_test.cpp - vantrelagent run as a process: help text and exit status 255, the
// validation messages and where they go, the log file checks, the table-names file, fatal
// errors at the top of a run, and runs against a private double.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "agent/agent_help.hpp"
#include "mssql-double/double_client.hpp"

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

struct agent_result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string read_all(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string shell_quote(const std::string& text) {
    std::string quoted = "'";
    for (char letter : text) {
        quoted += letter == '\'' ? std::string("'\\''") : std::string(1, letter);
    }
    return quoted + "'";
}

class AgentProcess : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path()
                 / ("vantrel-agent-" + std::to_string(::getpid()) + "-"
                    + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    agent_result run(const std::vector<std::string>& args) {
        std::string command = shell_quote(std::string(VANTREL_BUILD_DIR) + "/vantrelagent");
        for (const std::string& arg : args) command += " " + shell_quote(arg);
        command += " >" + shell_quote((folder / "out").string()) + " 2>"
                   + shell_quote((folder / "err").string()) + " </dev/null";
        int raw = std::system(command.c_str());
        agent_result result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = read_all(folder / "out");
        result.err = read_all(folder / "err");
        return result;
    }

    std::filesystem::path folder;
};

TEST_F(AgentProcess, NoArgumentsPrintsTheHelpTextAndEndsWith255) {
    agent_result result = run({});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.err, agent_help_text() + "\n");
    EXPECT_THAT(result.err, StartsWith("VANTRELAGENT v3.3\nUsage: VANTRELAGENT.EXE OPTIONS\n"));
    EXPECT_EQ(result.out, "");
}

TEST_F(AgentProcess, HelpAmongOtherOptionsStopsWhenTheWalkReachesIt) {
    agent_result result = run({"--src=a.mdb", "--help", "--mode=9"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.err, agent_help_text() + "\n");
}

TEST_F(AgentProcess, CapitalLetterOptionShowsTheHelpAfterTheWholeLine) {
    agent_result result = run({"--Src=a.mdb", "--dest=D", "--mode=7"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.err, "Invalid merge/overwrite mode\n");   // the walk went past --Src=

    result = run({"--Src=a.mdb", "--dest=D", "--silent"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.err, "");
}

TEST_F(AgentProcess, ModeThreeIsAcceptedOthersAreNot) {
    for (const char* mode : {"--mode=03", "--mode=4", "--mode=-1", "--mode="}) {
        agent_result result = run({"--src=a.mdb", "--dest=D", mode});
        EXPECT_EQ(result.status, 255) << mode;
        EXPECT_EQ(result.err, "Invalid merge/overwrite mode\n") << mode;
    }
    agent_result result = run({"--src=a.mdb", "--dest=D", "--mode=3"});
    EXPECT_EQ(result.err.find("Invalid merge/overwrite mode"), std::string::npos);
}

TEST_F(AgentProcess, MissingSourceOrDestinationIsNamed) {
    agent_result result = run({"--dest=D"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.err, "You should enter source MS Access database name\n");
    result = run({"--src=a.mdb"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.err, "You should enter destination MS SQL database name\n");
    result = run({"--src=a.mdb", "--silent"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.err, "");
}

TEST_F(AgentProcess, MissingTableNamesFileIsReported) {
    agent_result result = run({"--tab_file=" + (folder / "none.txt").string(), "--src=a"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.err, "Table names file does not exist.\n"
                          "Please verify the correct path/name was given.\n");
}

TEST_F(AgentProcess, LogFileInAMissingDirectoryIsAFatalError) {
    agent_result result = run(
        {"--logfile=" + (folder / "no" / "such" / "x.log").string(), "--src=a", "--dest=D"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.out, "Error:\nLogfile path does not exist. Please verify the correct path "
                          "was given.\n");
}

TEST_F(AgentProcess, ReadOnlyLogFileIsAFatalError) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
    std::filesystem::path log = folder / "ro.log";
    std::ofstream(log) << "old";
    ::chmod(log.c_str(), 0444);
    agent_result result = run({"--logfile=" + log.string(), "--src=a", "--dest=D"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.out, "Error:\nLogfile name specifies an existing read-only file.\n");
}

TEST_F(AgentProcess, LogFileReceivesTheLevelThreeLinesOnly) {
    std::filesystem::path log = folder / "run.log";
    std::ofstream(log) << "previous run\n";
    agent_result result = run({"--logfile=" + log.string(), "--dest=D"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(read_all(log), "You should enter source MS Access database name\r\n");
}

// A profile that could not be read was passed over, and the run ended asking for a source.
TEST_F(AgentProcess, UnreadableProfileIsNamedWithItsReason) {
    const std::string missing = (folder / "none.ini").string();
    agent_result result = run({"--profile=" + missing});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.err, "Cannot read the profile '" + missing + "': No such file or directory\n");
    result = run({"--profile=" + folder.string()});
    EXPECT_EQ(result.err, "Cannot read the profile '" + folder.string() + "': Is a directory\n");
    const std::filesystem::path keyless = folder / "keyless.ini";
    std::ofstream(keyless) << "src=a.mdb\n[Generic settings]\n";
    result = run({"--profile=" + keyless.string(), "--src=b.mdb", "--dest=D"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.err, "Cannot read the profile '" + keyless.string()
                              + "': line 1 stands before any [section]\n");
}

// A log that cannot be written was found out only by its absence after the run.
TEST_F(AgentProcess, UnwritableLogFileIsReportedAtStart) {
    agent_result result = run({"--logfile=" + folder.string(), "--src=a", "--dest=D"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.out,
              "Error:\nCannot write the log file '" + folder.string() + "': Is a directory.\n");
    result = run({"--logfile=/dev/full", "--src=a", "--dest=D"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.out, "Error:\nCannot write the log file '/dev/full': No space left on "
                          "device.\n");
}

TEST_F(AgentProcess, FileThatIsNotAWorkgroupFileIsRefused) {
    std::filesystem::path fake = folder / "fake.mdw";
    std::ofstream(fake) << std::string(2048, 'x');
    agent_result result = run({"--src=a.mdb", "--dest=D", "--sysdb=" + fake.string()});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.err, "Not a valid MS Access workgroup information file\n");
}

// A run given up at the top keeps its message but must not end like a good run: a script
// has only the status to tell that nothing was converted.
TEST_F(AgentProcess, SourceOrServerFailureAtTheTopEndsWith255) {
    const std::string nwind = std::string(VANTREL_TESTDATA_DIR) + "/mdbtools-mdbtestdata/nwind.mdb";
    std::filesystem::path cut = folder / "cut.mdb";
    {
        std::ifstream whole(nwind, std::ios::binary);
        std::string head(3000, '\0');
        whole.read(head.data(), std::streamsize(head.size()));
        ASSERT_TRUE(whole) << nwind;
        std::ofstream(cut, std::ios::binary) << head;
    }
    // Port 1 has no listener: the connection is refused at once.
    const std::string nobody = "--mssqlh=127.0.0.1,1";

    agent_result result = run({"--src=" + cut.string(), "--dest=D", nobody});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.out, "Error:\nUnrecognized database format '" + cut.string() + "'.\n");

    result = run({"--src=" + nwind, "--dest=D", nobody, "--mssqlu=sa", "--mssqlp=Secret1"});
    EXPECT_EQ(result.status, 255);
    EXPECT_THAT(result.out, StartsWith("Error:\nUnable to connect: "));
    EXPECT_THAT(result.out, Not(HasSubstr("Secret1")));
    EXPECT_THAT(result.out, Not(HasSubstr("Converting")));
}

// The fatal error reaches main by unwinding, so the engine's destructor removes the anonymous
// workgroup file it wrote; a process that ended inside the error handler left it behind.
TEST_F(AgentProcess, FatalErrorLeavesNoTemporaryWorkgroupFile) {
    const std::filesystem::path temporary = folder / "tmp";
    std::filesystem::create_directories(temporary);
    std::filesystem::path cut = folder / "cut.mdb";
    std::ofstream(cut, std::ios::binary) << std::string(3000, '\0');
    ::setenv("TMPDIR", temporary.c_str(), 1);
    agent_result result = run({"--src=" + cut.string(), "--dest=D", "--mssqlh=127.0.0.1,1"});
    ::unsetenv("TMPDIR");
    EXPECT_EQ(result.status, 255);
    EXPECT_THAT(result.out, StartsWith("Error:\nUnrecognized database format"));
    EXPECT_TRUE(std::filesystem::is_empty(temporary));
}

// A run against a double of its own: one small table of the shared Northwind.
class AgentDestination : public AgentProcess {
protected:
    agent_result convert(const std::string& destination, int mode,
                         const std::vector<std::string>& more = {}) {
        const std::filesystem::path tables = folder / "tables.txt";
        std::ofstream(tables) << "Shippers\n";
        std::vector<std::string> args = {"--src=" + std::string(VANTREL_TESTDATA_DIR)
                                             + "/mdbtools-mdbtestdata/nwind.mdb",
                                         "--dest=" + destination,
                                         "--mssqlh=127.0.0.1," + std::to_string(server_port),
                                         "--mssqlu=sa",
                                         "--mssqlp=Secret1",
                                         "--mode=" + std::to_string(mode),
                                         "--tab_file=" + tables.string()};
        args.insert(args.end(), more.begin(), more.end());
        return run(args);
    }
    // The rows of Shippers in `database`, or -1 when the table is not there.
    int shippers_in(const std::string& database) {
        auto connection = double_test::connection::open(server.port(), "Secret1", database);
        if (!connection) return -1;
        const double_test::batch_result result = connection->run("SELECT COUNT(*) FROM [Shippers]");
        return result.has_error(208) ? -1 : std::stoi(result.first());
    }

    double_test::private_double server{{}};
    int server_port = server.port();
};

}   // namespace

// SQL Server names hold 128 characters. A longer one was refused by the login record without
// a word, the login landed in master and mode 1 replaced master's tables of the same name.
TEST_F(AgentDestination, NameOf128CharactersConvertsOneOf129IsRefusedBeforeConnecting) {
    ASSERT_NE(server.port(), 0);
    const std::string longest = "d" + std::to_string(::getpid()) + std::string(130, 'x');
    const std::string name = longest.substr(0, 128);
    for (int mode = 0; mode <= 3; ++mode) {
        const agent_result result = convert(name, mode);
        // Mode 3 merges the same three rows again: the key refuses them, so the run says 1.
        EXPECT_EQ(result.status, mode == 3 ? 1 : 0)
            << "mode " << mode << ": " << result.out << result.err;
        EXPECT_EQ(shippers_in(name), 3) << "mode " << mode;
    }
    std::filesystem::remove(name + ".rejects.csv");
    for (int mode = 0; mode <= 3; ++mode) {
        const agent_result result = convert(name + "y", mode);
        EXPECT_EQ(result.status, 255) << "mode " << mode;
        EXPECT_EQ(result.err, "The destination MS SQL database name is longer than the 128 "
                              "characters SQL Server allows\n");
        EXPECT_THAT(result.out, Not(HasSubstr("Converting"))) << "mode " << mode;
    }
    EXPECT_EQ(shippers_in("master"), -1);
    EXPECT_EQ(convert("   ", 0).err, "You should enter destination MS SQL database name\n");
}

// A server that stops answering kept the agent waiting forever (no read timeout).
TEST_F(AgentDestination, SilentServerIsALostConnectionAfterTheReadTimeout) {
    double_test::private_double silent({"--delay-ms=3000"});
    ASSERT_NE(silent.port(), 0);
    server_port = silent.port();
    ::setenv("VANTREL_READ_TIMEOUT", "1", 1);
    const agent_result result = convert("vantrel_silent", 0);
    ::setenv("VANTREL_READ_TIMEOUT", "one minute", 1);
    const agent_result refused = convert("vantrel_silent", 0);
    ::unsetenv("VANTREL_READ_TIMEOUT");
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.out, "Error:\nThe connection to the server is lost: it sent no answer "
                          "within the read timeout.\n");
    EXPECT_EQ(refused.status, 255);
    EXPECT_THAT(refused.out, HasSubstr("The read timeout 'one minute' is not a number of "
                                       "seconds."));
}

// "Error code: 80004005" stood alone in the log of a good run (the destination did not exist
// yet): every such line now says what was tried and what the server answered.
TEST_F(AgentDestination, ErrorCodeLinesSayWhatWasTried) {
    const std::filesystem::path log = folder / "run.log";
    const agent_result result = convert("vantrel_logged", 0, {"--logfile=" + log.string()});
    ASSERT_EQ(result.status, 0) << result.out;
    const std::string text = read_all(log);
    const std::string tried = "while logging in to 127.0.0.1:" + std::to_string(server_port)
                              + ", database vantrel_logged: ";
    EXPECT_THAT(text, HasSubstr("Error code: 80004005 " + tried));
    for (std::size_t at = text.find("Error code: "); at != std::string::npos;
         at = text.find("Error code: ", at + 1)) {
        EXPECT_EQ(text.compare(at + 20, 7, " while "), 0) << text.substr(at, 80);
    }
}
