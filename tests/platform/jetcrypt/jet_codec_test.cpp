// The codecs against the shared protected files. Expected page digests were taken from
// mdb-reader 3.2.0 (the independent reader of the test set): SHA-256 over pages 1..n-1 as
// it decrypts them. Files it cannot decrypt are judged by their decoded page headers.
#include "platform/jetcrypt/jet_codec.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/jetcrypt/jet_header.hpp"
#include "platform/jetcrypt/jetcrypt_testdata.hpp"
#include "test_data.hpp"

namespace {

struct protected_file {
    const char* path;
    const char16_t* password;
    const char* mdb_reader_digest;   // nullptr: mdb-reader cannot decrypt it
};

const protected_file PROTECTED_FILES[] = {
    {"jahlborn-jackcessencrypt/db97-enc.mdb", u"",
     "6783d76477d2eb0236a5b51f08c8144b6ab356faf78bc78e0f4e20df4553b154"},
    {"jahlborn-jackcessencrypt/db-enc.mdb", u"",
     "ad5188867d07a6244dd350940b6ee026bc23a4f55d7fdb4f4309fc49acaa64e7"},
    {"jahlborn-jackcessencrypt/db2013-enc.accdb", u"1234",
     "bc3389342b4edc0f03e83d19736f70930bb8e624db3c21a7b2b5d1cbd9e2237a"},
    {"andipaetzold-mdb-reader/password/V2010_with-password.accdb", u"password",
     "d3830afd1ecf921d24c79c52ca6ec844b90add64cfc35c4f13c9514cdb8a9f18"},
    {"andipaetzold-mdb-reader/encryption/office-agile-4.2.accdb", u"password",
     "86bb5869d42f3cf4f7fafd37ca2e91fda955b31372d922d5923bb9e7e0dcdede"},
    {"jahlborn-jackcessencrypt/db2007-enc.accdb", u"Test123", nullptr},
    {"jahlborn-jackcessencrypt/db2007-oldenc.accdb", u"Test123", nullptr},
    {"jahlborn-jackcessencrypt/db-nonstandard.accdb", u"password", nullptr},
};

int dao_error_of(const std::vector<std::uint8_t>& file, std::u16string_view password) {
    try {
        jetcrypt_decode_file(file, password);
    } catch (const jet_crypt_error& error) {
        return error.dao_number();
    }
    return 0;
}

// Jet pages start with their type (1 data, 2 table definition, 3/4 index, 5 usage map) or
// are zero when free; a wrong key leaves random first bytes on nearly all of them. A few
// free pages hold junk even as mdb-reader decrypts them (db97-enc.mdb pages 32 and 34).
int count_unknown_pages(const std::vector<std::uint8_t>& decoded, std::size_t page_size) {
    int unknown = 0;
    for (std::size_t at = 0; at < decoded.size(); at += page_size) {
        const std::uint8_t type = decoded[at];
        const bool is_known = (type >= 1 && type <= 5 && decoded[at + 1] == 1)
                              || (type == 0 && decoded[at + 1] == 0);
        if (!is_known) ++unknown;
    }
    return unknown;
}

class JetCodecFiles : public ::testing::Test {
protected:
    void SetUp() override { TEST_DATA_REQUIRE(jetcrypt_testdata_present(), jetcrypt_testdata("")); }
};

}   // namespace

TEST_F(JetCodecFiles, DecodesEveryProtectedFileLikeTheIndependentReader) {
    for (const protected_file& entry : PROTECTED_FILES) {
        SCOPED_TRACE(entry.path);
        const std::vector<std::uint8_t> file = jetcrypt_read_file(jetcrypt_testdata(entry.path));
        const std::vector<std::uint8_t> decoded = jetcrypt_decode_file(file, entry.password);
        if (entry.mdb_reader_digest != nullptr) {
            EXPECT_EQ(jetcrypt_sha256_hex(decoded), entry.mdb_reader_digest);
        }
        const std::size_t page_size = jetcrypt_page_size(file);
        EXPECT_LE(count_unknown_pages(decoded, page_size), int(decoded.size() / page_size / 10));
        EXPECT_EQ(decoded[page_size], 2) << "page 2 holds MSysObjects' definition";
        EXPECT_EQ(decoded[page_size + 1], 1);
    }
}

TEST_F(JetCodecFiles, RefusesWrongAndMissingPasswordsOfEncryptedFiles) {
    for (const protected_file& entry : PROTECTED_FILES) {
        if (std::u16string_view(entry.password).empty()) continue;   // encoded, no password
        SCOPED_TRACE(entry.path);
        const std::vector<std::uint8_t> file = jetcrypt_read_file(jetcrypt_testdata(entry.path));
        EXPECT_EQ(dao_error_of(file, u""), JET_ERR_BAD_PASSWORD);
        EXPECT_EQ(dao_error_of(file, u"wrong"), JET_ERR_BAD_PASSWORD);
        std::u16string longer(entry.password);
        longer += u"x";
        EXPECT_EQ(dao_error_of(file, longer), JET_ERR_BAD_PASSWORD);
    }
}

