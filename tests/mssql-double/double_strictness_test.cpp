// double_strictness_test.cpp - the double refuses what SQL Server refuses, with SQL Server's
// error numbers, and a refused statement leaves no row and no object behind.
#include "double_client.hpp"

#include <gtest/gtest.h>

using double_test::batch_result;
using double_test::fresh_ansi_database;
using double_test::fresh_database;

namespace {

// The number of rows in `table`, read back through the double.
std::string count_of(double_test::connection& db, const std::string& table) {
    return db.run("SELECT COUNT(*) FROM " + table).first();
}

}   // namespace

TEST(DoubleSyntax, RefusesWholeBatchOnSyntaxError) {
    auto db = fresh_database("dbl_syntax");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (a int)");
    // The first statement is valid, but a syntax error anywhere stops the whole batch.
    batch_result r = db->run("INSERT INTO t (a) VALUES (1)\nSELEC * FROM t");
    EXPECT_TRUE(r.has_error(102));
    EXPECT_EQ(count_of(*db, "t"), "0");
    r = db->run("SELECT * FROM WHERE");
    ASSERT_FALSE(r.messages.empty());
    EXPECT_EQ(r.messages[0].number, 156);
    EXPECT_EQ(r.messages[0].text, "Incorrect syntax near the keyword 'WHERE'.");
    EXPECT_TRUE(db->run("SELECT 'abc").has_error(105));
    EXPECT_TRUE(db->run("UPDATE t SET a = 1").has_error(156));   // not an accepted statement
    EXPECT_TRUE(db->run("SELECT TOP .5 a FROM t").has_error(102));
    EXPECT_TRUE(db->run("CREATE TABLE u (s varchar(1.5))").has_error(102));
    std::string deep = "SELECT " + std::string(20000, '(') + "1" + std::string(20000, ')');
    EXPECT_TRUE(db->run(deep).has_error(191));
    EXPECT_TRUE(db->run("SELECT " + std::string(20000, '+') + "1").has_error(191));
    std::string chain = "SELECT 1";
    for (int i = 0; i < 20000; ++i) chain += "+1";
    EXPECT_TRUE(db->run(chain).has_error(191));
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM t").first(), "0");   // still serving
}

TEST(DoubleObjects, ReportsMissingAndDuplicateObjects) {
    auto db = fresh_database("dbl_objects");
    ASSERT_TRUE(db);
    batch_result r = db->run("SELECT * FROM dbo.nosuch");
    ASSERT_TRUE(r.has_error(208));
    EXPECT_EQ(r.messages[0].text, "Invalid object name 'dbo.nosuch'.");
    db->run("CREATE TABLE t (a int)");
    EXPECT_TRUE(db->run("CREATE TABLE [T] (b int)").has_error(2714));   // names are case-blind
    EXPECT_TRUE(db->run("SELECT nosuch FROM t").has_error(207));
    EXPECT_TRUE(db->run("DROP TABLE nosuch").has_error(3701));
    EXPECT_TRUE(db->run("CREATE TABLE x.t (a int)").has_error(2760));
}

TEST(DoubleDatabases, ReportsMissingExistingAndBusyDatabases) {
    auto db = fresh_database("dbl_databases");
    ASSERT_TRUE(db);
    EXPECT_TRUE(db->run("CREATE DATABASE dbl_databases").has_error(1801));
    EXPECT_TRUE(db->run("USE dbl_no_such_db").has_error(911));
    EXPECT_TRUE(db->run("DROP DATABASE dbl_no_such_db").has_error(3701));
    EXPECT_TRUE(db->run("DROP DATABASE dbl_databases").has_error(3702));   // in use by us
    std::vector<double_test::server_message> messages;
    auto refused = double_test::connection::open(double_test::fixture_port(), "Secret1",
                                                 "dbl_no_such_db", &messages);
    EXPECT_FALSE(refused);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages[0].number, 4060);
}

TEST(DoubleNotNull, RefusesNullAndKeepsEarlierRowsOfTheStatementOut) {
    auto db = fresh_database("dbl_not_null");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (a int NOT NULL, b nvarchar(5) NULL)");
    batch_result r = db->run("INSERT INTO t (a, b) VALUES (1, N'x'), (NULL, N'y')");
    ASSERT_TRUE(r.has_error(515));
    EXPECT_EQ(r.messages[0].text, "Cannot insert the value NULL into column 'a', table "
                                  "'dbl_not_null.dbo.t'; column does not allow nulls. INSERT "
                                  "fails.");
    EXPECT_TRUE(r.has_error(3621));
    EXPECT_EQ(count_of(*db, "t"), "0");
    // A column left out without a default is NULL as well.
    EXPECT_TRUE(db->run("INSERT INTO t (b) VALUES (N'z')").has_error(515));
}

