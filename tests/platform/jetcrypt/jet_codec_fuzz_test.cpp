// Mutated page-0 headers of every protected file, run through jet_open_codec and the codec
// it returns, and mutated agile descriptors through their parser: each must either open or fail
// with jet_crypt_error, never crash or read out of bounds (this test runs under ASan and UBSan in
// the sanitizer build).
#include "platform/jetcrypt/jet_codec.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/jetcrypt/jet_agile_descriptor.hpp"
#include "platform/jetcrypt/jetcrypt_testdata.hpp"
#include "test_data.hpp"

namespace {

struct fuzz_target {
    const char* path;
    const char16_t* password;
    int mutations;   // agile files spin 100000 hashes per open: fewer rounds
};

const fuzz_target TARGETS[] = {
    {"jahlborn-jackcessencrypt/db97-enc.mdb", u"", 600},
    {"jahlborn-jackcessencrypt/db-enc.mdb", u"", 600},
    {"andipaetzold-mdb-reader/password/V2003_with-password.mdb", u"password", 600},
    {"andipaetzold-mdb-reader/encryption/office-agile-4.2.accdb", u"password", 600},
    {"jahlborn-jackcessencrypt/db-nonstandard.accdb", u"password", 600},
    {"jahlborn-jackcessencrypt/db2007-oldenc.accdb", u"Test123", 600},
    {"jahlborn-jackcessencrypt/db2013-enc.accdb", u"1234", 40},
    {"andipaetzold-mdb-reader/password/V2010_with-password.accdb", u"password", 40},
};

constexpr std::size_t INFO_LENGTH_OFFSET = 0x299;

// Positions worth mutating: the masked header and the encryption info with its length.
std::vector<std::size_t> sensitive_offsets(const std::vector<std::uint8_t>& page0) {
    std::vector<std::size_t> offsets;
    for (std::size_t at = 0; at < 0x98; ++at) offsets.push_back(at);
    const std::size_t info_length = page0[INFO_LENGTH_OFFSET]
                                    | (page0[INFO_LENGTH_OFFSET + 1] << 8);
    for (std::size_t at = INFO_LENGTH_OFFSET;
         at < std::min(page0.size(), INFO_LENGTH_OFFSET + 2 + info_length); ++at) {
        offsets.push_back(at);
    }
    return offsets;
}

}   // namespace

TEST(JetCodecFuzz, MutatedHeadersOpenOrFailCleanly) {
    TEST_DATA_REQUIRE(jetcrypt_testdata_present(), jetcrypt_testdata(""));
    std::mt19937 random(20261207);
    for (const fuzz_target& target : TARGETS) {
        SCOPED_TRACE(target.path);
        const std::vector<std::uint8_t> file = jetcrypt_read_file(jetcrypt_testdata(target.path));
        const std::size_t page_size = jetcrypt_page_size(file);
        const std::vector<std::uint8_t> page0(file.begin(), file.begin() + page_size);
        const std::vector<std::size_t> offsets = sensitive_offsets(page0);
        for (int round = 0; round < target.mutations; ++round) {
            std::vector<std::uint8_t> mutated = page0;
            const int flips = 1 + int(random() % 4);
            for (int flip = 0; flip < flips; ++flip) {
                mutated[offsets[random() % offsets.size()]] = std::uint8_t(random());
            }
            const std::size_t length = random() % 8 == 0 ? random() % page_size : page_size;
            try {
                const auto codec = jet_open_codec(std::span(mutated).first(length),
                                                  target.password);
                std::vector<std::uint8_t> page(file.begin() + std::ptrdiff_t(page_size),
                                               file.begin() + std::ptrdiff_t(2 * page_size));
                if (codec) codec->decode_page(1, page);
            } catch (const jet_crypt_error& error) {
                EXPECT_TRUE(error.dao_number() == JET_ERR_BAD_PASSWORD
                            || error.dao_number() == JET_ERR_UNRECOGNIZED_FORMAT);
            }
        }
    }
}

TEST(JetCodecFuzz, MutatedAgileDescriptorsParseOrFailCleanly) {
    TEST_DATA_REQUIRE(jetcrypt_testdata_present(), jetcrypt_testdata(""));
    const std::vector<std::uint8_t> file = jetcrypt_read_file(
        jetcrypt_testdata("andipaetzold-mdb-reader/password/V2010_with-password.accdb"));
    const std::size_t info_length = file[INFO_LENGTH_OFFSET] | (file[INFO_LENGTH_OFFSET + 1] << 8);
    const std::size_t xml_start = INFO_LENGTH_OFFSET + 2 + 8;   // after version and reserved
    const std::string xml(file.begin() + std::ptrdiff_t(xml_start),
                          file.begin() + std::ptrdiff_t(INFO_LENGTH_OFFSET + 2 + info_length));
    ASSERT_NO_THROW(jet_parse_agile_descriptor(xml));
    std::mt19937 random(7);
    for (int round = 0; round < 5000; ++round) {
        std::string mutated = xml;
        const int flips = 1 + int(random() % 6);
        for (int flip = 0; flip < flips; ++flip) {
            mutated[random() % mutated.size()] = char(random());
        }
        if (random() % 4 == 0) mutated.resize(random() % mutated.size());
        try {
            jet_parse_agile_descriptor(mutated);
        } catch (const jet_crypt_error& error) {
            EXPECT_EQ(error.dao_number(), JET_ERR_UNRECOGNIZED_FORMAT);
        }
    }
}
