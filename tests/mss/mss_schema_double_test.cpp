// The schema as Access means it, read back from the server: a relationship Access does not
// enforce arrives disabled over its orphans, computed defaults fill new rows, and a default
// without equivalent is reported by its column; cascading rules arrive, keys to filtered
// indexes are made possible, and table names never act as patterns.

#include "mss/mss_dest_fixture.hpp"

#include "mss/mss_rule.hpp"
#include "mss/odb_exce.hpp"
#include "udb/udb_rule.hpp"

#include <map>

namespace {

udb_relationship child_to_parent(const char16_t* name, const char16_t* child) {
    udb_relationship relationship;
    relationship.name = name;
    relationship.src_table = child;
    relationship.dest_table = u"Parent";
    relationship.src_columns = {u"ParentID"};
    relationship.dest_columns = {u"ID"};
    return relationship;
}

}   // namespace

class MssSchema : public mss_dest_test {};

TEST_F(MssSchema, NotEnforcedRelationshipsArriveDisabledOverTheirOrphans) {
    const std::unique_ptr<mss_database> database = create_database(u"vantrel_nocheck");
    database->query(u"CREATE TABLE [dbo].[Parent] ([ID] int NOT NULL CONSTRAINT [PK_Parent] "
                    u"PRIMARY KEY)");
    database->query(u"CREATE TABLE [dbo].[Loose] ([ID] int NOT NULL, [ParentID] int NULL)");
    database->query(u"CREATE TABLE [dbo].[Held] ([ID] int NOT NULL, [ParentID] int NULL)");
    database->query(u"INSERT INTO [dbo].[Parent] ([ID]) VALUES (1)");
    database->query(u"INSERT INTO [dbo].[Loose] ([ID], [ParentID]) VALUES (1, 2)");
    database->query(u"INSERT INTO [dbo].[Held] ([ID], [ParentID]) VALUES (1, 1)");
    udb_relationships relationships;
    udb_relationship loose = child_to_parent(u"FK_Loose", u"Loose");
    loose.b_enforced = false;
    relationships.add(loose);
    relationships.add(child_to_parent(u"FK_Held", u"Held"));
    std::vector<std::u16string> reported;
    database->set_failure_reporter(
        [&](const std::u16string& context, const tk_exception&) { reported.push_back(context); });
    database->create_relationships(relationships);
    EXPECT_TRUE(reported.empty());   // no orphan error for the loose one
    const auto keys = rows_of(*database, u"SELECT name, is_disabled, is_not_trusted "
                                         u"FROM sys.foreign_keys");
    std::map<std::u16string, std::pair<std::u16string, std::u16string>> state;
    for (const auto& row : keys) state[row.at(0)] = {row.at(1), row.at(2)};
    EXPECT_EQ(state[u"FK_Loose"], std::make_pair(std::u16string(u"1"), std::u16string(u"1")));
    EXPECT_EQ(state[u"FK_Held"], std::make_pair(std::u16string(u"0"), std::u16string(u"0")));
    // As in Access, further rows are not held to it either.
    database->query(u"INSERT INTO [dbo].[Loose] ([ID], [ParentID]) VALUES (2, 3)");
    EXPECT_EQ(rows_of(*database, u"SELECT COUNT(*) FROM [dbo].[Loose]").at(0).at(0), u"2");
}

