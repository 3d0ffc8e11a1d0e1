// Workgroup logon against the two shared workgroup files (MANIFEST: admin and Contour have
// the blank password; SecurePak, SMSUser and CONTOURCDU have undocumented ones; Admins and
// Users are groups) and against files that are no workgroup file.
#include "platform/workgroup/jet_workgroup.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_error.hpp"
#include "test_data.hpp"

namespace {

const std::string JET4_MDW = "horsje-tril/System.mdw";
const std::string JET3_MDW = "bdata4200-Mission/system.mdw";

std::string testdata(const std::string& relative) {
    return (std::filesystem::path(VANTREL_TESTDATA_DIR) / relative).string();
}

// The DAO error number of a logon, 0 when it succeeds; the text must not hold the password.
int logon_error(const std::string& path, std::u16string_view user, std::u16string_view password,
                const std::string& password_utf8 = "") {
    try {
        jet_workgroup_logon(path, user, password);
    } catch (const jet_error& error) {
        if (!password_utf8.empty()) {
            EXPECT_EQ(std::string(error.what()).find(password_utf8), std::string::npos);
        }
        return error.dao_number();
    }
    return 0;
}

class JetWorkgroupFiles : public ::testing::Test {
protected:
    void SetUp() override {
        TEST_DATA_REQUIRE(std::filesystem::exists(testdata("MANIFEST.md")), testdata(""));
    }
};

class JetWorkgroupAccounts : public JetWorkgroupFiles {};

// A file in the test's own temporary folder, removed afterwards.
class scratch_file {
public:
    scratch_file(const std::string& name, const std::string& bytes)
        : path((std::filesystem::temp_directory_path() / name).string()) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    ~scratch_file() { std::filesystem::remove(path); }
    const std::string path;
};

std::string file_prefix(const std::string& path, std::size_t length) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(length, '\0');
    in.read(bytes.data(), std::streamsize(length));
    bytes.resize(std::size_t(in.gcount()));
    return bytes;
}

}   // namespace

TEST_F(JetWorkgroupAccounts, LogsOnBlankPasswordAccountsCaseBlind) {
    for (const std::string& mdw : {JET4_MDW, JET3_MDW}) {
        SCOPED_TRACE(mdw);
        const jet_workgroup_account admin = jet_workgroup_logon(testdata(mdw), u"ADMIN", u"");
        EXPECT_EQ(admin.name, u"admin");
        EXPECT_TRUE(admin.b_password_verified);
        EXPECT_EQ(admin.sid, (std::vector<std::uint8_t>{0x03, 0x01}));
    }
    const jet_workgroup_account contour = jet_workgroup_logon(testdata(JET3_MDW), u"contour", u"");
    EXPECT_EQ(contour.name, u"Contour");
    EXPECT_EQ(contour.sid.size(), 16u);
}

TEST_F(JetWorkgroupAccounts, RefusesWrongPasswordsWhereTheStoredFormTellsThem) {
    EXPECT_EQ(logon_error(testdata(JET4_MDW), u"admin", u"hunter2", "hunter2"), 3029);
    EXPECT_EQ(logon_error(testdata(JET3_MDW), u"Contour", u"hunter2", "hunter2"), 3029);
    // Set passwords: an empty one is certainly wrong.
    for (const char16_t* user : {u"SecurePak", u"SMSUser", u"CONTOURCDU"}) {
        EXPECT_EQ(logon_error(testdata(JET3_MDW), user, u""), 3029);
    }
}

TEST_F(JetWorkgroupAccounts, AcceptsSetPasswordsUnverified) {
    const jet_workgroup_account account = jet_workgroup_logon(testdata(JET3_MDW), u"SMSUser",
                                                              u"any guess");
    EXPECT_EQ(account.name, u"SMSUser");
    EXPECT_FALSE(account.b_password_verified);
}

