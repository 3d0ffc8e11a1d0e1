// double_catalog_test.cpp - the catalogue queries the destination layer relies on answer
// with SQL Server's documented columns, in order, and describe what was created.
#include "double_client.hpp"

#include <gtest/gtest.h>

#include <set>

using double_test::fresh_database;

namespace {

const char* const SCHEMA =
    "CREATE TABLE [dbo].[Orders] ([OrderID] int IDENTITY(1,1) NOT NULL, "
    "[Customer] nvarchar(40) NULL, [Amount] decimal(12,3) NULL DEFAULT ((0)), "
    "[Placed] datetime NOT NULL, [Notes] ntext NULL, "
    "CONSTRAINT [PK_Orders] PRIMARY KEY CLUSTERED ([OrderID]))\n"
    "CREATE TABLE [dbo].[Lines] ([OrderID] int NOT NULL, [LineNo] smallint NOT NULL, "
    "[Item] varchar(20) NULL, "
    "CONSTRAINT [PK_Lines] PRIMARY KEY NONCLUSTERED ([OrderID], [LineNo]))\n"
    "CREATE UNIQUE INDEX [IX_Item] ON [dbo].[Lines] ([Item] DESC)\n"
    "ALTER TABLE [dbo].[Lines] ADD CONSTRAINT [FK_Lines_Orders] FOREIGN KEY ([OrderID]) "
    "REFERENCES [dbo].[Orders] ([OrderID]) ON DELETE CASCADE";

std::vector<std::string> column(const double_test::result_set& set, std::size_t index) {
    std::vector<std::string> values;
    for (const auto& row : set.rows)
        values.push_back(row.at(index).b_null ? "NULL" : row[index].text);
    return values;
}

}   // namespace

TEST(DoubleSpColumns, DescribesColumnsWithTheNineteenDocumentedFields) {
    auto db = fresh_database("dbl_sp_columns");
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->run(SCHEMA).messages.empty());
    auto r = db->run("EXEC sp_columns @table_name = N'Orders', @table_owner = N'dbo'");
    ASSERT_EQ(r.sets.size(), 1u);
    const std::vector<std::string> expected_names = {
        "TABLE_QUALIFIER",   "TABLE_OWNER",      "TABLE_NAME",  "COLUMN_NAME",   "DATA_TYPE",
        "TYPE_NAME",         "PRECISION",        "LENGTH",      "SCALE",         "RADIX",
        "NULLABLE",          "REMARKS",          "COLUMN_DEF",  "SQL_DATA_TYPE", "SQL_DATETIME_SUB",
        "CHAR_OCTET_LENGTH", "ORDINAL_POSITION", "IS_NULLABLE", "SS_DATA_TYPE"};
    EXPECT_EQ(r.sets[0].names, expected_names);
    EXPECT_EQ(column(r.sets[0], 3),
              (std::vector<std::string>{"OrderID", "Customer", "Amount", "Placed", "Notes"}));
    // ODBC 2 type codes: int 4, nvarchar -9, decimal 3, datetime 11, ntext -10.
    EXPECT_EQ(column(r.sets[0], 4), (std::vector<std::string>{"4", "-9", "3", "11", "-10"}));
    EXPECT_EQ(column(r.sets[0], 5), (std::vector<std::string>{"int identity", "nvarchar", "decimal",
                                                              "datetime", "ntext"}));
    EXPECT_EQ(column(r.sets[0], 6)[2], "12");
    EXPECT_EQ(column(r.sets[0], 8)[2], "3");
    EXPECT_EQ(column(r.sets[0], 10), (std::vector<std::string>{"0", "1", "1", "0", "1"}));
    EXPECT_EQ(column(r.sets[0], 12)[2], "((0))");
    EXPECT_EQ(column(r.sets[0], 17), (std::vector<std::string>{"NO", "YES", "YES", "NO", "YES"}));
    // A procedure answers with its return status.
    EXPECT_TRUE(db->run("EXEC sp_columns @table_name = N'nosuch'").sets.at(0).rows.empty());
    EXPECT_TRUE(db->run("EXEC sp_columns").has_error(201));
    EXPECT_TRUE(db->run("EXEC sp_columns @tablename = N'x'").has_error(8145));
    EXPECT_TRUE(db->run("EXEC sp_nosuch").has_error(2812));
}

