#pragma once
// jet_rc4.hpp - the RC4 stream cipher. Jet masks its header and encodes pages with it and
// Office's CryptoAPI encryption uses it; OpenSSL 3 keeps RC4 out of its default provider, so
// these few lines are ours.

#include <array>
#include <cstdint>
#include <span>

class jet_rc4 {
public:
    // key must not be empty (RC4 is undefined for it); callers pass fixed-size keys.
    explicit jet_rc4(std::span<const std::uint8_t> key);
    ~jet_rc4();
    jet_rc4(const jet_rc4&) = delete;
    jet_rc4& operator=(const jet_rc4&) = delete;

    // XORs the next bytes of the key stream into data; encrypting and decrypting are the same.
    void apply(std::span<std::uint8_t> data);

private:
    std::array<std::uint8_t, 256> state{};
    std::uint8_t index_i = 0;
    std::uint8_t index_j = 0;
};

// One-shot helper: a fresh stream for key, applied to data.
void jet_rc4_apply(std::span<const std::uint8_t> key, std::span<std::uint8_t> data);
