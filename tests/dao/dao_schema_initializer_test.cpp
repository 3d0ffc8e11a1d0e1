// The Access side as a destination: create_db, create_table through dao_schema_initializer
// and dao_indexes_initializer, append_record and delete_tab, judged by reading the written
// file back with the engine's reader. Expected types, names and defaults are worked by hand
// from the writing map (VARIANT type and size to DAO type) and the quoting rules.
#include "dao/dao_schema_initializer.hpp"

#include <gtest/gtest.h>

#include "dao/dao_exce.hpp"
#include "dao/dao_indexes_initializer.hpp"
#include "dao/dao_test_env.hpp"
#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_text.hpp"
#include "tk/tk_exce.hpp"

namespace {

t_ftd column(std::u16string name, std::uint16_t vartype, std::uint32_t size = 0,
             bool not_null = false, bool autoincrement = false,
             ole_variant default_value = ole_variant()) {
    return t_ftd(size, std::move(name), vartype, not_null, autoincrement, default_value, 0);
}

udb_schema source_schema() {
    udb_schema schema;
    for (t_ftd made :
         {column(u"Id", VT_I4, 4, true, true), column(u"Small", VT_I2, 2, false, true),
          column(u"Name", VT_BSTR, 255, false, false, ole_variant(u"abc")),
          column(u"Quote", VT_BSTR, 50, false, false, ole_variant(u"He said \"hi\"")),
          column(u"Both", VT_BSTR, 50, false, false, ole_variant(u"It's \"x\"")),
          column(u"Memo", VT_BSTR, 256), column(u"Memo0", VT_BSTR, 0),
          column(u"When", VT_DATE, 8, false, false, ole_variant(u"2001-02-03")),
          column(u"Bad.Name", VT_R8, 8), column(u"Blob", VT_BLOB, 0), column(u"Bin", VT_BLOB, 16),
          column(u"Big", VT_I8, 8), column(u"Flag", VT_BOOL, 2), column(u"Money", VT_CY, 8),
          column(u"Byte", VT_UI1, 1), column(u"Req", VT_BSTR, 20, true)})
        schema.append(std::make_unique<t_ftd>(made));
    return schema;
}

udb_index index(std::u16string name, std::vector<std::u16string> columns, bool primary,
                bool unique) {
    udb_index made;
    made.name = std::move(name);
    made.columns = std::move(columns);
    made.b_primary = primary;
    made.b_unique = unique;
    return made;
}

udb_indexes source_indexes() {
    udb_indexes indexes;
    indexes.add(index(u"PrimaryKey", {u"Id"}, true, true));
    indexes.add(index(u"ByMemo", {u"Memo"}, false, false));
    indexes.add(index(u"ByEleven",
                      {u"Id", u"Small", u"Name", u"Quote", u"Both", u"When", u"Bad.Name", u"Big",
                       u"Flag", u"Money", u"Byte"},
                      false, false));
    indexes.add(index(u"By.Name", {u"Name", u"Bad.Name"}, false, true));
    return indexes;
}

std::unique_ptr<dao_database> created(dao_test_engine& test, const std::string& file) {
    std::unique_ptr<udb_database> made = test.engine.create_db(tk_utf8_to_utf16(file));
    return std::unique_ptr<dao_database>(static_cast<dao_database*>(made.release()));
}

std::unique_ptr<udb_record> record_of(std::vector<ole_variant> values) {
    auto record = std::make_unique<udb_record>();
    for (ole_variant& value : values)
        record->append(std::make_unique<udb_field>(u"", 0, value, false, false));
    return record;
}

ole_variant null_value() {
    ole_variant value;
    value.value.vt = VT_NULL;
    return value;
}

}   // namespace

TEST(DaoSchemaInitializerQuoting, QuotesDefaultsAsTheRulesSay) {
    EXPECT_EQ(dao_schema_initializer::quote_def_value(u"abc"), u"\"abc\"");
    EXPECT_EQ(dao_schema_initializer::quote_def_value(u"say \"hi\""), u"'say \"hi\"'");
    EXPECT_EQ(dao_schema_initializer::quote_def_value(u"it's"), u"\"it's\"");
    EXPECT_EQ(dao_schema_initializer::quote_def_value(u"it's \"x\""), u"\"it's 'x'\"");
    EXPECT_EQ(dao_schema_initializer::quote_def_value(u""), u"\"\"");
}

