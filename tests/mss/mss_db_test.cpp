// Column descriptions of new tables, index skipping, table-name validation and referential
// actions, against the rules of table creation worked by hand.

#include "mss/mss_db.hpp"
#include "mss/mss_default.hpp"
#include "mss/mss_rule.hpp"
#include "mss/mss_vali.hpp"
#include "platform/oledb/oledb_types.hpp"
#include "udb/udb_rule.hpp"

#include <gtest/gtest.h>

namespace {

t_ftd field(const char16_t* name, VARTYPE vartype, std::uint32_t size, bool not_null = false,
            bool autoincrement = false, std::uint32_t reserved = 0,
            const ole_variant& def_value = ole_variant()) {
    return t_ftd(size, name, vartype, not_null, autoincrement, def_value, reserved);
}

udb_indexes primary_key_on(const char16_t* column) {
    udb_indexes indexes;
    udb_index key;
    key.name = u"PrimaryKey";
    key.b_primary = true;
    key.b_unique = true;
    key.columns = {column};
    indexes.add(key);
    return indexes;
}

}   // namespace

TEST(OdbColumnDesc, PrimaryKeyColumnsAreNotNull) {
    const oledb_column_desc column = odb_database::describe_column(field(u"ID", VT_I4, 4),
                                                                   primary_key_on(u"ID"), 5);
    EXPECT_FALSE(column.b_nullable);
    EXPECT_FALSE(column.b_autoincrement);
    EXPECT_TRUE(
        odb_database::describe_column(field(u"X", VT_I4, 4), primary_key_on(u"ID"), 5).b_nullable);
}

TEST(OdbColumnDesc, IdentityDependsOnTypeAndVersion) {
    const udb_indexes none;
    const auto identity = [&](VARTYPE vartype, int version) {
        return odb_database::describe_column(field(u"n", vartype, 4, false, true), none, version)
            .b_autoincrement;
    };
    EXPECT_TRUE(identity(VT_I4, 5));
    EXPECT_TRUE(identity(VT_I2, 1));
    // A 64-bit AutoNumber is a bigint identity from SQL Server 2000 on; 7.0 has no bigint.
    for (const int version_code : {3, 4, 5, 6, 1}) EXPECT_TRUE(identity(VT_I8, version_code));
    EXPECT_FALSE(identity(VT_I8, 2));
    const oledb_column_desc wide = odb_database::describe_column(field(u"n", VT_I8, 8, false, true),
                                                                 none, 6);
    EXPECT_EQ(wide.type, DBTYPE_I8);
    EXPECT_FALSE(
        odb_database::describe_column(field(u"n", VT_I4, 4, false, true), none, 5).b_nullable);
}

TEST(OdbColumnDesc, DecimalsAndLongColumns) {
    const udb_indexes none;
    const oledb_column_desc exact = odb_database::describe_column(
        field(u"d", VT_DECIMAL, 0, false, false, 4 + 256 * 28), none, 5);
    EXPECT_EQ(exact.type, DBTYPE_NUMERIC);
    EXPECT_EQ(exact.precision, 28);
    EXPECT_EQ(exact.scale, 4);
    // numeric holds 38 digits exactly; only a wider decimal falls back to float.
    EXPECT_EQ(odb_database::describe_column(field(u"d", VT_DECIMAL, 0, false, false, 2 + 256 * 38),
                                            none, 5)
                  .precision,
              38);
    EXPECT_EQ(odb_database::describe_column(field(u"d", VT_DECIMAL, 0, false, false, 2 + 256 * 39),
                                            none, 5)
                  .type,
              DBTYPE_R8);
    const oledb_column_desc memo = odb_database::describe_column(
        field(u"m", VT_BSTR, 0, false, false, 0, ole_variant(u"x")), none, 5);
    EXPECT_EQ(memo.type, DBTYPE_WSTR);
    EXPECT_EQ(memo.column_size, 8001u);
    EXPECT_FALSE(memo.b_has_default);
}

TEST(OdbColumnDesc, DefaultsBecomeSqlText) {
    const udb_indexes none;
    const auto default_of = [&](VARTYPE vartype, const ole_variant& value) {
        const oledb_column_desc column = odb_database::describe_column(
            field(u"c", vartype, 20, false, false, 0, value), none, 5);
        return column.b_has_default ? column.default_sql : std::string("<none>");
    };
    EXPECT_EQ(default_of(VT_I4, ole_variant(0)), "0");
    EXPECT_EQ(default_of(VT_BSTR, ole_variant(u"it's")), "N'it''s'");
    EXPECT_EQ(default_of(VT_BOOL, ole_variant(true)), "1");
    EXPECT_EQ(default_of(VT_I4, ole_variant()), "<none>");
    EXPECT_EQ(default_of(VT_DECIMAL, ole_variant(u"abc")), "<none>");   // does not convert
}

