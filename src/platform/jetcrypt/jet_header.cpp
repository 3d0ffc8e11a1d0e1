// jet_header.cpp - recognises a Jet or ACE page 0 and removes the fixed RC4 mask from its
// header region. 0x00 4 magic 00 01 00 00; 0x04 16 "Standard Jet DB" or "Standard ACE DB"
// (Access 1.x/2.0 files carry the Jet text too, see jet_codec.cpp for their refusal);
// 0x14 4 version; 0x18 the masked region.
#include "platform/jetcrypt/jet_header.hpp"

#include <array>
#include <cstring>
#include <string>

#include "platform/jetcrypt/jet_codec.hpp"
#include "platform/jetcrypt/jet_crypt_bytes.hpp"
#include "platform/jetcrypt/jet_rc4.hpp"

namespace {

// The mask key every Jet and ACE file shares (0x6B39DAC7, little-endian).
constexpr std::array<std::uint8_t, 4> HEADER_MASK_KEY = {0xC7, 0xDA, 0x39, 0x6B};
constexpr std::array<std::uint8_t, 4> MAGIC = {0x00, 0x01, 0x00, 0x00};

bool has_text(std::span<const std::uint8_t> page0, const char* text) {
    const std::size_t length = std::strlen(text);
    return std::memcmp(page0.data() + 4, text, length) == 0;
}

[[noreturn]] void throw_not_jet() {
    throw jet_crypt_error(JET_ERR_UNRECOGNIZED_FORMAT,
                          "Unrecognized database format: not a Jet or ACE database");
}

}  // namespace

std::uint32_t jet_header_version(std::span<const std::uint8_t> page0) {
    jet_crypt_bytes bytes(page0, "the database header");
    bytes.need(0, JET_OFFSET_MASKED + JET4_MASKED_LENGTH);
    if (std::memcmp(page0.data(), MAGIC.data(), MAGIC.size()) != 0) throw_not_jet();
    if (!has_text(page0, "Standard Jet DB") && !has_text(page0, "Standard ACE DB")) {
        throw_not_jet();
    }
    // Only the byte at 0x14 is the version; Jet 4 keeps other flags in the next three.
    const std::uint32_t version = bytes.u8(JET_OFFSET_VERSION);
    if (version > JET_VERSION_MAX_KNOWN) {
        throw jet_crypt_error(JET_ERR_UNRECOGNIZED_FORMAT,
                              "Unrecognized database format: unknown engine version " +
                                  std::to_string(version));
    }
    return version;
}

void jet_unmask_header(std::span<std::uint8_t> page0) {
    const std::uint32_t version = jet_header_version(page0);
    const std::size_t length =
        version == JET_VERSION_JET3 ? JET3_MASKED_LENGTH : JET4_MASKED_LENGTH;
    jet_rc4_apply(HEADER_MASK_KEY, page0.subspan(JET_OFFSET_MASKED, length));
}
