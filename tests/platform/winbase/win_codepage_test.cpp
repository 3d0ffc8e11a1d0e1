// Code-page conversions: invalid UTF-8 is replaced by maximal subparts as the Unicode
// standard's own example (chapter 3, "U+FFFD Substitution of Maximal Subparts") shows.
#include "platform/winbase/win_codepage.hpp"

#include <gtest/gtest.h>

namespace {

std::u16string decode(std::string_view bytes, std::size_t* replaced = nullptr) {
    return win_utf8_to_utf16(bytes, replaced);
}

TEST(Utf8Decoding, StandardExampleOfMaximalSubparts) {
    std::size_t replaced = 0;
    EXPECT_EQ(decode("\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64", &replaced),
              u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd");
    EXPECT_EQ(replaced, 6u);
}

TEST(Utf8Decoding, OverlongsSurrogatesAndTooLargeAreRefusedBytewise) {
    EXPECT_EQ(decode("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(decode("\xE0\x80\xAF"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(decode("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(decode("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(decode("\xF5\x80"), u"\uFFFD\uFFFD");
}

TEST(Utf8Decoding, TruncatedSequenceAtTheEndIsOneReplacement) {
    EXPECT_EQ(decode("ab\xF0\x9F\x98"), u"ab\uFFFD");
    EXPECT_EQ(decode(std::string_view("\0x", 2)), std::u16string(u"\0x", 2));
}

TEST(Utf16Encoding, UnpairedSurrogatesBecomeReplacements) {
    std::size_t replaced = 0;
    const std::u16string text = {u'a', 0xD800, u'b', 0xDC00, 0xD800};
    EXPECT_EQ(win_utf16_to_utf8(text, &replaced), "a\xEF\xBF\xBD"
                                                  "b\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(replaced, 3u);
}

TEST(Windows1252, HighBytesDecodeAsWindowsDoesAndComeBack) {
    EXPECT_EQ(win_cp1252_to_utf16("\x80\x8A\x9F\xE4\xDF"), u"€ŠŸäß");
    EXPECT_EQ(win_cp1252_to_utf8("Stra\xDF"
                                 "e"),
              "Straße");
    EXPECT_EQ(win_cp1252_to_utf16("\x81\x8D\x8F\x90\x9D"), u"\u0081\u008D\u008F\u0090\u009D");
    for (int byte = 0; byte < 256; ++byte) {
        const std::string narrow(1, char(byte));
        EXPECT_EQ(win_utf16_to_cp1252(win_cp1252_to_utf16(narrow)), narrow) << byte;
    }
    EXPECT_EQ(win_utf16_to_cp1252(u"€ä日"), "\x80\xE4?");
}

}   // namespace
