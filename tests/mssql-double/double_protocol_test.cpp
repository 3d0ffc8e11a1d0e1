// double_protocol_test.cpp - logins, sessions and faults on demand: each connection keeps
// its own database and settings, several work at once, and the fault options drop, delay
// and refuse as asked.
#include "double_client.hpp"

#include "mssql-double/double_fixture.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using double_test::connection;
using double_test::fresh_database;
using double_test::private_double;

TEST(DoubleLogin, ChecksAccountsAndAnswersVersion) {
    std::vector<double_test::server_message> messages;
    EXPECT_FALSE(connection::open(double_test::fixture_port(), "secret1", "", &messages));
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages[0].number, 18456);
    EXPECT_EQ(messages[0].severity, 14);
    auto db = connection::open(double_test::fixture_port(), "Secret1", "");
    ASSERT_TRUE(db);
    EXPECT_EQ(db->run("SELECT DB_NAME()").first(), "master");
}

TEST(DoubleLogin, PlaysTheVersionItIsGiven) {
    private_double old({"--version-string=Microsoft SQL Server  2000 - 8.00.194 (Intel X86)"});
    ASSERT_GT(old.port(), 0);
    auto db = connection::open(old.port(), "Secret1", "");
    ASSERT_TRUE(db);
    EXPECT_EQ(db->run("SELECT @@VERSION").first(),
              "Microsoft SQL Server  2000 - 8.00.194 (Intel X86)");
}

TEST(DoubleLogin, ClaimsTheReleaseItIsGiven) {
    struct release {
        std::vector<std::string> args;
        const char* version_start;   // of @@VERSION
        const char* product_version;
        const char* major;   // SERVERPROPERTY('ProductMajorVersion'): 2012 and later
    };
    const release releases[] = {
        {{"--product-version=2008"},
         "Microsoft SQL Server 2008 R2 (SP3) - 10.50.6000.34 (X64)",
         "10.50.6000.34",
         "NULL"},
        {{"--product-version=2012"},
         "Microsoft SQL Server 2012 (SP4) (KB4018073) - 11.0.7001.0 (X64)",
         "11.0.7001.0",
         "11"},
        {{"--product-version=2022"},
         "Microsoft SQL Server 2022 (RTM) - 16.0.1000.6 (X64)",
         "16.0.1000.6",
         "16"},
        // An explicit text wins over the release.
        {{"--product-version=2022", "--version-string=Microsoft SQL Server 2005 - 9.00.5000.00"},
         "Microsoft SQL Server 2005 - 9.00.5000.00",
         "9.00.5000.00",
         "NULL"},
    };
    for (const release& r : releases) {
        SCOPED_TRACE(r.product_version);
        private_double claimed(r.args);
        ASSERT_GT(claimed.port(), 0);
        auto db = connection::open(claimed.port(), "Secret1", "");
        ASSERT_TRUE(db);
        double_test::batch_result answer = db->run(
            "SELECT @@VERSION, SERVERPROPERTY('ProductVersion'), "
            "SERVERPROPERTY('ProductMajorVersion')");
        ASSERT_EQ(answer.sets.size(), 1u);
        const auto& row = answer.sets[0].rows.at(0);
        EXPECT_EQ(row.at(0).text.rfind(r.version_start, 0), 0u) << row.at(0).text;
        EXPECT_EQ(row.at(1).text, r.product_version);
        EXPECT_EQ(row.at(2).b_null ? "NULL" : row.at(2).text, r.major);
    }
    EXPECT_LT(private_double({"--product-version=2016"}).port(), 1);
}

TEST(DoubleSessions, KeepTheirOwnDatabaseAndSettings) {
    auto first = fresh_database("dbl_session_a");
    auto second = fresh_database("dbl_session_b");
    ASSERT_TRUE(first && second);
    first->run("CREATE TABLE t (a int)");
    second->run("CREATE TABLE t (b int)");
    first->run("SET QUOTED_IDENTIFIER ON");
    EXPECT_EQ(first->run("SELECT DB_NAME()").first(), "dbl_session_a");
    EXPECT_EQ(second->run("SELECT DB_NAME()").first(), "dbl_session_b");
    EXPECT_TRUE(first->run("SELECT \"a\" FROM t").messages.empty());
    // QUOTED_IDENTIFIER is OFF in the other session: "b" is a string there, not a name.
    EXPECT_EQ(second->run("SELECT \"b\" FROM t").sets.at(0).names.at(0), "");
    auto used = second->run("USE dbl_session_a");
    ASSERT_FALSE(used.messages.empty());
    EXPECT_EQ(used.messages[0].number, 5701);
    EXPECT_TRUE(second->run("SELECT a FROM t").messages.empty());
}

