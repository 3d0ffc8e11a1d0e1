// dao_engi_test.cpp - the DAO engine: generation search and its fallback, the anonymous
// workgroup file, workgroup logon, opening real files with and without passwords, and the
// errors each failure must carry (DAO number in the code, Jet's text, never a password).
#include "dao/dao_engi.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <unistd.h>

#include "dao/dao_exce.hpp"
#include "dao_test_env.hpp"
#include "tk/tk_trace.hpp"

namespace {

constexpr std::int32_t CODE_FILE_NOT_FOUND = 0x10000 | 3024;
constexpr std::int32_t CODE_BAD_ACCOUNT = 0x10000 | 3029;
constexpr std::int32_t CODE_BAD_PASSWORD = 0x10000 | 3031;
constexpr std::int32_t CODE_IN_USE = 0x10000 | 3045;
constexpr std::int32_t CODE_NOT_A_DATABASE = 0x10000 | 3343;

const char* const PASSWORD_FILE = "andipaetzold-mdb-reader/password/V2000_with-password.mdb";
const char* const WORKGROUP_FILE = "horsje-tril/System.mdw";

// Runs `call`, expecting a dao_exception; answers it.
template <class Call>
dao_exception expect_dao_failure(Call&& call) {
    try {
        call();
    } catch (const dao_exception& failure) {
        return failure;
    }
    ADD_FAILURE() << "no dao_exception";
    return dao_exception(0, "");
}

class unavailable_generations {
public:
    explicit unavailable_generations(const char* keys) {
        setenv("VANTREL_DAO_UNAVAILABLE", keys, 1);
    }
    ~unavailable_generations() { unsetenv("VANTREL_DAO_UNAVAILABLE"); }
};

}   // namespace

TEST(DaoEngineSearch, FallsBackToKeyOneAndWritesImageB) {
    dao_test_cwd cwd;
    unavailable_generations off("3,0");
    dao_engine engine(true, false);
    EXPECT_FALSE(engine.set_version_if(3));
    EXPECT_FALSE(engine.set_version_if(0));
    ASSERT_TRUE(engine.set_version_if(1));
    EXPECT_EQ(engine.get_engine_key(), 1);
    engine.set_anonymous_sys_db();
    EXPECT_EQ(std::filesystem::file_size(engine.get_generator().get_name()), 131072u);
}

TEST(DaoEngineSearch, GenerationTwoIsNeverThereAndUnknownKeysAreInternalErrors) {
    dao_engine engine(true, false);
    EXPECT_FALSE(engine.set_version_if(2));
    EXPECT_EQ(engine.get_engine_key(), DAO_NO_ENGINE);
    EXPECT_THROW(engine.set_version_if(5), tk_mail_assertion);
    EXPECT_THROW(engine.set_anonymous_sys_db(), tk_mail_assertion);   // no generation yet
    EXPECT_THROW(dao_engine(true, false), tk_mail_assertion);         // a second engine
}

namespace {

// Points TMPDIR at a folder of the test's own for its lifetime.
class temporary_folder_here {
public:
    temporary_folder_here() { ::setenv("TMPDIR", folder.path().c_str(), 1); }
    ~temporary_folder_here() { ::unsetenv("TMPDIR"); }
    std::filesystem::path path() const { return folder.path(); }
    std::size_t entries() const {
        return std::size_t(std::distance(std::filesystem::directory_iterator(path()),
                                         std::filesystem::directory_iterator()));
    }

private:
    tk_test_folder folder;
};

}   // namespace

