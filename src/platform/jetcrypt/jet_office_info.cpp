// jet_office_info.cpp - reads the binary encryption header and verifier (layout in
// jet_office_info.hpp). A key size of 0 means the provider's default: 40 bits for RC4 with
// the "Base" provider or none named, 128 bits otherwise (the CryptoAPI defaults).
#include "platform/jetcrypt/jet_office_info.hpp"

#include <string>

#include "platform/jetcrypt/jet_codec.hpp"

namespace {

constexpr std::uint32_t ALGID_FROM_FLAGS = 0;
constexpr std::uint32_t ALGID_RC4 = 0x6801;
constexpr std::uint32_t ALGID_AES_128 = 0x660E;
constexpr std::uint32_t ALGID_AES_192 = 0x660F;
constexpr std::uint32_t ALGID_AES_256 = 0x6610;
constexpr std::uint32_t HASHID_FROM_FLAGS = 0;
constexpr std::uint32_t HASHID_SHA1 = 0x8004;
constexpr std::uint32_t SALT_SIZE = 16;
constexpr std::size_t VERIFIER_SIZE = 16;
constexpr std::size_t HEADER_FIXED_SIZE = 32;

[[noreturn]] void throw_unsupported(const std::string& what) {
    throw jet_crypt_error(JET_ERR_UNRECOGNIZED_FORMAT,
                          "Unrecognized database format: unsupported encryption (" + what + ")");
}

jet_office_algorithm algorithm_of(std::uint32_t algorithm_id, std::uint32_t flags) {
    switch (algorithm_id) {
    case ALGID_FROM_FLAGS:
        if ((flags & JET_OFFICE_FLAG_EXTERNAL) != 0) break;
        if ((flags & JET_OFFICE_FLAG_CRYPTO_API) == 0) break;
        return (flags & JET_OFFICE_FLAG_AES) != 0 ? jet_office_algorithm::AES_128
                                                  : jet_office_algorithm::RC4;
    case ALGID_RC4: return jet_office_algorithm::RC4;
    case ALGID_AES_128: return jet_office_algorithm::AES_128;
    case ALGID_AES_192: return jet_office_algorithm::AES_192;
    case ALGID_AES_256: return jet_office_algorithm::AES_256;
    default: break;
    }
    throw_unsupported("algorithm " + std::to_string(algorithm_id));
}

// True when the UTF-16 CSP name is empty or contains " base " (ASCII, case-blind).
bool is_base_provider(const jet_crypt_bytes& name) {
    std::string ascii;
    for (std::size_t at = 0; at + 1 < name.size(); at += 2) {
        const std::uint16_t unit = name.u16(at);
        if (unit == 0) break;
        ascii.push_back(unit < 0x80 ? char(unit >= 'A' && unit <= 'Z' ? unit + 32 : unit) : '?');
    }
    return ascii.find_first_not_of(' ') == std::string::npos
           || ascii.find(" base ") != std::string::npos;
}

std::uint32_t default_key_bits(jet_office_algorithm algorithm, const jet_crypt_bytes& csp_name) {
    switch (algorithm) {
    case jet_office_algorithm::RC4: return is_base_provider(csp_name) ? 40 : 128;
    case jet_office_algorithm::AES_128: return 128;
    case jet_office_algorithm::AES_192: return 192;
    case jet_office_algorithm::AES_256: return 256;
    }
    return 0;
}

void check_key_bits(jet_office_algorithm algorithm, std::uint32_t key_bits) {
    bool is_valid = key_bits % 8 == 0;
    switch (algorithm) {
    case jet_office_algorithm::RC4: is_valid = is_valid && key_bits >= 40 && key_bits <= 512; break;
    case jet_office_algorithm::AES_128: is_valid = is_valid && key_bits == 128; break;
    case jet_office_algorithm::AES_192: is_valid = is_valid && key_bits == 192; break;
    case jet_office_algorithm::AES_256: is_valid = is_valid && key_bits == 256; break;
    }
    if (!is_valid) throw_unsupported("key size " + std::to_string(key_bits));
}

std::vector<std::uint8_t> copy_of(std::span<const std::uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

}   // namespace

jet_office_info jet_read_office_info(const jet_crypt_bytes& info) {
    const std::uint32_t header_size = info.u32(8);
    if (header_size < HEADER_FIXED_SIZE) throw_unsupported("short header");
    const jet_crypt_bytes header = info.sub(12, header_size);
    const std::uint32_t flags = header.u32(0);
    jet_office_info result;
    result.algorithm = algorithm_of(header.u32(8), flags);
    const std::uint32_t hash_id = header.u32(12);
    const bool is_sha1 = hash_id == HASHID_SHA1
                         || (hash_id == HASHID_FROM_FLAGS
                             && (flags & JET_OFFICE_FLAG_EXTERNAL) == 0);
    if (!is_sha1) throw_unsupported("hash " + std::to_string(hash_id));

    result.key_bits = header.u32(16);
    if (result.key_bits == 0) {
        const jet_crypt_bytes csp_name = header.sub(HEADER_FIXED_SIZE,
                                                    header_size - HEADER_FIXED_SIZE);
        result.key_bits = default_key_bits(result.algorithm, csp_name);
    }
    check_key_bits(result.algorithm, result.key_bits);

    std::size_t at = 12 + std::size_t(header_size);
    if (info.u32(at) != SALT_SIZE) throw_unsupported("salt size");
    result.salt = copy_of(info.span(at + 4, SALT_SIZE));
    at += 4 + SALT_SIZE;
    result.encrypted_verifier = copy_of(info.span(at, VERIFIER_SIZE));
    at += VERIFIER_SIZE;
    result.verifier_hash_size = info.u32(at);
    const std::size_t stored_hash_size = result.algorithm == jet_office_algorithm::RC4 ? 20 : 32;
    if (result.verifier_hash_size == 0 || result.verifier_hash_size > stored_hash_size) {
        throw_unsupported("verifier hash size");
    }
    result.encrypted_verifier_hash = copy_of(info.span(at + 4, stored_hash_size));
    return result;
}
