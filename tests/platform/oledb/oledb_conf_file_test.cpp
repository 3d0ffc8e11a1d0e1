// The private freetds.conf that asks FreeTDS for TLS: private to the user, named only while
// the login runs, gone afterwards, and the user's own FREETDSCONF restored.

#include "platform/oledb/oledb_conf_file.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

TEST(OledbConfFile, IsPrivateTemporaryAndRestoresTheEnvironment) {
    ::setenv("FREETDSCONF", "/nonexistent/users-own.conf", 1);
    std::string written_path;
    {
        oledb_conf_file conf;
        ASSERT_TRUE(conf.activate_encryption("db1:1433"));
        const char* named = std::getenv("FREETDSCONF");
        ASSERT_NE(named, nullptr);
        written_path = named;
        EXPECT_NE(written_path, "/nonexistent/users-own.conf");
        struct stat info {};
        ASSERT_EQ(::stat(written_path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        std::ifstream file(written_path);
        std::stringstream text;
        text << file.rdbuf();
        EXPECT_NE(text.str().find("encryption = require"), std::string::npos);
    }
    struct stat gone {};
    EXPECT_NE(::stat(written_path.c_str(), &gone), 0);
    ASSERT_NE(std::getenv("FREETDSCONF"), nullptr);
    EXPECT_STREQ(std::getenv("FREETDSCONF"), "/nonexistent/users-own.conf");
    ::unsetenv("FREETDSCONF");
}

TEST(OledbConfFile, WithoutEncryptionNothingIsWritten) {
    ::unsetenv("FREETDSCONF");
    { oledb_conf_file conf; }
    EXPECT_EQ(std::getenv("FREETDSCONF"), nullptr);
}
