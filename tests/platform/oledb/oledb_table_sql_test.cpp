// The T-SQL for table and index descriptions, compared with statements written by hand in
// the form SQL Server's own provider sends.

#include "platform/oledb/oledb_sql_text.hpp"
#include "platform/oledb/oledb_table_sql.hpp"

#include <gtest/gtest.h>

namespace {

oledb_column_desc column(std::string name, oledb_dbtype type, std::uint32_t size = 0) {
    oledb_column_desc desc;
    desc.name = std::move(name);
    desc.type = type;
    desc.column_size = size;
    return desc;
}

std::string type_of(oledb_dbtype type, std::uint32_t size, bool b_max_types = true) {
    return oledb_column_type_sql(column("c", type, size), b_max_types);
}

}   // namespace

TEST(OledbTableSql, MapsEveryDescribedType) {
    EXPECT_EQ(type_of(DBTYPE_STR, 50), "varchar(50)");
    EXPECT_EQ(type_of(DBTYPE_STR, 8001), "varchar(max)");
    EXPECT_EQ(type_of(DBTYPE_STR, 8001, false), "text");
    EXPECT_EQ(type_of(DBTYPE_WSTR, 255), "nvarchar(255)");
    EXPECT_EQ(type_of(DBTYPE_WSTR, 4001), "nvarchar(max)");   // nvarchar(n) stops at 4000
    EXPECT_EQ(type_of(DBTYPE_WSTR, 8001, false), "ntext");
    EXPECT_EQ(type_of(DBTYPE_BYTES, 16), "varbinary(16)");
    EXPECT_EQ(type_of(DBTYPE_BYTES, 8001), "varbinary(max)");
    EXPECT_EQ(type_of(DBTYPE_BYTES, 8001, false), "image");
    EXPECT_EQ(type_of(DBTYPE_I2, 0), "smallint");
    EXPECT_EQ(type_of(DBTYPE_I4, 0), "int");
    EXPECT_EQ(type_of(DBTYPE_I8, 0), "bigint");
    EXPECT_EQ(type_of(DBTYPE_UI1, 0), "tinyint");
    EXPECT_EQ(type_of(DBTYPE_R8, 0), "float");
    EXPECT_EQ(type_of(DBTYPE_CY, 0), "money");
    EXPECT_EQ(type_of(DBTYPE_BOOL, 0), "bit");
    EXPECT_EQ(type_of(DBTYPE_DBTIMESTAMP, 0), "datetime");
    oledb_column_desc numeric = column("n", DBTYPE_NUMERIC);
    numeric.precision = 18;
    numeric.scale = 4;
    EXPECT_EQ(oledb_column_type_sql(numeric, true), "numeric(18,4)");
    EXPECT_EQ(type_of(DBTYPE_IUNKNOWN, 0), "");
}

TEST(OledbTableSql, CreatesTableWithIdentityNullabilityAndDefaults) {
    oledb_column_desc id = column("ID", DBTYPE_I4);
    id.b_autoincrement = true;
    id.b_nullable = false;
    oledb_column_desc name = column("Name", DBTYPE_WSTR, 40);
    name.b_has_default = true;
    name.default_sql = "N'x'";
    EXPECT_EQ(oledb_create_table_sql("[dbo].[T]", {id, name}, true),
              "CREATE TABLE [dbo].[T] ([ID] int IDENTITY(1,1) NOT NULL, "
              "[Name] nvarchar(40) NULL DEFAULT N'x')");
}

TEST(OledbTableSql, NamesWithBracketsCannotEscape) {
    EXPECT_EQ(oledb_bracket("a]b"), "[a]]b]");
    EXPECT_EQ(oledb_bracket("x]; DROP TABLE t; --"), "[x]]; DROP TABLE t; --]");
    EXPECT_EQ(oledb_unicode_literal("O'Brien"), "N'O''Brien'");
    oledb_index_desc index;
    index.name = "ix]1";
    index.columns = {"c]"};
    EXPECT_EQ(oledb_create_index_sql("[T]", index),
              "CREATE NONCLUSTERED INDEX [ix]]1] ON [T] ([c]]])");
}

TEST(OledbTableSql, PrimaryKeyIsANamedClusteredConstraint) {
    oledb_index_desc key;
    key.name = "PK_T";
    key.columns = {"a", "b"};
    key.b_primary_key = true;
    EXPECT_EQ(oledb_create_index_sql("[T]", key),
              "ALTER TABLE [T] ADD CONSTRAINT [PK_T] PRIMARY KEY NONCLUSTERED ([a], [b])");
    key.b_clustered = true;
    EXPECT_EQ(oledb_create_index_sql("[T]", key),
              "ALTER TABLE [T] ADD CONSTRAINT [PK_T] PRIMARY KEY CLUSTERED ([a], [b])");
    oledb_index_desc unique;
    unique.name = "u";
    unique.columns = {"a"};
    unique.b_unique = true;
    EXPECT_EQ(oledb_create_index_sql("[T]", unique),
              "CREATE UNIQUE NONCLUSTERED INDEX [u] ON [T] ([a])");
    EXPECT_EQ(oledb_drop_table_sql("[dbo].[T]"), "DROP TABLE [dbo].[T]");
}

TEST(OledbTableSql, FilteredUniqueIndexNamesEveryNullableColumn) {
    oledb_index_desc unique;
    unique.name = "u";
    unique.columns = {"a", "b]", "c"};
    unique.b_unique = true;
    unique.not_null_filter = {"a", "b]"};
    EXPECT_EQ(oledb_create_index_sql("[T]", unique),
              "CREATE UNIQUE NONCLUSTERED INDEX [u] ON [T] ([a], [b]]], [c])"
              " WHERE [a] IS NOT NULL AND [b]]] IS NOT NULL");
}