TEST_F(JetCodecFiles, ChecksTheJet4HeaderPasswordCaseSensitively) {
    for (const char* path : {"andipaetzold-mdb-reader/password/V2000_with-password.mdb",
                             "andipaetzold-mdb-reader/password/V2003_with-password.mdb"}) {
        SCOPED_TRACE(path);
        const std::vector<std::uint8_t> file = jetcrypt_read_file(jetcrypt_testdata(path));
        const std::span<const std::uint8_t> page0(file.data(), 4096);
        EXPECT_EQ(jet_open_codec(page0, u"password"), nullptr) << "pages are stored plainly";
        EXPECT_EQ(dao_error_of(file, u"PASSWORD"), JET_ERR_BAD_PASSWORD);
        EXPECT_EQ(dao_error_of(file, u"passwor"), JET_ERR_BAD_PASSWORD);
        EXPECT_EQ(dao_error_of(file, u""), JET_ERR_BAD_PASSWORD);
    }
}

TEST_F(JetCodecFiles, OpensUnprotectedFilesWithAnyPassword) {
    for (const char* path :
         {"jahlborn-jackcess/V1997/testV1997.mdb", "jahlborn-jackcess/V2000/testV2000.mdb",
          "jahlborn-jackcess/V2007/testV2007.accdb", "jahlborn-jackcessencrypt/db-enc.mdb"}) {
        SCOPED_TRACE(path);
        const std::vector<std::uint8_t> file = jetcrypt_read_file(jetcrypt_testdata(path));
        EXPECT_EQ(dao_error_of(file, u""), 0);
        EXPECT_EQ(dao_error_of(file, u"anything"), 0);
    }
}

TEST_F(JetCodecFiles, RefusesTruncatedPageZeroAsUnrecognizedFormat) {
    for (const protected_file& entry : PROTECTED_FILES) {
        SCOPED_TRACE(entry.path);
        const std::vector<std::uint8_t> file = jetcrypt_read_file(jetcrypt_testdata(entry.path));
        // Inside the masked header, then just before the end of the Office encryption info.
        for (const std::size_t length :
             {std::size_t(0), std::size_t(0x30), std::size_t(0x2A0), std::size_t(0x2FF)}) {
            const std::span<const std::uint8_t> cut(file.data(), length);
            try {
                jet_open_codec(cut, entry.password);
                if (length < 0x98) ADD_FAILURE() << "accepted " << length << " bytes";
            } catch (const jet_crypt_error& error) {
                EXPECT_EQ(error.dao_number(), JET_ERR_UNRECOGNIZED_FORMAT) << length;
            }
        }
    }
}

TEST(JetCodecErrors, NeverNameThePasswordInTheirText) {
    TEST_DATA_REQUIRE(jetcrypt_testdata_present(), jetcrypt_testdata(""));
    for (const protected_file& entry : PROTECTED_FILES) {
        const std::vector<std::uint8_t> file = jetcrypt_read_file(jetcrypt_testdata(entry.path));
        try {
            jetcrypt_decode_file(file, u"SeCrEt-Guess");
        } catch (const jet_crypt_error& error) {
            EXPECT_EQ(std::string(error.what()).find("SeCrEt"), std::string::npos);
        }
    }
}

TEST(JetHeaderMask, UnmaskingTwiceRestoresThePage) {
    std::vector<std::uint8_t> page(4096, 0x5A);
    const std::uint8_t head[] = {0x00, 0x01, 0x00, 0x00, 'S', 't', 'a', 'n', 'd',  'a', 'r',
                                 'd',  ' ',  'J',  'e',  't', ' ', 'D', 'B', 0x00, 0x01};
    std::copy(std::begin(head), std::end(head), page.begin());
    const std::vector<std::uint8_t> original = page;
    jet_unmask_header(page);
    EXPECT_NE(page, original);
    EXPECT_TRUE(std::equal(page.begin() + 0x98, page.end(), original.begin() + 0x98))
        << "only the 128-byte Jet 4 region from 0x18 is masked";
    jet_unmask_header(page);
    EXPECT_EQ(page, original);
}

TEST(JetHeaderMask, RefusesWhatIsNotAJetFile) {
    std::vector<std::uint8_t> page(4096, 0);
    try {
        jet_unmask_header(page);
        FAIL() << "an all-zero page is not a Jet header";
    } catch (const jet_crypt_error& error) {
        EXPECT_EQ(error.dao_number(), JET_ERR_UNRECOGNIZED_FORMAT);
    }
}

