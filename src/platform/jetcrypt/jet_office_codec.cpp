// jet_office_codec.cpp - reads the Office encryption info of an ACCDB and hands it to the
// codec of its kind. 0x299 2 length n; 0x29B n bytes: major 2, minor 2, then the kind's own.
// 4.4 agile; 2/3/4.2 binary (RC4 CryptoAPI, AES, non-standard AES); 1.1 (Office 97 RC4)
// and 3/4.3 (extensible, external providers) are not written by Access and are refused.
#include "platform/jetcrypt/jet_office_codec.hpp"

#include <string>

#include "platform/jetcrypt/jet_crypt_bytes.hpp"
#include "platform/jetcrypt/jet_office_agile_codec.hpp"
#include "platform/jetcrypt/jet_office_binary_codec.hpp"

namespace {

constexpr std::size_t CRYPT_INFO_LENGTH_OFFSET = 0x299;

}   // namespace

std::unique_ptr<jet_page_codec> jet_open_office_codec(
    std::span<const std::uint8_t> page0, const std::array<std::uint8_t, 4>& encoding_key,
    std::u16string_view password) {
    const jet_crypt_bytes header(page0, "the encryption header");
    const std::uint16_t info_length = header.u16(CRYPT_INFO_LENGTH_OFFSET);
    const jet_crypt_bytes info = header.sub(CRYPT_INFO_LENGTH_OFFSET + 2, info_length);
    const std::uint16_t major = info.u16(0);
    const std::uint16_t minor = info.u16(2);
    if (major == 4 && minor == 4) {
        return jet_open_office_agile_codec(info, encoding_key, password);
    }
    if ((major == 2 || major == 3 || major == 4) && minor == 2) {
        return jet_open_office_binary_codec(info, encoding_key, password);
    }
    throw jet_crypt_error(JET_ERR_UNRECOGNIZED_FORMAT,
                          "Unrecognized database format: encryption version "
                              + std::to_string(major) + "." + std::to_string(minor)
                              + " is not supported");
}
