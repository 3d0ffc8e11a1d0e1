// jet_rc4.cpp - the RC4 key schedule and key stream (see jet_rc4.hpp for why it is ours).
#include "platform/jetcrypt/jet_rc4.hpp"

#include <cassert>
#include <utility>

#include <openssl/crypto.h>

jet_rc4::jet_rc4(std::span<const std::uint8_t> key) {
    assert(!key.empty() && "RC4 needs a key of at least one byte");
    for (std::size_t idx = 0; idx < state.size(); ++idx) state[idx] = std::uint8_t(idx);
    std::uint8_t j = 0;
    for (std::size_t idx = 0; idx < state.size(); ++idx) {
        j = std::uint8_t(j + state[idx] + key[idx % key.size()]);
        std::swap(state[idx], state[j]);
    }
}

jet_rc4::~jet_rc4() {
    // The state is as good as the key: it decrypts the rest of the stream.
    OPENSSL_cleanse(state.data(), state.size());
}

void jet_rc4::apply(std::span<std::uint8_t> data) {
    for (std::uint8_t& byte : data) {
        index_i = std::uint8_t(index_i + 1);
        index_j = std::uint8_t(index_j + state[index_i]);
        std::swap(state[index_i], state[index_j]);
        byte ^= state[std::uint8_t(state[index_i] + state[index_j])];
    }
}

void jet_rc4_apply(std::span<const std::uint8_t> key, std::span<std::uint8_t> data) {
    jet_rc4 stream(key);
    stream.apply(data);
}
