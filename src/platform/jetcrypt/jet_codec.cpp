// jet_codec.cpp - chooses the protection of a file from its page 0: Jet 3 / Jet 4 check the
// header password and may encode pages with RC4; ACE files with a non-zero encoding key are
// Office-encrypted (see jet_office_codec). Access 1.x/2.0 files are refused.
#include "platform/jetcrypt/jet_codec.hpp"

#include <algorithm>
#include <vector>

#include "platform/jetcrypt/jet_crypt_bytes.hpp"
#include "platform/jetcrypt/jet_header.hpp"
#include "platform/jetcrypt/jet_jet_password.hpp"
#include "platform/jetcrypt/jet_office_codec.hpp"
#include "platform/jetcrypt/jet_rc4_page_codec.hpp"

namespace {

std::array<std::uint8_t, 4> encoding_key_of(const jet_crypt_bytes& header) {
    const std::span<const std::uint8_t> key = header.span(JET_OFFSET_ENCODING_KEY, 4);
    return {key[0], key[1], key[2], key[3]};
}

bool is_zero(const std::array<std::uint8_t, 4>& key) {
    return std::all_of(key.begin(), key.end(), [](std::uint8_t byte) { return byte == 0; });
}

}   // namespace

std::unique_ptr<jet_page_codec> jet_open_codec(std::span<const std::uint8_t> raw_page0,
                                               std::u16string_view password) {
    const std::uint32_t version = jet_header_version(raw_page0);
    std::vector<std::uint8_t> page0(raw_page0.begin(), raw_page0.end());
    jet_unmask_header(page0);
    const jet_crypt_bytes header(page0, "the database header");
    const std::array<std::uint8_t, 4> encoding_key = encoding_key_of(header);

    if (version > JET_VERSION_JET4) {   // ACE
        if (is_zero(encoding_key)) return nullptr;
        return jet_open_office_codec(page0, encoding_key, password);
    }
    jet_check_jet_password(page0, version, password);
    if (is_zero(encoding_key)) return nullptr;
    return std::make_unique<jet_rc4_page_codec>(encoding_key);
}