TEST(DaoCreateTable, WritesTheTypeMapDefaultsAndKeptIndexes) {
    dao_test_engine test;
    {
        auto database = created(test, "made.mdb");
        EXPECT_EQ(database->flags, DAO_CREATED_FLAGS);
        auto table = database->create_table(u"Target", source_schema(), source_indexes());
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(database->tables, std::vector<std::u16string>{u"Target"});
        EXPECT_EQ(table->schema.size(), 16u);
    }
    auto db = jet_database::open("made.mdb");
    jet_table_def def = db->table_def(u"Target");
    ASSERT_EQ(def.columns.size(), 16u);
    // DAO types by the writing map, in column order.
    std::vector<int> types;
    for (const jet_column& made : def.columns) types.push_back(made.dao_type());
    EXPECT_EQ(types, (std::vector<int>{4, 3, 10, 10, 10, 12, 12, 8, 7, 11, 9, 7, 1, 5, 2, 10}));
    EXPECT_TRUE(def.columns[0].is_autonumber());
    EXPECT_FALSE(def.columns[1].is_autonumber());   // only Long columns count up
    EXPECT_EQ(def.columns[2].dao_size(), 255u);
    EXPECT_EQ(def.columns[2].default_value(), u"\"abc\"");
    EXPECT_EQ(def.columns[3].default_value(), u"'He said \"hi\"'");
    EXPECT_EQ(def.columns[4].default_value(), u"\"It's 'x'\"");
    EXPECT_EQ(def.columns[7].default_value(), u"\"2001-02-03\"");
    EXPECT_NE(def.columns[8].name, u"Bad.Name");   // Access refuses the full stop
    EXPECT_EQ(def.columns[8].name.find(u'.'), std::u16string::npos);
    EXPECT_EQ(def.columns[10].dao_size(), 16u);
    EXPECT_TRUE(def.columns[15].is_required());
    EXPECT_TRUE(def.columns[2].allows_zero_length());
    // The Memo and the 11-column indexes are left out; the others keep their columns under
    // the new names.
    ASSERT_EQ(def.indexes.size(), 2u);
    EXPECT_TRUE(def.indexes[0].is_primary);
    EXPECT_TRUE(def.indexes[1].is_unique());
    EXPECT_EQ(def.indexes[1].name.find(u'.'), std::u16string::npos);
    ASSERT_EQ(def.indexes[1].columns.size(), 2u);
    EXPECT_EQ(def.indexes[1].columns[1].name, def.columns[8].name);
}

// Binary columns of any VARIANT type keep their indexes when they become Binary (1 to 255
// bytes), not when they become Long Binary; a decimal column (written as Double) keeps its.
TEST(DaoCreateTable, IndexesBinaryAndDecimalColumnsButNotLongBinary) {
    dao_test_engine test;
    udb_schema schema;
    for (t_ftd made : {column(u"Id", VT_I4, 4, true), column(u"Raw", VT_BINARY_ARRAY, 8),
                       column(u"Bin", VT_BLOB, 16), column(u"Photo", VT_BLOB_OBJECT, 0),
                       column(u"Amount", VT_DECIMAL, 16)})
        schema.append(std::make_unique<t_ftd>(made));
    udb_indexes indexes;
    indexes.add(index(u"PrimaryKey", {u"Id"}, true, true));
    indexes.add(index(u"ByRaw", {u"Raw"}, false, false));
    indexes.add(index(u"ByBinAmount", {u"Bin", u"Amount"}, false, true));
    indexes.add(index(u"ByPhoto", {u"Photo"}, false, false));
    {
        auto database = created(test, "binary.mdb");
        auto table = database->create_table(u"Keys", std::move(schema), indexes);
        ASSERT_NE(table, nullptr);
        ole_variant bytes(std::size_t(3), reinterpret_cast<const BYTE*>("\x01\x00\x02"));
        table->append_record(*record_of(
            {ole_variant(std::int32_t(1)), bytes, bytes, null_value(), ole_variant(2.5)}));
    }
    jet_table_def def = jet_database::open("binary.mdb")->table_def(u"Keys");
    EXPECT_EQ(def.columns[1].dao_type(), 9);   // Binary columns
    EXPECT_EQ(def.columns[2].dao_type(), 9);
    ASSERT_EQ(def.indexes.size(), 3u);
    EXPECT_EQ(def.indexes[1].name, u"ByRaw");
    EXPECT_EQ(def.indexes[2].name, u"ByBinAmount");
    EXPECT_EQ(def.indexes[2].columns.size(), 2u);
    EXPECT_EQ(def.stored_row_count, 1u);
}

