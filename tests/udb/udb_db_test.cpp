// udb_db_test.cpp - what the base classes of databases, recordsets and records do on their
// own: table lookup and removal, the default cursor, index de-duplication, row conversion to
// the column types and field lookup by name. Small fakes stand in for the two sides.
#include "udb/udb_db.hpp"

#include <cerrno>
#include <cstdio>

#include <gtest/gtest.h>

#include "platform/oleaut/oleaut_types.hpp"
#include "udb/udb_test_util.hpp"

namespace {

class fake_recordset : public udb_recordset {
public:
    using udb_recordset::udb_recordset;
    void append_record(udb_record&) override {}
};

class fake_database : public udb_database {
public:
    fake_database(bool new_b_case_sensitive, std::vector<std::u16string> table_names)
        : udb_database(u"fake", 0, new_b_case_sensitive) {
        tables = std::move(table_names);
    }
    std::unique_ptr<udb_recordset> create_table(const std::u16string& table_name, const udb_schema&,
                                                const udb_indexes&) override {
        return std::make_unique<fake_recordset>(table_name);
    }
    std::unique_ptr<udb_recordset> get_table(const std::u16string& table_name,
                                             std::uint32_t) override {
        return std::make_unique<fake_recordset>(table_name);
    }
    std::unique_ptr<udb_recordset> get_query(const std::u16string& query_name,
                                             const std::u16string& sql, std::uint32_t) override {
        return std::make_unique<fake_recordset>(query_name, sql);
    }
    bool test_query(const std::u16string&) override { return true; }
};

udb_index index_named(const std::u16string& name, bool b_primary = false) {
    return udb_index{name, b_primary, b_primary, {u"id"}};
}

std::unique_ptr<udb_field> field_of(const std::u16string& name, const ole_variant& value) {
    return std::make_unique<udb_field>(name, 0u, value, false, false);
}

}   // namespace

TEST(UdbDatabaseTables, LetterCaseMattersOnlyWhenCaseSensitive) {
    const fake_database blind(false, {u"Orders", u"Ärger"});
    EXPECT_TRUE(blind.is_table_exist(u"ORDERS"));
    EXPECT_TRUE(blind.is_table_exist(u"ärger"));
    EXPECT_FALSE(blind.is_table_exist(u"Order"));
    const fake_database exact(true, {u"Orders"});
    EXPECT_TRUE(exact.is_table_exist(u"Orders"));
    EXPECT_FALSE(exact.is_table_exist(u"ORDERS"));
}

TEST(UdbDatabaseTables, DeletingKeepsTheOrderOfTheRest) {
    fake_database database(false, {u"a", u"b", u"c"});
    EXPECT_TRUE(database.delete_tab(u"B"));
    EXPECT_EQ(database.tables, (std::vector<std::u16string>{u"a", u"c"}));
    EXPECT_FALSE(database.is_table_exist(u"b"));
}

TEST(UdbDatabaseTables, DeletingAnUnknownTableIsAnAssertion) {
    fake_database database(true, {u"a", u"b"});
    expect_assertion_from("udb/udb_db.cpp", [&] { database.delete_tab(u"B"); });
    EXPECT_EQ(database.tables.size(), 2u);   // nothing lost
    expect_assertion_from("udb/udb_db.cpp", [&] { database.query(u"SELECT 1"); });
}

TEST(UdbRecordsetDefaults, AnUnderivedCursorYieldsNoRows) {
    fake_recordset table(u"t");
    EXPECT_FALSE(table.is_query());
    EXPECT_TRUE(table.is_eof());
    EXPECT_EQ(table.get_item(), nullptr);
    const fake_recordset query(u"q", u"SELECT * FROM t");
    EXPECT_TRUE(query.is_query());
}

TEST(UdbRecordsetIndexes, SecondIndexOfTheSameNameIsDropped) {
    fake_recordset table(u"t");
    table.add_index(index_named(u"PrimaryKey", true));
    table.add_index(index_named(u"PRIMARYKEY", false));
    table.add_index(index_named(u"ByName"));
    ASSERT_EQ(table.indexes.size(), 2u);
    EXPECT_TRUE(table.indexes[0].b_primary);
    EXPECT_EQ(table.indexes[1].name, u"ByName");
    table.clean_indexes();
    EXPECT_TRUE(table.indexes.empty());
}

TEST(UdbRecordsetConversion, ChangesEachFieldToItsColumnType) {
    fake_recordset table(u"t");
    table.schema.append(make_ftd(VT_R8, 8, u"price"));
    table.schema.append(make_ftd(VT_BSTR, 10, u"code"));
    udb_record record;
    record.append(field_of(u"price", ole_variant(3)));
    record.append(field_of(u"code", ole_variant(42)));
    table.convert_record(record);
    EXPECT_EQ(record[0].get_vartype(), VT_R8);
    EXPECT_DOUBLE_EQ(record[0].to_double(), 3.0);
    EXPECT_EQ(record[1].get_vartype(), VT_BSTR);
    EXPECT_EQ(record[1].to_wstring(), u"42");
}

TEST(UdbRecordsetConversion, LongerRecordThanSchemaIsAnAssertion) {
    fake_recordset table(u"t");
    table.schema.append(make_ftd(VT_I4, 4, u"a"));
    udb_record record;
    record.append(field_of(u"a", ole_variant(1)));
    record.append(field_of(u"b", ole_variant(2)));
    expect_assertion_from("udb/udb_recs.cpp", [&] { table.convert_record(record); });
}

TEST(UdbRecordLookup, FindsFieldsCaseBlind) {
    udb_record record;
    record.append(field_of(u"Größe", ole_variant(7)));
    EXPECT_TRUE(record.find_field(u"GRÖßE"));
    EXPECT_FALSE(record.find_field(u"GROESSE"));
    EXPECT_EQ(record.field(u"größe").to_long(), 7);
}

TEST(UdbRecordLookup, MissingFieldIsAFreshEmptyField) {
    udb_record record;
    record.append(field_of(u"a", ole_variant(1)));
    udb_field& missing = record.field(u"b");
    EXPECT_EQ(missing.get_vartype(), VT_EMPTY);
    EXPECT_TRUE(missing.name.empty());
    missing = udb_field(u"b", 4, ole_variant(5), true, false);   // a caller scribbles on it
    const udb_field& again = record.field(u"c");
    EXPECT_EQ(again.get_vartype(), VT_EMPTY);
    EXPECT_EQ(again.size, 0u);
    EXPECT_EQ(record.size(), 1u);
}

namespace {

class file_engine : public udb_engine {
public:
    std::unique_ptr<udb_database> create_db(const std::u16string&) override { return nullptr; }
    std::unique_ptr<udb_database> open_db(const std::u16string&, std::uint32_t,
                                          const std::u16string&) override {
        return nullptr;
    }
};

}   // namespace

TEST(UdbEngineFiles, DeletesAnExistingFileAndRefusesAMissingOne) {
    const std::string path = testing::TempDir() + "udb_engine_file.mdb";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    const std::u16string wide_path(path.begin(), path.end());   // TempDir is ASCII

    file_engine engine;
    EXPECT_TRUE(engine.is_db_exist(wide_path));
    engine.delete_db(wide_path);
    EXPECT_FALSE(engine.is_db_exist(wide_path));
    try {
        engine.delete_db(wide_path);
        FAIL() << "deleting a missing file succeeded";
    } catch (const tk_exception_ex& failure) {
        EXPECT_EQ(failure.code(), ENOENT);
        EXPECT_EQ(failure.level(), ERROR_LEVEL_FATAL);
    }
}