TEST(DoubleSpKeys, ListsPrimaryForeignKeysAndIndexes) {
    auto db = fresh_database("dbl_sp_keys");
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->run(SCHEMA).messages.empty());
    auto pkeys = db->run("EXEC sp_pkeys @table_name = N'Lines', @table_owner = N'dbo'");
    ASSERT_EQ(pkeys.sets.size(), 1u);
    EXPECT_EQ(pkeys.sets[0].names,
              (std::vector<std::string>{"TABLE_QUALIFIER", "TABLE_OWNER", "TABLE_NAME",
                                        "COLUMN_NAME", "KEY_SEQ", "PK_NAME"}));
    EXPECT_EQ(column(pkeys.sets[0], 3), (std::vector<std::string>{"OrderID", "LineNo"}));
    EXPECT_EQ(column(pkeys.sets[0], 5), (std::vector<std::string>{"PK_Lines", "PK_Lines"}));

    auto fkeys = db->run("EXEC sp_fkeys @pktable_name = N'Orders', @pktable_owner = N'dbo'");
    ASSERT_EQ(fkeys.sets.size(), 1u);
    ASSERT_EQ(fkeys.sets[0].names.size(), 14u);
    EXPECT_EQ(fkeys.sets[0].names[11], "FK_NAME");
    ASSERT_EQ(fkeys.sets[0].rows.size(), 1u);
    EXPECT_EQ(column(fkeys.sets[0], 6)[0], "Lines");
    EXPECT_EQ(column(fkeys.sets[0], 7)[0], "OrderID");
    EXPECT_EQ(column(fkeys.sets[0], 9)[0], "1");    // UPDATE_RULE: NO ACTION
    EXPECT_EQ(column(fkeys.sets[0], 10)[0], "0");   // DELETE_RULE: CASCADE
    EXPECT_EQ(column(fkeys.sets[0], 11)[0], "FK_Lines_Orders");
    EXPECT_EQ(column(fkeys.sets[0], 12)[0], "PK_Orders");
    auto by_child = db->run("EXEC sp_fkeys @fktable_name = N'Lines'");
    EXPECT_EQ(by_child.sets.at(0).rows.size(), 1u);

    auto stats = db->run("EXEC sp_statistics @table_name = N'Lines', @table_owner = N'dbo'");
    ASSERT_EQ(stats.sets.size(), 1u);
    ASSERT_EQ(stats.sets[0].names.size(), 13u);
    // The table row first (TYPE 0), then unique indexes before others, key columns in order.
    EXPECT_EQ(column(stats.sets[0], 6), (std::vector<std::string>{"0", "3", "3", "3"}));
    EXPECT_EQ(column(stats.sets[0], 5),
              (std::vector<std::string>{"NULL", "IX_Item", "PK_Lines", "PK_Lines"}));
    EXPECT_EQ(column(stats.sets[0], 8),
              (std::vector<std::string>{"NULL", "Item", "OrderID", "LineNo"}));
    EXPECT_EQ(column(stats.sets[0], 9)[1], "D");
}

TEST(DoubleInformationSchema, ListsTablesAndColumns) {
    auto db = fresh_database("dbl_info_schema");
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->run(SCHEMA).messages.empty());
    auto tables = db->run("SELECT TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, TABLE_TYPE FROM "
                          "INFORMATION_SCHEMA.TABLES WHERE TABLE_TYPE = 'BASE TABLE' AND "
                          "TABLE_SCHEMA = N'dbo' ORDER BY TABLE_SCHEMA, TABLE_NAME");
    ASSERT_EQ(tables.sets.size(), 1u);
    EXPECT_EQ(column(tables.sets[0], 2), (std::vector<std::string>{"Lines", "Orders"}));
    EXPECT_EQ(column(tables.sets[0], 0)[0], "dbl_info_schema");
    auto columns = db->run("SELECT COLUMN_NAME, DATA_TYPE, CHARACTER_MAXIMUM_LENGTH, "
                           "NUMERIC_PRECISION, NUMERIC_SCALE, IS_NULLABLE FROM "
                           "INFORMATION_SCHEMA.COLUMNS WHERE TABLE_NAME = N'Orders' "
                           "ORDER BY ORDINAL_POSITION");
    ASSERT_EQ(columns.sets.size(), 1u);
    EXPECT_EQ(column(columns.sets[0], 1),
              (std::vector<std::string>{"int", "nvarchar", "decimal", "datetime", "ntext"}));
    EXPECT_EQ(column(columns.sets[0], 2),
              (std::vector<std::string>{"NULL", "40", "NULL", "NULL", "1073741823"}));
    EXPECT_EQ(column(columns.sets[0], 3)[2], "12");
    EXPECT_EQ(column(columns.sets[0], 4)[2], "3");
    auto databases = db->run("SELECT name FROM sys.databases WHERE name = N'dbl_info_schema'");
    EXPECT_EQ(databases.first(), "dbl_info_schema");
    EXPECT_EQ(db->run("SELECT DB_NAME()").first(), "dbl_info_schema");
    EXPECT_FALSE(db->run("SELECT DB_ID(N'dbl_info_schema')").first().empty());
    EXPECT_TRUE(db->run("SELECT DB_ID(N'dbl_nothing')").sets.at(0).rows.at(0).at(0).b_null);
    EXPECT_EQ(db->run("SELECT SCHEMA_NAME()").first(), "dbo");
    EXPECT_EQ(db->run("SELECT SUSER_SNAME()").first(), "sa");
    EXPECT_EQ(db->run("SELECT IS_SRVROLEMEMBER(N'sysadmin')").first(), "1");
}

