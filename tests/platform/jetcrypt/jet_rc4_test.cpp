// Known RC4 vectors: the three classic ones and RFC 6229 (key 0x0102030405, offset 0).
#include "platform/jetcrypt/jet_rc4.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> bytes_of(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<std::uint8_t> encrypt(const std::string& key, const std::string& plain) {
    std::vector<std::uint8_t> data = bytes_of(plain);
    jet_rc4_apply(bytes_of(key), data);
    return data;
}

}   // namespace

TEST(JetRc4, MatchesPublishedVectors) {
    EXPECT_EQ(encrypt("Key", "Plaintext"),
              (std::vector<std::uint8_t>{0xBB, 0xF3, 0x16, 0xE8, 0xD9, 0x40, 0xAF, 0x0A, 0xD3}));
    EXPECT_EQ(encrypt("Wiki", "pedia"), (std::vector<std::uint8_t>{0x10, 0x21, 0xBF, 0x04, 0x20}));
    EXPECT_EQ(encrypt("Secret", "Attack at dawn"),
              (std::vector<std::uint8_t>{0x45, 0xA0, 0x1F, 0x64, 0x5F, 0xC3, 0x5B, 0x38, 0x35, 0x52,
                                         0x54, 0x4B, 0x9B, 0xF5}));
}

TEST(JetRc4, KeyStreamContinuesAcrossCalls) {
    // RFC 6229, 40-bit key 0102030405: the first 16 bytes of key stream, fetched in two calls
    // so a stream that restarts per call fails.
    const std::vector<std::uint8_t> key = {0x01, 0x02, 0x03, 0x04, 0x05};
    std::vector<std::uint8_t> stream(16, 0);
    jet_rc4 rc4(key);
    rc4.apply(std::span(stream).first(5));
    rc4.apply(std::span(stream).subspan(5));
    EXPECT_EQ(stream, (std::vector<std::uint8_t>{0xb2, 0x39, 0x63, 0x05, 0xf0, 0x3d, 0xc0, 0x27,
                                                 0xcc, 0xc3, 0x52, 0x4a, 0x0a, 0x11, 0x18, 0xa8}));
}
