// Server failures reach the user messages of the SQL Server message map: each failure is
// provoked for real, its odb_exception code must be a key of the map and the map's text must
// say what happened (the texts are checked by their opening words, as the map documents them).

#include "mss/mss_dest_fixture.hpp"

#include "conv/conv_maps.hpp"
#include "mss/mss_tab.hpp"
#include "mss/odb_exce.hpp"

#include <functional>

namespace {

std::string user_message(std::int32_t code) {
    for (const conv_message_entry& entry : conv_mssql_messages()) {
        if (entry.code == code) return entry.text;
    }
    return "<no message for this code>";
}

}   // namespace

class MssErrors : public mss_dest_test {
protected:
    // Runs a failing call and checks the code and the opening of its user message.
    void expect_message(const std::function<void()>& failing_call, std::int32_t code,
                        const std::string& message_start) {
        try {
            failing_call();
            ADD_FAILURE() << "no failure for code " << std::hex << code;
        } catch (const odb_exception& failure) {
            EXPECT_EQ(failure.code(), code) << failure.what();
            EXPECT_EQ(user_message(failure.code()).rfind(message_start, 0), 0u)
                << user_message(failure.code());
        }
    }
};

TEST_F(MssErrors, EveryProvokedFailureHasItsMessage) {
    const std::unique_ptr<mss_database> database = create_database(u"vantrel_errors");
    database->query(u"CREATE TABLE [dbo].[T] ([ID] int NOT NULL CONSTRAINT [PK_T] PRIMARY KEY, "
                    u"[Short] nvarchar(5) NULL, [N] int NULL)");
    database->query(u"INSERT INTO [dbo].[T] ([ID], [Short], [N]) VALUES (1, N'a', 1)");
    database->query(u"CREATE NONCLUSTERED INDEX [ByN] ON [dbo].[T] ([N])");

    expect_message([&] { database->query(u"SELECT * FROM [dbo].[Missing]"); }, 0x80E37,
                   "The specified table does not exist.");
    expect_message([&] { database->query(u"CREATE TABLE [dbo].[T] ([x] int NULL)"); }, 0x80E3F,
                   "The specified table already exists.");
    expect_message(
        [&] { database->query(u"INSERT INTO [dbo].[T] ([ID], [Short], [N]) VALUES (1, N'b', 2)"); },
        0x80E2F, "The specified record violates the integrity constraints.");
    expect_message(
        [&] {
            database->query(u"INSERT INTO [dbo].[T] ([ID], [Short], [N]) VALUES (NULL, N'b', 2)");
        },
        0x80E2F, "The specified record violates the integrity constraints.");
    expect_message(
        [&] {
            database->query(
                u"INSERT INTO [dbo].[T] ([ID], [Short], [N]) VALUES (2, N'toolong', 2)");
        },
        0x80E57, "A literal value overflowed the range");
    expect_message(
        [&] {
            database->query(u"INSERT INTO [dbo].[T] ([ID], [Short], [N]) VALUES (3, N'b', 'abc')");
        },
        0x80E07, "A literal value could not be converted");
    expect_message([&] { database->query(u"SELECT [Nope] FROM [dbo].[T]"); }, 0x80E55,
                   "The specified column did not exist.");
    expect_message([&] { database->query(u"CREATE NONCLUSTERED INDEX [ByN] ON [dbo].[T] ([N])"); },
                   0x80E34, "The specified index already exists.");
    expect_message([&] { engine->create_db(created_databases.front()); }, 0x80E17,
                   "A data source with the specified name already exists.");
    expect_message([&] { engine->connect(server.host, server.user, u"not it", false); }, 0x80E4D,
                   "Invalid user name or password.");
}

TEST_F(MssErrors, OrphanedRowsGetTheirOwnMessageAndTheNextKeyFollows) {
    const std::unique_ptr<mss_database> database = create_database(u"vantrel_fk");
    database->query(u"CREATE TABLE [dbo].[Parent] ([ID] int NOT NULL CONSTRAINT [PK_Parent] "
                    u"PRIMARY KEY)");
    database->query(u"CREATE TABLE [dbo].[Child] ([ID] int NOT NULL, [ParentID] int NULL)");
    database->query(u"CREATE TABLE [dbo].[Clean] ([ID] int NOT NULL, [ParentID] int NULL)");
    database->query(u"INSERT INTO [dbo].[Parent] ([ID]) VALUES (1)");
    database->query(u"INSERT INTO [dbo].[Child] ([ID], [ParentID]) VALUES (1, 2)");
    udb_relationships relationships;
    udb_relationship orphaned;
    orphaned.name = u"FK_Child";
    orphaned.src_table = u"Child";
    orphaned.dest_table = u"Parent";
    orphaned.src_columns = {u"ParentID"};
    orphaned.dest_columns = {u"ID"};
    relationships.add(orphaned);
    udb_relationship clean = orphaned;
    clean.name = u"FK_Clean";
    clean.src_table = u"Clean";
    relationships.add(clean);
    std::vector<std::pair<std::u16string, std::string>> reported;
    database->set_failure_reporter([&](const std::u16string& context, const tk_exception& failure) {
        reported.emplace_back(context, failure.what());
    });
    database->create_relationships(relationships);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].first, u"Foreign key 'FK_Child'");
    EXPECT_EQ(reported[0].second.rfind("There are orphaned records", 0), 0u);
    const auto keys = rows_of(*database, u"EXEC sp_fkeys @pktable_name = N'Parent'");
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].at(11), u"FK_Clean");
}

TEST_F(MssErrors, AppendModeCreatesNoForeignKeys) {
    const std::u16string name = mss_unique_db_name(u"vantrel_fk_append");
    create_database(name).reset();
    const std::unique_ptr<mss_database> database = engine->open_db(created_databases.back(),
                                                                   MSS_OPEN_APPEND);
    udb_relationships relationships;
    udb_relationship missing_tables;
    missing_tables.name = u"FK_X";
    missing_tables.src_table = u"NoSuchChild";
    missing_tables.dest_table = u"NoSuchParent";
    missing_tables.src_columns = {u"a"};
    missing_tables.dest_columns = {u"b"};
    relationships.add(missing_tables);
    int reports = 0;
    database->set_failure_reporter([&](const std::u16string&, const tk_exception&) { ++reports; });
    database->create_relationships(relationships);
    EXPECT_EQ(reports, 0);   // nothing was even tried
}