TEST(OdbColumnDesc, GuidColumnsBecomeUnicodeText) {
    udb_custom_conversion registry;
    registry.add_rule(std::make_unique<mss_guid_rule>());
    const oledb_column_desc guid = odb_database::describe_column(
        field(u"g", VT_BLOB, 16, false, false, 1), udb_indexes(), 5);
    EXPECT_EQ(guid.type, DBTYPE_WSTR);
    EXPECT_EQ(guid.column_size, 38u);
    const oledb_column_desc bytes = odb_database::describe_column(
        field(u"b", VT_BLOB, 16, false, false, 0), udb_indexes(), 5);
    EXPECT_EQ(bytes.type, DBTYPE_BYTES);
}

TEST(OdbColumnDesc, DateDefaultsNeedTheDateTypesOf2008) {
    t_ftd column = field(u"c", VT_DATE, 8, false, false, 1);
    column.def_function = udb_default_function::TODAY;
    EXPECT_TRUE(odb_database::describe_column(column, udb_indexes(), 1).b_has_default);
    // SQL Server 2005 (4) has no date type: the column goes without, and says why.
    EXPECT_FALSE(odb_database::describe_column(column, udb_indexes(), 4).b_has_default);
    EXPECT_NE(mss_lost_default(column, 4).find(u"SQL Server 2008"), std::u16string::npos);
    EXPECT_TRUE(mss_lost_default(column, 5).empty());
}

TEST(OdbIndexable, MemoIndexesAreRefusedWithTheirColumn) {
    udb_schema schema;
    schema.append(std::make_unique<t_ftd>(field(u"memo", VT_BSTR, 0)));
    schema.append(std::make_unique<t_ftd>(field(u"flag", VT_BOOL, 2)));
    schema.append(std::make_unique<t_ftd>(field(u"name", VT_BSTR, 50)));
    udb_index index;
    index.columns = {u"name", u"flag"};   // bit columns are keys like any other
    EXPECT_EQ(odb_database::why_not_indexable(index, schema), u"");
    index.columns = {u"name", u"memo"};
    EXPECT_NE(odb_database::why_not_indexable(index, schema).find(u"'memo' is a Memo"),
              std::u16string::npos);
    index.columns = {u"missing"};
    EXPECT_NE(odb_database::why_not_indexable(index, schema), u"");
}

TEST(OdbIndexDesc, UniqueIndexesOverNullableColumnsNeverRefuseRows) {
    const udb_indexes key = primary_key_on(u"ID");
    const std::vector<oledb_column_desc> columns = {
        odb_database::describe_column(field(u"ID", VT_I4, 4), key, 5),
        odb_database::describe_column(field(u"Code", VT_I4, 4, true), key, 5),
        odb_database::describe_column(field(u"Name", VT_BSTR, 50), key, 5),
    };
    udb_index unique;
    unique.name = u"ByName";
    unique.b_unique = true;
    unique.columns = {u"Code", u"name"};   // Jet names match whatever their case
    // 2008 (5), 2012 and later (6) and unknown servers (1): filtered on the nullable column.
    for (const int version_code : {5, 6, 1}) {
        const oledb_index_desc desc = odb_database::describe_index(unique, u"T", columns,
                                                                   version_code);
        EXPECT_TRUE(desc.b_unique);
        EXPECT_EQ(desc.not_null_filter, std::vector<std::string>{"name"}) << version_code;
    }
    // 2000 and 2005 know no filtered index: the index keeps its use but not its uniqueness.
    for (const int version_code : {3, 4}) {
        const oledb_index_desc desc = odb_database::describe_index(unique, u"T", columns,
                                                                   version_code);
        EXPECT_FALSE(desc.b_unique);
        EXPECT_TRUE(desc.not_null_filter.empty());
    }
    // NOT NULL columns, the key column included, keep a plain unique index; the key stays.
    unique.columns = {u"Code", u"ID"};
    const oledb_index_desc plain = odb_database::describe_index(unique, u"T", columns, 3);
    EXPECT_TRUE(plain.b_unique);
    EXPECT_TRUE(plain.not_null_filter.empty());
    const oledb_index_desc primary = odb_database::describe_index(*key.begin(), u"T", columns, 5);
    EXPECT_TRUE(primary.b_primary_key);
    EXPECT_TRUE(primary.b_clustered);
    EXPECT_EQ(primary.name, "PK_T");
    EXPECT_TRUE(primary.not_null_filter.empty());
}

