// jet_crypt_primitives.cpp - OpenSSL EVP behind the helpers of jet_crypt_primitives.hpp.
// Every EVP context is owned by a unique_ptr so a failure half-way frees it.
#include "platform/jetcrypt/jet_crypt_primitives.hpp"

#include <algorithm>
#include <climits>
#include <memory>
#include <string>

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include "platform/jetcrypt/jet_codec.hpp"

namespace {

struct md_ctx_free {
    void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};
struct cipher_ctx_free {
    void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using md_ctx_ptr = std::unique_ptr<EVP_MD_CTX, md_ctx_free>;
using cipher_ctx_ptr = std::unique_ptr<EVP_CIPHER_CTX, cipher_ctx_free>;

constexpr std::size_t MAX_OFFICE_PASSWORD_CHARS = 255;

[[noreturn]] void throw_crypto_failure(const char* step) {
    throw jet_crypt_error(JET_ERR_UNRECOGNIZED_FORMAT,
                          std::string("Unrecognized database format: cannot ") + step);
}

const EVP_MD* digest_of(jet_hash_kind kind) {
    switch (kind) {
    case jet_hash_kind::SHA1: return EVP_sha1();
    case jet_hash_kind::SHA256: return EVP_sha256();
    case jet_hash_kind::SHA384: return EVP_sha384();
    case jet_hash_kind::SHA512: return EVP_sha512();
    case jet_hash_kind::MD5: return EVP_md5();
    }
    return EVP_sha1();
}

const EVP_CIPHER* cipher_of(jet_aes_mode mode, std::size_t key_size) {
    switch (key_size) {
    case 16:
        return mode == jet_aes_mode::ECB   ? EVP_aes_128_ecb()
               : mode == jet_aes_mode::CBC ? EVP_aes_128_cbc()
                                           : EVP_aes_128_cfb8();
    case 24:
        return mode == jet_aes_mode::ECB   ? EVP_aes_192_ecb()
               : mode == jet_aes_mode::CBC ? EVP_aes_192_cbc()
                                           : EVP_aes_192_cfb8();
    case 32:
        return mode == jet_aes_mode::ECB   ? EVP_aes_256_ecb()
               : mode == jet_aes_mode::CBC ? EVP_aes_256_cbc()
                                           : EVP_aes_256_cfb8();
    default: return nullptr;
    }
}

}   // namespace

jet_secret& jet_secret::operator=(const jet_secret& other) {
    if (this == &other) return *this;
    OPENSSL_cleanse(bytes.data(), bytes.size());
    bytes = other.bytes;
    return *this;
}

jet_secret& jet_secret::operator=(jet_secret&& other) noexcept {
    if (this == &other) return *this;
    OPENSSL_cleanse(bytes.data(), bytes.size());
    bytes = std::move(other.bytes);
    return *this;
}

jet_secret::~jet_secret() { OPENSSL_cleanse(bytes.data(), bytes.size()); }

void jet_secret::fix_length(std::size_t length, std::uint8_t pad_byte) {
    if (length < bytes.size()) {
        OPENSSL_cleanse(bytes.data() + length, bytes.size() - length);
        bytes.resize(length);
        return;
    }
    // Growing may move the bytes: copy into a fresh buffer and wipe the old one.
    std::vector<std::uint8_t> grown(length, pad_byte);
    std::copy(bytes.begin(), bytes.end(), grown.begin());
    OPENSSL_cleanse(bytes.data(), bytes.size());
    bytes.swap(grown);
}

jet_secret jet_password_bytes(std::u16string_view password) {
    const std::u16string_view kept = password.substr(0, MAX_OFFICE_PASSWORD_CHARS);
    std::vector<std::uint8_t> utf16le;
    utf16le.reserve(kept.size() * 2);
    for (const char16_t unit : kept) {
        utf16le.push_back(std::uint8_t(unit));
        utf16le.push_back(std::uint8_t(unit >> 8));
    }
    jet_secret secret(utf16le);
    OPENSSL_cleanse(utf16le.data(), utf16le.size());
    return secret;
}

jet_secret jet_hash(jet_hash_kind kind,
                    std::initializer_list<std::span<const std::uint8_t>> parts) {
    md_ctx_ptr ctx(EVP_MD_CTX_new());
    if (!ctx || EVP_DigestInit_ex(ctx.get(), digest_of(kind), nullptr) != 1) {
        throw_crypto_failure("start a hash");
    }
    for (const std::span<const std::uint8_t> part : parts) {
        if (EVP_DigestUpdate(ctx.get(), part.data(), part.size()) != 1) {
            throw_crypto_failure("hash");
        }
    }
    std::uint8_t digest[EVP_MAX_MD_SIZE];
    unsigned int digest_size = 0;
    if (EVP_DigestFinal_ex(ctx.get(), digest, &digest_size) != 1) throw_crypto_failure("hash");
    jet_secret result(std::span<const std::uint8_t>(digest, digest_size));
    OPENSSL_cleanse(digest, sizeof digest);
    return result;
}

jet_secret jet_hash_iterate(jet_hash_kind kind, jet_secret base, std::uint32_t count) {
    for (std::uint32_t iteration = 0; iteration < count; ++iteration) {
        const std::uint8_t counter[4] = {std::uint8_t(iteration), std::uint8_t(iteration >> 8),
                                         std::uint8_t(iteration >> 16),
                                         std::uint8_t(iteration >> 24)};
        base = jet_hash(kind, {counter, base.view()});
    }
    return base;
}

void jet_aes_decrypt(jet_aes_mode mode, std::span<const std::uint8_t> key,
                     std::span<const std::uint8_t> iv, std::span<std::uint8_t> data) {
    const EVP_CIPHER* cipher = cipher_of(mode, key.size());
    if (cipher == nullptr) throw_crypto_failure("use an AES key of this length");
    if (mode != jet_aes_mode::CFB8 && data.size() % 16 != 0) {
        throw_crypto_failure("decrypt a block that is not a whole number of AES blocks");
    }
    if (mode != jet_aes_mode::ECB && iv.size() < 16) throw_crypto_failure("use a short IV");
    if (data.size() > std::size_t(INT_MAX)) throw_crypto_failure("decrypt so much at once");
    cipher_ctx_ptr ctx(EVP_CIPHER_CTX_new());
    if (!ctx
        || EVP_DecryptInit_ex(ctx.get(), cipher, nullptr, key.data(),
                              mode == jet_aes_mode::ECB ? nullptr : iv.data())
               != 1) {
        throw_crypto_failure("start AES");
    }
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
    int written = 0;
    if (EVP_DecryptUpdate(ctx.get(), data.data(), &written, data.data(), int(data.size())) != 1) {
        throw_crypto_failure("decrypt with AES");
    }
}
