// Settings stand-in: values keep kinds, names and order; any text round-trips; the file is
// private, replaced whole, and a damaged or unreadable one loses nothing.
#include "platform/settings/set_key.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "platform/settings/set_file.hpp"
#include "tk/tk_test_folder.hpp"

namespace {

constexpr const char* KEY = "Software\\Orvane\\Vantrel";

class SettingsKey : public testing::Test {
protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", config.path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }

    std::unique_ptr<set_key> open_key() {
        long result = -1;
        std::unique_ptr<set_key> key = set_key::open(set_root::CURRENT_USER, KEY, result);
        EXPECT_EQ(result, SET_ERROR_SUCCESS);
        return key;
    }
    std::string file() const { return config.file("Orvane/Vantrel.ini"); }

    tk_test_folder config;
};

TEST_F(SettingsKey, OddTextRoundTripsThroughTheFile) {
    const std::u16string odd[] = {u"a=b",
                                  u"line\nbreak\r\n",
                                  u"tab\there",
                                  u"\x01\x1f\x7f",
                                  u"quote\" back\\slash",
                                  u"\\x41 not an escape",
                                  u"; [not a comment]",
                                  u"日本語 \U0001F600",
                                  u"",
                                  std::u16string{u'x', 0xD800, u'y', 0xDFFF},
                                  u"  spaces  ",
                                  u"\u00a0\u2028"};
    {
        const std::unique_ptr<set_key> key = open_key();
        for (std::size_t text_idx = 0; text_idx < std::size(odd); ++text_idx) {
            ASSERT_EQ(key->set_string("v" + std::to_string(text_idx), odd[text_idx]), 0);
        }
    }
    const std::unique_ptr<set_key> key = open_key();
    for (std::size_t text_idx = 0; text_idx < std::size(odd); ++text_idx) {
        std::u16string text;
        ASSERT_EQ(key->query_string("v" + std::to_string(text_idx), text), 0);
        EXPECT_EQ(text, odd[text_idx]) << text_idx;
    }
}

TEST_F(SettingsKey, KindsNamesAndFirstSetOrderAreKept) {
    {
        const std::unique_ptr<set_key> key = open_key();
        key->set_dword("skip_idx", 0xFFFFFFFF);
        key->set_string("odd=name;[x]", u"v");
        key->set_dword("as_dbo", 1);
        key->set_string("SKIP_IDX", u"now text");   // names are case-blind: replaced in place
    }
    const std::unique_ptr<set_key> key = open_key();
    ASSERT_EQ(key->values().size(), 3u);
    EXPECT_EQ(key->values()[0].name, "SKIP_IDX");
    EXPECT_EQ(key->values()[0].kind, SET_REG_SZ);
    EXPECT_EQ(key->values()[1].name, "odd=name;[x]");
    std::uint32_t as_dbo = 0;
    EXPECT_EQ(key->query_dword("As_Dbo", as_dbo), 0);
    EXPECT_EQ(as_dbo, 1u);
}

TEST_F(SettingsKey, FileIsPrivateAndNoTemporaryIsLeft) {
    const std::unique_ptr<set_key> key = open_key();
    key->set_string("acc_pswd", u"secret");
    struct stat status {};
    ASSERT_EQ(stat(file().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    ASSERT_EQ(stat(config.file("Orvane").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0077, 0u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(config.file("Orvane")),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(SettingsKey, FailedWriteKeepsTheOldFileAndValues) {
    const std::unique_ptr<set_key> key = open_key();
    ASSERT_EQ(key->set_string("src", u"old.mdb"), 0);
    const std::string before = tk_test_folder::read(file());
    // A file-size limit makes the write fail even for root (a full disk, in effect).
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const sighandler_t previous_handler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const long result = key->set_string("src", std::u16string(8192, u'n'));
    setrlimit(RLIMIT_FSIZE, &previous);
    signal(SIGXFSZ, previous_handler);
    EXPECT_EQ(result, SET_ERROR_WRITE_FAULT);
    EXPECT_EQ(tk_test_folder::read(file()), before);
    std::u16string text;
    key->query_string("src", text);
    EXPECT_EQ(text, u"old.mdb");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(config.file("Orvane")),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(SettingsKey, MissingFileHasNoValuesAndDamagedLinesAreKeptAside) {
    EXPECT_TRUE(open_key()->values().empty());
    const std::string damaged = "[x]\nsrc=sz:\"a.mdb\"\ngarbage line\nmode=dword:zz\n";
    tk_test_folder::write(file(), damaged);
    const std::unique_ptr<set_key> key = open_key();
    ASSERT_EQ(key->values().size(), 1u);
    ASSERT_EQ(key->set_dword("as_dbo", 1), 0);
    EXPECT_EQ(tk_test_folder::read(file() + ".bad"), damaged);
}

TEST_F(SettingsKey, UnreadableFileReadsEmptyAndIsNeverOverwritten) {
    std::filesystem::create_directories(config.file("Orvane/Vantrel.ini"));   // a folder
    const std::unique_ptr<set_key> key = open_key();
    EXPECT_TRUE(key->values().empty());
    EXPECT_EQ(key->set_dword("as_dbo", 1), SET_ERROR_ACCESS_DENIED);
    EXPECT_TRUE(std::filesystem::is_directory(file()));
}

TEST_F(SettingsKey, ConfigFolderThatIsAFileReadsEmptyAndStaysUntouched) {
    tk_test_folder::write(config.file("plain"), "a file, not a folder");
    setenv("XDG_CONFIG_HOME", config.file("plain").c_str(), 1);
    const std::unique_ptr<set_key> key = open_key();
    EXPECT_TRUE(key->values().empty());
    EXPECT_EQ(key->set_dword("as_dbo", 1), SET_ERROR_ACCESS_DENIED);
    EXPECT_EQ(tk_test_folder::read(config.file("plain")), "a file, not a folder");
}

TEST_F(SettingsKey, KeyNamesThatLeaveTheFolderAreRefused) {
    long result = 0;
    EXPECT_EQ(set_key::open(set_root::CURRENT_USER, "Software\\..\\x", result), nullptr);
    EXPECT_EQ(result, SET_ERROR_INVALID_PARAMETER);
    EXPECT_EQ(set_key::open(set_root::CURRENT_USER, "Software\\a/b", result), nullptr);
    EXPECT_EQ(set_key::open(set_root::NONE, KEY, result), nullptr);
}

TEST(SettingsFileText, BrokenEscapesAndQuotesMarkTheFileDamaged) {
    const char* broken[] = {"a=sz:\"x\\q\"", "a=sz:\"x\\x4\"",    "a=sz:\"x\"y\"", "a=sz:x",
                            "=sz:\"x\"",     "a=dword:123456789", "noequals"};
    for (const char* line : broken) {
        const set_file_content content = set_parse_file(line);
        EXPECT_TRUE(content.b_damaged) << line;
        EXPECT_TRUE(content.values.empty()) << line;
    }
    EXPECT_FALSE(set_parse_file("; comment\r\n[key]\r\na=dword:2a\r\n").b_damaged);
    EXPECT_EQ(set_parse_file("a=dword:2a\r\n").values.at(0).dword, 42u);
}

}   // namespace
