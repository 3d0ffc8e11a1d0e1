// jet_header.cpp - recognises a Jet or ACE page 0 and removes the fixed RC4 mask from its
// header region. 0x00 4 magic 00 01 00 00; 0x04 16 the signature (jet_header.hpp); 0x14 1
// version; 0x18 the masked region.
// Access 1.x/2.0 files have neither magic nor text: they are told apart by their own marks
// (jet_header.hpp) and refused.
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

constexpr std::array<std::uint8_t, 4> ACCESS2_SYSTEM_MAGIC = {0x77, 0x2C, 0x53, 0x20};
constexpr std::size_t ACCESS2_VERSION = 0;
constexpr std::size_t ACCESS2_MARK = 1030;
constexpr std::array<std::uint8_t, 4> ACCESS2_MARK_TEXT = {'R', 'i', 'c', 'h'};
constexpr std::size_t ACCESS2_ZERO = 1038;

bool starts_with(std::span<const std::uint8_t> bytes, std::size_t at,
                 std::span<const std::uint8_t> mark) {
    return at <= bytes.size() && mark.size() <= bytes.size() - at
           && std::memcmp(bytes.data() + at, mark.data(), mark.size()) == 0;
}

[[noreturn]] void throw_not_jet(std::span<const std::uint8_t> page0) {
    if (jet_has_access2_marks(page0)) {
        throw jet_crypt_error(JET_ERR_UNRECOGNIZED_FORMAT,
                              "Unrecognized database format: Access 1.x/2.0 files are not "
                              "supported; convert the file with Access 97 or later first");
    }
    throw jet_crypt_error(JET_ERR_UNRECOGNIZED_FORMAT,
                          "Unrecognized database format: not a Jet or ACE database");
}

}   // namespace

bool jet_has_access2_marks(std::span<const std::uint8_t> head) {
    if (starts_with(head, 0, ACCESS2_SYSTEM_MAGIC)) return true;
    if (head.size() < JET_ACCESS2_HEAD_SIZE) return false;
    const jet_crypt_bytes bytes(head, "the database header");
    return bytes.u16(ACCESS2_VERSION) == 1 && starts_with(head, ACCESS2_MARK, ACCESS2_MARK_TEXT)
           && bytes.u16(ACCESS2_ZERO) == 0;
}

bool jet_has_signature(std::span<const std::uint8_t> page0, std::string_view signature) {
    if (page0.size() < JET_OFFSET_SIGNATURE + signature.size()) return false;
    return std::memcmp(page0.data() + JET_OFFSET_SIGNATURE, signature.data(), signature.size())
           == 0;
}

std::uint32_t jet_header_version(std::span<const std::uint8_t> page0) {
    if (!starts_with(page0, 0, JET_MAGIC)) throw_not_jet(page0);
    jet_crypt_bytes bytes(page0, "the database header");
    bytes.need(0, JET_OFFSET_MASKED + JET4_MASKED_LENGTH);
    const bool is_jet_file = jet_has_signature(page0, JET_SIGNATURE_JET)
                             || jet_has_signature(page0, JET_SIGNATURE_ACE)
                             || jet_has_signature(page0, JET_SIGNATURE_WORKGROUP);
    if (!is_jet_file) throw_not_jet(page0);
    // Only the byte at 0x14 is the version: ACE 14 files hold 03 01 00 00 there.
    return bytes.u8(JET_OFFSET_VERSION);
}

void jet_unmask_header(std::span<std::uint8_t> page0) {
    const std::uint32_t version = jet_header_version(page0);
    const std::size_t length = version == JET_VERSION_JET3 ? JET3_MASKED_LENGTH
                                                           : JET4_MASKED_LENGTH;
    jet_rc4_apply(HEADER_MASK_KEY, page0.subspan(JET_OFFSET_MASKED, length));
}