TEST_F(MssSchema, ComputedDefaultsFillNewRows) {
    udb_custom_conversion registry;
    registry.add_rule(std::make_unique<mss_guid_rule>());
    const std::unique_ptr<mss_database> database = create_database(u"vantrel_defaults");
    udb_schema schema;
    const auto add = [&schema](const char16_t* name, VARTYPE vartype, std::uint32_t size,
                               udb_default_function function) {
        auto column = std::make_unique<t_ftd>(size, name, vartype, false, false, ole_variant(), 1u);
        column->def_function = function;
        schema.append(std::move(column));
    };
    schema.append(std::make_unique<t_ftd>(4, u"ID", VT_I4, true, false, ole_variant(), 0u));
    add(u"Made", VT_DATE, 8, udb_default_function::NOW);
    add(u"Day", VT_DATE, 8, udb_default_function::TODAY);
    add(u"Hour", VT_DATE, 8, udb_default_function::TIME_OF_DAY);
    add(u"Ticket", VT_BLOB, 16, udb_default_function::NEW_GUID);
    database->create_table(u"Stamped", schema, udb_indexes()).reset();
    database->query(u"INSERT INTO [dbo].[Stamped] ([ID]) VALUES (1)");
    const auto counted = [&](const std::u16string& where) {
        return rows_of(*database, u"SELECT COUNT(*) FROM [dbo].[Stamped] WHERE " + where)
            .at(0)
            .at(0);
    };
    EXPECT_EQ(counted(u"[Made] IS NOT NULL"), u"1");
    EXPECT_EQ(counted(u"[Day] = CONVERT(date, [Made])"), u"1");        // midnight, that day
    EXPECT_EQ(counted(u"CONVERT(date, [Hour]) = '19000101'"), u"1");   // the time alone
    EXPECT_EQ(counted(u"[Ticket] LIKE N'{________-____-____-____-____________}'"), u"1");
}

TEST_F(MssSchema, DefaultsWithoutEquivalentAreReportedByColumn) {
    const std::unique_ptr<mss_database> database = create_database(u"vantrel_lost_default");
    udb_schema schema;
    schema.append(std::make_unique<t_ftd>(4, u"ID", VT_I4, true, false, ole_variant(), 0u));
    auto due = std::make_unique<t_ftd>(8, u"Due", VT_DATE, false, false, ole_variant(), 1u);
    due->def_unmapped = u"DateAdd(\"d\",7,Date())";
    schema.append(std::move(due));
    std::vector<std::pair<std::u16string, std::string>> reported;
    database->set_failure_reporter([&](const std::u16string& context, const tk_exception& failure) {
        reported.emplace_back(context, failure.what());
    });
    database->create_table(u"Orders", schema, udb_indexes()).reset();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].first, u"Default value of column 'Orders.Due'");
    EXPECT_EQ(reported[0].second, "The default value DateAdd(\"d\",7,Date()) has no SQL Server "
                                  "equivalent; the column is created without it.");
    // The table is there all the same, its column without a default.
    EXPECT_EQ(rows_of(*database, u"SELECT COUNT(*) FROM [dbo].[Orders]").at(0).at(0), u"0");
}

namespace {

udb_schema id_and_code() {
    udb_schema schema;
    schema.append(std::make_unique<t_ftd>(4, u"ID", VT_I4, true, false, ole_variant(), 0u));
    schema.append(std::make_unique<t_ftd>(10, u"Code", VT_BSTR, false, false, ole_variant(), 0u));
    return schema;
}

udb_indexes key_and_unique_code() {
    udb_indexes indexes = mss_key_on(u"ID");
    udb_index code;
    code.name = u"ByCode";
    code.b_unique = true;
    code.columns = {u"Code"};
    indexes.add(code);
    return indexes;
}

}   // namespace

