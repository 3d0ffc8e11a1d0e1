#pragma once
// jet_office_binary_codec.hpp - encrypted ACCDB files whose encryption info is binary
// ([MS-OFFCRYPTO] versions 2/3/4.2): RC4 CryptoAPI (Access 2007), standard AES encryption
// and the "non-standard" AES variant Access writes when Office's compatibility mode is off
// (the CryptoAPI flag without the AES flag, AES named by the algorithm id, no spin loop).

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/jetcrypt/jet_codec.hpp"
#include "platform/jetcrypt/jet_crypt_bytes.hpp"

// info starts at the version fields. Throws jet_crypt_error 3031 for a wrong password, 3343
// for an unsupported or corrupt header.
std::unique_ptr<jet_page_codec> jet_open_office_binary_codec(
    const jet_crypt_bytes& info, const std::array<std::uint8_t, 4>& encoding_key,
    std::u16string_view password);
