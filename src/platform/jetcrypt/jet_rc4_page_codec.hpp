#pragma once
// jet_rc4_page_codec.hpp - pages of a Jet 3 / Jet 4 file made with "Encrypt database":
// each page >= 1 is RC4-encrypted with the 4-byte encoding key of the header XORed with the
// page number (both little-endian).

#include <array>
#include <cstdint>
#include <span>

#include "platform/jetcrypt/jet_codec.hpp"

class jet_rc4_page_codec : public jet_page_codec {
public:
    explicit jet_rc4_page_codec(std::array<std::uint8_t, 4> new_encoding_key)
        : encoding_key(new_encoding_key) {}
    void decode_page(std::uint32_t page_no, std::span<std::uint8_t> page) const override;

private:
    std::array<std::uint8_t, 4> encoding_key;
};

// The per-page key: encoding_key XOR page_no, little-endian. Office RC4 CryptoAPI files
// derive their page keys from the same value.
std::array<std::uint8_t, 4> jet_page_key(const std::array<std::uint8_t, 4>& encoding_key,
                                         std::uint32_t page_no);