TEST_F(JetWorkgroupAccounts, RefusesUnknownAccountsGroupsAndInternalAccounts) {
    for (const char16_t* user : {u"nobody", u"Admins", u"users", u"Engine", u"Creator", u""}) {
        EXPECT_EQ(logon_error(testdata(JET4_MDW), user, u""), 3029);
    }
}

TEST_F(JetWorkgroupFiles, RefusesFilesThatAreNoWorkgroupFile) {
    EXPECT_EQ(logon_error(testdata("jahlborn-jackcess/V2000/testV2000.mdb"), u"admin", u""), 3173);
    EXPECT_EQ(logon_error(testdata("jahlborn-jackcess/V2007/testV2007.accdb"), u"admin", u""),
              3173);
    EXPECT_EQ(logon_error(testdata("no-such-folder/System.mdw"), u"admin", u""), 3358);

    const scratch_file text("vantrel-workgroup-text.mdw", std::string(4096, 'x'));
    EXPECT_EQ(logon_error(text.path, u"admin", u""), 3358);
    const scratch_file short_file("vantrel-workgroup-short.mdw", "\x00\x01\x00\x00Jet");
    EXPECT_EQ(logon_error(short_file.path, u"admin", u""), 3358);
    // The header and one more page: the engine finds no catalogue, nothing is half-read.
    const scratch_file truncated("vantrel-workgroup-cut.mdw",
                                 file_prefix(testdata(JET4_MDW), 8192));
    EXPECT_EQ(logon_error(truncated.path, u"admin", u""), 3358);
}

// Cut inside its last page, a workgroup file logged on as if whole. The engine refuses it as
// damaged (3049 naming the cut page), and the logon as a workgroup file it cannot open.
TEST_F(JetWorkgroupFiles, RefusesAFileCutInsideItsLastPage) {
    struct cut_file {
        const std::string& relative;
        std::size_t length;   // the whole file: 31 pages of 4096 bytes, 38 of 2048
        const char* engine_error;
    };
    for (const cut_file& cut : {cut_file{JET4_MDW, 126976 - 100,
                                         "The database is corrupt: page 30: the file ends 3996 "
                                         "bytes into this page of 4096 bytes."},
                                cut_file{JET3_MDW, 77824 - 1000,
                                         "The database is corrupt: page 37: the file ends 1048 "
                                         "bytes into this page of 2048 bytes."}}) {
        const scratch_file copy("vantrel-workgroup-cut-page.mdw",
                                file_prefix(testdata(cut.relative), cut.length));
        try {
            jet_database::open(copy.path);
            ADD_FAILURE() << cut.relative << " opened";
        } catch (const jet_error& error) {
            EXPECT_EQ(error.dao_number(), JET_ERR_CORRUPT);
            EXPECT_EQ(error.what(), std::string(cut.engine_error));
        }
        try {
            jet_workgroup_logon(copy.path, u"admin", u"");
            ADD_FAILURE() << cut.relative << " logged on";
        } catch (const jet_error& error) {
            EXPECT_EQ(error.dao_number(), JET_ERR_WORKGROUP_UNREADABLE);
            EXPECT_EQ(error.what(), "Cannot open the workgroup information file '" + copy.path
                                        + "': " + cut.engine_error);
        }
    }
}

// Reading a FIFO named as the workgroup file waited for a writer forever.
TEST_F(JetWorkgroupFiles, RefusesANamedPipeWithoutBlocking) {
    std::filesystem::path fifo = std::filesystem::temp_directory_path()
                                 / ("vantrel-workgroup-" + std::to_string(::getpid()) + ".mdw");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(logon_error(fifo.string(), u"admin", u""), 3358);
    std::filesystem::remove(fifo);
}

TEST_F(JetWorkgroupFiles, RefusesAccess2WorkgroupFilesAsUnrecognizedFormat) {
    std::string old_system(2048, '\0');
    old_system[0] = 1;
    old_system.replace(1030, 4, "Rich");
    const scratch_file access2("vantrel-workgroup-access2.mdw", old_system);
    EXPECT_EQ(logon_error(access2.path, u"admin", u""), 3343);
}
