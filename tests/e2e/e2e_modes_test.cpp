// e2e_modes_test.cpp - the four conversion modes against an existing destination database and
// tables, and the foreign keys a mode-0 run leaves behind. Source: indexTestV2000.mdb (Table1,
// Table2, Table3 with primary keys; Table1 references Table2 and Table3).
#include <algorithm>
#include <fstream>
#include <sys/stat.h>

#include "e2e/e2e_case.hpp"

namespace {

constexpr const char* SOURCE = "jahlborn-jackcess/V2000/indexTestV2000.mdb";

class ConversionMode : public E2eCase {
protected:
    void SetUp() override {
        E2eCase::SetUp();
        if (IsSkipped()) return;
        db = e2e_unique_db(::testing::UnitTest::GetInstance()->current_test_info()->name());
        guard = std::make_unique<e2e_database_guard>(*client, db);
        client->query("", "CREATE DATABASE " + e2e_bracket(db));
        // A stranger the source does not know, and a Table1 of another shape and content.
        client->query(db, "CREATE TABLE [Stray] (x int NULL)\nINSERT INTO [Stray] (x) VALUES (7)\n"
                          "CREATE TABLE [Table1] (other nvarchar(10) NULL)\n"
                          "INSERT INTO [Table1] (other) VALUES (N'mine')");
    }

    e2e_result convert(const std::vector<std::string>& extra) {
        std::vector<std::string> args = agent_args(SOURCE, db);
        args.insert(args.end(), extra.begin(), extra.end());
        return e2e_run_agent(args);
    }

    bool has_table(const std::string& name) {
        std::vector<std::string> tables = client->tables(db);
        return std::find(tables.begin(), tables.end(), name) != tables.end();
    }

    std::vector<std::string> columns_of(const std::string& table) {
        return client->read_table(db, table).columns;
    }

