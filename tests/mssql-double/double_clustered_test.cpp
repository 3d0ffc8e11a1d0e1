// double_clustered_test.cpp - tables whose clustered primary key is one integer column, which
// the double stores by that key: the key must refuse duplicates, keep the table's other
// indexes and serve foreign keys exactly as an index would, whether the key came with the
// table, was added to it empty (as the agent does), added over rows, or read back after a
// restart.
#include "double_client.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

using double_test::batch_result;
using double_test::connection;
using double_test::fresh_ansi_database;
using double_test::fresh_database;
using double_test::private_double;

namespace {

const char* const DUPLICATE_ONE = "Violation of PRIMARY KEY constraint 'PK_t'. Cannot insert "
                                  "duplicate key in object 'dbo.t'. The duplicate key value is "
                                  "(1).";

std::string text_of(const batch_result& result) {
    return result.messages.empty() ? "" : result.messages[0].text;
}

}   // namespace

TEST(DoubleClustered, KeyAddedToAnEmptyTableRefusesDuplicatesByName) {
    auto db = fresh_database("dbl_clustered_added");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (id bigint NOT NULL, v nvarchar(5) NULL)");
    EXPECT_TRUE(db->run("ALTER TABLE t ADD CONSTRAINT PK_t PRIMARY KEY CLUSTERED (id)").b_ok);
    db->run("INSERT INTO t (id, v) VALUES (1, N'a')");
    batch_result r = db->run("INSERT INTO t (id, v) VALUES (1, N'b')");
    ASSERT_TRUE(r.has_error(2627));
    EXPECT_EQ(text_of(r), DUPLICATE_ONE);
    // The whole bigint range, ends included, is a key like any other.
    db->run("INSERT INTO t (id, v) VALUES (-9223372036854775808, N'min'), "
            "(9223372036854775807, N'max')");
    EXPECT_TRUE(
        db->run("INSERT INTO t (id, v) VALUES (9223372036854775807, N'again')").has_error(2627));
    auto rows = db->run("SELECT id, v FROM t ORDER BY id");
    ASSERT_EQ(rows.sets.at(0).rows.size(), 3u);
    EXPECT_EQ(rows.sets[0].rows[0][1].text, "min");
    EXPECT_EQ(rows.sets[0].rows[2][0].text, "9223372036854775807");
}

TEST(DoubleClustered, KeyAddedOverRowsRefusesDuplicatesAsTheKeyMadeWithTheTable) {
    auto db = fresh_database("dbl_clustered_over_rows");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (id int NOT NULL)\nINSERT INTO t (id) VALUES (1), (1)");
    EXPECT_TRUE(
        db->run("ALTER TABLE t ADD CONSTRAINT PK_t PRIMARY KEY CLUSTERED (id)").has_error(1505));
    db->run("CREATE TABLE u (id int NOT NULL)\nINSERT INTO u (id) VALUES (1)\n"
            "ALTER TABLE u ADD CONSTRAINT PK_u PRIMARY KEY CLUSTERED (id)");
    batch_result r = db->run("INSERT INTO u (id) VALUES (1)");
    ASSERT_TRUE(r.has_error(2627));
    EXPECT_NE(text_of(r).find("'PK_u'"), std::string::npos) << text_of(r);
}

TEST(DoubleClustered, OtherIndexesKeepTheirRulesWhenTheKeyComesLater) {
    auto db = fresh_ansi_database("dbl_clustered_filtered");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (id int NOT NULL, code int NULL)\n"
            "CREATE UNIQUE NONCLUSTERED INDEX ux ON t (code) WHERE code IS NOT NULL\n"
            "ALTER TABLE t ADD CONSTRAINT PK_t PRIMARY KEY CLUSTERED (id)");
    // The filter survives: NULLs may repeat, values may not.
    EXPECT_TRUE(db->run("INSERT INTO t (id, code) VALUES (1, NULL), (2, NULL), (3, 5)").b_ok);
    batch_result r = db->run("INSERT INTO t (id, code) VALUES (4, 5)");
    ASSERT_TRUE(r.has_error(2601));
    EXPECT_NE(text_of(r).find("'ux'"), std::string::npos) << text_of(r);
    EXPECT_TRUE(db->run("INSERT INTO t (id, code) VALUES (3, 6)").has_error(2627));
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM t").first(), "3");
}

TEST(DoubleClustered, ForeignKeysFindTheirParentsByTheKey) {
    auto db = fresh_database("dbl_clustered_fk");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE p (id int NOT NULL)\n"
            "ALTER TABLE p ADD CONSTRAINT PK_p PRIMARY KEY CLUSTERED (id)\n"
            "CREATE TABLE c (id int NOT NULL, pid int NULL)\n"
            "ALTER TABLE c ADD CONSTRAINT FK_c_p FOREIGN KEY (pid) REFERENCES p (id)\n"
            "INSERT INTO p (id) VALUES (1)");
    EXPECT_TRUE(db->run("INSERT INTO c (id, pid) VALUES (10, 1), (11, NULL)").b_ok);
    EXPECT_TRUE(db->run("INSERT INTO c (id, pid) VALUES (12, 2)").has_error(547));
    // Rows let in while the key was off are found when it is checked again.
    db->run("ALTER TABLE c NOCHECK CONSTRAINT FK_c_p\nINSERT INTO c (id, pid) VALUES (13, 3)");
    EXPECT_TRUE(db->run("ALTER TABLE c WITH CHECK CHECK CONSTRAINT FK_c_p").has_error(547));
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM c").first(), "3");
}

TEST(DoubleClustered, KeyStillRefusesDuplicatesAfterARestart) {
    std::string dir = std::string(VANTREL_BUILD_DIR) + "/mssql-double-clustered-restart";
    std::system(("rm -rf '" + dir + "'").c_str());
    {
        private_double first({"--data-dir=" + dir});
        auto db = connection::open(first.port(), "Secret1", "");
        ASSERT_TRUE(db);
        db->run("CREATE DATABASE kept");
        db->run("USE kept");
        db->run("CREATE TABLE t (id int NOT NULL, v int NULL)\n"
                "ALTER TABLE t ADD CONSTRAINT PK_t PRIMARY KEY CLUSTERED (id)\n"
                "CREATE TABLE c (id int NOT NULL, pid int NULL, "
                "CONSTRAINT FK_c_t FOREIGN KEY (pid) REFERENCES t (id))\n"
                "INSERT INTO t (id, v) VALUES (1, 7)");
    }
    private_double second({"--data-dir=" + dir});
    auto db = connection::open(second.port(), "Secret1", "kept");
    ASSERT_TRUE(db);
    batch_result r = db->run("INSERT INTO t (id, v) VALUES (1, 8)");
    ASSERT_TRUE(r.has_error(2627));
    EXPECT_EQ(text_of(r), DUPLICATE_ONE);
    EXPECT_TRUE(db->run("INSERT INTO c (id, pid) VALUES (1, 1)").b_ok);
    EXPECT_TRUE(db->run("INSERT INTO c (id, pid) VALUES (2, 2)").has_error(547));
}
