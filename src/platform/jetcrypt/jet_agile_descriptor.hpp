#pragma once
// jet_agile_descriptor.hpp - the XML encryption descriptor of agile encryption
// ([MS-OFFCRYPTO] 2.3.4.10): the <keyData> element and the password <encryptedKey> element,
// reduced to the attributes decryption needs. Only what Office writes is read: plain
// attributes in double or single quotes, no entities, no CDATA.

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/jetcrypt/jet_crypt_primitives.hpp"

struct jet_agile_cipher {
    jet_hash_kind hash = jet_hash_kind::SHA1;
    jet_aes_mode mode = jet_aes_mode::CBC;
    std::uint32_t key_bits = 0;
    std::uint32_t block_size = 0;
    std::uint32_t hash_size = 0;
    std::vector<std::uint8_t> salt;
};

struct jet_agile_descriptor {
    jet_agile_cipher key_data;
    jet_agile_cipher password_key;
    std::uint32_t spin_count = 0;
    std::vector<std::uint8_t> encrypted_verifier_input;
    std::vector<std::uint8_t> encrypted_verifier_value;
    std::vector<std::uint8_t> encrypted_key_value;
};

// Spin counts beyond this are refused as corrupt: Office writes 100000, and a flipped high
// byte would otherwise keep the open busy for hours.
inline constexpr std::uint32_t JET_AGILE_MAX_SPIN_COUNT = 10'000'000;

// Throws jet_crypt_error(3343) for a missing element or attribute, a cipher other than AES,
// an unknown hash, bad base64 or out-of-range numbers.
jet_agile_descriptor jet_parse_agile_descriptor(std::string_view xml);

// Standard base64 with optional padding and whitespace; nullopt-like failure as 3343.
std::vector<std::uint8_t> jet_base64_decode(std::string_view text);
