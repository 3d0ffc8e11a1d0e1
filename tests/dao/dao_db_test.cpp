// dao_db_test.cpp - the Access catalogue on real files: user tables only (mdb-tables lists
// minus MSys* and linked ones), foreign keys with generated names (checked by hand against
// each file's relationships), statements that run or not, and the refused writing calls.
#include "dao/dao_db.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dao/dao_exce.hpp"
#include "dao/dao_recs.hpp"
#include "dao_test_env.hpp"

namespace {

using names = std::vector<std::u16string>;

struct expected_key {
    std::u16string name;
    std::u16string src_table;
    std::u16string dest_table;
    names src_columns;
    names dest_columns;
};

void expect_keys(const udb_relationships& found, const std::vector<expected_key>& expected) {
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t key_idx = 0; key_idx < expected.size(); ++key_idx) {
        const udb_relationship& key = found[key_idx];
        SCOPED_TRACE(tk_utf16_to_utf8(expected[key_idx].name));
        EXPECT_EQ(key.name, expected[key_idx].name);
        EXPECT_EQ(key.src_table, expected[key_idx].src_table);
        EXPECT_EQ(key.dest_table, expected[key_idx].dest_table);
        EXPECT_EQ(key.src_columns, expected[key_idx].src_columns);
        EXPECT_EQ(key.dest_columns, expected[key_idx].dest_columns);
        EXPECT_TRUE(key.pk_name.empty());
    }
}

}   // namespace

TEST(DaoDatabaseTables, ListsUserTablesOnlyInCatalogueOrder) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    EXPECT_EQ(test.open("jahlborn-jackcess/V2000/indexTestV2000.mdb")->tables,
              (names{u"Table1", u"Table2", u"Table3"}));
    // Table2 is linked to linkeeTest.accdb.
    EXPECT_EQ(test.open("jahlborn-jackcess/V2007/linkerTestV2007.accdb")->tables,
              (names{u"Table1"}));
    EXPECT_TRUE(test.open("jahlborn-jackcess/templates/empty2019.accdb")->tables.empty());
    // MSysAccessStorage carries no system mark here; mdb-tables lists it, Access hides it.
    auto e2e = test.open("CirrusRedOrg-EntityFrameworkCore.Jet/E2E.accdb");
    EXPECT_EQ(e2e->tables.size(), 17u);
    EXPECT_EQ(e2e->tables.front(), u"AllDataTypes");
    EXPECT_TRUE(e2e->is_table_exist(u"test spaces keywords table"));   // case-blind
}

TEST(DaoDatabaseTables, SystemTablesAreKnownByMarkAndByName) {
    EXPECT_TRUE(dao_is_system_table(u"MSysCompactError", 0));
    EXPECT_TRUE(dao_is_system_table(u"msysAccessStorage", 0));
    EXPECT_TRUE(dao_is_system_table(u"Customers", 0x80000000));
    EXPECT_TRUE(dao_is_system_table(u"Customers", 0x00000002));
    EXPECT_FALSE(dao_is_system_table(u"MSy", 0));
    EXPECT_FALSE(dao_is_system_table(u"MySystem", 0x40000000));
}

TEST(DaoDatabaseForeignKeys, NamesKeysAndGathersMultiColumnOnes) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    expect_keys(test.open("jahlborn-jackcess/V2000/indexTestV2000.mdb")->relationships,
                {{u"FK_Table2_Table1", u"Table1", u"Table2", {u"otherfk1"}, {u"id"}},
                 {u"FK_Table3_Table1", u"Table1", u"Table3", {u"otherfk2"}, {u"id"}}});
    auto gears = test.open("CirrusRedOrg-EntityFrameworkCore.Jet/GearsOfWarQueryTest.accdb");
    ASSERT_EQ(gears->relationships.size(), 13u);
    const udb_relationship& tag = gears->relationships[0];
    EXPECT_EQ(tag.name, u"FK_Gear_CogTag");
    EXPECT_EQ(tag.src_columns, (names{u"GearNickName", u"GearSquadId"}));
    EXPECT_EQ(tag.dest_columns, (names{u"Nickname", u"SquadId"}));
    // Two keys between the same pair of tables: the second name gets a '_'.
    EXPECT_EQ(gears->relationships[3].name, u"FK_City_Gear");
    EXPECT_EQ(gears->relationships[4].name, u"FK_City_Gear_");
    EXPECT_EQ(gears->relationships[4].src_columns, (names{u"CityOrBirthName"}));
}

TEST(DaoDatabaseForeignKeys, KnowWhichOnesAccessEnforces) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    // The test data's manifest: indexTestV2000's two relationships cascade, so Access
    // enforces them; linkerTestV2007's one relationship is not enforced.
    auto indexes = test.open("jahlborn-jackcess/V2000/indexTestV2000.mdb");
    for (const udb_relationship& key : indexes->relationships) {
        EXPECT_TRUE(key.b_enforced) << tk_utf16_to_utf8(key.name);
    }
    auto linker = test.open("jahlborn-jackcess/V2007/linkerTestV2007.accdb");
    ASSERT_EQ(linker->relationships.size(), 1u);
    EXPECT_FALSE(linker->relationships[0].b_enforced);
}

TEST(DaoDatabaseForeignKeys, AreNotReadWithFlagBitFiveOrSix) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    EXPECT_TRUE(
        test.open("jahlborn-jackcess/V2000/indexTestV2000.mdb", 1 | 32)->relationships.empty());
    EXPECT_TRUE(
        test.open("jahlborn-jackcess/V2000/indexTestV2000.mdb", 1 | 64)->relationships.empty());
}

