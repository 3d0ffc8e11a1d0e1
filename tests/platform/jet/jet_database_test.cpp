#include "platform/jet/jet_database.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/jet/jet_test_files.hpp"
#include "platform/jet/jet_text.hpp"
#include "platform/jet/jet_value_text.hpp"

namespace {

int open_error(const std::string& path, jet_open_options options = {}) {
    try {
        jet_database::open(path, u"", options);
    } catch (const jet_error& error) {
        return error.dao_number();
    }
    return 0;
}

std::filesystem::path scratch_file(const std::string& name, const std::string& bytes) {
    std::filesystem::path path = std::filesystem::temp_directory_path()
                                 / ("jet_database_test_" + std::to_string(::getpid()) + name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::vector<std::vector<std::string>> rows_of(const jet_database& db, std::u16string table) {
    std::vector<std::vector<std::string>> rows;
    auto cursor = db.open_cursor(table);
    while (cursor->next()) {
        std::vector<std::string> row;
        for (const jet_value& value : cursor->values()) row.push_back(jet_value_to_csv(value));
        rows.push_back(row);
    }
    return rows;
}

std::string column_of(const std::vector<std::vector<std::string>>& rows, std::size_t column) {
    std::string joined;
    for (const auto& row : rows) joined += row.at(column) + "|";
    return joined;
}

}   // namespace

TEST(JetDatabaseOpen, NamesMissingAndForeignFilesWithJetErrors) {
    EXPECT_EQ(open_error("/nonexistent/nowhere.mdb"), JET_ERR_FILE_NOT_FOUND);
    auto text = scratch_file("text", std::string(8192, 'x'));
    EXPECT_EQ(open_error(text.string()), JET_ERR_NOT_A_DATABASE);
    auto empty = scratch_file("empty", "");
    EXPECT_EQ(open_error(empty.string()), JET_ERR_NOT_A_DATABASE);
    EXPECT_EQ(open_error(std::filesystem::temp_directory_path().string()), JET_ERR_NOT_A_DATABASE);
    std::filesystem::remove(text);
    std::filesystem::remove(empty);
}

// A FIFO blocked open() until a writer came, forever for a conversion given one as source.
TEST(JetDatabaseOpen, RefusesANamedPipeWithoutBlocking) {
    std::filesystem::path fifo = std::filesystem::temp_directory_path()
                                 / ("jet_fifo_" + std::to_string(::getpid()) + ".mdb");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    try {
        jet_database::open(fifo.string());
        ADD_FAILURE() << "a FIFO opened as a database";
    } catch (const jet_error& error) {
        EXPECT_EQ(error.dao_number(), JET_ERR_NOT_A_DATABASE);
        EXPECT_NE(std::string(error.what()).find("it is a named pipe (FIFO), not a regular file"),
                  std::string::npos)
            << error.what();
    }
    std::filesystem::remove(fifo);
}

TEST(JetDatabaseOpen, RefusesAHeaderCutShort) {
    JET_REQUIRE_TESTDATA();
    std::ifstream in(jet_testdata("jahlborn-jackcess/V2000/testV2000.mdb"), std::ios::binary);
    std::string head(3000, '\0');
    in.read(head.data(), std::streamsize(head.size()));
    auto cut = scratch_file("cut", head);
    EXPECT_EQ(open_error(cut.string()), JET_ERR_NOT_A_DATABASE);
    std::filesystem::remove(cut);
}

TEST(JetDatabaseOpen, ExclusiveOpenLocksOutOtherOpens) {
    JET_REQUIRE_TESTDATA();
    std::string path = jet_testdata("jahlborn-jackcess/V2003/test2V2003.mdb");
    auto shared = jet_database::open(path);
    EXPECT_EQ(open_error(path), 0);   // shared opens coexist
    EXPECT_EQ(open_error(path, {.exclusive = true}), JET_ERR_FILE_IN_USE);
    shared.reset();
    auto exclusive = jet_database::open(path, u"", {.exclusive = true});
    EXPECT_EQ(open_error(path), JET_ERR_FILE_IN_USE);
    exclusive.reset();
    EXPECT_EQ(open_error(path), 0);
}

TEST(JetDatabaseHeader, ReadsVersionPageSizeAndCodePage) {
    JET_REQUIRE_TESTDATA();
    auto jet3 = jet_database::open(jet_testdata("mdbtools-mdbtestdata/nwind.mdb"));
    EXPECT_EQ(jet3->header().format, jet_format::jet3);
    EXPECT_EQ(jet3->header().page_size, 2048u);
    EXPECT_EQ(jet3->header().code_page, 1252);
    auto ace17 = jet_database::open(jet_testdata("jahlborn-jackcess/V2019/extDateTestV2019.accdb"));
    EXPECT_EQ(ace17->header().format, jet_format::ace17);
    EXPECT_EQ(ace17->header().page_size, 4096u);
}

TEST(JetDatabaseHeader, OpensWorkgroupFilesLikeDatabases) {
    JET_REQUIRE_TESTDATA();
    // "Jet System DB" instead of "Standard Jet DB"; the logon reads MSysAccounts from them.
    for (const char* relative : {"bdata4200-Mission/system.mdw", "horsje-tril/System.mdw"}) {
        auto mdw = jet_database::open(jet_testdata(relative));
        ASSERT_NE(mdw->find_table(u"MSysAccounts"), nullptr) << relative;
        EXPECT_GT(mdw->count_rows(u"MSysAccounts"), 0u) << relative;
    }
}

TEST(JetCatalog, MarksSystemAndLinkedTables) {
    JET_REQUIRE_TESTDATA();
    auto db = jet_database::open(jet_testdata("jahlborn-jackcess/V2007/test2V2007.accdb"));
    const jet_catalog_entry* compact_error = db->find_table(u"msyscompacterror");
    ASSERT_NE(compact_error, nullptr);   // carries no system flag: caught by its name
    EXPECT_TRUE(compact_error->is_system());
    EXPECT_EQ(compact_error->dao_attributes(), DAO_TABLE_SYSTEM);
    for (const jet_catalog_entry& entry : db->user_tables())
        EXPECT_NE(entry.name, u"MSysCompactError");

    auto linker = jet_database::open(jet_testdata("jahlborn-jackcess/V2007/linkerTestV2007.accdb"));
    const jet_catalog_entry* linked = linker->find_table(u"Table2");
    ASSERT_NE(linked, nullptr);
    EXPECT_EQ(linked->type, JET_OBJECT_LINKED_ACCESS);
    EXPECT_EQ(linked->database, u"Z:\\jackcess_test\\linkeeTest.accdb");
    EXPECT_EQ(linked->foreign_name, u"Table1");
    EXPECT_EQ(linked->dao_attributes(), DAO_TABLE_ATTACHED);
    EXPECT_THROW(linker->table_def(u"Table2"), jet_error);   // its rows live elsewhere

    auto odbc = jet_database::open(
        jet_testdata("jahlborn-jackcess/V2007/odbcLinkerTestV2007.accdb"));
    const jet_catalog_entry* ordrar = odbc->find_table(u"Ordrar");
    ASSERT_NE(ordrar, nullptr);
    EXPECT_EQ(ordrar->type, JET_OBJECT_LINKED_ODBC);
    EXPECT_NE(ordrar->connect.find(u"DSN=Magnapinna"), std::u16string::npos);
    EXPECT_TRUE(ordrar->dao_attributes() & DAO_TABLE_ATTACHED);
}

TEST(JetCatalog, UnknownTablesAreError3078) {
    JET_REQUIRE_TESTDATA();
    auto db = jet_database::open(jet_testdata("jahlborn-jackcess/V2007/testV2007.accdb"));
    try {
        db->open_cursor(u"NoSuchTable");
        FAIL();
    } catch (const jet_error& error) {
        EXPECT_EQ(error.dao_number(), JET_ERR_TABLE_NOT_FOUND);
        EXPECT_NE(std::string(error.what()).find("NoSuchTable"), std::string::npos);
    }
    EXPECT_NO_THROW(db->table_def(u"table1"));   // names compare case-blind
}

TEST(JetTableDef, ReadsTypesFlagsDefaultsAndIndexes) {
    JET_REQUIRE_TESTDATA();
    auto db = jet_database::open(jet_testdata("jahlborn-jackcess/V1997/testV1997.mdb"));
    jet_table_def def = db->table_def(u"Table1");
    ASSERT_EQ(def.columns.size(), 9u);
    EXPECT_EQ(def.columns[0].dao_type(), DAO_TYPE_TEXT);
    EXPECT_EQ(def.columns[0].dao_size(), 50u);   // characters, one byte each in Jet 3
    EXPECT_EQ(def.columns[7].dao_type(), DAO_TYPE_CURRENCY);
    EXPECT_EQ(def.columns[7].default_value(), u"0");
    ASSERT_EQ(def.indexes.size(), 2u);
    const jet_index& primary = def.indexes[1];
    EXPECT_EQ(primary.name, u"PrimaryKey");
    EXPECT_TRUE(primary.is_primary && primary.is_unique() && primary.is_required());
    ASSERT_EQ(primary.columns.size(), 1u);
    EXPECT_EQ(primary.columns[0].name, u"A");

    auto props = jet_database::open(
        jet_testdata("jahlborn-jackcess/V2010/testIndexPropertiesV2010.accdb"));
    jet_table_def unique = props->table_def(u"TableUnique2_temp");
    EXPECT_TRUE(unique.indexes[0].is_unique());
    EXPECT_EQ(unique.indexes[0].columns.size(), 2u);
    jet_table_def nulls = props->table_def(u"TableIgnoreNulls1");
    EXPECT_TRUE(nulls.indexes[0].ignores_nulls());
    EXPECT_FALSE(nulls.indexes[0].is_unique());
}

TEST(JetTableDef, ComplexColumnsAreNotAutoNumbers) {
    // Their hidden key carries the auto-number flag; only the table's real AutoNumber may
    // become an identity column, or SQL Server refuses the table.
    JET_REQUIRE_TESTDATA();
    auto db = jet_database::open(
        jet_testdata("jahlborn-jackcess/V2007/complexDataTestV2007.accdb"));
    jet_table_def def = db->table_def(u"Table1");
    int complex_columns = 0;
    for (const jet_column& column : def.columns) {
        if (!column.is_complex()) continue;
        ++complex_columns;
        EXPECT_EQ(column.dao_attributes() & DAO_FIELD_AUTO_INCREMENT, 0u);
    }
    EXPECT_EQ(complex_columns, 3);
}

TEST(JetRelationships, ReadsColumnsAndCascadeFlags) {
    JET_REQUIRE_TESTDATA();
    auto db = jet_database::open(jet_testdata("jahlborn-jackcess/V2007/indexTestV2007.accdb"));
    std::vector<jet_relationship> rels = db->relationships();
    ASSERT_EQ(rels.size(), 2u);
    EXPECT_EQ(rels[0].table, u"Table1");
    EXPECT_EQ(rels[0].referenced_table, u"Table2");
    ASSERT_EQ(rels[0].columns.size(), 1u);
    EXPECT_EQ(rels[0].columns[0].first, u"otherfk1");
    EXPECT_EQ(rels[0].columns[0].second, u"id");
    EXPECT_EQ(rels[0].flags, 0x1000u);   // cascade delete
    EXPECT_EQ(rels[1].flags, 0x100u);    // cascade update
}

TEST(JetRows, KeepsSurrogatePairsOfEmoji) {
    JET_REQUIRE_TESTDATA();
    auto db = jet_database::open(jet_testdata("jahlborn-jackcess/V2010/testEmoticonsV2010.accdb"));
    std::string table = jet_utf8(db->user_tables().at(0).name);
    auto cursor = db->open_cursor(db->user_tables().at(0).name);
    std::size_t rows = 0, pairs = 0;
    while (cursor->next()) {
        ++rows;
        for (const jet_value& value : cursor->values()) {
            if (value.kind() != jet_value_kind::text) continue;
            const std::u16string& text = value.get<std::u16string>();
            for (std::size_t at = 0; at + 1 < text.size(); ++at)
                if (text[at] >= 0xD800 && text[at] < 0xDC00 && text[at + 1] >= 0xDC00
                    && text[at + 1] < 0xE000)
                    ++pairs;
            EXPECT_EQ(text.find(u'\uFFFD'), std::u16string::npos) << table;
        }
    }
    EXPECT_EQ(rows, 80u);
    EXPECT_GT(pairs, 0u);
}

TEST(JetRows, ReadsDatesBeforeTheEpochAndBigInts) {
    JET_REQUIRE_TESTDATA();
    auto old = jet_database::open(jet_testdata("jahlborn-jackcess/V2007/oldDatesV2007.accdb"));
    EXPECT_EQ(column_of(rows_of(*old, u"Table1"), 1),
              "1582-10-15 00:00:00|1582-10-14 00:00:00|1492-01-10 00:00:00|1392-01-10 00:00:00|");
    auto big = jet_database::open(jet_testdata("andipaetzold-mdb-reader/V2016/bigint.accdb"));
    jet_table_def def = big->table_def(big->user_tables().at(0).name);
    EXPECT_EQ(def.columns[1].dao_type(), DAO_TYPE_BIGINT);
    auto rows = rows_of(*big, def.name);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][1], "42");
}

