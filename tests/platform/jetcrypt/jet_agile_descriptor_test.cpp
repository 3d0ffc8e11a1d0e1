// The agile XML descriptor reader: base64 against RFC 4648 vectors, and descriptors that are
// damaged the ways a corrupt file could damage them.
#include "platform/jetcrypt/jet_agile_descriptor.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platform/jetcrypt/jet_codec.hpp"

namespace {

std::vector<std::uint8_t> bytes_of(const std::string& text) { return {text.begin(), text.end()}; }

const std::string GOOD_KEY_DATA =
    "<keyData saltSize=\"16\" blockSize=\"16\" keyBits=\"256\" hashSize=\"64\" "
    "cipherAlgorithm=\"AES\" cipherChaining=\"ChainingModeCBC\" hashAlgorithm=\"SHA512\" "
    "saltValue=\"AAECAwQFBgcICQoLDA0ODw==\"/>";

std::string descriptor_with(const std::string& encrypted_key_attributes) {
    return "<?xml version=\"1.0\"?><encryption>" + GOOD_KEY_DATA
           + "<keyEncryptors><keyEncryptor uri=\"http://schemas.microsoft.com/office/2006/"
             "keyEncryptor/password\"><p:encryptedKey "
           + encrypted_key_attributes + "/></keyEncryptor></keyEncryptors></encryption>";
}

const std::string GOOD_KEY =
    "spinCount=\"100000\" saltSize=\"16\" blockSize=\"16\" keyBits=\"128\" hashSize=\"20\" "
    "cipherAlgorithm=\"AES\" cipherChaining='ChainingModeCFB' hashAlgorithm=\"SHA1\" "
    "saltValue=\"AAECAwQFBgcICQoLDA0ODw==\" encryptedVerifierHashInput=\"Zm9vYg==\" "
    "encryptedVerifierHashValue=\"Zm9vYmE=\" encryptedKeyValue=\"Zm9vYmFy\"";

int error_of(const std::string& xml) {
    try {
        jet_parse_agile_descriptor(xml);
    } catch (const jet_crypt_error& error) {
        return error.dao_number();
    }
    return 0;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

}   // namespace

TEST(JetBase64, DecodesRfc4648Vectors) {
    EXPECT_EQ(jet_base64_decode(""), bytes_of(""));
    EXPECT_EQ(jet_base64_decode("Zg=="), bytes_of("f"));
    EXPECT_EQ(jet_base64_decode("Zm8="), bytes_of("fo"));
    EXPECT_EQ(jet_base64_decode("Zm9v"), bytes_of("foo"));
    EXPECT_EQ(jet_base64_decode("Zm9vYmFy"), bytes_of("foobar"));
    EXPECT_EQ(jet_base64_decode("Zm9v\r\nYmE="), bytes_of("fooba"));
}

TEST(JetBase64, RefusesCharactersOutsideTheAlphabetAndDataAfterPadding) {
    for (const char* bad : {"Zm9v!", "Zg==Zg==", "Z", "Zm9vY==="}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(jet_base64_decode(bad), jet_crypt_error);
    }
}

TEST(JetAgileDescriptor, ReadsBothElementsWhateverTheirPrefix) {
    const jet_agile_descriptor descriptor = jet_parse_agile_descriptor(descriptor_with(GOOD_KEY));
    EXPECT_EQ(descriptor.key_data.key_bits, 256u);
    EXPECT_EQ(descriptor.key_data.hash, jet_hash_kind::SHA512);
    EXPECT_EQ(descriptor.key_data.salt.size(), 16u);
    EXPECT_EQ(descriptor.password_key.mode, jet_aes_mode::CFB8);
    EXPECT_EQ(descriptor.password_key.key_bits, 128u);
    EXPECT_EQ(descriptor.spin_count, 100000u);
    EXPECT_EQ(descriptor.encrypted_key_value, bytes_of("foobar"));
}

TEST(JetAgileDescriptor, RefusesDamagedDescriptorsAsUnrecognizedFormat) {
    const std::string good = descriptor_with(GOOD_KEY);
    const std::string damaged[] = {
        replaced(good, "spinCount=\"100000\"", "spinCount=\"4000000000\""),
        replaced(good, "spinCount=\"100000\"", "spinCount=\"-1\""),
        replaced(good, "keyBits=\"128\"", "keyBits=\"100\""),
        replaced(good, "hashSize=\"20\"", "hashSize=\"99\""),
        replaced(good, "cipherAlgorithm=\"AES\" cipherChaining='",
                 "cipherAlgorithm=\"DES\" "
                 "cipherChaining='"),
        replaced(good, "hashAlgorithm=\"SHA1\"", "hashAlgorithm=\"WHIRLPOOL\""),
        replaced(good, " encryptedKeyValue=\"Zm9vYmFy\"", ""),
        replaced(good, "<keyData", "<keyDatum"),
        good.substr(0, good.find("encryptedKeyValue") + 20),
    };
    for (const std::string& xml : damaged) {
        SCOPED_TRACE(xml);
        EXPECT_EQ(error_of(xml), JET_ERR_UNRECOGNIZED_FORMAT);
    }
}
