// Tables created from neutral schemas, read back through the catalogue procedures the way an
// independent client sees them: types, identity, nullability, keys, indexes, defaults.

#include "mss/mss_dest_fixture.hpp"

#include "mss/mss_lit.hpp"
#include "mss/mss_name.hpp"
#include "mss/mss_rule.hpp"
#include "mss/mss_tab.hpp"
#include "mss/odb_exce.hpp"
#include "tk/tk_utf.hpp"
#include "udb/udb_rule.hpp"

#include <algorithm>
#include <map>

namespace {

std::unique_ptr<t_ftd> column(const char16_t* name, VARTYPE vartype, std::uint32_t size,
                              bool not_null = false, bool autoincrement = false,
                              std::uint32_t reserved = 0,
                              const ole_variant& def_value = ole_variant()) {
    return std::make_unique<t_ftd>(size, name, vartype, not_null, autoincrement, def_value,
                                   reserved);
}

udb_index index_of(const char16_t* name, std::vector<std::u16string> columns, bool primary,
                   bool unique) {
    udb_index index;
    index.name = name;
    index.columns = std::move(columns);
    index.b_primary = primary;
    index.b_unique = unique;
    return index;
}

struct column_row {
    std::u16string type_name;
    std::u16string precision;
    std::u16string scale;
    std::u16string nullable;
    std::u16string column_def;
};

}   // namespace

class MssCreateTable : public mss_dest_test {
protected:
    std::map<std::u16string, column_row> columns_of(mss_database& database,
                                                    const std::u16string& table) {
        std::map<std::u16string, column_row> columns;
        for (const auto& row : rows_of(database, u"EXEC sp_columns @table_name = "
                                                     + mss_sql_literal(ole_variant(table)))) {
            columns[row.at(3)] = {row.at(5), row.at(6), row.at(8), row.at(10), row.at(12)};
        }
        return columns;
    }
};

TEST_F(MssCreateTable, EveryTypeMappingReadsBack) {
    udb_custom_conversion registry;
    registry.add_rule(std::make_unique<mss_guid_rule>());
    const std::unique_ptr<mss_database> database = create_database(u"vantrel_types");
    udb_schema schema;
    schema.append(column(u"ID", VT_I4, 4, false, true));
    schema.append(column(u"Name", VT_BSTR, 50));
    schema.append(column(u"Memo", VT_BSTR, 0));
    schema.append(column(u"Flag", VT_BOOL, 2));
    schema.append(column(u"Small", VT_I2, 2));
    schema.append(column(u"Tiny", VT_UI1, 1));
    schema.append(column(u"Price", VT_CY, 8));
    schema.append(column(u"Stamp", VT_DATE, 8, false, false, 1));
    schema.append(column(u"Ratio", VT_R8, 8));
    schema.append(column(u"Amount", VT_DECIMAL, 0, false, false, 2 + 256 * 10));
    schema.append(column(u"Wide", VT_DECIMAL, 0, false, false, 2 + 256 * 38));
    schema.append(column(u"Huge", VT_DECIMAL, 0, false, false, 2 + 256 * 39));
    schema.append(column(u"Blob", VT_BLOB, 0));
    schema.append(column(u"Bin", VT_BLOB, 16));
    schema.append(column(u"Guid", VT_BLOB, 16, false, false, 1));
    const std::unique_ptr<udb_recordset> table = database->create_table(u"Types", schema,
                                                                        udb_indexes());
    ASSERT_NE(table, nullptr);

    const auto columns = columns_of(*database, u"Types");
    EXPECT_EQ(columns.at(u"ID").type_name, u"int identity");
    EXPECT_EQ(columns.at(u"ID").nullable, u"0");
    EXPECT_EQ(columns.at(u"Name").type_name, u"nvarchar");
    EXPECT_EQ(columns.at(u"Name").precision, u"50");
    EXPECT_EQ(columns.at(u"Name").nullable, u"1");
    EXPECT_EQ(columns.at(u"Memo").type_name, u"nvarchar");
    EXPECT_EQ(columns.at(u"Flag").type_name, u"bit");
    EXPECT_EQ(columns.at(u"Small").type_name, u"smallint");
    EXPECT_EQ(columns.at(u"Tiny").type_name, u"tinyint");
    EXPECT_EQ(columns.at(u"Price").type_name, u"money");
    EXPECT_EQ(columns.at(u"Stamp").type_name, u"datetime");
    EXPECT_EQ(columns.at(u"Ratio").type_name, u"float");
    EXPECT_EQ(columns.at(u"Amount").type_name, u"numeric");
    EXPECT_EQ(columns.at(u"Amount").precision, u"10");
    EXPECT_EQ(columns.at(u"Amount").scale, u"2");
    EXPECT_EQ(columns.at(u"Wide").type_name, u"numeric");   // SQL Server's widest
    EXPECT_EQ(columns.at(u"Wide").precision, u"38");
    EXPECT_EQ(columns.at(u"Huge").type_name, u"float");   // precision 39 has no numeric
    EXPECT_EQ(columns.at(u"Blob").type_name, u"varbinary");
    EXPECT_EQ(columns.at(u"Bin").type_name, u"varbinary");
    EXPECT_EQ(columns.at(u"Bin").precision, u"16");
    EXPECT_EQ(columns.at(u"Guid").type_name, u"nvarchar");
    EXPECT_EQ(columns.at(u"Guid").precision, u"38");
    const auto lengths = rows_of(
        *database, u"SELECT COLUMN_NAME, CHARACTER_MAXIMUM_LENGTH FROM INFORMATION_SCHEMA.COLUMNS "
                   u"WHERE TABLE_NAME = N'Types' ORDER BY ORDINAL_POSITION");
    std::map<std::u16string, std::u16string> max_length;
    for (const auto& row : lengths) max_length[row.at(0)] = row.at(1);
    EXPECT_EQ(max_length.at(u"Memo"), u"-1");   // nvarchar(max)
    EXPECT_EQ(max_length.at(u"Blob"), u"-1");   // varbinary(max)
}

