// jet_office_binary_codec.cpp - password check and page decryption for RC4 CryptoAPI and
// binary AES encryption of an ACCDB. Every key is derived from H0 = SHA-1(salt + password)
// and a 4-byte block number: 0 for the password verifier, the page's key (encoding key XOR
// page number) for a page.
//   RC4 CryptoAPI ([MS-OFFCRYPTO] 2.3.5.2): key = SHA-1(H0 + block), cut to the key size;
//     a 40-bit key is zero-extended to 128 bits. Each page is its own RC4 stream.
//   AES ([MS-OFFCRYPTO] 2.3.4.7): Hn = 50000 rounds of SHA-1(i + H), none for the non-standard
//     variant; X = SHA-1(Hn + block); key = (SHA-1(X ^ 0x36..) + SHA-1(X ^ 0x5C..)) cut to
//     the key size. Pages are AES-ECB.
#include "platform/jetcrypt/jet_office_binary_codec.hpp"

#include <algorithm>
#include <vector>

#include <openssl/crypto.h>

#include "platform/jetcrypt/jet_crypt_primitives.hpp"
#include "platform/jetcrypt/jet_office_info.hpp"
#include "platform/jetcrypt/jet_rc4.hpp"
#include "platform/jetcrypt/jet_rc4_page_codec.hpp"

namespace {

constexpr std::uint32_t STANDARD_SPIN_COUNT = 50000;
constexpr std::array<std::uint8_t, 4> VERIFIER_BLOCK = {0, 0, 0, 0};

class office_binary_codec : public jet_page_codec {
public:
    office_binary_codec(const jet_office_info& info, jet_secret new_base_hash,
                        const std::array<std::uint8_t, 4>& new_encoding_key)
        : algorithm(info.algorithm), key_bytes(info.key_bits / 8),
          base_hash(std::move(new_base_hash)), encoding_key(new_encoding_key) {}

    // The key for a 4-byte block number.
    jet_secret key_for(std::span<const std::uint8_t> block) const {
        jet_secret key;
        if (algorithm == jet_office_algorithm::RC4) {
            key = jet_hash(jet_hash_kind::SHA1, {base_hash.view(), block});
            key.fix_length(key_bytes, 0);
            if (key_bytes == 5) key.fix_length(16, 0);
            return key;
        }
        const jet_secret derived = jet_hash(jet_hash_kind::SHA1, {base_hash.view(), block});
        std::array<std::uint8_t, 64> inner{};
        std::array<std::uint8_t, 64> outer{};
        inner.fill(0x36);
        outer.fill(0x5C);
        for (std::size_t idx = 0; idx < derived.size(); ++idx) {
            inner[idx] ^= derived.view()[idx];
            outer[idx] ^= derived.view()[idx];
        }
        const jet_secret first = jet_hash(jet_hash_kind::SHA1, {inner});
        const jet_secret second = jet_hash(jet_hash_kind::SHA1, {outer});
        OPENSSL_cleanse(inner.data(), inner.size());
        OPENSSL_cleanse(outer.data(), outer.size());
        std::vector<std::uint8_t> both(first.view().begin(), first.view().end());
        both.insert(both.end(), second.view().begin(), second.view().end());
        key = jet_secret(both);
        OPENSSL_cleanse(both.data(), both.size());
        key.fix_length(key_bytes, 0);
        return key;
    }

    bool is_password_right(const jet_office_info& info) const {
        const jet_secret key = key_for(VERIFIER_BLOCK);
        jet_secret verifier(info.encrypted_verifier);
        jet_secret verifier_hash(info.encrypted_verifier_hash);
        if (algorithm == jet_office_algorithm::RC4) {
            jet_rc4 stream(key.view());   // one stream runs over both fields
            stream.apply(verifier.data());
            stream.apply(verifier_hash.data());
        } else {
            jet_aes_decrypt(jet_aes_mode::ECB, key.view(), {}, verifier.data());
            jet_aes_decrypt(jet_aes_mode::ECB, key.view(), {}, verifier_hash.data());
        }
        const jet_secret expected = jet_hash(jet_hash_kind::SHA1, {verifier.view()});
        const std::size_t compared = std::min<std::size_t>(info.verifier_hash_size, 20);
        return CRYPTO_memcmp(expected.view().data(), verifier_hash.view().data(), compared) == 0;
    }

    void decode_page(std::uint32_t page_no, std::span<std::uint8_t> page) const override {
        const std::array<std::uint8_t, 4> block = jet_page_key(encoding_key, page_no);
        const jet_secret key = key_for(block);
        if (algorithm == jet_office_algorithm::RC4) {
            jet_rc4_apply(key.view(), page);
            return;
        }
        jet_aes_decrypt(jet_aes_mode::ECB, key.view(), {}, page);
    }

private:
    jet_office_algorithm algorithm;
    std::size_t key_bytes;
    jet_secret base_hash;   // H0 for RC4, Hn for AES
    std::array<std::uint8_t, 4> encoding_key;
};

}   // namespace

std::unique_ptr<jet_page_codec> jet_open_office_binary_codec(
    const jet_crypt_bytes& info, const std::array<std::uint8_t, 4>& encoding_key,
    std::u16string_view password) {
    const std::uint32_t flags = info.u32(4);
    if ((flags & JET_OFFICE_FLAG_CRYPTO_API) == 0) {
        throw jet_crypt_error(JET_ERR_UNRECOGNIZED_FORMAT,
                              "Unrecognized database format: unsupported encryption "
                              "(no CryptoAPI flag)");
    }
    const jet_office_info header = jet_read_office_info(info);
    const jet_secret password_bytes = jet_password_bytes(password);
    jet_secret base_hash = jet_hash(jet_hash_kind::SHA1, {header.salt, password_bytes.view()});
    if (header.algorithm != jet_office_algorithm::RC4) {
        // Standard AES sets the AES flag and spins; the non-standard variant does neither.
        const bool is_standard = (flags & JET_OFFICE_FLAG_AES) != 0;
        base_hash = jet_hash_iterate(jet_hash_kind::SHA1, std::move(base_hash),
                                     is_standard ? STANDARD_SPIN_COUNT : 0);
    }
    auto codec = std::make_unique<office_binary_codec>(header, std::move(base_hash), encoding_key);
    if (!codec->is_password_right(header)) {
        throw jet_crypt_error(JET_ERR_BAD_PASSWORD, "Not a valid password.");
    }
    return codec;
}