TEST(DoubleSessions, ServeManyConnectionsAtOnce) {
    auto setup = fresh_database("dbl_concurrent");
    ASSERT_TRUE(setup);
    setup->run("CREATE TABLE t (id int IDENTITY PRIMARY KEY, worker int, n int)");
    const int workers = 4, rows = 25;
    std::vector<std::thread> threads;
    std::vector<int> failures(workers, 0);
    for (int w = 0; w < workers; ++w) {
        threads.emplace_back([w, &failures] {
            auto db = connection::open(double_test::fixture_port(), "Secret1", "dbl_concurrent");
            if (!db) {
                failures[w] = rows;
                return;
            }
            for (int i = 0; i < rows; ++i) {
                auto r = db->run("INSERT INTO t (worker, n) VALUES (" + std::to_string(w) + ", "
                                 + std::to_string(i) + ")");
                if (!r.messages.empty()) ++failures[w];
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int w = 0; w < workers; ++w) EXPECT_EQ(failures[w], 0) << "worker " << w;
    EXPECT_EQ(setup->run("SELECT COUNT(*) FROM t").first(), std::to_string(workers * rows));
    EXPECT_EQ(setup->run("SELECT MAX(id) FROM t").first(), std::to_string(workers * rows));
}

TEST(DoubleFaults, DropsTheConnectionAfterNBatches) {
    private_double faulty({"--drop-after-batches=2"});
    auto db = connection::open(faulty.port(), "Secret1", "");
    ASSERT_TRUE(db);
    EXPECT_TRUE(db->run("SELECT 1").b_ok);
    EXPECT_TRUE(db->run("SELECT 2").b_ok);
    EXPECT_FALSE(db->run("SELECT 3").b_ok);
    EXPECT_TRUE(DBDEAD(db->handle()));
}

TEST(DoubleFaults, RefusesLoginsAfterN) {
    private_double faulty({"--refuse-logins-after=1"});
    EXPECT_TRUE(connection::open(faulty.port(), "Secret1", ""));
    std::vector<double_test::server_message> messages;
    EXPECT_FALSE(connection::open(faulty.port(), "Secret1", "", &messages));
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages[0].number, 18456);
}

TEST(DoubleFaults, DelaysEachAnswer) {
    private_double slow({"--delay-ms=300"});
    auto db = connection::open(slow.port(), "Secret1", "");
    ASSERT_TRUE(db);
    auto start = std::chrono::steady_clock::now();
    db->run("SELECT 1");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
}

TEST(DoubleFaults, DroppedBulkLoadKeepsNoRowOfItsBatch) {
    std::string dir = std::string(VANTREL_BUILD_DIR) + "/mssql-double-drop-bulk";
    std::system(("rm -rf '" + dir + "'").c_str());
    private_double faulty({"--drop-after-bulk-rows=2", "--data-dir=" + dir});
    auto db = connection::open(faulty.port(), "Secret1", "");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (id int NOT NULL, v varchar(3))");
    DBPROCESS* dbproc = db->handle();
    ASSERT_EQ(bcp_init(dbproc, "t", nullptr, nullptr, DB_IN), DBLIB_SUCCEED);
    DBINT id = 0;
    ASSERT_EQ(bcp_bind(dbproc, reinterpret_cast<BYTE*>(&id), 0, -1, nullptr, 0, SYBINT4, 1),
              DBLIB_SUCCEED);
    ASSERT_EQ(bcp_bind(dbproc, reinterpret_cast<BYTE*>(const_cast<char*>("abc")), 0, 3, nullptr, 0,
                       SYBCHAR, 2),
              DBLIB_SUCCEED);
    for (id = 1; id <= 3; ++id) bcp_sendrow(dbproc);
    EXPECT_EQ(bcp_done(dbproc), -1);   // the double hung up during the batch
    auto again = connection::open(faulty.port(), "Secret1", "");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->run("SELECT COUNT(*) FROM t").first(), "0");
}

TEST(DoubleStorage, KeepsDatabasesAcrossRestarts) {
    std::string dir = std::string(VANTREL_BUILD_DIR) + "/mssql-double-restart";
    std::system(("rm -rf '" + dir + "'").c_str());
    {
        private_double first({"--data-dir=" + dir});
        auto db = connection::open(first.port(), "Secret1", "");
        ASSERT_TRUE(db);
        db->run("CREATE DATABASE [kept db]");
        db->run("USE [kept db]");
        db->run("CREATE TABLE t (id int IDENTITY PRIMARY KEY, s nvarchar(3) DEFAULT (N'z'))");
        db->run("INSERT INTO t (s) VALUES (N'a')");
    }
    private_double second({"--data-dir=" + dir});
    auto db = connection::open(second.port(), "Secret1", "kept db");
    ASSERT_TRUE(db);
    db->run("INSERT INTO t (s) VALUES (N'b')");
    auto r = db->run("SELECT id, s FROM t ORDER BY id");
    ASSERT_EQ(r.sets.at(0).rows.size(), 2u);
    EXPECT_EQ(r.sets[0].rows[1][0].text, "2");   // the identity goes on where it stopped
    EXPECT_TRUE(db->run("INSERT INTO t (id, s) VALUES (1, N'c')").has_error(544));
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM t WHERE s = N'a'").first(), "1");
}
