// Binary files and file checks: padding past the end, reads at the boundary, the three open
// modes, read-only files and folders.
#include "tk/tk_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

#include "tk/tk_exce.hpp"
#include "tk/tk_fsys.hpp"
#include "tk/tk_test_folder.hpp"
#include "tk/tk_utf.hpp"

namespace {

void expect_failure(const std::function<void()>& action, const char* text) {
    try {
        action();
        ADD_FAILURE() << "no exception, expected " << text;
    } catch (const tk_exception& failure) {
        EXPECT_STREQ(failure.what(), text);
        EXPECT_EQ(failure.level(), ERROR_LEVEL_FATAL);
    }
}

TEST(StdioFile, WritePastTheEndPadsWithZeros) {
    tk_test_folder folder;
    const std::string path = folder.file("w.mdw");
    tk_test_folder::write(path, std::string(40, 'a'));
    {
        tk_stdio_file file(path, TK_FILE_WRITE);
        const std::vector<std::uint8_t> block = {1, 2, 3};
        file.put_at(100, block);
        EXPECT_EQ(file.get_length(), 103u);
    }
    const std::string expected = std::string(40, 'a') + std::string(60, '\0') + "\x01\x02\x03";
    EXPECT_EQ(tk_test_folder::read(path), expected);
}

TEST(StdioFile, ReadingTheLastByteWorksOnePastFails) {
    tk_test_folder folder;
    const std::string path = folder.file("r.bin");
    tk_test_folder::write(path, "0123456789");
    tk_stdio_file file(path, 0);
    std::uint8_t byte = 0;
    file.get_at(9, std::span(&byte, 1));
    EXPECT_EQ(byte, '9');
    expect_failure([&] { file.get_at(10, std::span(&byte, 1)); }, TK_TEXT_READ_FAILED);
    std::vector<std::uint8_t> all(11);
    expect_failure([&] { file.get_at(0, all); }, TK_TEXT_READ_FAILED);
    expect_failure([&] { file.get_at(UINT64_MAX, std::span(&byte, 1)); }, TK_TEXT_READ_FAILED);
}

TEST(StdioFile, OpenModesOnAMissingFile) {
    tk_test_folder folder;
    const std::string missing = folder.file("none.mdw");
    expect_failure([&] { tk_stdio_file file(missing, 0); }, TK_TEXT_BAD_PATH);
    expect_failure([&] { tk_stdio_file file(missing, TK_FILE_WRITE); }, TK_TEXT_OPEN_FAILED);
    tk_stdio_file created(missing, TK_FILE_WRITE | TK_FILE_CREATE);
    EXPECT_EQ(created.get_length(), 0u);
    EXPECT_EQ(created.name(), missing);
    EXPECT_THROW(tk_stdio_file("", 0), tk_mail_assertion);
}

TEST(StdioFile, WritingAReadOnlyOpenFileFails) {
    tk_test_folder folder;
    const std::string path = folder.file("ro.bin");
    tk_test_folder::write(path, "abc");
    tk_stdio_file file(path, 0);
    const std::vector<std::uint8_t> block = {9};
    expect_failure([&] { file.put_at(0, block); }, TK_TEXT_WRITE_FAILED);
    EXPECT_EQ(tk_test_folder::read(path), "abc");
}

TEST(FileChecks, ReadOnlyFileExistsForReadingOnly) {
    if (geteuid() == 0) GTEST_SKIP() << "root opens read-only files for writing";
    tk_test_folder folder;
    const std::string path = folder.file("ro.log");
    tk_test_folder::write(path, "x");
    chmod(path.c_str(), 0400);
    EXPECT_TRUE(tk_is_file_exist(path, TK_ACCESS_READ));
    EXPECT_FALSE(tk_is_file_exist(path, TK_ACCESS_READ_WRITE));
}

TEST(FileChecks, FoldersAreNotFilesAndPathsAreFolders) {
    tk_test_folder folder;
    tk_test_folder::write(folder.file("f"), "x");
    EXPECT_FALSE(tk_is_file_exist(folder.path(), TK_ACCESS_READ));
    EXPECT_FALSE(tk_is_file_exist(folder.file("missing"), TK_ACCESS_READ));
    EXPECT_TRUE(tk_is_path_exist(folder.path()));
    EXPECT_TRUE(tk_is_path_exist(""));
    EXPECT_FALSE(tk_is_path_exist(folder.file("f")));
    EXPECT_FALSE(tk_is_path_exist(folder.file("missing")));
    ASSERT_EQ(mkfifo(folder.file("pipe").c_str(), 0600), 0);
    EXPECT_TRUE(tk_is_file_exist(folder.file("pipe"), TK_ACCESS_READ));   // returns, no hang
}

TEST(RemoveFile, DeletesOrRaisesTheSystemError) {
    tk_test_folder folder;
    const std::string path = folder.file("gone \xC3\xA9.tmp");
    tk_test_folder::write(path, "x");
    tk_remove_file(tk_utf8_to_utf16(path));
    EXPECT_FALSE(std::filesystem::exists(path));
    try {
        tk_remove_file(tk_utf8_to_utf16(path));
        FAIL();
    } catch (const tk_exception_ex& failure) {
        EXPECT_EQ(failure.code(), ENOENT);
        EXPECT_STREQ(failure.what(), "No such file or directory");
    }
}

}   // namespace
