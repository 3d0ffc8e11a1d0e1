// conv_profile_test.cpp - the converter's settings profiles: a save followed by a load gives
// back every setting, files are private, and the reader keeps the quirks stored files rely on (a
// key before any section fails, a byte-order mark spoils the first line, the generic flags are true
// for any value but "0" while the SQL Server flags need "1").
#include <sys/stat.h>

#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "conv_test_env.hpp"
#include "udb/udb_prof.hpp"

using ::testing::ElementsAre;
using ::testing::Pair;

namespace {

class Profiles : public conv_test_env {
protected:
    std::string write_file(const std::string& name, const std::string& text) {
        std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    // The converter's settings as a saved profile's text.
    std::string saved_text() {
        std::string path = (folder / "saved.ini").string();
        EXPECT_TRUE(converter->save(path));
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // A second converter over the same fake world, as a later program start would have.
    void restart_converter() {
        converter.reset();
        converter = std::make_unique<vantrel_convertor>(make_fake_engines(world));
    }
};

TEST_F(Profiles, SaveThenLoadReproducesEverySetting) {
    converter->set_source(u"C:/data/Umsätze.mdb");
    converter->set_destination(u"Sales 2024");
    converter->set_mode(MODE_MERGE);
    converter->set_definitions_only(true);
    converter->set_skip_indexes(true);
    converter->set_selected_tables({u"Orders", u"Order Lines"});
    converter->add_table_entry(u"Q1", u"SELECT * FROM Orders WHERE a = 'x=y'");
    converter->add_query_entry(u"Q2", u"SELECT 1");
    converter->set_database_password(u"db pw");
    converter->store_ugl_settings(u"team.mdw", u"admin", u"ugl=pw");
    converter->set_host(u"db1,1433");
    converter->set_user(u"sa");
    converter->set_password(u" spaced ");
    converter->set_windows_authentication(false);
    converter->set_as_dbo(true);
    std::string path = (folder / "settings.ini").string();
    ASSERT_TRUE(converter->save(path));

    restart_converter();
    ASSERT_TRUE(converter->load(path));

    EXPECT_EQ(converter->get_source(), u"C:/data/Umsätze.mdb");
    EXPECT_EQ(converter->get_destination(), u"Sales 2024");
    EXPECT_EQ(converter->get_mode(), MODE_MERGE);
    EXPECT_TRUE(converter->is_definitions_only());
    EXPECT_TRUE(converter->is_skip_indexes());
    EXPECT_THAT(converter->get_selected_tables(), ElementsAre(u"Order Lines", u"Orders"));
    EXPECT_THAT(converter->get_table_map(),
                ElementsAre(Pair(u"Order Lines", u""), Pair(u"Orders", u""),
                            Pair(u"Q1", u"SELECT * FROM Orders WHERE a = 'x=y'")));
    EXPECT_THAT(converter->get_query_map(), ElementsAre(Pair(u"Q2", u"SELECT 1")));
    EXPECT_EQ(converter->get_database_password(), u"db pw");
    EXPECT_EQ(converter->get_workgroup_file(), u"team.mdw");
    EXPECT_EQ(converter->get_workgroup_user(), u"admin");
    EXPECT_EQ(converter->get_workgroup_password(), u"ugl=pw");
    EXPECT_EQ(converter->get_host(), u"db1,1433");
    EXPECT_EQ(converter->get_user(), u"sa");
    EXPECT_EQ(converter->get_password(), u" spaced");   // the line's own trimming, as ever
    EXPECT_FALSE(converter->is_windows_authentication());
    EXPECT_TRUE(converter->mssql_engine().is_as_dbo());
}

TEST_F(Profiles, FileIsPrivateAndSectionsComeOutInNameOrder) {
    converter->set_password(u"secret");
    converter->set_selected_tables({u"Orders"});
    std::string path = write_file("old.ini", "stale");
    ::chmod(path.c_str(), 0644);
    ASSERT_TRUE(converter->save(path));

    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    std::ifstream file(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::size_t queries = text.find("[Available Queries]\r\n");
    std::size_t generic = text.find("[Generic settings]\r\n");
    std::size_t access = text.find("[MS Access settings]\r\n");
    std::size_t mssql = text.find("[MS SQL Server settings]\r\n");
    std::size_t selected = text.find("[Selected Tables]\r\nOrders\r\n\r\n");
    EXPECT_EQ(queries, 0u);
    EXPECT_LT(queries, generic);
    EXPECT_LT(generic, access);
    EXPECT_LT(access, mssql);
    EXPECT_LT(mssql, selected);
    EXPECT_NE(selected, std::string::npos);
}

TEST_F(Profiles, KeyLineBeforeAnySectionFailsTheLoad) {
    std::string path = write_file("bad.ini", "src=a.mdb\n[Generic settings]\ndest=x\n");
    EXPECT_FALSE(converter->load(path));
    EXPECT_EQ(converter->get_source(), u"src.mdb");
}

TEST_F(Profiles, ByteOrderMarkSpoilsAHeaderOnTheFirstLine) {
    std::string path = write_file("bom.ini", "\xEF\xBB\xBF[Generic settings]\nsrc=a.mdb\n");
    EXPECT_FALSE(converter->load(path));
    EXPECT_FALSE(converter->load((folder / "missing.ini").string()));
}

TEST_F(Profiles, OnlySourceAndDestinationLeaveTheRestAsItWas) {
    converter->set_mode(MODE_SKIP_TABLES);
    converter->set_host(u"keep-me");
    std::string path = write_file("min.ini",
                                  "[Generic settings]\r\n  src = a.mdb\r\ndest=Shop\r\n");
    ASSERT_TRUE(converter->load(path));
    EXPECT_EQ(converter->get_source(), u" a.mdb");   // the key is trimmed, the value is not
    EXPECT_EQ(converter->get_destination(), u"Shop");
    EXPECT_EQ(converter->get_mode(), MODE_SKIP_TABLES);
    EXPECT_EQ(converter->get_host(), u"keep-me");
}

TEST_F(Profiles, GenericFlagsTakeAnyValueButZeroServerFlagsOnlyOne) {
    std::string path = write_file("flags.ini",
                                  "[Generic settings]\nonly definitions=yes\nskip indexes=0\n"
                                  "mode=2\n[MS SQL Server settings]\n"
                                  "windows authentication=yes\nconnect as DBO=1\n");
    converter->set_skip_indexes(true);
    ASSERT_TRUE(converter->load(path));
    EXPECT_TRUE(converter->is_definitions_only());
    EXPECT_FALSE(converter->is_skip_indexes());
    EXPECT_EQ(converter->get_mode(), MODE_SKIP_TABLES);
    EXPECT_FALSE(converter->is_windows_authentication());
    EXPECT_TRUE(converter->mssql_engine().is_as_dbo());
}

TEST_F(Profiles, SelectedTablesHoldTablesAndQueriesThatBecomeTables) {
    std::string long_query = "SELECT " + std::string(5000, 'x') + " FROM Orders";
    std::string path = write_file("tables.ini", "[Selected Tables]\nOrders\nQ1=" + long_query
                                                    + "\nQ2=SELECT * FROM Orders\n");
    ASSERT_TRUE(converter->load(path));
    EXPECT_THAT(converter->get_selected_tables(), ElementsAre(u"Orders"));
    ASSERT_EQ(converter->get_table_map().size(), 3u);
    EXPECT_EQ(converter->get_table_map().at(u"Q1").size(), long_query.size());
}

TEST_F(Profiles, QueriesOnlyLeaveTheSelectionEmptySoTheRunTakesEveryTable) {
    world.source.add_table(u"Orders", 1, {{1}});
    world.source.add_table(u"Customers", 1, {{2}});
    std::string path = write_file("q.ini", "[Selected Tables]\nQ1=SELECT * FROM Orders\n");
    ASSERT_TRUE(converter->load(path));
    EXPECT_TRUE(converter->get_selected_tables().empty());

    ::testing::internal::CaptureStdout();
    converter->run();
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(world.destination.created,
              (std::vector<std::u16string>{u"Customers", u"Orders", u"Q1"}));
}

TEST_F(Profiles, RegistrySettingsRoundTripAndStartFromTheirDefaults) {
    std::string config = (folder / "config").string();
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ASSERT_TRUE(converter->serialize(false));
    EXPECT_TRUE(converter->mssql_engine().is_as_dbo());   // absent: 1
    EXPECT_TRUE(converter->is_windows_authentication());

    converter->set_source(u"Umsätze.mdb");
    converter->set_password(u"pw");
    converter->set_windows_authentication(false);
    converter->set_as_dbo(false);
    converter->set_skip_indexes(true);
    converter->store_ugl_settings(u"team.mdw", u"admin", u"x");
    ASSERT_TRUE(converter->serialize(true));

    restart_converter();
    ASSERT_TRUE(converter->serialize(false));
    EXPECT_EQ(converter->get_source(), u"Umsätze.mdb");
    EXPECT_EQ(converter->get_password(), u"pw");
    EXPECT_FALSE(converter->is_windows_authentication());
    EXPECT_FALSE(converter->mssql_engine().is_as_dbo());
    EXPECT_TRUE(converter->is_skip_indexes());
    EXPECT_EQ(converter->get_workgroup_file(), u"team.mdw");
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(Profiles, CodePageTravelsInOurOwnSectionToTheAccessEngine) {
    std::string path = write_file("cp.ini", "[MS Access settings]\r\ndatabase password=\r\n"
                                            "[Vantrel settings]\r\ncode page = 936\r\n");
    ASSERT_TRUE(converter->load(path));
    EXPECT_EQ(converter->get_code_page(), 936);
    converter->check_acc_base(u"old.mdb", u"");
    EXPECT_THAT(world.calls, ::testing::Contains(std::u16string(u"code page 936")));

    // Saved back under the same key; the sections the original format knows are unchanged.
    std::string text = saved_text();
    EXPECT_NE(text.find("[Vantrel settings]\r\ncode page=936\r\n"), std::string::npos);
}

TEST_F(Profiles, ProfilesWithoutOurSectionLeaveTheChoiceToTheEngine) {
    std::string path = write_file("plain.ini", "[MS Access settings]\r\ndatabase password=x\r\n");
    ASSERT_TRUE(converter->load(path));
    EXPECT_EQ(converter->get_code_page(), 0);
    converter->check_acc_base(u"old.mdb", u"x");
    for (const std::u16string& call : world.calls) EXPECT_NE(call.rfind(u"code page", 0), 0u);
    std::string text = saved_text();
    EXPECT_EQ(text.find("Vantrel settings"), std::string::npos);
}

TEST_F(Profiles, CodePageThatIsNoNumberStopsTheLoad) {
    std::string path = write_file("bad.ini", "[Vantrel settings]\r\ncode page=GBK\r\n");
    try {
        converter->load(path);
        FAIL() << "a code page that is no number was taken";
    } catch (const tk_exception& failure) {
        EXPECT_EQ(failure.level(), ERROR_LEVEL_FATAL);
        EXPECT_NE(std::string(failure.what()).find("'GBK'"), std::string::npos);
    }
}

}   // namespace