TEST_F(MssCreateTable, KeysIndexesAndDefaults) {
    const std::unique_ptr<mss_database> database = create_database(u"vantrel_keys");
    udb_schema schema;
    schema.append(column(u"Code", VT_BSTR, 10));   // nullable in the source, a key column
    schema.append(column(u"Name", VT_BSTR, 50, true, false, 0, ole_variant(u"abc")));
    schema.append(column(u"Qty", VT_I4, 4, true, false, 0, ole_variant(0)));
    schema.append(column(u"Memo", VT_BSTR, 0));
    schema.append(column(u"Flag", VT_BOOL, 2));
    udb_indexes indexes;
    indexes.add(index_of(u"PrimaryKey", {u"Code"}, true, true));
    indexes.add(index_of(u"NameUnique", {u"Name"}, false, true));
    indexes.add(index_of(u"ByQty", {u"Qty", u"Name"}, false, false));
    indexes.add(index_of(u"ByMemo", {u"Memo"}, false, false));
    indexes.add(index_of(u"ByFlag", {u"Flag"}, false, false));
    std::vector<std::u16string> reported;
    database->set_failure_reporter(
        [&](const std::u16string& context, const tk_exception&) { reported.push_back(context); });
    const std::unique_ptr<udb_recordset> created = database->create_table(u"Stock", schema,
                                                                          indexes);
    // SQL Server indexes no max column: that index is named, never left out unseen.
    EXPECT_EQ(reported, std::vector<std::u16string>{u"Index 'ByMemo' of table 'Stock'"});

    const auto columns = columns_of(*database, u"Stock");
    EXPECT_EQ(columns.at(u"Code").nullable, u"0");
    EXPECT_EQ(columns.at(u"Qty").column_def, u"((0))");
    EXPECT_EQ(columns.at(u"Name").column_def, u"(N'abc')");
    const auto keys = rows_of(*database, u"EXEC sp_pkeys @table_name = N'Stock'");
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].at(3), u"Code");
    EXPECT_EQ(keys[0].at(5), u"PK_Stock");

    // The plain index follows the rows: made when the load ends, not with the table.
    const auto index_names = [&database] {
        std::vector<std::u16string> names;
        const auto reread = database->get_table(u"Stock", MSS_OPEN_APPEND);
        for (const udb_index& index : reread->indexes) names.push_back(index.name);
        std::sort(names.begin(), names.end());
        return names;
    };
    EXPECT_EQ(index_names(), (std::vector<std::u16string>{u"NameUnique", u"PK_Stock"}));
    static_cast<mss_table&>(*created).finish_load();
    EXPECT_EQ(index_names(),
              (std::vector<std::u16string>{u"ByFlag", u"ByQty", u"NameUnique", u"PK_Stock"}));

    // The table opened again reads all of it back: defaults, key and the created indexes.
    const std::unique_ptr<udb_recordset> reopened = database->get_table(u"Stock", MSS_OPEN_APPEND);
    auto& stock = static_cast<mss_table&>(*reopened);
    EXPECT_EQ(stock.schema.find_field(u"Qty").def_value.to_long(), 0);
    EXPECT_EQ(stock.schema.find_field(u"Name").def_value.to_wstring(), u"abc");
    EXPECT_TRUE(stock.has_primary_key());
    std::map<std::u16string, udb_index> found;
    for (const udb_index& index : stock.indexes) found[index.name] = index;
    ASSERT_EQ(found.size(), 4u);   // no index over the memo column; bit columns are keys
    EXPECT_TRUE(found.at(u"PK_Stock").b_primary);
    EXPECT_TRUE(found.at(u"NameUnique").b_unique);
    EXPECT_FALSE(found.at(u"ByQty").b_unique);
    EXPECT_EQ(found.at(u"ByQty").columns, (std::vector<std::u16string>{u"Qty", u"Name"}));
    EXPECT_TRUE(database->is_table_exist(u"Stock"));
}

