// Randomised conversions, judged against glibc's iconv: valid text must convert exactly as
// iconv does and come back unchanged; text iconv refuses must be reported as replaced, and
// whatever comes out is well-formed. Runs under the sanitizers with the fuzz label.
#include "platform/winbase/win_codepage.hpp"

#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <random>

namespace {

// iconv's strict UTF-8 -> UTF-16LE, nullopt when it refuses the input.
std::optional<std::u16string> iconv_utf8_to_utf16(const std::string& bytes) {
    iconv_t converter = iconv_open("UTF-16LE", "UTF-8");
    std::string input = bytes;
    std::string output(bytes.size() * 2 + 8, '\0');
    char* in = input.data();
    char* out = output.data();
    std::size_t in_left = input.size();
    std::size_t out_left = output.size();
    const std::size_t result = iconv(converter, &in, &in_left, &out, &out_left);
    iconv_close(converter);
    if (result == std::size_t(-1)) return std::nullopt;
    std::u16string wide;
    for (std::size_t at = 0; at + 1 < output.size() - out_left; at += 2) {
        wide.push_back(char16_t(std::uint8_t(output[at]) | (std::uint8_t(output[at + 1]) << 8)));
    }
    return wide;
}

bool is_well_formed_utf16(const std::u16string& text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] >= 0xDC00 && text[at] <= 0xDFFF) return false;
        if (text[at] < 0xD800 || text[at] > 0xDBFF) continue;
        if (at + 1 >= text.size() || text[at + 1] < 0xDC00 || text[at + 1] > 0xDFFF) return false;
        ++at;
    }
    return true;
}

std::string random_bytes(std::mt19937& random) {
    // Mostly bytes that make UTF-8 structure, so sequences are often nearly valid.
    static const std::uint8_t INTERESTING[] = {0x00, 0x41, 0x7F, 0x80, 0xBF, 0xC0, 0xC2, 0xDF,
                                               0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF, 0xA0};
    std::string bytes(random() % 24, '\0');
    for (char& byte : bytes) {
        byte = char(random() % 2 ? INTERESTING[random() % 16] : random() % 256);
    }
    return bytes;
}

TEST(CodepageFuzz, RandomBytesAgreeWithIconvOrAreReported) {
    std::mt19937 random(20261207);
    for (int round_idx = 0; round_idx < 20000; ++round_idx) {
        const std::string bytes = random_bytes(random);
        std::size_t replaced = 0;
        const std::u16string ours = win_utf8_to_utf16(bytes, &replaced);
        ASSERT_TRUE(is_well_formed_utf16(ours));
        const std::optional<std::u16string> reference = iconv_utf8_to_utf16(bytes);
        if (reference) {
            ASSERT_EQ(replaced, 0u);
            ASSERT_EQ(ours, *reference);
            ASSERT_EQ(win_utf16_to_utf8(ours), bytes);
        } else {
            ASSERT_GT(replaced, 0u);
        }
    }
}

TEST(CodepageFuzz, RandomUtf16RoundTripsWhenWellFormed) {
    std::mt19937 random(7);
    for (int round_idx = 0; round_idx < 20000; ++round_idx) {
        std::u16string text(random() % 16, u'\0');
        for (char16_t& unit : text) {
            unit = char16_t(random() % 3 == 0 ? 0xD7F0 + random() % 0x820 : random() % 0x10000);
        }
        std::size_t replaced = 0;
        const std::string narrow = win_utf16_to_utf8(text, &replaced);
        const std::u16string back = win_utf8_to_utf16(narrow);
        if (is_well_formed_utf16(text)) {
            ASSERT_EQ(replaced, 0u);
            ASSERT_EQ(back, text);
        } else {
            ASSERT_GT(replaced, 0u);
            ASSERT_TRUE(is_well_formed_utf16(back));
            ASSERT_EQ(back.size(), text.size());   // one U+FFFD per unpaired unit
        }
    }
}

}   // namespace
