// jet_office_agile_codec.cpp - agile encryption of an ACCDB ([MS-OFFCRYPTO] 2.3.4.10-13).
// Layout of the info: 0 2 major (4), 2 2 minor (4), 4 4 reserved (0x40), 8.. XML.
// Password key: Hn = spin rounds of H(i + H) from H(salt + password); key(block) =
// H(Hn + block) cut or padded with 0x36 to keyBits. Three fixed blocks decrypt the verifier
// input, the verifier hash and the file's key (AES with the password salt as IV). Page n is
// AES (keyData cipher) with the file's key and IV = H(keyData salt + page key), cut or padded
// with 0x36 to the block size; the page key is the encoding key XOR n.
#include "platform/jetcrypt/jet_office_agile_codec.hpp"

#include <algorithm>
#include <string>

#include <openssl/crypto.h>

#include "platform/jetcrypt/jet_agile_descriptor.hpp"
#include "platform/jetcrypt/jet_crypt_primitives.hpp"
#include "platform/jetcrypt/jet_rc4_page_codec.hpp"

namespace {

constexpr std::uint32_t AGILE_RESERVED = 0x40;
constexpr std::size_t XML_OFFSET = 8;
constexpr std::array<std::uint8_t, 8> VERIFIER_INPUT_BLOCK = {0xfe, 0xa7, 0xd2, 0x76,
                                                              0x3b, 0x4b, 0x9e, 0x79};
constexpr std::array<std::uint8_t, 8> VERIFIER_VALUE_BLOCK = {0xd7, 0xaa, 0x0f, 0x6d,
                                                              0x30, 0x61, 0x34, 0x4e};
constexpr std::array<std::uint8_t, 8> KEY_VALUE_BLOCK = {0x14, 0x6e, 0x0b, 0xe7,
                                                         0xab, 0xac, 0xd0, 0xd6};

[[noreturn]] void throw_corrupt(const char* what) {
    throw jet_crypt_error(JET_ERR_UNRECOGNIZED_FORMAT,
                          std::string("Unrecognized database format: encryption descriptor ")
                              + what);
}

// AES-decrypts a copy of encrypted with the key for block; the salt is the IV.
jet_secret decrypt_with_block(const jet_agile_cipher& cipher, const jet_secret& spun,
                              std::span<const std::uint8_t> block,
                              const std::vector<std::uint8_t>& encrypted) {
    jet_secret key = jet_hash(cipher.hash, {spun.view(), block});
    key.fix_length(cipher.key_bits / 8, 0x36);
    jet_secret iv(cipher.salt);
    iv.fix_length(cipher.block_size, 0x36);
    jet_secret plain(encrypted);
    if (cipher.mode != jet_aes_mode::CFB8 && plain.size() % cipher.block_size != 0) {
        throw_corrupt("holds a value that is not whole AES blocks");
    }
    jet_aes_decrypt(cipher.mode, key.view(), iv.view(), plain.data());
    return plain;
}

class office_agile_codec : public jet_page_codec {
public:
    office_agile_codec(jet_agile_cipher new_key_data, jet_secret new_file_key,
                       const std::array<std::uint8_t, 4>& new_encoding_key)
        : key_data(std::move(new_key_data)), file_key(std::move(new_file_key)),
          encoding_key(new_encoding_key) {}

    void decode_page(std::uint32_t page_no, std::span<std::uint8_t> page) const override {
        const std::array<std::uint8_t, 4> block = jet_page_key(encoding_key, page_no);
        jet_secret iv = jet_hash(key_data.hash, {key_data.salt, block});
        iv.fix_length(key_data.block_size, 0x36);
        jet_aes_decrypt(key_data.mode, file_key.view(), iv.view(), page);
    }

private:
    jet_agile_cipher key_data;
    jet_secret file_key;
    std::array<std::uint8_t, 4> encoding_key;
};

}   // namespace

std::unique_ptr<jet_page_codec> jet_open_office_agile_codec(
    const jet_crypt_bytes& info, const std::array<std::uint8_t, 4>& encoding_key,
    std::u16string_view password) {
    if (info.u32(4) != AGILE_RESERVED) throw_corrupt("has an unexpected reserved value");
    const std::span<const std::uint8_t> xml_bytes = info.span(
        XML_OFFSET, info.size() - std::min(info.size(), XML_OFFSET));
    const std::string xml(xml_bytes.begin(), xml_bytes.end());
    const jet_agile_descriptor descriptor = jet_parse_agile_descriptor(xml);
    const jet_agile_cipher& cipher = descriptor.password_key;

    const jet_secret password_bytes = jet_password_bytes(password);
    jet_secret spun = jet_hash(cipher.hash, {cipher.salt, password_bytes.view()});
    spun = jet_hash_iterate(cipher.hash, std::move(spun), descriptor.spin_count);

    const jet_secret verifier = decrypt_with_block(cipher, spun, VERIFIER_INPUT_BLOCK,
                                                   descriptor.encrypted_verifier_input);
    const jet_secret verifier_hash = decrypt_with_block(cipher, spun, VERIFIER_VALUE_BLOCK,
                                                        descriptor.encrypted_verifier_value);
    const jet_secret expected = jet_hash(cipher.hash, {verifier.view()});
    const std::size_t compared = std::min(expected.size(), std::size_t(cipher.hash_size));
    if (verifier_hash.size() < compared
        || CRYPTO_memcmp(expected.view().data(), verifier_hash.view().data(), compared) != 0) {
        throw jet_crypt_error(JET_ERR_BAD_PASSWORD, "Not a valid password.");
    }

    jet_secret file_key = decrypt_with_block(cipher, spun, KEY_VALUE_BLOCK,
                                             descriptor.encrypted_key_value);
    const std::size_t file_key_bytes = descriptor.key_data.key_bits / 8;
    if (file_key.size() < file_key_bytes) throw_corrupt("holds a short key");
    file_key.fix_length(file_key_bytes, 0);
    return std::make_unique<office_agile_codec>(descriptor.key_data, std::move(file_key),
                                                encoding_key);
}
