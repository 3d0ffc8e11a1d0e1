// jet_rc4_page_codec.cpp - decodes "Encrypt database" pages of Jet 3 / Jet 4 files.
#include "platform/jetcrypt/jet_rc4_page_codec.hpp"

#include "platform/jetcrypt/jet_rc4.hpp"

std::array<std::uint8_t, 4> jet_page_key(const std::array<std::uint8_t, 4>& encoding_key,
                                         std::uint32_t page_no) {
    std::array<std::uint8_t, 4> key = encoding_key;
    for (std::size_t idx = 0; idx < key.size(); ++idx) {
        key[idx] ^= std::uint8_t(page_no >> (8 * idx));
    }
    return key;
}

void jet_rc4_page_codec::decode_page(std::uint32_t page_no, std::span<std::uint8_t> page) const {
    const std::array<std::uint8_t, 4> key = jet_page_key(encoding_key, page_no);
    jet_rc4_apply(key, page);
}
