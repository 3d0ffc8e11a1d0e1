#pragma once
// jet_office_agile_codec.hpp - encrypted ACCDB files with agile encryption (version 4.4,
// Access 2010 and later): AES with SHA-1 or SHA-2 and a spin count.

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/jetcrypt/jet_codec.hpp"
#include "platform/jetcrypt/jet_crypt_bytes.hpp"

// info starts at the version fields. Throws jet_crypt_error 3031 for a wrong password, 3343
// for an unsupported or corrupt descriptor.
std::unique_ptr<jet_page_codec> jet_open_office_agile_codec(
    const jet_crypt_bytes& info, const std::array<std::uint8_t, 4>& encoding_key,
    std::u16string_view password);
