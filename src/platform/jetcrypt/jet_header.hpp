#pragma once
// jet_header.hpp - the facts of page 0 this library needs, read from an unmasked copy:
// the file's signature, the engine version and where the masked header region and the
// password lie. The signatures are the only copies: the engine, the workgroup logon and the
// DAO layer's workgroup check and image all recognise or write them from here.

#include <cstdint>
#include <span>
#include <string_view>

// 0x00 4: the magic every Jet and ACE file starts with.
inline constexpr std::uint8_t JET_MAGIC[4] = {0x00, 0x01, 0x00, 0x00};

// 0x04 16: the file's name for itself. Databases are matched on the 15 letters; a workgroup
// information file (.mdw) on all 16 bytes, two spaces and the NUL included, as DAO checks it.
inline constexpr std::size_t JET_OFFSET_SIGNATURE = 0x04;
inline constexpr std::string_view JET_SIGNATURE_JET = "Standard Jet DB";
inline constexpr std::string_view JET_SIGNATURE_ACE = "Standard ACE DB";
inline constexpr std::string_view JET_SIGNATURE_WORKGROUP{"Jet System DB  \0", 16};

// Whether page0 holds the signature at 0x04; false when it is too short to.
bool jet_has_signature(std::span<const std::uint8_t> page0, std::string_view signature);

// Access 1.x/2.0 files have neither the magic nor a signature; DAO tells them by two marks,
// read from the file's first JET_ACCESS2_HEAD_SIZE bytes:
//   OFFSET  SIZE  MEANING
//        0     4  77 2C 53 20: an Access 2.0 system database; or else all three of
//        0     2  1 (little-endian)
//     1030     4  "Rich"
//     1038     2  0
inline constexpr std::size_t JET_ACCESS2_HEAD_SIZE = 1040;

// Whether head carries either mark; false for the "Rich" mark when head is too short to.
bool jet_has_access2_marks(std::span<const std::uint8_t> head);

// Values of the version field at 0x14.
inline constexpr std::uint32_t JET_VERSION_JET3 = 0;
inline constexpr std::uint32_t JET_VERSION_JET4 = 1;   // 2.. ACE 12, 14, 15, 16, 17

inline constexpr std::size_t JET_OFFSET_VERSION = 0x14;
inline constexpr std::size_t JET_OFFSET_MASKED = 0x18;
inline constexpr std::size_t JET3_OFFSET_SORT_ORDER = 0x3A;
inline constexpr std::size_t JET_OFFSET_CODE_PAGE = 0x3C;
inline constexpr std::size_t JET_OFFSET_ENCODING_KEY = 0x3E;
inline constexpr std::size_t JET_OFFSET_PASSWORD = 0x42;
inline constexpr std::size_t JET4_OFFSET_SORT_ORDER = 0x6E;
inline constexpr std::size_t JET_OFFSET_CREATION_DATE = 0x72;   // Jet 4 / ACE
inline constexpr std::size_t JET3_MASKED_LENGTH = 126;
inline constexpr std::size_t JET4_MASKED_LENGTH = 128;
inline constexpr std::size_t JET3_PASSWORD_LENGTH = 20;
inline constexpr std::size_t JET4_PASSWORD_LENGTH = 40;

// Reads the version at 0x14 (outside the mask); throws jet_crypt_error(3343) when page0 is
// not a Jet or ACE database or workgroup file, is an Access 1.x/2.0 file (a message of its
// own) or is too short for its header region.
std::uint32_t jet_header_version(std::span<const std::uint8_t> page0);
