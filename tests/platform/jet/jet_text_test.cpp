#include "platform/jet/jet_text.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::u16string unicode(std::vector<std::uint8_t> bytes) { return jet_decode_unicode(bytes); }

}   // namespace

TEST(JetUnicodeCompression, DecodesPlainUtf16LittleEndian) {
    EXPECT_EQ(unicode({0x41, 0x00, 0x1F, 0x04}), u"A\u041F");
}

TEST(JetUnicodeCompression, SwitchesBetweenOneAndTwoByteRunsAtZeroBytes) {
    // FF FE, "ab" compressed, switch, U+4E2D as two bytes, switch, "c" compressed.
    EXPECT_EQ(unicode({0xFF, 0xFE, 'a', 'b', 0x00, 0x2D, 0x4E, 0x00, 'c'}), u"ab\u4E2Dc");
    // Compressed bytes above 0x7F are Latin-1 characters, not code-page bytes.
    EXPECT_EQ(unicode({0xFF, 0xFE, 0xE4}), u"\u00E4");
}

TEST(JetUnicodeCompression, KeepsSurrogatePairsAndDropsAnOddTrailingByte) {
    // U+1F600 as D83D DE00, uncompressed.
    std::u16string text = unicode({0x3D, 0xD8, 0x00, 0xDE, 0x41});
    ASSERT_EQ(text.size(), 2u);
    EXPECT_EQ(text[0], 0xD83D);
    EXPECT_EQ(text[1], 0xDE00);
    // Compressed, U+1F601 in a two-byte run (a unit ending in 00 is never compressed).
    EXPECT_EQ(unicode({0xFF, 0xFE, 'a', 0x00, 0x3D, 0xD8, 0x01, 0xDE}), u"a\U0001F601");
}

TEST(JetUnicodeCompression, EmptyAndHeaderOnlyTextsAreEmpty) {
    EXPECT_EQ(unicode({}), u"");
    EXPECT_EQ(unicode({0xFF, 0xFE}), u"");
}

TEST(JetCodePageText, DecodesJet3TextInTheFilesCodePage) {
    jet_text_decoder gbk(true, 936);   // 你好 in GBK
    std::vector<std::uint8_t> bytes{0xC4, 0xE3, 0xBA, 0xC3};
    EXPECT_EQ(gbk.decode(bytes), u"\u4F60\u597D");
    jet_text_decoder western(true, 1252);
    std::vector<std::uint8_t> euro{0x80, 'x'};
    EXPECT_EQ(western.decode(euro), u"\u20ACx");
}

TEST(JetCodePageText, ReplacesBytesTheCodePageLacksAndGoesOn) {
    jet_text_decoder gbk(true, 936);
    // 0xFF is no GBK lead byte; a lead byte cut at the end is incomplete.
    std::vector<std::uint8_t> bytes{'a', 0xFF, 'b', 0xC4};
    EXPECT_EQ(gbk.decode(bytes), u"a\uFFFDb\uFFFD");
}

TEST(JetCodePageText, Jet4IgnoresTheCodePage) {
    jet_text_decoder jet4(false, 936);
    std::vector<std::uint8_t> bytes{0xC4, 0x00};
    EXPECT_EQ(jet4.decode(bytes), u"\u00C4");
}