// Access keeps both rules of a relationship; a rule SQL Server refuses for a cycle (a table
// cascading to itself) leaves the key without it, and says so.
TEST_F(MssSchema, CascadingRulesArriveAndARefusedOneIsReported) {
    const std::unique_ptr<mss_database> database = create_database(u"vantrel_cascade");
    database->query(u"CREATE TABLE [dbo].[Parent] ([ID] int NOT NULL CONSTRAINT [PK_Parent] "
                    u"PRIMARY KEY, [ParentID] int NULL)");
    database->query(u"CREATE TABLE [dbo].[Child] ([ID] int NOT NULL, [ParentID] int NULL)");
    udb_relationships relationships;
    udb_relationship both = child_to_parent(u"FK_Child", u"Child");
    both.fk_props = u"ON DELETE CASCADE ON UPDATE CASCADE";
    relationships.add(both);
    udb_relationship self = child_to_parent(u"FK_Self", u"Parent");
    self.fk_props = u"ON DELETE CASCADE";
    relationships.add(self);
    std::vector<std::u16string> reported;
    database->set_failure_reporter(
        [&](const std::u16string& context, const tk_exception&) { reported.push_back(context); });
    database->create_relationships(relationships);
    std::map<std::u16string, std::pair<std::u16string, std::u16string>> rules;
    for (const auto& row : rows_of(*database, u"EXEC sp_fkeys @pktable_name = N'Parent'")) {
        rules[row.at(11)] = {row.at(9), row.at(10)};   // UPDATE_RULE, DELETE_RULE: 0 cascade
    }
    EXPECT_EQ(rules[u"FK_Child"], std::make_pair(std::u16string(u"0"), std::u16string(u"0")));
    EXPECT_EQ(rules[u"FK_Self"], std::make_pair(std::u16string(u"1"), std::u16string(u"1")));
    EXPECT_EQ(reported, std::vector<std::u16string>{u"Cascading rule of Foreign key 'FK_Self'"});
}

// A unique index over a column Access lets be empty is filtered, and SQL Server takes no
// filtered index as a foreign key's key (1776): with at most one empty row, a unique
// constraint over all rows is added for the key; with two, the key is reported.
TEST_F(MssSchema, ForeignKeysToAUniqueIndexOverEmptyValues) {
    for (const int empty_rows : {1, 2}) {
        SCOPED_TRACE(empty_rows);
        const std::unique_ptr<mss_database> database = create_database(u"vantrel_filtered");
        database->create_table(u"Codes", id_and_code(), key_and_unique_code()).reset();
        database->query(u"INSERT INTO [dbo].[Codes] ([ID], [Code]) VALUES (1, N'a'), (2, NULL)");
        if (empty_rows == 2) database->query(u"INSERT INTO [dbo].[Codes] VALUES (3, NULL)");
        database->query(u"CREATE TABLE [dbo].[Uses] ([ID] int NOT NULL, [Code] nvarchar(10))");
        udb_relationships relationships;
        udb_relationship uses = child_to_parent(u"FK_Uses", u"Uses");
        uses.dest_table = u"Codes";
        uses.src_columns = {u"Code"};
        uses.dest_columns = {u"Code"};
        relationships.add(uses);
        std::vector<std::u16string> reported;
        database->set_failure_reporter([&](const std::u16string& context, const tk_exception&) {
            reported.push_back(context);
        });
        database->create_relationships(relationships);
        const auto keys = rows_of(*database, u"SELECT name FROM sys.foreign_keys");
        if (empty_rows == 1) {
            EXPECT_TRUE(reported.empty());
            EXPECT_EQ(keys.size(), 1u);
            // The rows it took stay; a second empty code is now refused.
            EXPECT_THROW(database->query(u"INSERT INTO [dbo].[Codes] VALUES (3, NULL)"),
                         odb_exception);
        } else {
            EXPECT_EQ(reported, std::vector<std::u16string>{u"Foreign key 'FK_Uses'"});
            EXPECT_TRUE(keys.empty());
        }
    }
}

// sp_columns reads its table name as a LIKE pattern: Order_Details must not take the columns
// of Order1Details.
TEST_F(MssSchema, TableNamesAreNoPatterns) {
    const std::unique_ptr<mss_database> database = create_database(u"vantrel_pattern");
    database->query(u"CREATE TABLE [dbo].[Order1Details] ([x] int, [y] int, [z] int)");
    database->query(u"CREATE TABLE [dbo].[Order_Details] ([a] int)");
    const std::unique_ptr<udb_recordset> table = database->get_table(u"Order_Details",
                                                                     MSS_OPEN_READ_ONLY);
    ASSERT_EQ(table->schema.size(), 1u);
    EXPECT_EQ(table->schema[0].name, u"a");
}
