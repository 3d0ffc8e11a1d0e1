// Path splitting on POSIX paths, the wide form and trimming.
#include "tk/tk_fname.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include "tk/tk_test_folder.hpp"
#include "tk/tk_trim.hpp"

namespace {

TEST(FileName, SplitsIntoDriveDirectoryNameAndExtension) {
    const tk_file_name path("/data/sales.mdb");
    EXPECT_EQ(path.drive(), "");
    EXPECT_EQ(path.directory(), "/data/");
    EXPECT_EQ(path.name(), "sales");
    EXPECT_EQ(path.extension(), ".mdb");
    EXPECT_EQ(path.full_path(), "/data/sales.mdb");
}

TEST(FileName, ExtensionIsFromTheLastDotOfTheLastPart) {
    const tk_file_name dotted_folder("/v.1/archive.tar.gz");
    EXPECT_EQ(dotted_folder.directory(), "/v.1/");
    EXPECT_EQ(dotted_folder.name(), "archive.tar");
    EXPECT_EQ(dotted_folder.extension(), ".gz");
    const tk_file_name no_extension("/v.1/README");
    EXPECT_EQ(no_extension.name(), "README");
    EXPECT_EQ(no_extension.extension(), "");
    const tk_file_name root_file("/x.mdb");
    EXPECT_EQ(root_file.directory(), "/");
}

TEST(FileName, RelativePathsAreMadeAbsoluteAgainstTheCurrentFolder) {
    tk_test_folder folder;
    const std::string previous = std::filesystem::current_path();
    ASSERT_EQ(chdir(folder.path().c_str()), 0);
    const tk_file_name path("sub/../db.accdb");
    ASSERT_EQ(chdir(previous.c_str()), 0);
    EXPECT_EQ(path.directory(), folder.path() + "/");
    EXPECT_EQ(path.name(), "db");
}

TEST(FileName, EmptyPathIsTheProgramFolderWithoutName) {
    const tk_file_name path("");
    EXPECT_EQ(path.name(), "");
    EXPECT_EQ(path.directory() + "tk_fname_test",
              std::filesystem::read_symlink("/proc/self/exe").string());
}

TEST(FileName, SetExtensionAddsTheMissingDot) {
    tk_file_wname path(u"/data/Ärger.mdb");
    EXPECT_EQ(path.name(), u"Ärger");
    path.set_extension(u"log");
    EXPECT_EQ(path.full_path(), u"/data/Ärger.log");
    path.set_extension(u".bak");
    EXPECT_EQ(path.extension(), u".bak");
}

TEST(Trim, OnlySpacesAtBothEnds) {
    EXPECT_EQ(tk_trim("  admin  "), "admin");
    EXPECT_EQ(tk_trim("\tadmin "), "\tadmin");
    EXPECT_EQ(tk_trim("   "), "");
    EXPECT_EQ(tk_trim(u" pass word "), u"pass word");
}

}   // namespace