TEST_F(JetCodecFiles, OpensWorkgroupFilesAsEncodedJetFiles) {
    // Workgroup files name themselves "Jet System DB  " and encode their pages like
    // "Encrypt database"; their MSysAccounts must read back as a table definition.
    for (const char* path : {"horsje-tril/System.mdw", "bdata4200-Mission/system.mdw"}) {
        SCOPED_TRACE(path);
        const std::vector<std::uint8_t> file = jetcrypt_read_file(jetcrypt_testdata(path));
        const std::size_t page_size = jetcrypt_page_size(file);
        EXPECT_NE(jet_open_codec(std::span(file).first(page_size), u""), nullptr);
        const std::vector<std::uint8_t> decoded = jetcrypt_decode_file(file, u"ignored");
        EXPECT_EQ(decoded[page_size], 2);
        EXPECT_EQ(decoded[page_size + 1], 1);
    }
}

TEST(JetHeaderAge, RefusesAccess2FilesWithTheirOwnMessage) {
    // The two marks of Access 1.x/2.0 files: "Rich" at 1030 after a leading 16-bit 1, or
    // 77 2C 53 20 at the start. A plain foreign file gets the general message.
    std::vector<std::uint8_t> marked(2048, 0);
    marked[0] = 1;
    std::copy_n("Rich", 4, marked.begin() + 1030);
    std::vector<std::uint8_t> system_magic(2048, 0);
    std::copy_n("\x77\x2C\x53\x20", 4, system_magic.begin());
    std::vector<std::uint8_t> foreign(2048, 'x');
    const std::pair<std::vector<std::uint8_t>*, bool> cases[] = {
        {&marked, true}, {&system_magic, true}, {&foreign, false}};
    for (const auto& [page, is_access2] : cases) {
        try {
            jet_open_codec(*page, u"");
            ADD_FAILURE() << "accepted";
        } catch (const jet_crypt_error& error) {
            EXPECT_EQ(error.dao_number(), JET_ERR_UNRECOGNIZED_FORMAT);
            EXPECT_EQ(std::string(error.what()).find("Access 1.x/2.0") != std::string::npos,
                      is_access2);
        }
    }
}

// The one test of the marks the engine, the workgroup logon and DAO's workgroup check share:
// "Rich" counts only with the word 1 at 0 and 0 at 1038 in a whole 1040-byte head; the
// system magic on its own.
TEST(JetHeaderAge, TellsAccess2MarksOnlyWhenWhole) {
    std::vector<std::uint8_t> rich(1040, 0);
    rich[0] = 1;
    std::copy_n("Rich", 4, rich.begin() + 1030);
    EXPECT_TRUE(jet_has_access2_marks(rich));
    EXPECT_FALSE(jet_has_access2_marks(std::span(rich).first(1039)));
    std::vector<std::uint8_t> high_word = rich;
    high_word[1] = 1;   // 0x0101 at 0
    EXPECT_FALSE(jet_has_access2_marks(high_word));
    std::vector<std::uint8_t> no_zero = rich;
    no_zero[1039] = 1;
    EXPECT_FALSE(jet_has_access2_marks(no_zero));
    std::vector<std::uint8_t> lower_case = rich;
    lower_case[1030] = 'r';
    EXPECT_FALSE(jet_has_access2_marks(lower_case));

    const std::vector<std::uint8_t> magic{0x77, 0x2C, 0x53, 0x20};
    EXPECT_TRUE(jet_has_access2_marks(magic));
    EXPECT_FALSE(jet_has_access2_marks(std::span(magic).first(3)));
    EXPECT_FALSE(jet_has_access2_marks(std::vector<std::uint8_t>{0x77, 0x2C, 0x53, 0x21}));
}

TEST_F(JetCodecFiles, ComparesJet3PasswordsInWindows1252) {
    // No Jet 3 file with a password is in the test set: store one in testV1997.mdb's header
    // the way Jet 3 does (bytes of code page 1252 at 0x42, under the header mask).
    std::vector<std::uint8_t> page0 = jetcrypt_read_file(
        jetcrypt_testdata("jahlborn-jackcess/V1997/testV1997.mdb"));
    page0.resize(2048);
    jet_unmask_header(page0);
    const std::uint8_t stored[] = {'c', 'a', 'f', 0xE9, 0x80};   // "café€"
    std::fill_n(page0.begin() + 0x42, 20, 0);
    std::copy(std::begin(stored), std::end(stored), page0.begin() + 0x42);
    jet_unmask_header(page0);
    EXPECT_EQ(jet_open_codec(page0, u"caf\u00e9\u20ac"), nullptr);
    for (const char16_t* wrong : {u"caf\u00e9", u"CAF\u00c9\u20ac", u"", u"caf\u00e9\u20ac!"}) {
        try {
            jet_open_codec(page0, wrong);
            ADD_FAILURE() << "a wrong Jet 3 password opened the file";
        } catch (const jet_crypt_error& error) {
            EXPECT_EQ(error.dao_number(), JET_ERR_BAD_PASSWORD);
        }
    }
}
