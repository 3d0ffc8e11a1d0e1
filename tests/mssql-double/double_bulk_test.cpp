// double_bulk_test.cpp - bulk load rules, driven with freebcp and its hints: defaults fill
// NULLs unless KEEP_NULLS, foreign keys are checked only with CHECK_CONSTRAINTS, and each
// batch is committed on its own (a failed batch keeps none of its rows, earlier batches stay).
#include "double_client.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using double_test::fresh_database;
using double_test::run_program;

namespace {

class DoubleBulk : public ::testing::Test {
protected:
    void SetUp() override {
        conf = double_test::freetds_conf(double_test::fixture_port());
        setenv("FREETDSCONF", conf.c_str(), 1);
    }

    // Loads `rows` into database.dbo.table with freebcp; returns its output.
    std::string load(const std::string& database, const std::string& table, const std::string& rows,
                     const std::vector<std::string>& options = {}) {
        std::string path = std::string(VANTREL_BUILD_DIR) + "/" + database + ".bcp";
        std::ofstream(path) << rows;
        std::vector<std::string> argv = {"freebcp", database + ".dbo." + table,
                                         "in",      path,
                                         "-S",      "dbl",
                                         "-U",      "sa",
                                         "-P",      "Secret1",
                                         "-c"};
        argv.insert(argv.end(), options.begin(), options.end());
        return run_program(argv, "");
    }

    std::string conf;
};

std::vector<std::string> column_text(const double_test::batch_result& result) {
    std::vector<std::string> values;
    for (const auto& row : result.sets.at(0).rows)
        values.push_back(row.at(0).b_null ? "NULL" : row[0].text);
    return values;
}

}   // namespace

TEST_F(DoubleBulk, DefaultsFillNullsUnlessKeepNulls) {
    auto db = fresh_database("dbl_bulk_nulls");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (k int NOT NULL, v int NULL DEFAULT ((42)))");
    load("dbl_bulk_nulls", "t", "1\t\n");
    load("dbl_bulk_nulls", "t", "2\t\n", {"-h", "KEEP_NULLS"});
    auto r = db->run("SELECT v FROM t ORDER BY k");
    EXPECT_EQ(column_text(r), (std::vector<std::string>{"42", "NULL"}));
}

TEST_F(DoubleBulk, ChecksForeignKeysOnlyWhenAsked) {
    auto db = fresh_database("dbl_bulk_fk");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE p (id int NOT NULL PRIMARY KEY)\n"
            "CREATE TABLE c (id int NOT NULL, pid int NULL, "
            "CONSTRAINT FK_c_p FOREIGN KEY (pid) REFERENCES p (id))\n"
            "INSERT INTO p (id) VALUES (1)");
    std::string out = load("dbl_bulk_fk", "c", "1\t1\n2\t7\n", {"-h", "CHECK_CONSTRAINTS"});
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM c").first(), "0") << out;
    // SQL Server skips the check without the hint (and no longer trusts the key).
    load("dbl_bulk_fk", "c", "1\t1\n2\t7\n");
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM c").first(), "2");
}

TEST_F(DoubleBulk, CommitsEachBatchOnItsOwn) {
    auto db = fresh_database("dbl_bulk_batches");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (id int NOT NULL CONSTRAINT PK_t PRIMARY KEY)");
    std::string out = load("dbl_bulk_batches", "t", "1\n2\n3\n1\n", {"-b", "2"});
    auto r = db->run("SELECT id FROM t ORDER BY id");
    EXPECT_EQ(column_text(r), (std::vector<std::string>{"1", "2"})) << out;
}

TEST_F(DoubleBulk, RefusesValuesTheColumnsCannotHold) {
    auto db = fresh_database("dbl_bulk_values");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (id int NOT NULL, d datetime NULL, s smallint NULL)");
    load("dbl_bulk_values", "t", "1\t2024-02-29 13:05:09.998\t7\n");
    auto r = db->run("SELECT d FROM t");
    ASSERT_EQ(r.sets.at(0).rows.size(), 1u);
    // A bcp client sends datetime already in ticks: .998 arrives rounded to .997.
    EXPECT_EQ(r.sets[0].rows[0][0].text.substr(0, 3), "Feb");
    load("dbl_bulk_values", "t", "2\t\t70000\n");   // freebcp refuses 70000 itself
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM t").first(), "1");
}

// A bulk load into a table with a filtered index needs the same SET options as INSERT
// (1934); freebcp's -O sends them first, as a careful client does.
TEST_F(DoubleBulk, FilteredIndexNeedsTheAnsiOptions) {
    auto db = double_test::fresh_ansi_database("dbl_bulk_filtered");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (k int NOT NULL, v int NULL)\n"
            "CREATE UNIQUE INDEX ux ON t (v) WHERE v IS NOT NULL");
    std::string refused = load("dbl_bulk_filtered", "t", "1\t7\n");
    EXPECT_NE(refused.find("INSERT BULK failed because the following SET options"),
              std::string::npos)
        << refused;
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM t").first(), "0");
    load("dbl_bulk_filtered", "t", "1\t7\n", {"-O", double_test::ANSI_OPTIONS_ON});
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM t").first(), "1");
}