TEST(DoubleKeys, RefusesDuplicatesOfKeysAndUniqueIndexes) {
    auto db = fresh_database("dbl_keys");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (id int NOT NULL, code nvarchar(10) NULL, "
            "CONSTRAINT [PK_t] PRIMARY KEY CLUSTERED ([id]))");
    db->run("CREATE UNIQUE INDEX [IX_code] ON [dbo].[t] ([code])");
    db->run("INSERT INTO t (id, code) VALUES (1, N'abc')");
    batch_result r = db->run("INSERT INTO t (id, code) VALUES (1, N'def')");
    ASSERT_TRUE(r.has_error(2627));
    EXPECT_EQ(r.messages[0].text, "Violation of PRIMARY KEY constraint 'PK_t'. Cannot insert "
                                  "duplicate key in object 'dbo.t'. The duplicate key value is "
                                  "(1).");
    // The collation is case-insensitive and ignores trailing spaces, so these collide too.
    r = db->run("INSERT INTO t (id, code) VALUES (2, N'ABC  ')");
    ASSERT_TRUE(r.has_error(2601));
    EXPECT_EQ(r.messages[0].text, "Cannot insert duplicate key row in object 'dbo.t' with "
                                  "unique index 'IX_code'. The duplicate key value is (ABC  ).");
    // A unique index admits a single NULL.
    EXPECT_TRUE(db->run("INSERT INTO t (id, code) VALUES (3, NULL)").messages.empty());
    EXPECT_TRUE(db->run("INSERT INTO t (id, code) VALUES (4, NULL)").has_error(2601));
    EXPECT_EQ(count_of(*db, "t"), "2");
    db->run("INSERT INTO t (id, code) VALUES (5, N'dup')");
    db->run("CREATE TABLE u (v int)");
    db->run("INSERT INTO u (v) VALUES (7), (7)");
    EXPECT_TRUE(db->run("CREATE UNIQUE INDEX ux ON u (v)").has_error(1505));
    EXPECT_TRUE(db->run("CREATE INDEX [IX_code] ON t (id)").has_error(1913));
}

TEST(DoubleKeys, FilteredUniqueIndexChecksOnlyRowsWithValues) {
    auto db = fresh_ansi_database("dbl_filtered");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (id int NOT NULL, a int NULL, b int NULL)");
    db->run("INSERT INTO t (id, a, b) VALUES (1, NULL, 1), (2, NULL, 1)");
    EXPECT_TRUE(db->run("CREATE UNIQUE NONCLUSTERED INDEX [ux] ON [dbo].[t] ([a], [b]) "
                        "WHERE [a] IS NOT NULL AND [b] IS NOT NULL")
                    .messages.empty());
    EXPECT_TRUE(db->run("INSERT INTO t (id, a, b) VALUES (3, NULL, NULL), (4, NULL, NULL)")
                    .messages.empty());
    EXPECT_TRUE(db->run("INSERT INTO t (id, a, b) VALUES (5, 7, 1)").messages.empty());
    EXPECT_TRUE(db->run("INSERT INTO t (id, a, b) VALUES (6, 7, 1)").has_error(2601));
    EXPECT_EQ(count_of(*db, "t"), "5");
    // Rows with values that are duplicates already refuse the index.
    EXPECT_TRUE(db->run("INSERT INTO t (id, a, b) VALUES (8, 9, 1), (9, 9, 2)").messages.empty());
    EXPECT_TRUE(db->run("CREATE UNIQUE INDEX [uy] ON t (a) WHERE a IS NOT NULL").has_error(1505));
    EXPECT_FALSE(
        db->run("CREATE UNIQUE INDEX [uz] ON t (a) WHERE [nope] IS NOT NULL").messages.empty());
}

