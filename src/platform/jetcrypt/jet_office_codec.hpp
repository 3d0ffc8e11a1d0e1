#pragma once
// jet_office_codec.hpp - encrypted ACCDB files: the Office encryption header that follows
// the database header (length at 0x299, info from 0x29B) names RC4 CryptoAPI or agile
// (AES) encryption; the password is checked against its verifier.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "platform/jetcrypt/jet_codec.hpp"

// page0 is unmasked. Throws jet_crypt_error 3031 for a wrong password, 3343 for an
// unsupported or corrupt encryption header.
std::unique_ptr<jet_page_codec> jet_open_office_codec(
    std::span<const std::uint8_t> page0, const std::array<std::uint8_t, 4>& encoding_key,
    std::u16string_view password);
