// jet_jet_password.cpp - compares the Jet 3 / Jet 4 database password. Layout (unmasked):
// Jet 3: 0x42 20 bytes in the file's code page, NUL-padded.
// Jet 4: 0x42 40 bytes UTF-16LE, NUL-padded, XORed with the integer part of the creation
//        date (double at 0x72) as 4 little-endian bytes repeated.
// Access compares case-sensitively; an all-zero field means "no password".
#include "platform/jetcrypt/jet_jet_password.hpp"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include <openssl/crypto.h>

#include "platform/jetcrypt/jet_codec.hpp"
#include "platform/jetcrypt/jet_crypt_bytes.hpp"
#include "platform/jetcrypt/jet_header.hpp"

namespace {

// Windows-1252 for 0x80..0x9F; the rest of the single-byte range is Latin-1. Jet 3 files
// made on other code pages with non-ASCII passwords compare unequal (reported as 3031).
constexpr std::array<char16_t, 32> CP1252_HIGH = {
    0x20AC, 0xFFFF, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFF, 0x017D, 0xFFFF, 0xFFFF, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFF, 0x017E, 0xFFFF};

char16_t cp1252_to_utf16(std::uint8_t byte) {
    if (byte >= 0x80 && byte < 0xA0) return CP1252_HIGH[byte - 0x80];
    return char16_t(byte);
}

// Creation-date mask: Math.floor of the double, as a 32-bit little-endian integer.
std::array<std::uint8_t, 4> jet4_password_mask(const jet_crypt_bytes& header) {
    const std::uint64_t bits = header.u64(JET_OFFSET_CREATION_DATE);
    double date = 0;
    std::memcpy(&date, &bits, sizeof date);
    std::int32_t whole = 0;
    if (std::isfinite(date) && date >= std::numeric_limits<std::int32_t>::min()
        && date <= std::numeric_limits<std::int32_t>::max()) {
        whole = std::int32_t(std::floor(date));
    }
    const auto value = std::uint32_t(whole);
    return {std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16),
            std::uint8_t(value >> 24)};
}

// The stored password as UTF-16 code units, up to its first NUL.
std::u16string stored_password(const jet_crypt_bytes& header, std::uint32_t version) {
    std::u16string stored;
    stored.reserve(JET3_PASSWORD_LENGTH);   // no reallocation leaves a copy behind unwiped
    if (version == JET_VERSION_JET3) {
        for (std::size_t idx = 0; idx < JET3_PASSWORD_LENGTH; ++idx) {
            const std::uint8_t byte = header.u8(JET_OFFSET_PASSWORD + idx);
            if (byte == 0) break;
            stored.push_back(cp1252_to_utf16(byte));
        }
        return stored;
    }
    const std::array<std::uint8_t, 4> mask = jet4_password_mask(header);
    for (std::size_t idx = 0; idx < JET4_PASSWORD_LENGTH; idx += 2) {
        const std::size_t at = JET_OFFSET_PASSWORD + idx;
        const auto low = std::uint8_t(header.u8(at) ^ mask[idx % 4]);
        const auto high = std::uint8_t(header.u8(at + 1) ^ mask[(idx + 1) % 4]);
        const auto unit = char16_t(low | (high << 8));
        if (unit == 0) break;
        stored.push_back(unit);
    }
    return stored;
}

bool equal_in_constant_time(std::u16string_view left, std::u16string_view right) {
    if (left.size() != right.size()) return false;
    char16_t difference = 0;
    for (std::size_t idx = 0; idx < left.size(); ++idx) difference |= left[idx] ^ right[idx];
    return difference == 0;
}

}   // namespace

void jet_check_jet_password(std::span<const std::uint8_t> page0, std::uint32_t version,
                            std::u16string_view password) {
    const jet_crypt_bytes header(page0, "the database header");
    std::u16string stored = stored_password(header, version);
    const bool is_open = stored.empty();
    const bool matches = equal_in_constant_time(stored, password);
    OPENSSL_cleanse(stored.data(), stored.size() * sizeof(char16_t));
    if (is_open || matches) return;
    throw jet_crypt_error(JET_ERR_BAD_PASSWORD, "Not a valid password.");
}