TEST(DoubleForeignKeys, RefusesOrphansOnInsertAndWhenAddingTheKey) {
    auto db = fresh_database("dbl_fkeys");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE p (id int NOT NULL CONSTRAINT PK_p PRIMARY KEY)");
    db->run("CREATE TABLE c (id int NOT NULL, pid int NULL)");
    db->run("INSERT INTO p (id) VALUES (1)");
    db->run("INSERT INTO c (id, pid) VALUES (1, 1), (2, 9)");
    batch_result r = db->run("ALTER TABLE [dbo].[c] ADD CONSTRAINT [FK_c_p] FOREIGN KEY ([pid]) "
                             "REFERENCES [dbo].[p] ([id])");
    ASSERT_TRUE(r.has_error(547));
    EXPECT_EQ(r.messages[0].text, "The ALTER TABLE statement conflicted with the FOREIGN KEY "
                                  "constraint \"FK_c_p\". The conflict occurred in database "
                                  "\"dbl_fkeys\", table \"dbo.p\", column 'id'.");
    EXPECT_EQ(db->run("EXEC sp_fkeys @pktable_name = N'p'").sets.at(0).rows.size(), 0u);
    EXPECT_TRUE(db->run("ALTER TABLE c WITH CHECK ADD CONSTRAINT FK_c_p FOREIGN KEY (pid) "
                        "REFERENCES p (id)")
                    .has_error(547));
    db->run("INSERT INTO p (id) VALUES (9)");
    EXPECT_TRUE(db->run("ALTER TABLE c ADD CONSTRAINT FK_c_p FOREIGN KEY (pid) REFERENCES p (id)")
                    .messages.empty());
    r = db->run("INSERT INTO c (id, pid) VALUES (3, 4)");
    ASSERT_TRUE(r.has_error(547));
    EXPECT_NE(r.messages[0].text.find("The INSERT statement conflicted"), std::string::npos);
    EXPECT_TRUE(db->run("INSERT INTO c (id, pid) VALUES (3, NULL)").messages.empty());
    EXPECT_TRUE(db->run("DROP TABLE p").has_error(3726));
    db->run("CREATE TABLE d (pid int NULL)\nINSERT INTO d (pid) VALUES (77)");
    EXPECT_TRUE(db->run("ALTER TABLE d WITH NOCHECK ADD CONSTRAINT FK_d_p FOREIGN KEY (pid) "
                        "REFERENCES p (id)")
                    .messages.empty());   // old rows are not checked
    EXPECT_TRUE(db->run("ALTER TABLE c ADD CONSTRAINT FK_x FOREIGN KEY (pid) "
                        "REFERENCES nosuch (id)")
                    .has_error(1767));
}

TEST(DoubleTruncation, RefusesStringsAndBinariesThatDoNotFit) {
    auto db = fresh_ansi_database("dbl_truncation");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (s varchar(3) NULL, n nvarchar(2) NULL, b varbinary(2) NULL)");
    batch_result r = db->run("INSERT INTO t (s) VALUES ('abcd')");
    ASSERT_TRUE(r.has_error(2628));
    EXPECT_EQ(r.messages[0].text, "String or binary data would be truncated in table "
                                  "'dbl_truncation.dbo.t', column 's'. Truncated value: 'abc'.");
    EXPECT_TRUE(db->run("INSERT INTO t (n) VALUES (N'xyz')").has_error(2628));
    EXPECT_TRUE(db->run("INSERT INTO t (b) VALUES (0x010203)").has_error(2628));
    // Trailing spaces are cut silently, as SQL Server does.
    EXPECT_TRUE(db->run("INSERT INTO t (s) VALUES ('ab    ')").messages.empty());
    EXPECT_EQ(count_of(*db, "t"), "1");
}

TEST(DoubleOverflow, RefusesNumbersOutOfTheirTypesRange) {
    auto db = fresh_ansi_database("dbl_overflow");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (s smallint NULL, r real NULL, n numeric(5,2) NULL, i int NULL, "
            "t tinyint NULL)");
    batch_result r = db->run("INSERT INTO t (s) VALUES (40000)");
    ASSERT_TRUE(r.has_error(220));
    EXPECT_EQ(r.messages[0].text, "Arithmetic overflow error for data type smallint, "
                                  "value = 40000.");
    EXPECT_TRUE(db->run("INSERT INTO t (t) VALUES (256)").has_error(220));
    EXPECT_TRUE(db->run("INSERT INTO t (t) VALUES (-1)").has_error(220));
    EXPECT_TRUE(db->run("INSERT INTO t (r) VALUES (1e308)").has_error(232));
    r = db->run("INSERT INTO t (n) VALUES (123456)");
    ASSERT_TRUE(r.has_error(8115));
    EXPECT_TRUE(db->run("INSERT INTO t (n) VALUES (1000.00)").has_error(8115));
    EXPECT_TRUE(db->run("INSERT INTO t (i) VALUES (2147483648)").has_error(8115));
    EXPECT_TRUE(db->run("INSERT INTO t (n) VALUES (999.994)").messages.empty());   // rounds
    EXPECT_EQ(db->run("SELECT n FROM t").first(), "999.99");
    EXPECT_EQ(count_of(*db, "t"), "1");
}

