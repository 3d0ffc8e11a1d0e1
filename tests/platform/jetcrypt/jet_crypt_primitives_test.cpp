// jet_secret hands key material over on a move: the new owner holds the bytes, the old one
// holds none (so nothing is left for a second wipe), and a secret moved onto itself keeps them.
#include "platform/jetcrypt/jet_crypt_primitives.hpp"

#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

namespace {

constexpr std::array<std::uint8_t, 4> KEY = {0x10, 0x20, 0x30, 0x40};

std::vector<std::uint8_t> bytes_of(const jet_secret& secret) {
    return {secret.view().begin(), secret.view().end()};
}

}   // namespace

TEST(JetSecretMove, HandsTheBytesOverAndLeavesNoneBehind) {
    jet_secret original{KEY};
    const jet_secret constructed{std::move(original)};
    EXPECT_EQ(bytes_of(constructed), std::vector<std::uint8_t>(KEY.begin(), KEY.end()));
    EXPECT_EQ(original.size(), 0U);   // moved from: empty, not a copy

    jet_secret source{KEY};
    jet_secret target{std::array<std::uint8_t, 2>{0xAA, 0xBB}};
    target = std::move(source);
    EXPECT_EQ(bytes_of(target), std::vector<std::uint8_t>(KEY.begin(), KEY.end()));
    EXPECT_EQ(source.size(), 0U);   // moved from: empty, not a copy
}

TEST(JetSecretMove, KeepsItsBytesWhenMovedOntoItself) {
    jet_secret secret{KEY};
    jet_secret& same = secret;
    secret = std::move(same);   // a wipe before the hand-over would lose the key
    EXPECT_EQ(bytes_of(secret), std::vector<std::uint8_t>(KEY.begin(), KEY.end()));
}
