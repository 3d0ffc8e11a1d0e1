#pragma once
// jet_byte_writer.hpp - the only way the writer puts integers into pages and rows: explicit
// little-endian stores into a span (bounds asserted, since every offset is our own layout)
// and appends onto a growing buffer.

#include <bit>
#include <cassert>
#include <cstdint>
#include <span>
#include <vector>

inline void jet_put_u8(std::span<std::uint8_t> bytes, std::size_t at, std::uint8_t value) {
    assert(at < bytes.size() && "a store past the page is a layout fault of the writer");
    bytes[at] = value;
}

inline void jet_put_u16(std::span<std::uint8_t> bytes, std::size_t at, std::uint16_t value) {
    jet_put_u8(bytes, at, std::uint8_t(value));
    jet_put_u8(bytes, at + 1, std::uint8_t(value >> 8));
}

inline void jet_put_u24(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value) {
    jet_put_u16(bytes, at, std::uint16_t(value));
    jet_put_u8(bytes, at + 2, std::uint8_t(value >> 16));
}

inline void jet_put_u32(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value) {
    jet_put_u16(bytes, at, std::uint16_t(value));
    jet_put_u16(bytes, at + 2, std::uint16_t(value >> 16));
}

inline void jet_put_u64(std::span<std::uint8_t> bytes, std::size_t at, std::uint64_t value) {
    jet_put_u32(bytes, at, std::uint32_t(value));
    jet_put_u32(bytes, at + 4, std::uint32_t(value >> 32));
}

// A buffer that grows as a structure is laid out.
class jet_byte_buffer {
public:
    void u8(std::uint8_t value) { bytes.push_back(value); }
    void u16(std::uint16_t value) {
        grow(2);
        jet_put_u16(bytes, bytes.size() - 2, value);
    }
    void u32(std::uint32_t value) {
        grow(4);
        jet_put_u32(bytes, bytes.size() - 4, value);
    }
    void u64(std::uint64_t value) {
        grow(8);
        jet_put_u64(bytes, bytes.size() - 8, value);
    }
    void f32(float value) { u32(std::bit_cast<std::uint32_t>(value)); }
    void f64(double value) { u64(std::bit_cast<std::uint64_t>(value)); }
    void append(std::span<const std::uint8_t> data) {
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    void zeros(std::size_t count) { bytes.resize(bytes.size() + count, 0); }
    std::size_t size() const { return bytes.size(); }
    std::vector<std::uint8_t>& data() { return bytes; }

private:
    void grow(std::size_t count) { bytes.resize(bytes.size() + count); }

    std::vector<std::uint8_t> bytes;
};
