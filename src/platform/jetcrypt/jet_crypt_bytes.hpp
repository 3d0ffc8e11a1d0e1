#pragma once
// jet_crypt_bytes.hpp - bounds-checked little-endian reads over the bytes of protection
// headers. Every offset and length taken from a file passes through need() first; a short
// or inconsistent header is a jet_crypt_error(3343), never a read past the buffer.

#include <cstdint>
#include <span>
#include <string>

#include "platform/jetcrypt/jet_codec.hpp"

class jet_crypt_bytes {
public:
    jet_crypt_bytes(std::span<const std::uint8_t> bytes, const char* what)
        : bytes(bytes), what(what) {}

    std::size_t size() const { return bytes.size(); }
    std::uint8_t u8(std::size_t at) const { need(at, 1); return bytes[at]; }
    std::uint16_t u16_le(std::size_t at) const {
        need(at, 2);
        return std::uint16_t(bytes[at] | (bytes[at + 1] << 8));
    }
    std::uint32_t u32_le(std::size_t at) const {
        need(at, 4);
        return std::uint32_t(bytes[at]) | (std::uint32_t(bytes[at + 1]) << 8) |
               (std::uint32_t(bytes[at + 2]) << 16) | (std::uint32_t(bytes[at + 3]) << 24);
    }
    std::uint64_t u64_le(std::size_t at) const {
        return std::uint64_t(u32_le(at)) | (std::uint64_t(u32_le(at + 4)) << 32);
    }
    // The sub-range [at, at + length), checked; the result names the same structure.
    jet_crypt_bytes sub(std::size_t at, std::size_t length) const {
        need(at, length);
        return jet_crypt_bytes(bytes.subspan(at, length), what);
    }
    std::span<const std::uint8_t> span(std::size_t at, std::size_t length) const {
        need(at, length);
        return bytes.subspan(at, length);
    }

    // Throws jet_crypt_error(3343) unless [at, at + length) lies inside the bytes.
    void need(std::size_t at, std::size_t length) const {
        if (at <= bytes.size() && length <= bytes.size() - at) return;
        throw jet_crypt_error(JET_ERR_UNRECOGNIZED_FORMAT,
                              std::string("Unrecognized database format: ") + what +
                                  " is truncated or corrupt");
    }

private:
    std::span<const std::uint8_t> bytes;
    const char* what;
};