TEST(JetRows, FollowsOverflowRowsAndSkipsDeletedOnes) {
    JET_REQUIRE_TESTDATA();
    auto db = jet_database::open(jet_testdata("jahlborn-jackcess/V1997/overflowTestV1997.mdb"));
    auto rows = rows_of(*db, db->user_tables().at(0).name);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[2][1], "\"row3col3\"");
    EXPECT_EQ(rows[2][7], "\"row3col9\"");
    auto northwind = jet_database::open(
        jet_testdata("npsmith88-NorthwindDatabaseQueryTool/Northwind.mdb"));
    // The definition still counts a deleted customer.
    EXPECT_EQ(northwind->table_def(u"Customers").stored_row_count, 92u);
    EXPECT_EQ(northwind->count_rows(u"Customers"), 91u);
}

// Values worked out from the columns' expressions (Salary 1,000,000 / 12, / 52, ...).
TEST(JetRows, ReadsCalculatedResultsByTheirResultType) {
    JET_REQUIRE_TESTDATA();
    auto db = jet_database::open(jet_testdata("jahlborn-jackcess/V2010/calcFieldTestV2010.accdb"));
    jet_table_def def = db->table_def(u"Table1");
    EXPECT_EQ(def.find_column(u"MonthlySalary")->dao_type(), DAO_TYPE_CURRENCY);
    auto rows = rows_of(*db, u"Table1");
    ASSERT_EQ(rows.size(), 4u);
    const std::vector<std::string>& wayne = rows[0];
    EXPECT_EQ(wayne[3], "\"Wayne, Bruce\"");                // [LastName] & ", " & [FirstName]
    EXPECT_EQ(wayne[5], "12");                              // Len([LastFirst])
    EXPECT_EQ(wayne[7], "83333.3333");                      // [Salary]/12 as Currency
    EXPECT_EQ(wayne[8], "1");                               // [Salary]>100000: Yes
    EXPECT_EQ(wayne[9], "\"Wayne, Bruce=Wayne, Bruce\"");   // a Memo result
    EXPECT_EQ(wayne[10], "19230.7692307692");               // [Salary]/52 as Decimal
    EXPECT_EQ(wayne[15].substr(0, 9), "2583.2092");         // [Salary]*0.13/50.325, Single
    EXPECT_EQ(rows[1][8], "0");                             // -1 > 100000: No
}

TEST(JetRows, ReadsColumnsAddedAndDeletedAfterRowsWereWritten) {
    JET_REQUIRE_TESTDATA();
    auto deleted = jet_database::open(
        jet_testdata("andipaetzold-mdb-reader/V2016/withdeletedcol.accdb"));
    auto rows = rows_of(*deleted, u"Table1");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"1", "2", "4", "5", "6", "7", "0"}));
    auto inserted = jet_database::open(
        jet_testdata("andipaetzold-mdb-reader/V2016/withinsertedcol.accdb"));
    EXPECT_GT(inserted->count_rows(inserted->user_tables().at(0).name), 0u);
}
