// jet_office_codec.cpp - reads the Office encryption header of an ACCDB and hands it to the
// codec of its kind. 0x298 2 length; 0x29A major 2, minor 2, then the kind's own fields.
#include "platform/jetcrypt/jet_office_codec.hpp"

#include <string>

#include "platform/jetcrypt/jet_crypt_bytes.hpp"

std::unique_ptr<jet_page_codec> jet_open_office_codec(
    std::span<const std::uint8_t> page0, const std::array<std::uint8_t, 4>&,
    std::u16string_view) {
    const jet_crypt_bytes header(page0, "the encryption header");
    const std::uint16_t major = header.u16_le(0x29A);
    const std::uint16_t minor = header.u16_le(0x29C);
    throw jet_crypt_error(JET_ERR_UNRECOGNIZED_FORMAT,
                          "Unrecognized database format: encryption version " +
                              std::to_string(major) + "." + std::to_string(minor) +
                              " is not supported");
}
