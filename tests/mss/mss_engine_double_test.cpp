// The engine against a server: logins, databases, version codes and the failures a user
// meets first (wrong password, no server, a database that is not there).

#include "mss/mss_dest_fixture.hpp"

#include "mss/odb_exce.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

using MssEngineServer = mss_dest_test;

TEST_F(MssEngineServer, CreatesFindsAndDropsDatabases) {
    const std::u16string name = mss_unique_db_name(u"vantrel_engine");
    EXPECT_FALSE(engine->is_db_exist(name));
    {
        const std::unique_ptr<udb_database> created = engine->create_db(name);
        ASSERT_NE(created, nullptr);
        EXPECT_TRUE(created->tables.empty());
    }
    EXPECT_TRUE(engine->is_db_exist(name));
    engine->delete_db(name);
    EXPECT_FALSE(engine->is_db_exist(name));
}

// db-lib's login record refuses a database name over 128 bytes; ignored, the login went to
// the login's default database (master) and the name seemed to exist there.
TEST_F(MssEngineServer, DatabaseNameTheLoginRecordRefusesIsAnError) {
    const std::u16string name(129, u'n');
    EXPECT_FALSE(engine->is_db_exist(name));
    try {
        engine->open_db(name, MSS_OPEN_APPEND);
        FAIL() << "a database was opened under a name no login can carry";
    } catch (const odb_exception& failure) {
        EXPECT_NE(std::string(failure.what()).find("database name"), std::string::npos)
            << failure.what();
    }
}

TEST_F(MssEngineServer, WrongPasswordIsAnAuthenticationFailure) {
    try {
        engine->connect(server.host, server.user, u"wrong;pass=word", false);
        FAIL() << "the login was accepted";
    } catch (const odb_exception& failure) {
        EXPECT_EQ(failure.code(), 0x80E4D);
        EXPECT_EQ(std::string(failure.what()).find("wrong;pass"), std::string::npos);
    }
}

TEST_F(MssEngineServer, NoServerIsAnUnspecifiedFailure) {
    if (server.b_real) GTEST_SKIP() << "uses a local closed port";
    try {
        engine->connect(u"127.0.0.1,1", u"sa", u"Secret1", false);
        FAIL() << "connected to a closed port";
    } catch (const odb_exception& failure) {
        EXPECT_EQ(failure.code(), 0x84005);
    }
}

TEST(MssEngineVersions, VersionCodesFromTheServersText) {
    const std::pair<const char*, int> versions[] = {
        {"Microsoft SQL Server  7.00 - 7.00.1063 (Intel X86) Apr  9 2002", 2},
        {"Microsoft SQL Server  2000 - 8.00.2039 (Intel X86) May  3 2005", 3},
        {"Microsoft SQL Server 2005 - 9.00.5000.00 (Intel X86) Dec 10 2010", 4},
        {"Microsoft SQL Server 2008 (SP3) - 10.0.5500.0 (X64) Sep 21 2011", 5},
        {"Microsoft SQL Server 2019 (RTM) - 15.0.2000.5 (X64) Sep 24 2019", 6}};
    for (const auto& [text, code] : versions) {
        mss_private_double double_server({std::string("--version-string=") + text});
        if (!double_server.is_running()) GTEST_SKIP() << "mssql-double is not built";
        mss_engine engine(true);
        const mss_test_server target = double_server.server();
        engine.connect(target.host, target.user, target.password, true);
        EXPECT_EQ(engine.version_code(), code) << text;
    }
}

TEST_F(MssEngineServer, PasswordsNeverReachTheTrace) {
    const std::string log_path = std::string(VANTREL_BUILD_DIR) + "/mss_trace_"
                                 + std::to_string(::getpid()) + ".log";
    {
        tk_trace trace(log_path, true, 1, false);
        connect(true);
        const std::u16string name = mss_unique_db_name(u"vantrel_trace");
        engine->create_db(name).reset();
        engine->delete_db(name);
        try {
            engine->connect(server.host, server.user, u"Wr0ng;Pa=ss", false);
        } catch (const odb_exception&) {}
    }
    std::ifstream file(log_path);
    std::stringstream text;
    text << file.rdbuf();
    std::remove(log_path.c_str());
    ASSERT_FALSE(text.str().empty());
    EXPECT_EQ(text.str().find(tk_utf16_to_utf8(server.password)), std::string::npos);
    EXPECT_EQ(text.str().find("Wr0ng"), std::string::npos);
    EXPECT_NE(text.str().find("********"), std::string::npos);
}
