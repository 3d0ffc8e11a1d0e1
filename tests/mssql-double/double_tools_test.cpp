// double_tools_test.cpp - FreeTDS's own programs against the double: tsql logs in and runs
// batches, freebcp bulk-loads a file and bsqldb reads it back; a bulk batch with a bad row
// is refused whole.
#include "double_client.hpp"

#include "mssql-double/double_fixture.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using double_test::fresh_database;
using double_test::run_program;

namespace {

std::string write_file(const std::string& name, const std::string& text) {
    std::string path = std::string(VANTREL_BUILD_DIR) + "/" + name;
    std::ofstream(path) << text;
    return path;
}

class DoubleTools : public ::testing::Test {
protected:
    void SetUp() override {
        conf = double_test::freetds_conf(double_test::fixture_port());
        setenv("FREETDSCONF", conf.c_str(), 1);
    }
    std::string conf;
};

}   // namespace

TEST_F(DoubleTools, TsqlLogsInAndReportsErrorsWithNumbers) {
    std::string out = run_program({"tsql", "-S", "dbl", "-U", "sa", "-P", "Secret1"},
                                  "SELECT @@VERSION\ngo\nSELECT * FROM dbo.missing\ngo\nexit\n");
    EXPECT_NE(out.find("Microsoft SQL Server 2019"), std::string::npos) << out;
    EXPECT_NE(out.find("Msg 208"), std::string::npos) << out;
    out = run_program({"tsql", "-S", "dbl", "-U", "sa", "-P", "wrong"}, "exit\n");
    EXPECT_NE(out.find("Login failed for user 'sa'"), std::string::npos) << out;
}

TEST_F(DoubleTools, FreebcpLoadsAFileThatReadsBackExactly) {
    auto db = fresh_database("dbl_freebcp");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE [dbo].[t] ([id] int IDENTITY(1,1) NOT NULL PRIMARY KEY, "
            "[name] nvarchar(20) NULL, [price] money NULL, [when] datetime NULL, "
            "[ratio] float NULL, [qty] numeric(9,3) NULL, [flag] bit NULL, [memo] ntext NULL, "
            "[blob] varbinary(max) NULL)");
    std::string data = write_file("dbl_freebcp.txt", "7\tZo\xC3\xAB \xF0\x9F\x98\x80\t12.3456"
                                                     "\t2024-02-29 13:05:09.997"
                                                     "\t0.1\t-12.5\t1\tlong memo\t0A0B\n"
                                                     "8\t\t\t\t\t\t\t\t\n");
    int status = -1;
    std::string out = run_program({"freebcp", "dbl_freebcp.dbo.t", "in", data, "-S", "dbl", "-U",
                                   "sa", "-P", "Secret1", "-c"},
                                  "", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("2 rows copied"), std::string::npos) << out;
    auto r = db->run("SELECT id, name, price, [when], ratio, qty, flag, memo, blob FROM t "
                     "ORDER BY id");
    ASSERT_EQ(r.sets.size(), 1u);
    ASSERT_EQ(r.sets[0].rows.size(), 2u);
    const auto& row = r.sets[0].rows[0];
    EXPECT_EQ(row[0].text, "1");   // identity generated: freebcp without -E skips the column
    EXPECT_EQ(row[1].text, "Zo\xC3\xAB \xF0\x9F\x98\x80");
    EXPECT_EQ(row[2].text, "12.3456");
    EXPECT_EQ(row[5].text, "-12.500");
    EXPECT_EQ(row[6].text, "1");
    EXPECT_EQ(row[7].text, "long memo");
    EXPECT_EQ(row[8].raw, (std::vector<unsigned char>{0x0A, 0x0B}));
    for (std::size_t i = 1; i < r.sets[0].rows[1].size(); ++i)
        EXPECT_TRUE(r.sets[0].rows[1][i].b_null) << "column " << i;

    std::string listed = run_program(
        {"bsqldb", "-S", "dbl", "-U", "sa", "-P", "Secret1", "-D", "dbl_freebcp"},
        "SELECT name, qty FROM t WHERE id = 1\n");
    EXPECT_NE(listed.find("-12.500"), std::string::npos) << listed;
}

TEST_F(DoubleTools, FreebcpKeepsIdentityWithE) {
    auto db = fresh_database("dbl_freebcp_e");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (id int IDENTITY(1,1) NOT NULL, v varchar(5) NULL)");
    std::string data = write_file("dbl_freebcp_e.txt", "41\ta\n42\tb\n");
    std::string out = run_program({"freebcp", "dbl_freebcp_e.dbo.t", "in", data, "-S", "dbl", "-U",
                                   "sa", "-P", "Secret1", "-c", "-E"},
                                  "");
    auto r = db->run("SELECT id FROM t ORDER BY id");
    ASSERT_EQ(r.sets.at(0).rows.size(), 2u) << out;
    EXPECT_EQ(r.sets[0].rows[0][0].text, "41");
    EXPECT_EQ(r.sets[0].rows[1][0].text, "42");
    db->run("INSERT INTO t (v) VALUES ('c')");
    EXPECT_EQ(db->run("SELECT MAX(id) FROM t").first(), "43");
}

TEST_F(DoubleTools, FreebcpBatchWithADuplicateKeyLeavesNoRow) {
    auto db = fresh_database("dbl_freebcp_dup");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (id int NOT NULL CONSTRAINT PK_t PRIMARY KEY, v varchar(5) NULL)");
    std::string data = write_file("dbl_freebcp_dup.txt", "1\ta\n2\tb\n1\tc\n");
    run_program({"freebcp", "dbl_freebcp_dup.dbo.t", "in", data, "-S", "dbl", "-U", "sa", "-P",
                 "Secret1", "-c"},
                "");
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM t").first(), "0");
}
