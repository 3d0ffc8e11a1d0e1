// Finding the shared files from where a program sits: an installed prefix, the build folder,
// and a program reached through a link.
#include "tk/tk_resource_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "tk/tk_test_folder.hpp"

namespace {

namespace fs = std::filesystem;

// A program file under `folder`, with every folder on the way made.
std::string make_program(const tk_test_folder& folder, const std::string& relative) {
    const fs::path program = fs::path(folder.path()) / relative;
    fs::create_directories(program.parent_path());
    tk_test_folder::write(program.string(), "#!/bin/sh\n");
    return program.string();
}

TEST(ResourceDir, InstalledProgramReadsShareVantrelOfItsPrefix) {
    tk_test_folder folder;
    const std::string program = make_program(folder, "opt/bin/vantrelwiz");
    fs::create_directories(folder.file("opt/share/vantrel"));
    // Any prefix, not only /usr: the path is normalised, with no "bin/.." left in it.
    EXPECT_EQ(tk_resource_dir(program), fs::canonical(folder.file("opt/share/vantrel")).string());
}

TEST(ResourceDir, BuildFolderProgramReadsItsOwnFolder) {
    tk_test_folder folder;
    const std::string program = make_program(folder, "build/vantrelwiz");
    EXPECT_EQ(tk_resource_dir(program), fs::canonical(folder.file("build")).string());
}

TEST(ResourceDir, AFileNamedLikeTheFolderIsNotAnInstallation) {
    tk_test_folder folder;
    const std::string program = make_program(folder, "opt/bin/vantrelwiz");
    fs::create_directories(folder.file("opt/share"));
    tk_test_folder::write(folder.file("opt/share/vantrel"), "");
    EXPECT_EQ(tk_resource_dir(program), fs::canonical(folder.file("opt/bin")).string());
}

TEST(ResourceDir, LinkOnThePathLeadsToTheInstallationItPointsInto) {
    tk_test_folder folder;
    const std::string program = make_program(folder, "opt/vantrel/bin/vantrelwiz");
    fs::create_directories(folder.file("opt/vantrel/share/vantrel"));
    fs::create_directories(folder.file("usr/bin"));
    fs::create_symlink(program, folder.file("usr/bin/vantrelwiz"));
    EXPECT_EQ(tk_resource_dir(folder.file("usr/bin/vantrelwiz")),
              fs::canonical(folder.file("opt/vantrel/share/vantrel")).string());
}

TEST(ResourceDir, UnknownProgramHasNoFolderRatherThanTheCurrentOne) {
    EXPECT_EQ(tk_resource_dir(std::string()), "");
}

TEST(ResourceDir, RunningProgramFromTheBuildReadsItsOwnFolder) {
    // This test program sits in the build's tests folder, with no share/vantrel above it.
    ASSERT_FALSE(fs::exists(fs::path(VANTREL_BUILD_DIR) / TK_RESOURCE_SUBDIR));
    EXPECT_EQ(tk_resource_dir(), fs::canonical(fs::path(VANTREL_BUILD_DIR) / "tests").string());
}

}   // namespace