TEST(DaoAppendRecord, StoresValuesAndTheEmptyTextForNullInARequiredColumn) {
    dao_test_engine test;
    {
        auto database = created(test, "rows.accdb");
        auto table = database->create_table(u"Rows", source_schema(), udb_indexes());
        std::vector<ole_variant> values = {
            null_value(),
            ole_variant(short(7)),
            ole_variant(u"\u65e5\u672c"),
            ole_variant(u"q"),
            ole_variant(u"b"),
            ole_variant(std::u16string(5000, u'm')),
            null_value(),
            ole_variant(u"2024-05-06 07:08:09"),
            ole_variant(2.5),
            ole_variant(std::size_t(3), reinterpret_cast<const BYTE*>("\x01\x00\x02")),
            null_value(),
            ole_variant(12345678901LL),
            ole_variant(true),
            null_value(),
            ole_variant(static_cast<unsigned char>(200)),
            null_value()};
        auto record = record_of(values);
        table->append_record(*record);
        table->append_record(*record);
        EXPECT_EQ(table->records_count, 2);
        auto short_record = record_of({ole_variant(1)});
        try {
            table->append_record(*short_record);
            ADD_FAILURE() << "a record of one field was appended";
        } catch (const tk_exception& refused) {
            EXPECT_EQ(refused.message(), "The structures of data source does not conform to "
                                         "the destination table.");
            EXPECT_EQ(refused.level(), ERROR_LEVEL_RECOVERABLE);
        }
    }
    auto db = jet_database::open("rows.accdb");
    auto cursor = db->open_cursor(u"Rows");
    ASSERT_TRUE(cursor->next());
    const std::vector<jet_value>& row = cursor->values();
    EXPECT_EQ(row[0], jet_value(std::int32_t(1)));
    EXPECT_EQ(row[1], jet_value(std::int16_t(7)));
    EXPECT_EQ(row[2], jet_value(std::u16string(u"\u65e5\u672c")));
    EXPECT_EQ(row[5], jet_value(std::u16string(5000, u'm')));
    EXPECT_TRUE(row[6].is_null());
    EXPECT_EQ(row[7], jet_value(jet_date{45418.0 + (7 * 3600 + 8 * 60 + 9) / 86400.0}));
    EXPECT_EQ(row[9], jet_value(std::vector<std::uint8_t>{1, 0, 2}));
    EXPECT_EQ(row[11], jet_value(12345678901.0));   // BigInt as Double
    EXPECT_EQ(row[12], jet_value(true));
    EXPECT_EQ(row[14], jet_value(std::uint8_t(200)));
    EXPECT_EQ(row[15], jet_value(std::u16string()));   // NULL into required
    ASSERT_TRUE(cursor->next());
    EXPECT_EQ(cursor->values()[0], jet_value(std::int32_t(2)));
    EXPECT_FALSE(cursor->next());
}

TEST(DaoDeleteTab, DropsTheTableFromTheFileAndTheList) {
    dao_test_engine test;
    {
        auto database = created(test, "drop.mdb");
        database->create_table(u"Gone", source_schema(), udb_indexes());
        database->create_table(u"Kept", source_schema(), udb_indexes());
        EXPECT_TRUE(database->delete_tab(u"gone"));
        EXPECT_EQ(database->tables, std::vector<std::u16string>{u"Kept"});
    }
    auto db = jet_database::open("drop.mdb");
    ASSERT_EQ(db->user_tables().size(), 1u);
    EXPECT_EQ(db->user_tables()[0].name, u"Kept");
}

TEST(DaoCreateDb, RefusesAnExistingFileWithTheEnginesNumber) {
    dao_test_engine test;
    { std::ofstream("taken.mdb") << "x"; }
    try {
        test.engine.create_db(u"taken.mdb");
        FAIL() << "an existing file was replaced";
    } catch (const dao_exception& refused) {
        EXPECT_EQ(refused.dao_number(), 3204);
    }
}