TEST(DoubleIdentity, RefusesExplicitValuesUnlessIdentityInsertIsOn) {
    auto db = fresh_database("dbl_identity");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (id int IDENTITY(10,5) NOT NULL, v int NULL)");
    batch_result r = db->run("INSERT INTO t (id, v) VALUES (1, 1)");
    ASSERT_TRUE(r.has_error(544));
    EXPECT_EQ(r.messages[0].text, "Cannot insert explicit value for identity column in table "
                                  "'t' when IDENTITY_INSERT is set to OFF.");
    db->run("INSERT INTO t (v) VALUES (1)");
    db->run("SET IDENTITY_INSERT [dbo].[t] ON");
    EXPECT_TRUE(db->run("INSERT INTO t (id, v) VALUES (100, 2)").messages.empty());
    db->run("SET IDENTITY_INSERT [dbo].[t] OFF");
    db->run("INSERT INTO t (v) VALUES (3)");
    batch_result ids = db->run("SELECT id FROM t ORDER BY v");
    ASSERT_EQ(ids.sets.at(0).rows.size(), 3u);
    EXPECT_EQ(ids.sets[0].rows[0][0].text, "10");
    EXPECT_EQ(ids.sets[0].rows[1][0].text, "100");
    EXPECT_EQ(ids.sets[0].rows[2][0].text, "105");   // continues after the explicit value
    db->run("CREATE TABLE u (id int IDENTITY, v int)");
    EXPECT_TRUE(db->run("SET IDENTITY_INSERT u ON").messages.empty());
    EXPECT_TRUE(db->run("SET IDENTITY_INSERT t ON").has_error(8107));   // one table at a time
    db->run("CREATE TABLE w (v int)");
    EXPECT_TRUE(db->run("SET IDENTITY_INSERT w ON").has_error(8106));
}

TEST(DoubleConversion, RefusesValuesThatAreNotOfTheColumnsType) {
    auto db = fresh_database("dbl_conversion");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (i int NULL, d datetime NULL, g uniqueidentifier NULL, "
            "b varbinary(4) NULL, m money NULL, f float NULL)");
    batch_result r = db->run("INSERT INTO t (i) VALUES ('abc')");
    ASSERT_TRUE(r.has_error(245));
    EXPECT_EQ(r.messages[0].text, "Conversion failed when converting the varchar value 'abc' "
                                  "to data type int.");
    EXPECT_TRUE(db->run("INSERT INTO t (d) VALUES ('not a date')").has_error(241));
    r = db->run("INSERT INTO t (d) VALUES ('17520101')");
    ASSERT_TRUE(r.has_error(242));
    EXPECT_EQ(r.messages[0].text, "The conversion of a varchar data type to a datetime data "
                                  "type resulted in an out-of-range value.");
    EXPECT_TRUE(db->run("INSERT INTO t (d) VALUES ('20230229')").has_error(242));
    EXPECT_TRUE(db->run("INSERT INTO t (g) VALUES ('xyz')").has_error(8169));
    EXPECT_TRUE(db->run("INSERT INTO t (b) VALUES ('ab')").has_error(257));
    EXPECT_TRUE(db->run("INSERT INTO t (m) VALUES ('1x')").has_error(235));
    EXPECT_TRUE(db->run("INSERT INTO t (f) VALUES ('x')").has_error(8114));
    // A conversion error ends the batch: the second insert never runs.
    r = db->run("INSERT INTO t (i) VALUES ('x')\nINSERT INTO t (i) VALUES (1)");
    EXPECT_EQ(count_of(*db, "t"), "0");
}

TEST(DoubleTypes, RefusesInvalidPrecisionScaleAndSize) {
    auto db = fresh_database("dbl_types");
    ASSERT_TRUE(db);
    EXPECT_TRUE(db->run("CREATE TABLE t (n numeric(39,0))").has_error(2750));
    EXPECT_TRUE(db->run("CREATE TABLE t (n decimal(5,6))").has_error(2751));
    EXPECT_TRUE(db->run("CREATE TABLE t (s varchar(8001))").has_error(131));
    EXPECT_TRUE(db->run("CREATE TABLE t (s nvarchar(4001))").has_error(131));
    EXPECT_TRUE(db->run("CREATE TABLE t (s widget)").has_error(2715));
    EXPECT_TRUE(db->run("CREATE TABLE t (a int, A int)").has_error(2705));
    EXPECT_TRUE(db->run("CREATE TABLE t (a int IDENTITY, b int IDENTITY)").has_error(2744));
    EXPECT_TRUE(db->run("CREATE TABLE t (a varchar(5) IDENTITY)").has_error(2749));
    EXPECT_TRUE(db->run("CREATE TABLE t (a ntext PRIMARY KEY)").has_error(1919));
    // None of the refused tables exists.
    EXPECT_TRUE(db->run("SELECT * FROM t").has_error(208));
}
