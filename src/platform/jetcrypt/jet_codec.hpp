#pragma once
// jet_codec.hpp - what the Jet/ACE engine asks of page protection: unmasking the header of
// page 0, checking the database password and decoding pages >= 1 of encoded or encrypted
// files. The engine owns the file and the page cache; this library only transforms bytes.
//
// Page 0 layout used here (little-endian, offsets from the file start):
//   0x14 4  version: 0 Jet 3, 1 Jet 4, 2+ ACE
//   0x18    start of the RC4-masked header region (126 bytes Jet 3, 128 bytes Jet 4 / ACE)
//   0x3E 4  encoding key: zero when pages >= 1 are stored plainly
//   0x42    database password (Jet 3: 20 bytes; Jet 4: 40 bytes UTF-16, also masked by 0x72)
//   0x72 8  creation date (Jet 4), a double whose integer part masks the password
//   0x299 2 length of the Office encryption info of an encrypted ACCDB, which follows it

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

// DAO error numbers this library raises.
inline constexpr int JET_ERR_BAD_PASSWORD = 3031;          // "Not a valid password."
inline constexpr int JET_ERR_UNRECOGNIZED_FORMAT = 3343;   // "Unrecognized database format"

// A refused password or an unusable protection header. The text never holds a password.
class jet_crypt_error : public std::runtime_error {
public:
    jet_crypt_error(int dao_number, const std::string& message)
        : std::runtime_error(message), number(dao_number) {}
    int dao_number() const { return number; }

private:
    int number;
};

// Removes the fixed-key RC4 mask from the header region of page 0, in place, for Jet 3,
// Jet 4 and ACE. Applying it twice restores the original bytes.
// Throws jet_crypt_error(3343) when page0 is too short to hold the header or names an
// unknown version.
void jet_unmask_header(std::span<std::uint8_t> page0);

// Decodes pages >= 1 of a protected file in place; page 0 is never passed here.
class jet_page_codec {
public:
    virtual ~jet_page_codec() = default;
    // page.size() is the file's page size (2048 Jet 3, 4096 Jet 4 / ACE).
    virtual void decode_page(std::uint32_t page_no, std::span<std::uint8_t> page) const = 0;
};

// Verifies the database password (Jet 3/4 header password; ACCDB encryption verifier) and
// returns the codec for pages >= 1, or nullptr when pages are stored plainly. A file without
// a password opens whatever password is given, as Access does. raw_page0 is page 0 exactly as
// read from the file (still masked); an encrypted ACCDB needs the whole page.
// Throws jet_crypt_error: 3031 for a wrong or missing password, 3343 for a file that is too
// short, of an unsupported age (Access 1.x/2.0) or with a corrupt or unsupported
// encryption header.
std::unique_ptr<jet_page_codec> jet_open_codec(std::span<const std::uint8_t> raw_page0,
                                               std::u16string_view password);
