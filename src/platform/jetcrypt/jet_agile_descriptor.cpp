// jet_agile_descriptor.cpp - reads the agile XML descriptor: finds the keyData element and
// the encryptedKey element of the password key encryptor by local name (any namespace
// prefix) and reads their attributes.
#include "platform/jetcrypt/jet_agile_descriptor.hpp"

#include <array>
#include <charconv>
#include <optional>
#include <string>

#include "platform/jetcrypt/jet_codec.hpp"

namespace {

[[noreturn]] void throw_bad_descriptor(const std::string& what) {
    throw jet_crypt_error(JET_ERR_UNRECOGNIZED_FORMAT,
                          "Unrecognized database format: encryption descriptor " + what);
}

bool is_space(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

// The text between the element's name and its closing '>' for the first start tag whose
// local name is local_name, or nullopt.
std::optional<std::string_view> find_element(std::string_view xml, std::string_view local_name) {
    for (std::size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at + 1)) {
        std::size_t name_end = at + 1;
        while (name_end < xml.size() && !is_space(xml[name_end]) && xml[name_end] != '>'
               && xml[name_end] != '/') {
            ++name_end;
        }
        std::string_view name = xml.substr(at + 1, name_end - at - 1);
        const std::size_t colon = name.find(':');
        if (colon != std::string_view::npos) name = name.substr(colon + 1);
        if (name != local_name) continue;
        const std::size_t close = xml.find('>', name_end);
        if (close == std::string_view::npos) throw_bad_descriptor("is cut short");
        return xml.substr(name_end, close - name_end);
    }
    return std::nullopt;
}

std::optional<std::string_view> attribute(std::string_view tag, std::string_view name) {
    std::size_t at = 0;
    while (at < tag.size()) {
        while (at < tag.size() && is_space(tag[at])) ++at;
        const std::size_t equals = tag.find('=', at);
        if (equals == std::string_view::npos || equals + 1 >= tag.size()) return std::nullopt;
        std::string_view key = tag.substr(at, equals - at);
        while (!key.empty() && is_space(key.back())) key.remove_suffix(1);
        const char quote = tag[equals + 1];
        if (quote != '"' && quote != '\'') throw_bad_descriptor("has an unquoted attribute");
        const std::size_t end = tag.find(quote, equals + 2);
        if (end == std::string_view::npos) throw_bad_descriptor("has an open attribute");
        if (key == name) return tag.substr(equals + 2, end - equals - 2);
        at = end + 1;
    }
    return std::nullopt;
}

std::string_view required(std::string_view tag, std::string_view name) {
    const std::optional<std::string_view> value = attribute(tag, name);
    if (!value) throw_bad_descriptor("lacks " + std::string(name));
    return *value;
}

std::uint32_t number(std::string_view tag, std::string_view name) {
    const std::string_view text = required(tag, name);
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        throw_bad_descriptor("has a bad " + std::string(name));
    }
    return value;
}

jet_hash_kind hash_of(std::string_view name) {
    if (name == "SHA1" || name == "SHA-1") return jet_hash_kind::SHA1;
    if (name == "SHA256") return jet_hash_kind::SHA256;
    if (name == "SHA384") return jet_hash_kind::SHA384;
    if (name == "SHA512") return jet_hash_kind::SHA512;
    if (name == "MD5") return jet_hash_kind::MD5;
    throw_bad_descriptor("names an unsupported hash");
}

std::size_t digest_size(jet_hash_kind kind) {
    switch (kind) {
    case jet_hash_kind::SHA1: return 20;
    case jet_hash_kind::SHA256: return 32;
    case jet_hash_kind::SHA384: return 48;
    case jet_hash_kind::SHA512: return 64;
    case jet_hash_kind::MD5: return 16;
    }
    return 0;
}

jet_agile_cipher cipher_of(std::string_view tag) {
    if (required(tag, "cipherAlgorithm") != "AES") {
        throw_bad_descriptor("names a cipher other than AES");
    }
    jet_agile_cipher cipher;
    const std::string_view chaining = required(tag, "cipherChaining");
    if (chaining == "ChainingModeCBC") {
        cipher.mode = jet_aes_mode::CBC;
    } else if (chaining == "ChainingModeCFB") {
        cipher.mode = jet_aes_mode::CFB8;
    } else {
        throw_bad_descriptor("names an unknown chaining mode");
    }
    cipher.hash = hash_of(required(tag, "hashAlgorithm"));
    cipher.key_bits = number(tag, "keyBits");
    cipher.block_size = number(tag, "blockSize");
    cipher.hash_size = number(tag, "hashSize");
    cipher.salt = jet_base64_decode(required(tag, "saltValue"));
    const bool is_valid = (cipher.key_bits == 128 || cipher.key_bits == 192
                           || cipher.key_bits == 256)
                          && cipher.block_size == 16 && cipher.hash_size > 0
                          && cipher.hash_size <= digest_size(cipher.hash) && !cipher.salt.empty();
    if (!is_valid) throw_bad_descriptor("has out-of-range sizes");
    return cipher;
}

int base64_value(char ch) {
    if (ch >= 'A' && ch <= 'Z') return ch - 'A';
    if (ch >= 'a' && ch <= 'z') return ch - 'a' + 26;
    if (ch >= '0' && ch <= '9') return ch - '0' + 52;
    if (ch == '+') return 62;
    if (ch == '/') return 63;
    return -1;
}

}   // namespace

std::vector<std::uint8_t> jet_base64_decode(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    std::uint32_t bits = 0;
    int bit_count = 0;
    std::size_t padding = 0;
    for (const char ch : text) {
        if (is_space(ch)) continue;
        if (ch == '=') {
            ++padding;
            continue;
        }
        const int value = base64_value(ch);
        if (value < 0 || padding > 0) throw_bad_descriptor("has bad base64");
        bits = (bits << 6) | std::uint32_t(value);
        bit_count += 6;
        if (bit_count >= 8) {
            bit_count -= 8;
            bytes.push_back(std::uint8_t(bits >> bit_count));
        }
    }
    if (padding > 2 || bit_count >= 6) throw_bad_descriptor("has bad base64");
    return bytes;
}

jet_agile_descriptor jet_parse_agile_descriptor(std::string_view xml) {
    const std::optional<std::string_view> key_data = find_element(xml, "keyData");
    const std::optional<std::string_view> encrypted_key = find_element(xml, "encryptedKey");
    if (!key_data || !encrypted_key) throw_bad_descriptor("lacks a password key");
    jet_agile_descriptor result;
    result.key_data = cipher_of(*key_data);
    result.password_key = cipher_of(*encrypted_key);
    result.spin_count = number(*encrypted_key, "spinCount");
    if (result.spin_count > JET_AGILE_MAX_SPIN_COUNT) throw_bad_descriptor("spins too long");
    result.encrypted_verifier_input = jet_base64_decode(
        required(*encrypted_key, "encryptedVerifierHashInput"));
    result.encrypted_verifier_value = jet_base64_decode(
        required(*encrypted_key, "encryptedVerifierHashValue"));
    result.encrypted_key_value = jet_base64_decode(required(*encrypted_key, "encryptedKeyValue"));
    return result;
}
