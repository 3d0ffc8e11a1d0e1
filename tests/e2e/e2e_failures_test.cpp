// e2e_failures_test.cpp - failures end to end: each gives its message and its exit status,
// and nothing is reported as converted that was not. The dropped connection uses a double of
// its own, started with the fault option, so the shared fixture stays healthy.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "e2e/e2e_case.hpp"

namespace {

constexpr const char* SOURCE = "jahlborn-jackcess/V2000/indexTestV2000.mdb";

// A local port nothing listens on: bound once by us, then released.
int closed_port() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

class FailingRun : public E2eCase {
protected:
    e2e_result convert(const std::string& source, const std::vector<std::string>& extra,
                       const std::string& db) {
        std::vector<std::string> args = e2e_agent_args(*target, source, db);
        args.insert(args.end(), extra.begin(), extra.end());
        return e2e_run_agent(args);
    }
};

TEST_F(FailingRun, ServerNotListeningIsReportedAndNothingConverted) {
    e2e_server nowhere = *target;
    nowhere.host = "127.0.0.1";
    nowhere.port = closed_port();
    e2e_result run = e2e_run_agent(e2e_agent_args(nowhere, e2e_paths::testdata(SOURCE), "x"));
    EXPECT_NE(run.out.find("Error:"), std::string::npos) << run.both();
    EXPECT_NE(run.out.find("Unable to connect"), std::string::npos) << run.both();
    EXPECT_EQ(run.out.find("Converting table"), std::string::npos) << run.out;
}

TEST_F(FailingRun, WrongSqlLoginIsInvalidUserNameOrPassword) {
    e2e_server wrong = *target;
    wrong.password = target->password + "x";
    std::string db = e2e_unique_db("wronglogin");
    e2e_result run = e2e_run_agent(e2e_agent_args(wrong, e2e_paths::testdata(SOURCE), db));
    EXPECT_NE(run.out.find("Error:\nInvalid user name or password."), std::string::npos)
        << run.both();
    EXPECT_EQ(run.both().find(wrong.password), std::string::npos) << "password printed";
    EXPECT_FALSE(client->database_exists(db));
}

TEST_F(FailingRun, WrongAccessPasswordIsNotAValidPassword) {
    for (const char* file : {"andipaetzold-mdb-reader/password/V2000_with-password.mdb",
                             "jahlborn-jackcessencrypt/db2013-enc.accdb"}) {
        std::string db = e2e_unique_db("wrongaccp");
        e2e_result run = convert(e2e_paths::testdata(file), {"--accp=wrong"}, db);
        EXPECT_NE(run.out.find("Error:\nNot a valid password."), std::string::npos)
            << file << ": " << run.both();
        EXPECT_FALSE(client->database_exists(db)) << file;
    }
}

TEST_F(FailingRun, WorkgroupFileThatIsNotOneEndsWithMinusOne) {
    std::string db = e2e_unique_db("notmdw");
    e2e_result run = convert(e2e_paths::testdata(SOURCE),
                             {"--sysdb=" + e2e_paths::testdata(SOURCE), "--uglu=admin"}, db);
    EXPECT_EQ(run.status, 255);
    EXPECT_NE(run.err.find("Not a valid MS Access workgroup information file"), std::string::npos)
        << run.both();
    EXPECT_FALSE(client->database_exists(db));
}

TEST_F(FailingRun, CorruptSourceIsReportedAndNoTableCreated) {
    e2e_scratch scratch_dir("corrupt");
    const std::string& scratch = scratch_dir.path;
    // Cut after the header page, and in the middle of the catalogue.
    for (std::size_t keep : {5000u, 300000u}) {
        std::string cut = scratch + "/cut" + std::to_string(keep) + ".mdb";
        std::ifstream in(e2e_paths::testdata("mdbtools-mdbtestdata/nwind.mdb"), std::ios::binary);
        std::string bytes(keep, '\0');
        in.read(bytes.data(), std::streamsize(keep));
        std::ofstream(cut, std::ios::binary) << bytes;
        std::string db = e2e_unique_db("corrupt");
        e2e_result run = convert(cut, {}, db);
        EXPECT_NE(run.out.find("Error:"), std::string::npos) << keep << ": " << run.both();
        EXPECT_TRUE(run.out.find("Unrecognized database format") != std::string::npos
                    || run.out.find("corrupt") != std::string::npos)
            << run.out;
        EXPECT_EQ(run.out.find("Converting table"), std::string::npos) << run.out;
        EXPECT_FALSE(client->database_exists(db)) << "the check opens the source first";
    }
}

// Northwind.mdb with one page zeroed converted with exit 0 and tables or rows missing: an
// Orders data page (303) lost its rows, a catalogue page (18) five of the eight tables.
TEST_F(FailingRun, DamagedSourceNeverEndsWithZeroAndFewerRows) {
    e2e_scratch scratch_dir("damaged");
    std::ifstream in(e2e_paths::testdata("npsmith88-NorthwindDatabaseQueryTool/Northwind.mdb"),
                     std::ios::binary);
    std::string original(std::istreambuf_iterator<char>(in), {});
    ASSERT_FALSE(original.empty());
    struct damage_case {
        std::size_t page_no;
        const char* error;
    };
    for (const damage_case& damage :
         {damage_case{303, "The database is corrupt: page 303 of table 'Orders'"},
          damage_case{18, "The database is corrupt: page 18 of table 'MSysObjects'"}}) {
        std::string bytes = original;
        bytes.replace(damage.page_no * 4096, 4096, std::string(4096, '\0'));
        std::string path = scratch_dir.path + "/page" + std::to_string(damage.page_no) + ".mdb";
        std::ofstream(path, std::ios::binary) << bytes;
        std::string db = e2e_unique_db("damaged");
        e2e_database_guard guard(*client, db);
        e2e_result run = convert(path, {}, db);
        EXPECT_EQ(run.status, 255) << damage.page_no << ": " << run.both();
        EXPECT_NE(run.both().find(damage.error), std::string::npos) << run.both();
        if (!client->database_exists(db)) continue;
        for (const std::string& table : client->tables(db))
            EXPECT_NE(table, "Orders") << "the damaged table was created";
    }
}

// A FIFO as the source blocked the trial open forever.
TEST_F(FailingRun, NamedPipeAsSourceIsRefusedWithoutBlocking) {
    e2e_scratch scratch_dir("fifo");
    std::string fifo = scratch_dir.path + "/pipe.mdb";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string db = e2e_unique_db("fifo");
    e2e_result run = convert(fifo, {}, db);
    EXPECT_EQ(run.status, 255) << run.both();
    EXPECT_NE(run.both().find("it is a named pipe (FIFO), not a regular file"), std::string::npos)
        << run.both();
    EXPECT_FALSE(client->database_exists(db));
}

// A failed conversion must not end with the exit status of a successful one.
TEST_F(FailingRun, FailureAtTheTopEndsWithNonZeroStatus) {
    e2e_server wrong = *target;
    wrong.password = target->password + "x";
    e2e_result run = e2e_run_agent(e2e_agent_args(wrong, e2e_paths::testdata(SOURCE), "x"));
    EXPECT_NE(run.status, 0) << run.both();
}

// mssql-double started by the test with a fault option; stopped by its destructor.
class faulty_double {
public:
    faulty_double(const std::string& fault, const std::string& scratch) {
        std::string out_file = scratch + "/double.out";
        pid = ::fork();
        if (pid == 0) {
            std::freopen(out_file.c_str(), "w", stdout);
            std::string data = "--data-dir=" + scratch + "/data";
            ::execl(e2e_paths::double_server().c_str(), "mssql-double", "--port=0",
                    "--login=sa:Secret1", data.c_str(), fault.c_str(), nullptr);
            ::_exit(127);
        }
        for (int tries = 0; tries < 100 && port == 0; ++tries) {
            ::usleep(100000);
            std::ifstream in(out_file);
            std::string word;
            while (in >> word)
                if (word == "on") in >> port;
        }
    }
    ~faulty_double() {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
    }
    faulty_double(const faulty_double&) = delete;
    faulty_double& operator=(const faulty_double&) = delete;

