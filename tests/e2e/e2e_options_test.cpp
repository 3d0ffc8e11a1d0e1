// e2e_options_test.cpp - the agent's options end to end: definitions only, no indexes, a
// table-names file, a profile with a "Selected Tables" query, the log file, silent mode and
// connecting as database owner.
#include <algorithm>
#include <fstream>
#include <sys/stat.h>

#include "e2e/e2e_case.hpp"

namespace {

constexpr const char* SOURCE = "jahlborn-jackcess/V2000/indexTestV2000.mdb";

class AgentOption : public E2eCase {
protected:
    void SetUp() override {
        E2eCase::SetUp();
        if (IsSkipped()) return;
        db = e2e_unique_db(::testing::UnitTest::GetInstance()->current_test_info()->name());
        guard = std::make_unique<e2e_database_guard>(*client, db);
        scratch_dir = std::make_unique<e2e_scratch>("options");
        scratch = scratch_dir->path;
    }

    e2e_result convert(const std::string& source, const std::vector<std::string>& extra) {
        std::vector<std::string> args = agent_args(source, db);
        args.insert(args.end(), extra.begin(), extra.end());
        return e2e_run_agent(args);
    }

    std::string write_file(const std::string& name, const std::string& text) {
        std::string path = scratch + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        ::chmod(path.c_str(), 0600);   // a profile holds the SQL Server password
        return path;
    }

    std::string db;
    std::unique_ptr<e2e_scratch> scratch_dir;
    std::string scratch;
    std::unique_ptr<e2e_database_guard> guard;
};

TEST_F(AgentOption, TabDefCreatesEveryTableWithoutRows) {
    e2e_result run = convert(SOURCE, {"--tab_def"});
    ASSERT_EQ(run.status, 0) << run.both();
    EXPECT_NE(run.out.find("Converting table Table1(4 records)"), std::string::npos) << run.out;
    EXPECT_EQ(client->tables(db), (std::vector<std::string>{"Table1", "Table2", "Table3"}));
    for (const char* table : {"Table1", "Table2", "Table3"})
        EXPECT_EQ(client->count(db, table), 0) << table;
}

TEST_F(AgentOption, SkipIdxLeavesOutKeysAndIndexes) {
    e2e_result run = convert(SOURCE, {"--skip_idx"});
    // Without primary keys the foreign keys cannot be made, and the status says so.
    EXPECT_EQ(run.status, 1) << run.both();
    EXPECT_TRUE(client->query(db, "EXEC sp_pkeys @table_name = N'Table1'").empty());
    EXPECT_EQ(client->count(db, "Table1"), 4);

    std::string with_keys = e2e_unique_db("withkeys");
    e2e_database_guard second(*client, with_keys);
    ASSERT_EQ(e2e_run_agent(agent_args(SOURCE, with_keys)).status, 0);
    EXPECT_EQ(client->query(with_keys, "EXEC sp_pkeys @table_name = N'Table1'").size(), 1u);
}

TEST_F(AgentOption, TabFileWithByteOrderMarkSelectsNonAsciiNames) {
    std::string list = write_file("tables.txt", "\xEF\xBB\xBF"
                                                "Ums\xC3\xA4tze\n\nShippers\n");
    e2e_result run = convert("mdbtools-mdbtestdata/nwind.mdb", {"--tab_file=" + list});
    ASSERT_EQ(run.status, 0) << run.both();
    EXPECT_EQ(client->tables(db), (std::vector<std::string>{"Shippers", "Ums\xC3\xA4tze"}));
    EXPECT_EQ(client->count(db, "Shippers"), 3);
}

TEST_F(AgentOption, ProfileQueryInnerJoinBecomesTableQ1) {
    e2e_source source = read_source(SOURCE);
    const e2e_table* table1 = source.find("Table1");
    const e2e_table* table2 = source.find("Table2");
    ASSERT_TRUE(table1 && table2);
    // The join worked out on the source rows: Table1.otherfk1 = Table2.id gives (id, data).
    std::vector<std::string> joined;
    for (const e2e_row& left : table1->rows)
        for (const e2e_row& right : table2->rows)
            if (left.at(1) == right.at(0))
                joined.push_back(left.at(0) + "|" + e2e_unquote(right.at(1)));
    std::sort(joined.begin(), joined.end());
    std::string profile = write_file(
        "run.profile", "[Generic settings]\nsrc=" + e2e_paths::testdata(SOURCE) + "\ndest=" + db
                           + "\n"
                             "[MS SQL Server settings]\nserver="
                           + target->agent_host() + "\nlogin=" + target->user
                           + "\npassword=" + target->password
                           + "\nwindows authentication=0\n"
                             "[Selected Tables]\nTable2\n"
                             "Q1=SELECT Table1.id, Table2.data FROM Table1 INNER JOIN Table2 "
                             "ON Table1.otherfk1 = Table2.id\n");
    e2e_result run = e2e_run_agent({"--profile=" + profile});
    ASSERT_EQ(run.status, 0) << run.both();
    EXPECT_EQ(client->tables(db), (std::vector<std::string>{"Q1", "Table2"}));
    e2e_table_data q1 = client->read_table(db, "Q1");
    EXPECT_EQ(q1.columns, (std::vector<std::string>{"id", "data"}));
    std::vector<std::string> got;
    for (const auto& row : q1.rows) got.push_back(row.at(0) + "|" + row.at(1));
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, joined);
}