TEST(OdbIndexDesc, LongPrimaryKeysAreNonclusteredAndLongNamesFit) {
    const std::vector<oledb_column_desc> columns = {
        odb_database::describe_column(field(u"A", VT_BSTR, 255), udb_indexes(), 6),
        odb_database::describe_column(field(u"B", VT_BSTR, 255), udb_indexes(), 6),
        odb_database::describe_column(field(u"N", VT_I4, 4), udb_indexes(), 6)};
    udb_index key;
    key.b_primary = true;
    key.columns = {u"A", u"N"};   // 514 bytes: within a clustered key's 900
    EXPECT_TRUE(odb_database::describe_index(key, u"T", columns, 6).b_clustered);
    key.columns = {u"A", u"B"};   // 1,020 bytes
    EXPECT_FALSE(odb_database::describe_index(key, u"T", columns, 6).b_clustered);
    // PK_ and a 128-character table name: 131, cut to 128 with a hash of the whole name.
    const std::u16string long_table(128, u'x');
    const std::u16string other_table = std::u16string(127, u'x') + u"y";
    const std::string name = odb_database::describe_index(key, long_table, columns, 6).name;
    EXPECT_EQ(name.size(), 128u);
    EXPECT_EQ(name.substr(0, 4), "PK_x");
    EXPECT_NE(name, odb_database::describe_index(key, other_table, columns, 6).name);
}

TEST(MssTableNames, PrefixedLongNamesStayWithin128) {
    const std::u16string long_name(128, u'a');
    const mss_tn_validator validator({long_name}, {});
    const std::u16string safe = validator.get_safe_name(long_name);
    EXPECT_EQ(safe.size(), 128u);
    EXPECT_EQ(safe.substr(0, 2), u"_a");
    EXPECT_FALSE(validator.is_duplicated(safe));
}

TEST(MssTableNames, TakenNamesGetPrefixesInTurn) {
    const mss_tn_validator validator({u"T", u"_T"}, {u"1_T"});
    EXPECT_EQ(validator.get_safe_name(u"T"), u"_1_T");
    EXPECT_EQ(validator.get_safe_name(u"t"), u"_1_t");   // taken names compare case-blind
    EXPECT_EQ(validator.get_safe_name(u"Free"), u"Free");
    EXPECT_TRUE(validator.is_acceptable(u"_x"));
    EXPECT_TRUE(validator.is_acceptable(u"Orders"));
    EXPECT_FALSE(validator.is_acceptable(u"1st"));
    EXPECT_THROW(validator.is_acceptable(u""), tk_mail_assertion);
    // A letter is a letter by Unicode, as on Windows, in whatever script.
    EXPECT_TRUE(validator.is_acceptable(u"Πλήθος"));
    EXPECT_TRUE(validator.is_acceptable(u"Größe"));
    EXPECT_TRUE(validator.is_acceptable(u"Ärger"));
    EXPECT_TRUE(validator.is_acceptable(u"数量"));
    EXPECT_TRUE(validator.is_acceptable(u"\U00010400x"));    // Deseret capital, a surrogate pair
    EXPECT_FALSE(validator.is_acceptable(u"\u0663rd"));      // Arabic-Indic digit three
    EXPECT_FALSE(validator.is_acceptable(u"\U0001F600x"));   // an emoji is no letter
    EXPECT_FALSE(validator.is_acceptable(u"#tmp"));
}

TEST(MssForeignKeyProps, OnlySinglePhrasesPass) {
    EXPECT_TRUE(mss_database::is_valid_fk_props(u"on delete cascade"));
    EXPECT_TRUE(mss_database::is_valid_fk_props(u"ON UPDATE SET NULL"));
    EXPECT_FALSE(mss_database::is_valid_fk_props(u"ON DELETE CASCADE ON UPDATE CASCADE"));
    // Access keeps both rules of a relationship: a delete phrase, then an update phrase.
    EXPECT_TRUE(mss_database::is_valid_fk_rules(u"ON DELETE CASCADE ON UPDATE CASCADE"));
    EXPECT_TRUE(mss_database::is_valid_fk_rules(u"on update cascade"));
    EXPECT_FALSE(mss_database::is_valid_fk_rules(u"ON UPDATE CASCADE ON DELETE CASCADE"));
    EXPECT_FALSE(mss_database::is_valid_fk_rules(u"ON DELETE CASCADE ON UPDATE CASCADE; DROP"));
    EXPECT_FALSE(mss_database::is_valid_fk_rules(u"ON DELETE CASCADE ON DELETE CASCADE"));
    EXPECT_FALSE(mss_database::is_valid_fk_props(u"ON DELETE CASCADE; DROP TABLE t"));
}
