// Toolkit conversions: ANSI input from Windows files and the fixed UTF-8 forms.
#include "tk/tk_utf.hpp"

#include <gtest/gtest.h>

namespace {

TEST(AnsiText, Windows1252HighBytesDecodeAsWindowsDoes) {
    EXPECT_EQ(tk_ansi_to_utf16("\x80\x8A\x9F\xE4\xDF"), u"€ŠŸäß");
    EXPECT_EQ(tk_ansi_to_utf8("Stra\xDF" "e"), "Straße");
    EXPECT_EQ(tk_ansi_to_utf16("\x81\x8D\x8F\x90\x9D"), u"\u0081\u008D\u008F\u0090\u009D");
}

TEST(AnsiText, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(tk_utf16_to_ansi(u"€ä日"), "\x80\xE4?");
}

TEST(Utf8Text, SupplementaryCharactersUseFourBytesAndSurrogatePairs) {
    EXPECT_EQ(tk_utf16_to_utf8(u"\U0001D11E"), "\xF0\x9D\x84\x9E");
    EXPECT_EQ(tk_utf8_to_utf16("\xF0\x9D\x84\x9E"), u"\U0001D11E");
}

}  // namespace
