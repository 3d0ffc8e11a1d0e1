// e2e_schema_test.cpp - the schema as Access means it, end to end through vantrelagent:
// names in any script kept, renames printed, computed defaults created and one without
// equivalent reported, and the hidden relationship indexes left out. Files come from the
// shared data or are written by vantrelmake for the case.
#include "e2e/e2e_case.hpp"

#include <fstream>

namespace {

class AgentSchema : public E2eCase {
protected:
    void SetUp() override {
        E2eCase::SetUp();
        if (IsSkipped()) return;
        db = e2e_unique_db(::testing::UnitTest::GetInstance()->current_test_info()->name());
        guard = std::make_unique<e2e_database_guard>(*client, db);
        scratch = std::make_unique<e2e_scratch>("schema");
    }

    // An .accdb of one table written by vantrelmake; its path.
    std::string make_file(const std::string& name, const std::vector<std::string>& spec) {
        e2e_command make;
        const std::string path = scratch->path + "/" + name;
        make.args = {e2e_paths::build_dir() + "/vantrelmake", path};
        make.args.insert(make.args.end(), spec.begin(), spec.end());
        e2e_result made = e2e_run(make);
        EXPECT_EQ(made.status, 0) << made.both();
        return path;
    }

    std::string column_default(const std::string& table, const std::string& column) {
        const auto rows = client->query(
            db, "SELECT COLUMN_DEFAULT FROM INFORMATION_SCHEMA.COLUMNS WHERE TABLE_NAME = N'"
                    + table + "' AND COLUMN_NAME = N'" + column + "'");
        return rows.size() == 1 && !rows[0].empty() ? rows[0][0] : "<none>";
    }

    std::string db;
    std::unique_ptr<e2e_database_guard> guard;
    std::unique_ptr<e2e_scratch> scratch;
};

TEST_F(AgentSchema, LettersOfAnyScriptKeepTheirNamesAndDefaultsFollow) {
    const std::string source = make_file(
        "names.accdb", {"--table=Gr\xC3\xB6\xC3\x9F"
                        "e",
                        "--column=ID:long:required", "--column=Made:datetime:default=Now()",
                        "--column=Day:datetime:default==Date()",
                        "--column=Due:datetime:default=DateAdd(\"d\",7,Date())",
                        "--column=Flag:long:default=Yes", "--rows=3"});
    e2e_result run = e2e_run_agent(e2e_agent_args(*target, source, db));
    // The default without equivalent is reported, so the run is not clean.
    EXPECT_EQ(run.status, 1) << run.both();
    EXPECT_NE(run.both().find("Default value of column 'Gr\xC3\xB6\xC3\x9F"
                              "e.Due'"),
              std::string::npos)
        << run.both();
    EXPECT_EQ(run.both().find("renamed"), std::string::npos) << run.both();
    EXPECT_EQ(client->tables(db), (std::vector<std::string>{"Gr\xC3\xB6\xC3\x9F"
                                                            "e"}));
    EXPECT_EQ(client->count(db, "Gr\xC3\xB6\xC3\x9F"
                                "e"),
              3);
    EXPECT_EQ(column_default("Gr\xC3\xB6\xC3\x9F"
                             "e",
                             "Made"),
              "(getdate())");
    EXPECT_EQ(column_default("Gr\xC3\xB6\xC3\x9F"
                             "e",
                             "Day"),
              "(CONVERT([date],getdate()))");
    EXPECT_EQ(column_default("Gr\xC3\xB6\xC3\x9F"
                             "e",
                             "Due"),
              "NULL");   // none at all
    EXPECT_EQ(column_default("Gr\xC3\xB6\xC3\x9F"
                             "e",
                             "Flag"),
              "((-1))");   // Access's True
}

TEST_F(AgentSchema, GreekNamesStayAndEveryRenameIsPrinted) {
    const std::string greek = make_file("greek.accdb",
                                        {"--table=\xCE\xA0\xCE\xBB\xCE\xAE\xCE\xB8\xCE\xBF\xCF\x82",
                                         "--column=ID:long", "--rows=2"});
    ASSERT_EQ(e2e_run_agent(e2e_agent_args(*target, greek, db)).status, 0);
    EXPECT_EQ(client->tables(db),
              (std::vector<std::string>{"\xCE\xA0\xCE\xBB\xCE\xAE\xCE\xB8\xCE\xBF\xCF\x82"}));

    const std::string digit = make_file("digit.accdb",
                                        {"--table=1st", "--column=ID:long", "--rows=1"});
    const std::string second = e2e_unique_db("renamed");
    e2e_database_guard second_guard(*client, second);
    e2e_result run = e2e_run_agent(e2e_agent_args(*target, digit, second));
    ASSERT_EQ(run.status, 0) << run.both();
    EXPECT_NE(run.out.find("Table '1st' is renamed to '_1st'"), std::string::npos) << run.out;
    EXPECT_EQ(client->tables(second), (std::vector<std::string>{"_1st"}));
}

TEST_F(AgentSchema, RelationshipIndexesAreNotCreatedAgain) {
    ASSERT_EQ(e2e_run_agent(agent_args("jahlborn-jackcess/V2000/indexTestV2000.mdb", db)).status,
              0);
    // vantreldump lists ".rC" on Table2 (unique, foreign) over "id", the primary key's column,
    // beside the indexes "id" and "PrimaryKey".
    std::vector<std::string> names;
    for (const auto& row : client->query(db, "EXEC sp_statistics @table_name = N'Table2'")) {
        // The first row describes the table itself and names no index.
        if (row.size() > 5 && row[5] != "NULL") names.push_back(row[5]);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"PK_Table2", "id"}));
    EXPECT_EQ(client->foreign_keys(db).size(), 2u);
}

// A Large Number column is bigint on every server from 2000 on and carries each 64-bit value
// exactly on both load paths; 2^53 + 3 and 2^63 - 2 would not survive a float.
TEST_F(AgentSchema, LargeNumbersArriveExactlyOnBothPaths) {
    const std::string source = e2e_paths::testdata("../jackcess/large-numbers-v2016.accdb");
    TEST_DATA_REQUIRE(std::ifstream(source).good(), source);
    const std::vector<std::string> expected = {"1\t9007199254740992",
                                               "2\t9007199254740995",
                                               "3\t-4611686018427387904",
                                               "4\t4611686018427387905",
                                               "5\t-1234567890123",
                                               "6\t9223372036854775806",
                                               "7\t-9223372036854775807",
                                               "8\t42",
                                               "9\tNULL"};
    for (const e2e_load_path path : {e2e_load_path::bulk, e2e_load_path::statements}) {
        SCOPED_TRACE(e2e_path_name(path));
        const std::string path_db = db + e2e_path_name(path);
        e2e_database_guard path_guard(*client, path_db);
        e2e_result run = e2e_run_agent(e2e_agent_args(*target, source, path_db), path);
        EXPECT_EQ(run.status, 0) << run.both();
        const auto types = client->query(
            path_db,
            "SELECT DATA_TYPE FROM INFORMATION_SCHEMA.COLUMNS WHERE COLUMN_NAME = N'Amount'");
        EXPECT_EQ(types, (std::vector<std::vector<std::string>>{{"bigint"}}));
        std::vector<std::string> rows;
        for (const auto& row :
             client->query(path_db, "SELECT ID, Amount FROM LargeNumbers ORDER BY ID")) {
            rows.push_back(row.at(0) + "\t" + (row.size() > 1 ? row[1] : ""));
        }
        EXPECT_EQ(rows, expected);
    }
}

}   // namespace