TEST(DoubleSelect, FiltersOrdersAndReadsSubqueries) {
    auto db = fresh_database("dbl_select");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE [a]]b] ([x y] int, s nvarchar(5))");
    db->run("INSERT INTO [a]]b] ([x y], s) VALUES (3, N'c'); INSERT INTO [a]]b] ([x y], s) "
            "VALUES (1, N'a')\nINSERT INTO [a]]b] ([x y], s) VALUES (2, NULL)");
    auto r = db->run("SELECT [x y] AS n FROM (SELECT * FROM [dbo].[a]]b] WHERE s IS NOT NULL) "
                     "AS q ORDER BY n DESC");
    ASSERT_EQ(r.sets.size(), 1u);
    EXPECT_EQ(column(r.sets[0], 0), (std::vector<std::string>{"3", "1"}));
    EXPECT_EQ(r.sets[0].names[0], "n");
    r = db->run("SELECT COUNT(*) FROM [a]]b] WHERE [x y] >= 2 AND s = N'C'");   // case-blind
    EXPECT_EQ(r.first(), "1");
    db->run("SET QUOTED_IDENTIFIER ON");
    EXPECT_EQ(db->run("SELECT \"x y\" FROM \"a]b\" WHERE s = N'a'").first(), "1");
    db->run("SET FMTONLY ON");
    r = db->run("SELECT * FROM [a]]b]");
    db->run("SET FMTONLY OFF");
    ASSERT_EQ(r.sets.size(), 1u);
    EXPECT_EQ(r.sets[0].names.size(), 2u);
    EXPECT_TRUE(r.sets[0].rows.empty());
}

TEST(DoubleAddedKeys, AddsAPrimaryKeyToAnExistingTable) {
    auto db = fresh_database("dbl_added_keys");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE [dbo].[t] ([a] int NOT NULL, [b] int NULL)");
    db->run("CREATE UNIQUE INDEX [IX_b] ON [dbo].[t] ([b])");
    auto r = db->run("ALTER TABLE [dbo].[t] ADD CONSTRAINT [PK_t] PRIMARY KEY CLUSTERED ([a])");
    EXPECT_TRUE(r.messages.empty());
    auto pkeys = db->run("EXEC sp_pkeys @table_name = N't'");
    EXPECT_EQ(column(pkeys.sets.at(0), 5), (std::vector<std::string>{"PK_t"}));
    auto stats = db->run("EXEC sp_statistics @table_name = N't'");
    EXPECT_EQ(column(stats.sets.at(0), 5), (std::vector<std::string>{"NULL", "PK_t", "IX_b"}));
    EXPECT_EQ(column(stats.sets.at(0), 6), (std::vector<std::string>{"0", "1", "3"}));

    r = db->run("ALTER TABLE [dbo].[t] ADD CONSTRAINT [PK_t2] PRIMARY KEY ([b])");
    ASSERT_GE(r.messages.size(), 2u);
    EXPECT_EQ(r.messages[0].number, 1779);
    EXPECT_EQ(r.messages[0].text, "Table 't' already has a primary key defined on it.");
    EXPECT_EQ(r.messages[1].number, 1750);
    db->run("CREATE TABLE u (a int NULL, b int NOT NULL)");
    r = db->run("ALTER TABLE u ADD CONSTRAINT PK_u PRIMARY KEY (a)");
    ASSERT_FALSE(r.messages.empty());
    EXPECT_EQ(r.messages[0].number, 8111);
    EXPECT_TRUE(db->run("ALTER TABLE u ADD CONSTRAINT PK_t PRIMARY KEY (b)").has_error(2714));
    db->run("INSERT INTO u (a, b) VALUES (1, 5), (2, 5)");
    EXPECT_TRUE(db->run("ALTER TABLE u ADD CONSTRAINT PK_u PRIMARY KEY (b)").has_error(1505));
    EXPECT_TRUE(db->run("EXEC sp_pkeys @table_name = N'u'").sets.at(0).rows.empty());
}