// The file went into the working folder as ~tmpNNNN: a read-only folder failed with a bare
// "Permission denied", and an interrupted run left the file there.
TEST(DaoGenerator, WritesAPrivateFileInTheTemporaryFolderAndRemovesItWithItsLockFile) {
    dao_test_cwd cwd;
    temporary_folder_here temporary;
    std::filesystem::permissions(cwd.path(), std::filesystem::perms::owner_read
                                                 | std::filesystem::perms::owner_exec);
    std::string name;
    {
        dao_engine engine(true, false);
        ASSERT_TRUE(engine.set_version_if(0));
        engine.set_anonymous_sys_db();
        name = engine.get_generator().get_name();
        EXPECT_EQ(std::filesystem::path(name).parent_path(), temporary.path());
        EXPECT_EQ(std::filesystem::path(name).filename().string().rfind("vantrel-workgroup-", 0),
                  0u);
        EXPECT_EQ(std::filesystem::file_size(name), 143360u);
        EXPECT_EQ(std::filesystem::status(name).permissions() & std::filesystem::perms::all,
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        tk_test_folder::write(name + ".ldb", "lock");
    }
    std::filesystem::permissions(cwd.path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(temporary.entries(), 0u);
    EXPECT_TRUE(std::filesystem::is_empty(cwd.path()));
}

TEST(DaoGenerator, UnusableTemporaryFolderIsNamedWithItsReason) {
    temporary_folder_here temporary;
    const std::string missing = (temporary.path() / "gone").string();
    ::setenv("TMPDIR", missing.c_str(), 1);
    dao_engine engine(true, false);
    ASSERT_TRUE(engine.set_version_if(0));
    try {
        engine.set_anonymous_sys_db();
        ADD_FAILURE() << "a file was written into a missing folder";
    } catch (const tk_exception& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "Cannot write the temporary workgroup file in '" + missing
                      + "': No such file or directory. Set TMPDIR to a writable folder.");
        EXPECT_EQ(failure.level(), ERROR_LEVEL_FATAL);
    }
}

TEST(DaoWorkgroupLogon, AcceptsAdminWithEmptyPasswordOnceOnly) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    std::u16string mdw = tk_utf8_to_utf16(dao_test_file(WORKGROUP_FILE));
    test.engine.set_ugl_info(mdw, u"Admin", u"");   // account names are case-blind
    EXPECT_THROW(test.engine.set_ugl_info(mdw, u"admin", u""), tk_mail_assertion);
    auto database = test.open("mdbtools-mdbtestdata/nwind.mdb");
    EXPECT_EQ(database->tables.size(), 9u);
}

TEST(DaoWorkgroupLogon, RefusesBadAccountsWith3029AndNoPasswordInTheText) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    std::u16string mdw = tk_utf8_to_utf16(dao_test_file(WORKGROUP_FILE));
    dao_exception wrong = expect_dao_failure(
        [&] { test.engine.set_ugl_info(mdw, u"admin", u"Sesam-31415"); });
    EXPECT_EQ(wrong.code(), CODE_BAD_ACCOUNT);
    EXPECT_EQ(wrong.message().find("Sesam-31415"), std::string::npos);
    dao_exception unknown = expect_dao_failure(
        [&] { test.engine.set_ugl_info(mdw, u"nobody", u""); });
    EXPECT_EQ(unknown.code(), CODE_BAD_ACCOUNT);
    // Groups are not accounts one logs on with.
    EXPECT_EQ(expect_dao_failure([&] { test.engine.set_ugl_info(mdw, u"Admins", u""); }).code(),
              CODE_BAD_ACCOUNT);
}

TEST(DaoWorkgroupLogon, DoesNothingWithoutFileOrUser) {
    dao_test_engine test;
    test.engine.set_ugl_info(u"", u"admin", u"");
    test.engine.set_ugl_info(u"system.mdw", u"", u"");
    // No workspace was made, so a real logon is still allowed: it reaches the file.
    EXPECT_THROW(test.engine.set_ugl_info(u"missing.mdw", u"admin", u""), dao_exception);
}

TEST(DaoOpenDb, GivesJetErrorsForMissingCorruptAndForeignFiles) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    dao_exception missing = expect_dao_failure([&] { test.open("no/such/file.mdb"); });
    EXPECT_EQ(missing.code(), CODE_FILE_NOT_FOUND);
    EXPECT_NE(missing.message().find("Could not find file"), std::string::npos);

    std::string source = tk_test_folder::read(dao_test_file("mdbtools-mdbtestdata/nwind.mdb"));
    std::string truncated = test.cwd.path() + "/truncated.mdb";
    tk_test_folder::write(truncated, source.substr(0, 3000));
    auto open_path = [&](const std::string& path) {
        test.engine.open_db(tk_utf8_to_utf16(path), 1, u"");
    };
    EXPECT_EQ(expect_dao_failure([&] { open_path(truncated); }).code(), CODE_NOT_A_DATABASE);
    EXPECT_EQ(expect_dao_failure([&] { open_path(dao_test_file("MANIFEST.md")); }).code(),
              CODE_NOT_A_DATABASE);
    EXPECT_EQ(std::filesystem::file_size(dao_test_file("mdbtools-mdbtestdata/nwind.mdb")),
              source.size());   // the source file is read, never written
}