TEST_F(AgentOption, LogfileHoldsTheUserLinesAndNoPassword) {
    std::string log = scratch + "/run.log";
    e2e_result run = convert(SOURCE, {"--logfile=" + log});
    ASSERT_EQ(run.status, 0) << run.both();
    std::ifstream in(log);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Conversion started on"), std::string::npos) << text;
    EXPECT_NE(text.find("Converting table Table1 (4 records)"), std::string::npos) << text;
    EXPECT_NE(text.find("Conversion ended on"), std::string::npos) << text;
    EXPECT_EQ(text.find(target->password), std::string::npos) << "password in the log";
}

TEST_F(AgentOption, SilentPrintsNothingAndStillConverts) {
    e2e_result run = convert(SOURCE, {"--silent"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(client->count(db, "Table3"), 4);
}

TEST_F(AgentOption, AsDboCreatesTheTablesUnderDbo) {
    e2e_result run = convert(SOURCE, {"--as_dbo"});
    ASSERT_EQ(run.status, 0) << run.both();
    auto rows = client->query(db, "SELECT TABLE_SCHEMA, TABLE_NAME FROM "
                                  "INFORMATION_SCHEMA.TABLES WHERE TABLE_TYPE = 'BASE TABLE' "
                                  "ORDER BY TABLE_SCHEMA, TABLE_NAME");
    ASSERT_EQ(rows.size(), 3u);
    for (const auto& row : rows) EXPECT_EQ(row.at(0), "dbo");
    EXPECT_EQ(client->count(db, "Table1"), 4);
}

TEST_F(AgentOption, WorkgroupLogonConvertsTheSecuredDatabase) {
    // ContourBL.mdb was made under system.mdw; admin has a blank password there (MANIFEST).
    e2e_result run = convert("bdata4200-Mission/ContourBL.mdb",
                             {"--sysdb=" + e2e_paths::testdata("bdata4200-Mission/system.mdw"),
                              "--uglu=admin", "--uglp="});
    ASSERT_EQ(run.status, 0) << run.both();
    EXPECT_EQ(run.out.find("Error:"), std::string::npos) << run.out;
    EXPECT_EQ(client->tables(db), (std::vector<std::string>{"Block Code", "Block List"}));
    EXPECT_EQ(client->count(db, "Block Code"), 6);
}

TEST_F(AgentOption, WrongWorkgroupPasswordIsReportedAndNeverLogged) {
    const std::string wrong = "NotTheWorkgroupPassword";
    std::string log = scratch + "/run.log";
    e2e_result run = convert("bdata4200-Mission/ContourBL.mdb",
                             {"--sysdb=" + e2e_paths::testdata("bdata4200-Mission/system.mdw"),
                              "--uglu=admin", "--uglp=" + wrong, "--logfile=" + log});
    EXPECT_NE(run.out.find("Error:\nNot a valid account name or password has been specified "
                           "in MS Access user-level security settings"),
              std::string::npos)
        << run.both();
    EXPECT_EQ(run.both().find(wrong), std::string::npos);
    std::ifstream in(log);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.find(wrong), std::string::npos) << "workgroup password in the log";
    EXPECT_FALSE(client->database_exists(db));
}

}   // namespace