TEST(DaoDatabaseQueries, TestQueryAnswersWithoutThrowing) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    auto database = test.open("jahlborn-jackcess/V2000/indexTestV2000.mdb");
    EXPECT_TRUE(database->test_query(u"SELECT * FROM [Table1]"));
    EXPECT_FALSE(database->test_query(u"SELEC * FROM [Table1]"));
    EXPECT_FALSE(database->test_query(u"SELECT * FROM [NoSuchTable]"));
    EXPECT_FALSE(database->test_query(u""));
    // A query with a syntax error still leaves the database usable.
    EXPECT_EQ(database->get_records_count(u"SELECT * FROM [Table3]"), 4u);
}

TEST(DaoDatabaseQueries, RunsUserSelectsWithTheirRowCount) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    auto database = test.open("jahlborn-jackcess/V2000/indexTestV2000.mdb");
    const std::u16string sql = u"SELECT id, data FROM Table1 WHERE otherfk1 = 1 ORDER BY id";
    ASSERT_TRUE(database->test_query(sql));
    auto result = database->get_query(u"Q", sql, 1);
    EXPECT_EQ(result->records_count, 2);   // mdb-export: rows 1 "baz11" and 2 "baz11-2"
    EXPECT_TRUE(result->is_query());
    EXPECT_TRUE(result->indexes.empty());
    ASSERT_EQ(result->schema.size(), 2u);
    EXPECT_EQ(result->schema[1].vartype, VT_BSTR);
    udb_record* row = result->get_item();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ((*row)[1].to_wstring(), u"baz11");
    result->next();
    EXPECT_EQ(result->get_item()->operator[](1).to_wstring(), u"baz11-2");
    result->next();
    EXPECT_TRUE(result->is_eof());
}

TEST(DaoDatabaseTables, LinkedTablesGiveNoRecordset) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    auto database = test.open("jahlborn-jackcess/V2007/linkerTestV2007.accdb");
    database->tables.push_back(u"Table2");   // as if listed: the definition still says linked
    EXPECT_EQ(database->get_table(u"Table2", 1), nullptr);
    EXPECT_THROW(database->get_table(u"NotListed", 1), tk_mail_assertion);
}

TEST(DaoDatabaseWriting, RefusesWritingIntoOpenedFilesAndBreaksNoPrecondition) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    auto read_only = test.open("jahlborn-jackcess/V2000/indexTestV2000.mdb", 1);
    EXPECT_THROW(read_only->create_table(u"New", udb_schema(), udb_indexes()), tk_mail_assertion);
    EXPECT_THROW(read_only->delete_tab(u"Table1"), tk_mail_assertion);
    auto writable = test.open("jahlborn-jackcess/V2000/indexTestV2000.mdb", 0);
    // Only files made by create_db take new tables and rows.
    try {
        writable->create_table(u"New", udb_schema(), udb_indexes());
        ADD_FAILURE() << "create_table did not refuse";
    } catch (const dao_exception& refused) {
        EXPECT_EQ(refused.code(), 0x10000 | 3251);
    }
    EXPECT_THROW(writable->delete_tab(u"Table1"), dao_exception);
    EXPECT_EQ(writable->tables.size(), 3u);   // nothing dropped from the list
    auto table = writable->get_table(u"Table2", 2);
    ASSERT_NE(table, nullptr);
    udb_record record;
    EXPECT_THROW(table->append_record(record), dao_exception);
}

// A table-level error lets the run go on and the agent end with 0, so a damaged source must
// end the run instead: Northwind.mdb with an Orders data page (303) or the catalogue page
// listing most tables (18) zeroed read as good files with rows or tables missing.
TEST(DaoDatabaseDamage, CorruptSourceIsAFatalError) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    std::ifstream in(dao_test_file("npsmith88-NorthwindDatabaseQueryTool/Northwind.mdb"),
                     std::ios::binary);
    std::string original(std::istreambuf_iterator<char>(in), {});
    ASSERT_FALSE(original.empty());
    auto damaged_copy = [&](std::size_t page_no) {
        std::string bytes = original;
        bytes.replace(page_no * 4096, 4096, std::string(4096, '\0'));
        std::string path = test.cwd.path() + "/damaged" + std::to_string(page_no) + ".mdb";
        std::ofstream(path, std::ios::binary) << bytes;
        return tk_utf8_to_utf16(path);
    };
    auto expect_fatal_corruption = [](const dao_exception& failure) {
        EXPECT_EQ(failure.dao_number(), 3049);
        EXPECT_EQ(failure.level(), ERROR_LEVEL_FATAL);
    };

    std::unique_ptr<udb_database> orders_lost = test.engine.open_db(damaged_copy(303), 1, u"");
    try {
        orders_lost->get_table(u"Orders", 1);
        ADD_FAILURE() << "Orders opened with a zeroed data page";
    } catch (const dao_exception& failure) {
        expect_fatal_corruption(failure);
        EXPECT_NE(std::string(failure.what()).find("page 303 of table 'Orders'"), std::string::npos)
            << failure.what();
    }
    try {
        test.engine.open_db(damaged_copy(18), 1, u"");
        ADD_FAILURE() << "a catalogue with a zeroed page opened";
    } catch (const dao_exception& failure) {
        expect_fatal_corruption(failure);
    }
    EXPECT_EQ(dao_exception(3078, "no such table").level(), ERROR_LEVEL_RECOVERABLE);
}
