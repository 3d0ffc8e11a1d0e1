#pragma once
// jet_header.hpp - the facts of page 0 this library needs, read from an unmasked copy:
// the engine version and where the masked header region and the password lie.

#include <cstdint>
#include <span>

// Values of the version field at 0x14.
inline constexpr std::uint32_t JET_VERSION_JET3 = 0;
inline constexpr std::uint32_t JET_VERSION_JET4 = 1;   // 2.. ACE 12, 14, 15, 16, 17

inline constexpr std::size_t JET_OFFSET_VERSION = 0x14;
inline constexpr std::size_t JET_OFFSET_MASKED = 0x18;
inline constexpr std::size_t JET_OFFSET_ENCODING_KEY = 0x3E;
inline constexpr std::size_t JET_OFFSET_PASSWORD = 0x42;
inline constexpr std::size_t JET_OFFSET_CREATION_DATE = 0x72;
inline constexpr std::size_t JET3_MASKED_LENGTH = 126;
inline constexpr std::size_t JET4_MASKED_LENGTH = 128;
inline constexpr std::size_t JET3_PASSWORD_LENGTH = 20;
inline constexpr std::size_t JET4_PASSWORD_LENGTH = 40;

// Reads the version at 0x14 (outside the mask); throws jet_crypt_error(3343) when page0 is
// not a Jet or ACE database or workgroup file, is an Access 1.x/2.0 file (a message of its
// own) or is too short for its header region.
std::uint32_t jet_header_version(std::span<const std::uint8_t> page0);
