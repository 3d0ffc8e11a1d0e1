// double_schema_test.cpp - foreign keys switched off and on ([NO]CHECK CONSTRAINT) and
// CONVERT to date and time in defaults, each as SQL Server answers them: which rows a key
// checks, what sys.foreign_keys says, the error numbers of misuse.
#include "double_client.hpp"

#include <gtest/gtest.h>

using double_test::batch_result;
using double_test::fresh_database;

namespace {

// is_disabled and is_not_trusted of one foreign key, as "0"/"1" text.
std::pair<std::string, std::string> key_state(double_test::connection& db,
                                              const std::string& name) {
    batch_result r = db.run("SELECT is_disabled, is_not_trusted FROM sys.foreign_keys"
                            " WHERE name = '"
                            + name + "'");
    if (r.sets.empty() || r.sets[0].rows.size() != 1) return {"missing", "missing"};
    return {r.sets[0].rows[0].at(0).text, r.sets[0].rows[0].at(1).text};
}

}   // namespace

TEST(DoubleForeignKeys, NocheckKeysCheckNoRowUntilEnabled) {
    auto db = fresh_database("dbl_nocheck");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE p (id int NOT NULL CONSTRAINT PK_p PRIMARY KEY)");
    db->run("CREATE TABLE c (id int NOT NULL, pid int NULL)");
    db->run("INSERT INTO p (id) VALUES (1)");
    db->run("INSERT INTO c (id, pid) VALUES (1, 2)");   // an orphan before any key
    const std::string add = "ALTER TABLE c ADD CONSTRAINT FK_c FOREIGN KEY (pid) REFERENCES p (id)";
    EXPECT_TRUE(db->run(add).has_error(547));
    batch_result added = db->run("ALTER TABLE c WITH NOCHECK ADD CONSTRAINT FK_c FOREIGN KEY "
                                 "(pid) REFERENCES p (id)");
    EXPECT_TRUE(added.messages.empty());
    EXPECT_EQ(key_state(*db, "FK_c"), std::make_pair(std::string("0"), std::string("1")));
    // Enabled, if untrusted: new rows are checked.
    EXPECT_TRUE(db->run("INSERT INTO c (id, pid) VALUES (2, 3)").has_error(547));

    EXPECT_TRUE(db->run("ALTER TABLE c NOCHECK CONSTRAINT FK_c").messages.empty());
    EXPECT_EQ(key_state(*db, "FK_c"), std::make_pair(std::string("1"), std::string("1")));
    EXPECT_TRUE(db->run("INSERT INTO c (id, pid) VALUES (2, 3)").messages.empty());

    // CHECK CONSTRAINT alone enables without reading the rows; WITH CHECK reads them.
    EXPECT_TRUE(db->run("ALTER TABLE c CHECK CONSTRAINT FK_c").messages.empty());
    EXPECT_EQ(key_state(*db, "FK_c"), std::make_pair(std::string("0"), std::string("1")));
    EXPECT_TRUE(db->run("ALTER TABLE c WITH CHECK CHECK CONSTRAINT FK_c").has_error(547));
    EXPECT_EQ(key_state(*db, "FK_c"), std::make_pair(std::string("0"), std::string("1")));
    db->run("ALTER TABLE c NOCHECK CONSTRAINT ALL");
    EXPECT_EQ(key_state(*db, "FK_c").first, "1");
}

TEST(DoubleForeignKeys, SwitchingWhatIsNoForeignKeyIsRefused) {
    auto db = fresh_database("dbl_nocheck_misuse");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE p (id int NOT NULL CONSTRAINT PK_p PRIMARY KEY)");
    batch_result missing = db->run("ALTER TABLE p NOCHECK CONSTRAINT nosuch");
    ASSERT_EQ(missing.messages.size(), 2u);
    EXPECT_EQ(missing.messages[0].number, 4917);
    EXPECT_EQ(missing.messages[0].text, "Constraint 'nosuch' does not exist.");
    EXPECT_EQ(missing.messages[1].number, 4916);
    batch_result primary = db->run("ALTER TABLE p NOCHECK CONSTRAINT PK_p");
    ASSERT_EQ(primary.messages.size(), 2u);
    EXPECT_EQ(primary.messages[0].number, 11415);
    EXPECT_EQ(primary.messages[1].number, 4916);
    EXPECT_TRUE(db->run("ALTER TABLE nosuch NOCHECK CONSTRAINT ALL").has_error(4902));
    EXPECT_TRUE(db->run("ALTER TABLE p NOCHECK PK_p").has_error(102));
}

TEST(DoubleConvert, DateAndTimeDefaultsStoreTheirDatetime) {
    auto db = fresh_database("dbl_convert_defaults");
    ASSERT_TRUE(db);
    batch_result created = db->run(
        "CREATE TABLE d (id int NOT NULL, made datetime DEFAULT (GETDATE()),"
        " day datetime DEFAULT (CONVERT(date, GETDATE())),"
        " hour datetime DEFAULT CONVERT(time, GETDATE()))");
    ASSERT_TRUE(created.messages.empty());
    db->run("INSERT INTO d (id) VALUES (1)");
    // Midnight of the day the row was made; the time of day on 1900-01-01.
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM d WHERE day = CONVERT(date, made)").first(), "1");
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM d WHERE day = CONVERT(date, day)").first(), "1");
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM d WHERE CONVERT(date, hour) = '19000101'").first(),
              "1");
    EXPECT_EQ(db->run("SELECT COLUMN_DEFAULT FROM INFORMATION_SCHEMA.COLUMNS"
                      " WHERE COLUMN_NAME = 'day'")
                  .first(),
              "(CONVERT([date],getdate()))");
    EXPECT_EQ(db->run("SELECT LEN(CONVERT(nvarchar(36), NEWID()))").first(), "36");
}

TEST(DoubleConvert, RefusesUnknownTypesAndImpossibleConversions) {
    auto db = fresh_database("dbl_convert_misuse");
    ASSERT_TRUE(db);
    batch_result unknown = db->run("SELECT CONVERT(nosuchtype, 1)");
    ASSERT_TRUE(unknown.has_error(243));
    EXPECT_EQ(unknown.messages[0].text, "Type nosuchtype is not a defined system type.");
    batch_result number = db->run("SELECT CONVERT(date, 5)");
    ASSERT_TRUE(number.has_error(529));
    EXPECT_EQ(number.messages[0].text,
              "Explicit conversion from data type int to date is not allowed.");
    EXPECT_TRUE(db->run("SELECT CONVERT(time, 'not a time')").has_error(241));
}
