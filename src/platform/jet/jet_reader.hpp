#pragma once
// jet_reader.hpp - the only way the engine reads file bytes: a bounds-checked view with
// explicit little-endian composition. A read past the end raises jet_error 3049 naming the
// page, so a corrupt offset can never read outside the page.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/jet/jet_error.hpp"

class jet_reader {
public:
    jet_reader() = default;
    jet_reader(std::span<const std::uint8_t> view, std::uint32_t page)
        : bytes(view), page_no(page) {}

    std::size_t size() const { return bytes.size(); }
    std::uint32_t page() const { return page_no; }

    // at <= size && length <= size - at; at + length may wrap, so never add first.
    void need(std::size_t at, std::size_t length) const {
        if (at > bytes.size() || length > bytes.size() - at) fail(at, length);
    }
    bool fits(std::size_t at, std::size_t length) const {
        return at <= bytes.size() && length <= bytes.size() - at;
    }

    std::uint8_t u8(std::size_t at) const {
        need(at, 1);
        return bytes[at];
    }
    std::uint16_t u16(std::size_t at) const {
        need(at, 2);
        return std::uint16_t(bytes[at] | (bytes[at + 1] << 8));
    }
    std::uint32_t u24(std::size_t at) const {
        need(at, 3);
        return std::uint32_t(bytes[at]) | (std::uint32_t(bytes[at + 1]) << 8) |
               (std::uint32_t(bytes[at + 2]) << 16);
    }
    std::uint32_t u32(std::size_t at) const {
        need(at, 4);
        return std::uint32_t(bytes[at]) | (std::uint32_t(bytes[at + 1]) << 8) |
               (std::uint32_t(bytes[at + 2]) << 16) | (std::uint32_t(bytes[at + 3]) << 24);
    }
    std::uint64_t u64(std::size_t at) const {
        need(at, 8);
        return std::uint64_t(u32(at)) | (std::uint64_t(u32(at + 4)) << 32);
    }
    std::int16_t i16(std::size_t at) const { return std::int16_t(u16(at)); }
    std::int32_t i32(std::size_t at) const { return std::int32_t(u32(at)); }
    std::int64_t i64(std::size_t at) const { return std::int64_t(u64(at)); }
    float f32(std::size_t at) const { return std::bit_cast<float>(u32(at)); }
    double f64(std::size_t at) const { return std::bit_cast<double>(u64(at)); }

    std::span<const std::uint8_t> span(std::size_t at, std::size_t length) const {
        need(at, length);
        return bytes.subspan(at, length);
    }
    jet_reader sub(std::size_t at, std::size_t length) const {
        return jet_reader(span(at, length), page_no);
    }

    [[noreturn]] void corrupt(const std::string& what) const {
        throw jet_error::corrupt(page_no, what);
    }

private:
    [[noreturn]] void fail(std::size_t at, std::size_t length) const {
        corrupt("a structure of " + std::to_string(length) + " bytes at offset " +
                std::to_string(at) + " passes the end of its " + std::to_string(bytes.size()) +
                " bytes");
    }

    std::span<const std::uint8_t> bytes;
    std::uint32_t page_no = 0;
};
