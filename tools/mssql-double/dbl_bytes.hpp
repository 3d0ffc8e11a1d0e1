#pragma once
// dbl_bytes.hpp - bounds-checked little-endian reading and writing of TDS payloads.
// Every length a client sends is checked before use: a short or inconsistent payload
// raises dbl_short_input, which the session turns into a protocol error and a hang-up.

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

struct dbl_short_input : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class dbl_reader {
public:
    explicit dbl_reader(std::span<const std::uint8_t> data) : bytes(data) {}
    // `b_more_may_follow`: the bytes are what has arrived of a message that goes on, so a
    // length beyond them is no fault yet (dbl_bulk_stream reads on and decodes again).
    dbl_reader(std::span<const std::uint8_t> data, bool b_more_may_follow)
        : bytes(data), b_partial(b_more_may_follow) {}

    std::size_t position() const { return at; }
    std::size_t remaining() const { return bytes.size() - at; }
    bool at_end() const { return at == bytes.size(); }
    bool is_partial() const { return b_partial; }

    std::uint8_t u8() {
        need(1);
        return bytes[at++];
    }
    std::uint16_t u16_le() {
        need(2);
        std::uint16_t value = std::uint16_t(bytes[at] | (bytes[at + 1] << 8));
        at += 2;
        return value;
    }
    std::uint16_t u16_be() {
        need(2);
        std::uint16_t value = std::uint16_t((bytes[at] << 8) | bytes[at + 1]);
        at += 2;
        return value;
    }
    std::uint32_t u32_le() {
        std::uint32_t low = u16_le();
        return low | (std::uint32_t(u16_le()) << 16);
    }
    std::uint64_t u64_le() {
        std::uint64_t low = u32_le();
        return low | (std::uint64_t(u32_le()) << 32);
    }
    std::span<const std::uint8_t> take(std::size_t count) {
        need(count);
        auto part = bytes.subspan(at, count);
        at += count;
        return part;
    }
    void skip(std::size_t count) { take(count); }
    // Text in UTF-16LE, count in characters.
    std::u16string utf16(std::size_t chars) {
        auto raw = take(chars * 2);
        std::u16string text(chars, u'\0');
        for (std::size_t i = 0; i < chars; ++i)
            text[i] = char16_t(raw[2 * i] | (raw[2 * i + 1] << 8));
        return text;
    }

private:
    void need(std::size_t count) const {
        if (count > bytes.size() - at) throw dbl_short_input("payload ends early");
    }

    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
    bool b_partial = false;
};

class dbl_writer {
public:
    std::vector<std::uint8_t> bytes;

    void u8(std::uint8_t value) { bytes.push_back(value); }
    void u16_le(std::uint16_t value) {
        u8(value & 0xFF);
        u8(value >> 8);
    }
    void u16_be(std::uint16_t value) {
        u8(value >> 8);
        u8(value & 0xFF);
    }
    void u32_le(std::uint32_t value) {
        u16_le(value & 0xFFFF);
        u16_le(value >> 16);
    }
    void u32_be(std::uint32_t value) {
        u16_be(value >> 16);
        u16_be(value & 0xFFFF);
    }
    void u64_le(std::uint64_t value) {
        u32_le(std::uint32_t(value));
        u32_le(value >> 32);
    }
    void raw(std::span<const std::uint8_t> data) {
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    void raw(const std::string& data) { bytes.insert(bytes.end(), data.begin(), data.end()); }
    void utf16(const std::u16string& text) {
        for (char16_t c : text) u16_le(c);
    }
    // B_VARCHAR: one-byte character count; callers keep names under 256 characters.
    void b_varchar(const std::u16string& text) {
        u8(std::uint8_t(std::min<std::size_t>(text.size(), 255)));
        utf16(text.substr(0, 255));
    }
    // US_VARCHAR: two-byte character count.
    void us_varchar(const std::u16string& text) {
        u16_le(std::uint16_t(std::min<std::size_t>(text.size(), 65535)));
        utf16(text.substr(0, 65535));
    }
    std::size_t size() const { return bytes.size(); }
    void patch_u16_le(std::size_t at, std::uint16_t value) {
        bytes.at(at) = value & 0xFF;
        bytes.at(at + 1) = value >> 8;
    }
};
