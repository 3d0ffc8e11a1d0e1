#pragma once
// jet_crypt_primitives.hpp - the hashing, AES and key-buffer helpers the Office codecs share,
// over OpenSSL libcrypto. Key material lives in jet_secret, which wipes itself.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

// A byte buffer that holds key material or a password; wiped (OPENSSL_cleanse) when it
// dies or is resized through assign_fixed.
class jet_secret {
public:
    jet_secret() = default;
    explicit jet_secret(std::span<const std::uint8_t> new_bytes)
        : bytes(new_bytes.begin(), new_bytes.end()) {}
    jet_secret(const jet_secret& other) : bytes(other.bytes) {}
    // A move hands the buffer over whole, leaving no second copy of the key to wipe.
    jet_secret(jet_secret&& other) noexcept : bytes(std::move(other.bytes)) {}
    jet_secret& operator=(const jet_secret& other);
    jet_secret& operator=(jet_secret&& other) noexcept;
    ~jet_secret();

    std::span<const std::uint8_t> view() const { return bytes; }
    std::span<std::uint8_t> data() { return bytes; }
    std::size_t size() const { return bytes.size(); }
    // Truncates, or pads with pad_byte, to length bytes ([MS-OFFCRYPTO] pads keys with 0x36).
    void fix_length(std::size_t length, std::uint8_t pad_byte);

private:
    std::vector<std::uint8_t> bytes;
};

enum class jet_hash_kind { SHA1, SHA256, SHA384, SHA512, MD5 };

// The UTF-16LE bytes of a password, at most 255 characters as Office keeps them.
jet_secret jet_password_bytes(std::u16string_view password);

// Hash of the concatenated parts.
jet_secret jet_hash(jet_hash_kind kind, std::initializer_list<std::span<const std::uint8_t>> parts);

// The spin loop of [MS-OFFCRYPTO] 2.3.4.7/2.3.4.11: H(i as 4 bytes LE + H) for i < count.
jet_secret jet_hash_iterate(jet_hash_kind kind, jet_secret base, std::uint32_t count);

enum class jet_aes_mode { ECB, CBC, CFB8 };

// Decrypts data in place with AES of key.size() * 8 bits (16, 24 or 32 bytes). ECB and CBC
// need data.size() to be a multiple of 16. iv is ignored for ECB.
// Throws jet_crypt_error(3343) for a key or data length AES cannot take.
void jet_aes_decrypt(jet_aes_mode mode, std::span<const std::uint8_t> key,
                     std::span<const std::uint8_t> iv, std::span<std::uint8_t> data);