TEST(DoubleSpColumns, ShowsDefaultsAsSqlServerStoresThem) {
    auto db = fresh_database("dbl_column_defaults");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (a int DEFAULT 0, b nvarchar(5) DEFAULT N'abc', "
            "c varchar(5) DEFAULT 'abc', d datetime DEFAULT (getdate()), e int DEFAULT -1, "
            "f decimal(9,2) DEFAULT ((1.5)), g int NULL)");
    auto r = db->run("EXEC sp_columns @table_name = N't'");
    EXPECT_EQ(column(r.sets.at(0), 12),
              (std::vector<std::string>{"((0))", "(N'abc')", "('abc')", "(getdate())", "((-1))",
                                        "((1.5))", "NULL"}));
    // decimal(9,2): PRECISION 9, LENGTH 11 (precision + 2), SCALE 2.
    EXPECT_EQ(column(r.sets[0], 6)[5], "9");
    EXPECT_EQ(column(r.sets[0], 7)[5], "11");
    EXPECT_EQ(column(r.sets[0], 8)[5], "2");
}

// sp_columns takes table, owner and column as LIKE patterns; sp_pkeys, sp_fkeys and
// sp_statistics take table names exactly, sp_statistics its index name as a pattern.
TEST(DoubleCatalogueNames, ArePatternsWhereTheProcedureSaysSo) {
    auto db = fresh_database("dbl_patterns");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE [Order_Details] ([id] int NOT NULL CONSTRAINT [PK_od] PRIMARY KEY, "
            "[a_b] int NULL, [a1b] int NULL)\n"
            "CREATE TABLE [Order1Details] ([id] int NOT NULL CONSTRAINT [PK_o1] PRIMARY KEY)\n"
            "CREATE TABLE [Order[x]]] ([id] int NOT NULL)\n"
            "CREATE INDEX [IX_a_b] ON [Order_Details] ([a_b])");
    struct call {
        const char* exec;
        std::size_t name_column;   // TABLE_NAME, or the column's / index's name
        const char* names;         // the distinct names answered, sorted, joined by ','
    };
    const call calls[] = {
        {"EXEC sp_columns N'Order_Details', NULL, NULL, N'id'", 2, "Order1Details,Order_Details"},
        {"EXEC sp_columns N'Order[_]Details', NULL, NULL, N'id'", 2, "Order_Details"},
        {"EXEC sp_columns N'order%', N'db_', NULL, N'id'", 2,
         "Order1Details,Order[x],Order_Details"},
        {"EXEC sp_columns N'Order[[]x]'", 2, "Order[x]"},
        {"EXEC sp_columns N'Order[_]Details', NULL, NULL, N'a_b'", 3, "a1b,a_b"},
        {"EXEC sp_columns N'Order[_]Details', NULL, NULL, N'a[_]b'", 3, "a_b"},
        {"EXEC sp_columns N'Order[^_]Details', NULL, NULL, N'id'", 2, "Order1Details"},
        {"EXEC sp_columns N'Order[_'", 2, ""},
        {"EXEC sp_pkeys N'Order_Details'", 2, "Order_Details"},
        {"EXEC sp_pkeys N'Order%'", 2, ""},
        {"EXEC sp_statistics N'Order%'", 2, ""},
        {"EXEC sp_statistics N'Order_Details', NULL, NULL, N'IX%'", 5, "IX_a_b"},
    };
    for (const call& c : calls) {
        SCOPED_TRACE(c.exec);
        double_test::batch_result r = db->run(c.exec);
        ASSERT_FALSE(r.sets.empty());
        std::set<std::string> distinct;
        for (const std::string& name : column(r.sets[0], c.name_column))
            if (name != "NULL") distinct.insert(name);
        std::string names;
        for (const std::string& name : distinct) names += (names.empty() ? "" : ",") + name;
        EXPECT_EQ(names, c.names);
    }
}