TEST(DaoOpenDb, ChecksTheDatabasePassword) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    dao_exception wrong = expect_dao_failure([&] { test.open(PASSWORD_FILE, 1, u"Sesam-27182"); });
    EXPECT_EQ(wrong.code(), CODE_BAD_PASSWORD);
    EXPECT_EQ(wrong.message(), "Not a valid password.");
    EXPECT_EQ(expect_dao_failure([&] { test.open(PASSWORD_FILE); }).code(), CODE_BAD_PASSWORD);
    auto database = test.open(PASSWORD_FILE, 1, u"password");
    ASSERT_EQ(database->tables.size(), 1u);
    EXPECT_EQ(database->tables[0], u"Table1");
    // A file without a password opens whatever password is given, as Access does.
    EXPECT_NO_THROW(test.open("jahlborn-jackcess/V2000/testV2000.mdb", 1, u"anything"));
}

TEST(DaoOpenDb, ExclusiveOpenKeepsOthersOut) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    tk_test_folder::write(test.cwd.path() + "/copy.mdb",
                          tk_test_folder::read(dao_test_file("mdbtools-mdbtestdata/nwind.mdb")));
    auto first = test.engine.open_db(u"copy.mdb", 1 | DAO_MODE_EXCLUSIVE, u"");
    EXPECT_EQ(expect_dao_failure([&] { test.engine.open_db(u"copy.mdb", 1, u""); }).code(),
              CODE_IN_USE);
}

TEST(DaoOpenDb, PasswordsNeverReachTheTrace) {
    DAO_REQUIRE_TESTDATA();
    dao_test_cwd cwd;
    std::string log = cwd.path() + "/trace.log";
    tk_trace trace(log, true, 1, false);
    {
        dao_engine engine(true, false);
        ASSERT_TRUE(engine.set_version_if(3));   // the narrow generation traces its text too
        std::u16string mdw = tk_utf8_to_utf16(dao_test_file(WORKGROUP_FILE));
        EXPECT_THROW(engine.set_ugl_info(mdw, u"admin", u"Geheim-1618"), dao_exception);
        EXPECT_THROW(
            engine.open_db(tk_utf8_to_utf16(dao_test_file(PASSWORD_FILE)), 1, u"Geheim-2718"),
            dao_exception);
        engine.open_db(tk_utf8_to_utf16(dao_test_file(PASSWORD_FILE)), 1, u"password");
    }
    std::string written = tk_test_folder::read(log);
    EXPECT_NE(written.find("dao_engine::set_ugl_info"), std::string::npos);
    EXPECT_EQ(written.find("Geheim"), std::string::npos);
    EXPECT_EQ(written.find("pwd=password"), std::string::npos);
}

TEST(DaoEngineWriting, CreatesJet4AndAce12FilesByExtension) {
    dao_test_engine test;
    test.engine.create_db(u"new.mdb");
    test.engine.create_db(u"new.accdb");
    EXPECT_EQ(jet_database::open("new.mdb")->header().format, jet_format::jet4);
    EXPECT_EQ(jet_database::open("new.accdb")->header().format, jet_format::ace12);
    EXPECT_TRUE(jet_database::open("new.mdb")->user_tables().empty());
}

TEST(DaoConnectText, CarriesThePasswordOnlyWhenThereIsOne) {
    EXPECT_EQ(dao_connect_text(u""), u"");
    EXPECT_EQ(dao_connect_text(u"a;b"), u";pwd=a;b");
    // The code page goes first: everything after ";pwd=" is the password.
    EXPECT_EQ(dao_connect_text(u"a;b", 936), u";codepage=936;pwd=a;b");
    EXPECT_EQ(dao_connect_text(u"", 1251), u";codepage=1251");
}
