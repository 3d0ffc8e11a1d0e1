// dao_sysdb_test.cpp - workgroup files told by their header: the two real .mdw files, real
// databases, the built-in images and hand-made headers at the size limits.
#include "dao/dao_sysdb.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "dao/dao_gen.hpp"
#include "dao_test_env.hpp"

namespace {

std::string bytes_with_header(std::size_t size, std::size_t at, const std::string& header) {
    std::string content(size, '\0');
    content.replace(at, header.size(), header);
    return content;
}

const std::string JET_SYSTEM_HEADER("Jet System DB  \0", 16);

}   // namespace

TEST(DaoCheckSysdb, AcceptsRealWorkgroupFilesAndRefusesDatabases) {
    DAO_REQUIRE_TESTDATA();
    EXPECT_TRUE(dao_check_sysdb(dao_test_file("bdata4200-Mission/system.mdw")));   // Jet 3
    EXPECT_TRUE(dao_check_sysdb(tk_utf8_to_utf16(dao_test_file("horsje-tril/System.mdw"))));
    EXPECT_FALSE(dao_check_sysdb(dao_test_file("bdata4200-Mission/ContourBL.mdb")));
    EXPECT_FALSE(dao_check_sysdb(dao_test_file("mdbtools-mdbtestdata/nwind.mdb")));
    EXPECT_FALSE(dao_check_sysdb(dao_test_file("jahlborn-jackcess/V2010/testV2010.accdb")));
    EXPECT_FALSE(dao_check_sysdb(dao_test_file("MANIFEST.md")));
}

// Reading a FIFO given as the workgroup file waited for a writer forever.
TEST(DaoCheckSysdb, RefusesANamedPipeWithoutBlocking) {
    dao_test_cwd cwd;
    std::string fifo = cwd.path() + "/pipe.mdw";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(dao_check_sysdb(fifo));
}

TEST(DaoCheckSysdb, AcceptsBothBuiltInImagesAtTheirSizes) {
    tk_test_folder folder;
    EXPECT_EQ(dao_workgroup_image_a().size(), 143360u);
    EXPECT_EQ(dao_workgroup_image_b().size(), 131072u);
    for (const auto* image : {&dao_workgroup_image_a(), &dao_workgroup_image_b()}) {
        std::string path = folder.file("image.mdw");
        tk_test_folder::write(path, std::string(image->begin(), image->end()));
        EXPECT_TRUE(dao_check_sysdb(path));
    }
}

TEST(DaoCheckSysdb, JetHeaderCountsOnlyInFilesLongerThanTwentyBytes) {
    tk_test_folder folder;
    std::string path = folder.file("short.mdw");
    tk_test_folder::write(path, bytes_with_header(30, 4, JET_SYSTEM_HEADER));
    EXPECT_TRUE(dao_check_sysdb(path));
    tk_test_folder::write(path, bytes_with_header(20, 4, JET_SYSTEM_HEADER));
    EXPECT_FALSE(dao_check_sysdb(path));
    // The NUL after the two spaces is part of the header.
    tk_test_folder::write(path, bytes_with_header(30, 4, "Jet System DB   "));
    EXPECT_FALSE(dao_check_sysdb(path));
    EXPECT_FALSE(dao_check_sysdb(folder.file("missing.mdw")));
    EXPECT_FALSE(dao_check_sysdb(folder.path()));   // a folder, not a file
}

TEST(DaoCheckSysdb, RecognisesAccess2WorkgroupHeaders) {
    tk_test_folder folder;
    std::string path = folder.file("access2.mdw");
    std::string content = bytes_with_header(1040, 1030, "Rich");
    content[0] = '\x01';
    tk_test_folder::write(path, content);
    EXPECT_TRUE(dao_check_sysdb(path));
    content[1038] = '\x01';   // the word at 1038 must be 0
    tk_test_folder::write(path, content);
    EXPECT_FALSE(dao_check_sysdb(path));
    tk_test_folder::write(path, bytes_with_header(1040, 0, "\x77\x2C\x53\x20"));
    EXPECT_TRUE(dao_check_sysdb(path));
    // Below 1040 bytes only the Jet header counts.
    tk_test_folder::write(path, bytes_with_header(1039, 0, "\x77\x2C\x53\x20"));
    EXPECT_FALSE(dao_check_sysdb(path));
}