TEST_F(MssCreateTable, ExpressionDefaultsReadAsNoValue) {
    const std::unique_ptr<mss_database> database = create_database(u"vantrel_defaults");
    database->query(u"CREATE TABLE [dbo].[Log] ([At] datetime NULL DEFAULT (getdate()), "
                    u"[Note] nvarchar(5) NULL DEFAULT ('abcdefgh'))");
    const std::unique_ptr<udb_recordset> log = database->get_table(u"Log", MSS_OPEN_APPEND);
    EXPECT_EQ(log->schema.find_field(u"At").def_value.type(), VT_EMPTY);
    // A text default longer than its column is not kept.
    EXPECT_EQ(log->schema.find_field(u"Note").def_value.type(), VT_EMPTY);
}

TEST_F(MssCreateTable, NamesWithBracketsQuotesAndSpaces) {
    const std::unique_ptr<mss_database> database = create_database(u"vantrel_names]'x");
    udb_schema schema;
    schema.append(column(u"a]b", VT_I4, 4, true));
    schema.append(column(u"it's", VT_BSTR, 20));
    schema.append(column(u"sp ace", VT_BSTR, 20));
    udb_indexes indexes;
    indexes.add(index_of(u"ix]'1", {u"it's"}, false, true));
    const std::u16string name = u"Q]uo'te d";
    database->create_table(name, schema, indexes);
    const auto columns = columns_of(*database, name);
    EXPECT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns.count(u"a]b"), 1u);
    EXPECT_EQ(columns.count(u"sp ace"), 1u);
    const std::unique_ptr<udb_recordset> table = database->get_table(name, MSS_OPEN_APPEND);
    ASSERT_EQ(table->indexes.size(), 1u);
    EXPECT_EQ(table->indexes[0].name, u"ix]'1");
}

TEST_F(MssCreateTable, TablesAndQueriesReadThroughTheFiveRowCache) {
    const std::unique_ptr<mss_database> database = create_database(u"vantrel_read");
    database->query(u"CREATE TABLE [dbo].[T] ([ID] int NOT NULL, [Name] nvarchar(10) NULL)");
    for (int id = 1; id <= 12; ++id) {
        database->query(u"INSERT INTO [dbo].[T] ([ID], [Name]) VALUES ("
                        + tk_utf8_to_utf16(std::to_string(id)) + u", N'n')");
    }
    const auto ids_of = [](udb_recordset& rows) {
        std::vector<int> ids;
        for (rows.reset(); !rows.is_eof(); rows.next()) {
            const udb_record* row = rows.get_item();
            if (row == nullptr) break;
            ids.push_back((*row)[0].to_long());
        }
        return ids;
    };
    const std::unique_ptr<udb_recordset> table = database->get_table(u"T", MSS_OPEN_READ_ONLY);
    EXPECT_EQ(table->records_count, 12);
    std::vector<int> expected(12);
    for (int id = 1; id <= 12; ++id) expected[id - 1] = id;
    EXPECT_EQ(ids_of(*table), expected);
    EXPECT_EQ(ids_of(*table), expected);   // a second pass restarts the rowset

    const std::unique_ptr<udb_recordset> query = database->get_query(
        u"Big", u"SELECT [ID] FROM [dbo].[T] WHERE [ID] > 9", MSS_OPEN_READ_ONLY);
    EXPECT_TRUE(query->is_query());
    EXPECT_EQ(query->records_count, 3);
    EXPECT_EQ(ids_of(*query), (std::vector<int>{10, 11, 12}));
    EXPECT_TRUE(database->test_query(u"SELECT [ID] FROM [dbo].[T]"));
    EXPECT_FALSE(database->test_query(u"SELECT [ID] FROM [dbo].[Nowhere]"));
}

TEST_F(MssCreateTable, MissingOwnerIsRetriedUnderDbo) {
    const std::unique_ptr<mss_database> database = create_database(u"vantrel_owner");
    database->query(u"CREATE TABLE [dbo].[T] ([ID] int NOT NULL)");
    const std::unique_ptr<udb_recordset> table = database->get_table(u"[nobody].[T]",
                                                                     MSS_OPEN_READ_ONLY);
    EXPECT_EQ(static_cast<mss_table&>(*table).full_name(), u"[dbo].[T]");
    EXPECT_THROW(database->get_table(u"Nowhere", MSS_OPEN_READ_ONLY), odb_exception);
    database->tables.push_back(u"T");
    EXPECT_TRUE(database->delete_tab(u"T"));
    EXPECT_FALSE(database->is_table_exist(u"T"));
    EXPECT_TRUE(rows_of(*database, u"SELECT TABLE_NAME FROM INFORMATION_SCHEMA.TABLES").empty());
}