    pid_t pid = -1;
    int port = 0;
};

TEST_F(FailingRun, DroppedBulkLoadKeepsCommittedRowsAndNamesTheTable) {
    if (!target->b_double) GTEST_SKIP() << "the fault needs mssql-double";
    e2e_scratch scratch_dir("drop");
    const std::string& scratch = scratch_dir.path;
    faulty_double server("--drop-after-bulk-rows=1500", scratch);
    ASSERT_GT(server.port, 0) << "mssql-double with the fault did not start";
    e2e_server faulty = *target;
    faulty.port = server.port;
    std::ofstream(scratch + "/tables.txt") << "Order Details\n";
    std::vector<std::string> args = e2e_agent_args(
        faulty, e2e_paths::testdata("mdbtools-mdbtestdata/nwind.mdb"), "dropped");
    args.push_back("--tab_file=" + scratch + "/tables.txt");
    e2e_result run = e2e_run_agent(args);
    EXPECT_EQ(run.status, 1) << run.both();
    EXPECT_NE(run.out.find("Error:\nOrder Details: The connection to the server is lost: the "
                           "remaining records of table 'Order Details' are not loaded."),
              std::string::npos)
        << run.out;
    e2e_client reader(faulty);
    long rows = reader.count("dropped", "Order Details");
    // Bulk load commits every 1000 rows: what was committed before the drop stays, and no
    // more than the 1500 rows the server took.
    EXPECT_EQ(rows, 1000) << run.out.substr(0, 2000);
    // The summary counts on a new connection and names the shortfall.
    EXPECT_NE(run.out.find(" read, 1000 in the destination, 0 rejected"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Error:\nOrder Details: "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(" of the rows read are not in the destination."), std::string::npos)
        << run.out;
}

}   // namespace