    std::string db;
    std::unique_ptr<e2e_database_guard> guard;
};

TEST_F(ConversionMode, ZeroDropsTheWholeDatabaseAndConvertsEveryTable) {
    e2e_result run = convert({"--mode=0"});
    ASSERT_EQ(run.status, 0) << run.both();
    EXPECT_FALSE(has_table("Stray"));
    EXPECT_EQ(columns_of("Table1"),
              (std::vector<std::string>{"id", "otherfk1", "otherfk2", "data", "otherfk3"}));
    EXPECT_EQ(client->count(db, "Table1"), 4);
    EXPECT_EQ(client->count(db, "Table2"), 3);
}

TEST_F(ConversionMode, OneRecreatesExistingTablesAndKeepsTheRest) {
    e2e_result run = convert({"--mode=1"});
    ASSERT_EQ(run.status, 0) << run.both();
    EXPECT_EQ(client->count(db, "Stray"), 1);
    EXPECT_EQ(columns_of("Table1").at(0), "id");
    EXPECT_EQ(client->count(db, "Table1"), 4);
    EXPECT_EQ(client->count(db, "Table3"), 4);
}

// A table left as it is must hold the source's rows: one that does not (half loaded by an
// interrupted run, or another table of that name) is reported and the run is not clean.
TEST_F(ConversionMode, TwoLeavesExistingTablesUntouchedAndSaysWhenTheyDiffer) {
    e2e_result run = convert({"--mode=2"});
    EXPECT_EQ(run.status, 1) << run.both();
    EXPECT_NE(run.out.find("Table1: The table exists already with 1 rows where the source has 4: "
                           "it is skipped, not completed."),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("Converting table Table1"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Converting table Table2(3 records)"), std::string::npos) << run.out;
    e2e_table_data mine = client->read_table(db, "Table1");
    EXPECT_EQ(mine.columns, std::vector<std::string>{"other"});
    ASSERT_EQ(mine.rows.size(), 1u);
    EXPECT_EQ(mine.rows[0][0], "mine");
    EXPECT_EQ(client->count(db, "Table2"), 3);
    // Run again: every table now holds the source's rows but Table1, and the whole ones are
    // said to be skipped.
    client->query(db, "INSERT INTO [Table1] (other) VALUES (N'b'), (N'c'), (N'd')");
    e2e_result again = convert({"--mode=2"});
    EXPECT_EQ(again.status, 0) << again.both();
    EXPECT_NE(again.out.find("Table 'Table2' exists already with its 3 rows: skipped"),
              std::string::npos)
        << again.out;
}

TEST_F(ConversionMode, ThreeAppendsToConformingTablesAndReportsTheOther) {
    // A Table2 of the source's own column types, holding a row of its own.
    client->query(db, "CREATE TABLE [Table2] (id int NOT NULL, data nvarchar(50) NULL)\n"
                      "INSERT INTO [Table2] (id, data) VALUES (100, N'kept')");
    e2e_result run = convert({"--mode=3"});
    EXPECT_EQ(run.status, 1) << "a table was not converted: " << run.both();
    EXPECT_NE(run.out.find("Table1: The structure of data source does not conform to the "
                           "destination table."),
              std::string::npos)
        << run.out;
    EXPECT_EQ(client->count(db, "Table1"), 1) << "a non-conforming table must stay as it was";
    EXPECT_EQ(client->count(db, "Table2"), 4) << "three source rows appended to one";
    EXPECT_EQ(client->count(db, "Table3"), 4) << "the run goes on after the table error";
}

TEST_F(ConversionMode, InvalidModeIsRefusedBeforeAnythingIsTouched) {
    for (const char* mode : {"--mode=4", "--mode=01", "--mode=-1", "--mode="}) {
        e2e_result run = convert({mode});
        EXPECT_EQ(run.status, 255) << mode;
        EXPECT_NE(run.err.find("Invalid merge/overwrite mode"), std::string::npos) << run.err;
    }
    EXPECT_EQ(client->count(db, "Stray"), 1);
}

// Foreign keys by table and column pairs: "T(a,b)->R(c,d)", as sp_fkeys reports them.
std::vector<std::string> foreign_keys(const e2e_client& client, const std::string& db) {
    std::vector<std::string> keys;
    for (const std::string& table : client.tables(db)) {
        std::string current_name, key;
        for (const auto& row :
             client.query(db, "EXEC sp_fkeys @fktable_name = " + e2e_literal(table))) {
            if (row.size() < 12) continue;   // PKTABLE_NAME 2, PKCOLUMN 3, FKTABLE 6, FKCOLUMN 7
            if (row[11] != current_name) {
                if (!key.empty()) keys.push_back(key);
                current_name = row[11];
                key = row[6] + "->" + row[2] + ":";
            }
            key += " " + row[7] + "=" + row[3];
        }
        if (!key.empty()) keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

TEST_F(E2eCase, ModeZeroCreatesEveryRelationshipAsForeignKeyMultiColumnToo) {
    const std::string source_file = "CirrusRedOrg-EntityFrameworkCore.Jet/E2E.accdb";
    e2e_source source = read_source(source_file);
    ASSERT_EQ(source.relationships.size(), 9u);   // the manifest: 9, 4 of them multi-column
    std::vector<std::string> wanted;
    for (const e2e_relationship& rel : source.relationships) {
        std::string key = rel.table + "->" + rel.referenced_table + ":";
        for (std::size_t idx = 0; idx < rel.columns.size(); ++idx)
            key += " " + rel.columns[idx] + "=" + rel.referenced_columns[idx];
        wanted.push_back(key);
    }
    std::sort(wanted.begin(), wanted.end());
    std::string db = e2e_unique_db("foreignkeys");
    e2e_database_guard guard(*client, db);
    e2e_result run = e2e_run_agent(agent_args(source_file, db));
    ASSERT_EQ(run.status, 0) << run.both();
    EXPECT_EQ(foreign_keys(*client, db), wanted);
}

// No shared file has orphan rows, so a profile query stands in for Table1 and points every
// row's otherfk1 at a Table2 id that does not exist; the relationship Table1.otherfk1 ->
// Table2.id then meets orphans when the run creates the foreign keys.
class OrphanRows : public E2eCase {
protected:
    e2e_result convert_with_orphans(const std::string& log) {
        db = e2e_unique_db("orphans");
        guard = std::make_unique<e2e_database_guard>(*client, db);
        std::string profile = scratch.path + "/orphans.profile";
        std::ofstream(profile)
            << "[Generic settings]\nsrc=" << e2e_paths::testdata(SOURCE) << "\ndest=" << db
            << "\n[MS SQL Server settings]\nserver=" << target->agent_host()
            << "\nlogin=" << target->user << "\npassword=" << target->password
            << "\nwindows authentication=0\n[Selected Tables]\nTable2\nTable3\n"
            << "Table1=SELECT id, 99 AS otherfk1, otherfk2, data, otherfk3 FROM Table1\n";
        ::chmod(profile.c_str(), 0600);
        return e2e_run_agent({"--profile=" + profile, "--logfile=" + log});
    }

    std::string read_log(const std::string& log) {
        std::ifstream in(log);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    e2e_scratch scratch{"orphans"};
    std::string db;
    std::unique_ptr<e2e_database_guard> guard;
};

constexpr const char* ORPHAN_TEXT =
    "There are orphaned records that prevent from creating foreign key. For more\n"
    "information see Troubleshooting article of the product documentation.";

TEST_F(OrphanRows, LogTheOrphanMessageAndTheRunGoesOn) {
    std::string log = scratch.path + "/run.log";
    e2e_result run = convert_with_orphans(log);
    EXPECT_EQ(run.status, 1) << "a foreign key was not created: " << run.both();
    EXPECT_NE(read_log(log).find(ORPHAN_TEXT), std::string::npos) << read_log(log);
    EXPECT_EQ(client->count(db, "Table1"), 4);
    EXPECT_EQ(client->count(db, "Table3"), 4);
    std::vector<std::string> keys = foreign_keys(*client, db);
    EXPECT_EQ(keys, std::vector<std::string>{"Table1->Table3: otherfk2=id"})
        << "the other relationship is still created";
}

TEST_F(OrphanRows, PrintTheOrphanMessageWithTheForeignKeyName) {
    e2e_result run = convert_with_orphans(scratch.path + "/run.log");
    EXPECT_NE(run.out.find("Error:\nForeign key '"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("There are orphaned records that prevent from creating foreign key. "
                           "For more information see Troubleshooting article of the product "
                           "documentation."),
              std::string::npos)
        << run.out;
}

}   // namespace
