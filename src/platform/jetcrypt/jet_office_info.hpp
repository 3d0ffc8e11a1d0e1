#pragma once
// jet_office_info.hpp - the binary EncryptionHeader and EncryptionVerifier of [MS-OFFCRYPTO]
// 2.3.2/2.3.3 as an encrypted ACCDB stores them for RC4 CryptoAPI and standard (AES)
// encryption. Offsets relative to the encryption info (0x29B of page 0):
//   0 2 major  2 2 minor  4 4 flags  8 4 header length n
//   12 n header: flags, size extra, algorithm id, hash id, key bits, provider type,
//        2 reserved, CSP name (UTF-16, NUL-ended)
//   12+n verifier: salt size (16), salt, encrypted verifier (16), verifier hash size,
//        encrypted verifier hash (20 for RC4, 32 for AES)

#include <cstdint>
#include <vector>

#include "platform/jetcrypt/jet_crypt_bytes.hpp"

inline constexpr std::uint32_t JET_OFFICE_FLAG_CRYPTO_API = 0x04;
inline constexpr std::uint32_t JET_OFFICE_FLAG_EXTERNAL = 0x10;
inline constexpr std::uint32_t JET_OFFICE_FLAG_AES = 0x20;

enum class jet_office_algorithm { RC4, AES_128, AES_192, AES_256 };

struct jet_office_info {
    jet_office_algorithm algorithm = jet_office_algorithm::RC4;
    std::uint32_t key_bits = 0;
    std::vector<std::uint8_t> salt;
    std::vector<std::uint8_t> encrypted_verifier;
    std::uint32_t verifier_hash_size = 0;
    std::vector<std::uint8_t> encrypted_verifier_hash;
};

// Parses header and verifier. Throws jet_crypt_error(3343) for a truncated structure, an
// algorithm or hash other than RC4/AES with SHA-1, or a key size outside the algorithm's.
jet_office_info jet_read_office_info(const jet_crypt_bytes& info);
