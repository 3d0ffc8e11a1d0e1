// double_select_test.cpp - reading back: filters, ordering, aggregates, identities, long
// values across many packets, and how a batch goes on after a statement error.
#include "double_client.hpp"

#include <gtest/gtest.h>

#include <cstring>

using double_test::fresh_database;

namespace {

std::vector<std::string> first_column(const double_test::batch_result& result) {
    std::vector<std::string> values;
    if (result.sets.empty()) return values;
    for (const auto& row : result.sets[0].rows)
        values.push_back(row.at(0).b_null ? "NULL" : row[0].text);
    return values;
}

}   // namespace

TEST(DoubleQueries, FilterOrderAndAggregate) {
    auto db = fresh_database("dbl_queries");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (id int NOT NULL PRIMARY KEY, name varchar(10) NULL, "
            "price decimal(6,2) NULL)");
    db->run("INSERT INTO t (id, name, price) VALUES (3, 'pear', 2.50), (1, 'apple', 1.25), "
            "(2, 'Plum', NULL), (4, 'fig', 10)");
    // No ORDER BY: rows come in clustered-key order, whatever the order of the inserts.
    EXPECT_EQ(first_column(db->run("SELECT id FROM t")),
              (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(first_column(db->run("SELECT name FROM t WHERE name LIKE 'p%' ORDER BY id DESC")),
              (std::vector<std::string>{"pear", "Plum"}));
    EXPECT_EQ(first_column(db->run("SELECT id FROM t WHERE name LIKE '_i%' OR name LIKE "
                                   "'%L_M' OR name LIKE 'a%%e'")),
              (std::vector<std::string>{"1", "2", "4"}));
    // Many % in a pattern must not take exponential time (an answer arrives at all).
    std::string stars(60, '%');
    EXPECT_TRUE(db->run("SELECT COUNT(*) FROM t WHERE name LIKE '" + stars + "x" + stars + "'")
                    .messages.empty());
    EXPECT_EQ(first_column(db->run("SELECT id FROM t WHERE id IN (4, 2, 9) ORDER BY 1")),
              (std::vector<std::string>{"2", "4"}));
    EXPECT_EQ(first_column(db->run("SELECT TOP 2 id FROM t ORDER BY price")),
              (std::vector<std::string>{"2", "1"}));   // NULL sorts first
    EXPECT_EQ(first_column(db->run("SELECT id FROM t WHERE price > 2 AND NOT (id = 4)")),
              (std::vector<std::string>{"3"}));
    EXPECT_EQ(first_column(db->run("SELECT id FROM t WHERE price <> 2.5")),
              (std::vector<std::string>{"1", "4"}));   // NULL is neither equal nor unequal
    auto totals = db->run("SELECT COUNT(*), COUNT(price), MIN(name), MAX(price), SUM(price) "
                          "FROM t");
    ASSERT_EQ(totals.sets.size(), 1u);
    const auto& row = totals.sets[0].rows.at(0);
    EXPECT_EQ(row[0].text, "4");
    EXPECT_EQ(row[1].text, "3");
    EXPECT_EQ(row[2].text, "apple");   // case-insensitive order: apple < fig < pear < Plum
    EXPECT_EQ(row[3].text, "10.00");
    EXPECT_EQ(row[4].text, "13.75");
    EXPECT_TRUE(db->run("SELECT id, COUNT(*) FROM t").has_error(8120));
    EXPECT_TRUE(db->run("SELECT id FROM t ORDER BY 3").has_error(108));
    EXPECT_TRUE(db->run("SELECT id FROM t WHERE nope = 1").has_error(207));
    EXPECT_TRUE(db->run("SELECT FOO(1)").has_error(195));
}

TEST(DoubleQueries, CountsTheRowsOfAQuery) {
    auto db = fresh_database("dbl_count_query");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (a int, b nvarchar(3))");
    db->run("INSERT INTO t (a, b) VALUES (1, N'x'), (2, N'y'), (3, N'x')");
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM (SELECT a FROM t WHERE b = N'x') as query").first(),
              "2");
    auto r = db->run("SELECT * FROM (SELECT a AS n, b FROM t) AS q WHERE q.n > 1 ORDER BY b, n");
    ASSERT_EQ(r.sets.size(), 1u);
    EXPECT_EQ(r.sets[0].names, (std::vector<std::string>{"n", "b"}));
    EXPECT_EQ(first_column(r), (std::vector<std::string>{"3", "2"}));
}

TEST(DoubleBatches, GoOnAfterStatementErrorsAndStopAfterBatchErrors) {
    auto db = fresh_database("dbl_batches");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (a int NOT NULL)");
    // 515 ends only its statement; the inserts around it run. The error names its line.
    auto r = db->run("INSERT INTO t (a) VALUES (1)\nINSERT INTO t (a) VALUES (NULL)\n"
                     "INSERT INTO t (a) VALUES (3)");
    ASSERT_TRUE(r.has_error(515));
    for (const auto& message : r.messages) {
        if (message.number != 515) continue;
        EXPECT_EQ(message.line, 2);
    }
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM t").first(), "2");
    // 208 ends the batch: the insert after it never runs.
    db->run("INSERT INTO t (a) VALUES (4); SELECT * FROM nosuch; INSERT INTO t (a) VALUES (5)");
    EXPECT_EQ(first_column(db->run("SELECT a FROM t ORDER BY a")),
              (std::vector<std::string>{"1", "3", "4"}));
}

// SQL Server takes at most 1000 rows in one VALUES list (10738, found as the batch is
// compiled, so nothing of it runs) and has no parameter limit for literals: 1000 rows of
// three literals (3000 values, over the 2100 parameters of an RPC) are accepted.
TEST(DoubleBatches, TakeAThousandRowValuesAndRefuseMoreBeforeRunning) {
    auto db = fresh_database("dbl_row_values");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (a int NOT NULL, b nvarchar(10) NULL, c float NULL)");
    const auto values = [](int first, int count) {
        std::string list;
        for (int row = first; row < first + count; ++row) {
            list += (list.empty() ? "(" : ", (") + std::to_string(row) + ", N'r', 1.5E+0)";
        }
        return list;
    };
    auto r = db->run("INSERT INTO t (a, b, c) VALUES " + values(1, 1000));
    EXPECT_TRUE(r.messages.empty()) << r.messages.front().text;
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM t").first(), "1000");
    r = db->run("INSERT INTO t (a) VALUES (0)\nINSERT INTO t (a, b, c) VALUES "
                + values(2000, 1001));
    ASSERT_TRUE(r.has_error(10738));
    EXPECT_EQ(r.messages[0].text, "The number of row value expressions in the INSERT statement "
                                  "exceeds the maximum allowed number of 1000 row values.");
    EXPECT_EQ(r.messages[0].line, 2);
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM t").first(), "1000");
    // A multi-row statement is all or nothing; its error names its own line of the batch,
    // and the statements after it run.
    r = db->run("INSERT INTO t (a) VALUES (5000)\nINSERT INTO t (a) VALUES (5001), (NULL)\n"
                "INSERT INTO t (a) VALUES (5002)");
    ASSERT_TRUE(r.has_error(515));
    EXPECT_EQ(r.messages[0].line, 2);
    EXPECT_EQ(first_column(db->run("SELECT a FROM t WHERE a >= 5000 ORDER BY a")),
              (std::vector<std::string>{"5000", "5002"}));
}

TEST(DoubleIdentityValues, ReportTheLastIdentityOfTheSession) {
    auto db = fresh_database("dbl_identity_values");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (id bigint IDENTITY(100, -10) NOT NULL, v int)");
    db->run("INSERT INTO t (v) VALUES (1), (2)");
    EXPECT_EQ(db->run("SELECT @@IDENTITY").first(), "90");
    EXPECT_EQ(db->run("SELECT SCOPE_IDENTITY()").first(), "90");
    // IDENTITY_INSERT belongs to the session that set it.
    auto other = double_test::connection::open(double_test::fixture_port(), "Secret1",
                                               "dbl_identity_values");
    ASSERT_TRUE(other);
    db->run("SET IDENTITY_INSERT t ON");
    EXPECT_TRUE(other->run("INSERT INTO t (id, v) VALUES (5, 3)").has_error(544));
    EXPECT_TRUE(db->run("INSERT INTO t (id, v) VALUES (5, 3)").messages.empty());
    EXPECT_TRUE(db->run("DROP DATABASE dbl_identity_values").has_error(3702));
}

TEST(DoubleLongValues, TravelWholeAcrossManyPackets) {
    auto db = fresh_database("dbl_long_values");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (k int, m nvarchar(max), b varbinary(max), x text, d datetime2(3))");
    std::string big(20000, 'q');
    db->run("INSERT INTO t (k, m, b, x, d) VALUES (1, N'" + big + "', 0x" + std::string(40000, 'A')
            + ", '" + big + "', '2024-02-29 13:05:09.12345')");
    auto r = db->run("SELECT m, b, x, d FROM t");
    ASSERT_EQ(r.sets.at(0).rows.size(), 1u);
    const auto& row = r.sets[0].rows[0];
    EXPECT_EQ(row[0].text, big);
    EXPECT_EQ(row[1].raw, std::vector<unsigned char>(20000, 0xAA));
    EXPECT_EQ(row[2].raw.size(), 20000u);
    // datetime2(3) keeps .123 of .12345: 13:05:09.123 is 471091230000 units of 100 ns.
    ASSERT_GE(row[3].raw.size(), sizeof(DBDATETIMEALL));
    DBDATETIMEALL when;
    std::memcpy(&when, row[3].raw.data(), sizeof when);
    EXPECT_EQ(when.time, 471091230000ULL);
    db->run("SET TEXTSIZE 100");
    r = db->run("SELECT x FROM t");
    EXPECT_EQ(r.sets.at(0).rows.at(0).at(0).raw.size(), 100u);
}
