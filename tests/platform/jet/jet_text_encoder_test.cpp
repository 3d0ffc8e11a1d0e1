// Unicode compression, hand-worked against the layout Access uses (0xFF 0xFE, one-byte runs
// first, 0x00 switching to two-byte units and back).
#include "platform/jet/jet_text_encoder.hpp"

#include <gtest/gtest.h>

#include "platform/jet/jet_text.hpp"

using bytes = std::vector<std::uint8_t>;

TEST(JetEncodeUnicode, CompressesLatinTextToOneBytePerCharacter) {
    EXPECT_EQ(jet_encode_unicode(u"abc", true), (bytes{0xFF, 0xFE, 'a', 'b', 'c'}));
    EXPECT_EQ(jet_encode_unicode(u"\u00e9t\u00e9", true), (bytes{0xFF, 0xFE, 0xE9, 't', 0xE9}));
}

TEST(JetEncodeUnicode, SwitchesRunsForMixedScripts) {
    // abcd, then U+65E5 as E5 65 in a two-byte run, then back for efgh: 14 bytes, not 18
    EXPECT_EQ(jet_encode_unicode(u"abcd\u65e5efgh", true),
              (bytes{0xFF, 0xFE, 'a', 'b', 'c', 'd', 0x00, 0xE5, 0x65, 0x00, 'e', 'f', 'g', 'h'}));
    // the same switches cost more than they save in a short text: stored plainly
    EXPECT_EQ(jet_encode_unicode(u"a\u65e5b", true).size(), 6u);
}

TEST(JetEncodeUnicode, StoresPlainlyWhenCompressionCannotHelpOrCannotBeRead) {
    EXPECT_EQ(jet_encode_unicode(u"\u65e5\u672c", true), (bytes{0xE5, 0x65, 0x2C, 0x67}));
    // U+0100's low byte would read back as a run switch
    EXPECT_EQ(jet_encode_unicode(u"a\u0100", true), (bytes{'a', 0, 0x00, 0x01}));
    EXPECT_EQ(jet_encode_unicode(std::u16string(u"x\0y", 3), true), (bytes{'x', 0, 0, 0, 'y', 0}));
    EXPECT_EQ(jet_encode_unicode(u"abc", false), (bytes{'a', 0, 'b', 0, 'c', 0}));
    EXPECT_EQ(jet_encode_unicode(std::u16string(1025, u'a'), true).size(), 2050u);
    EXPECT_TRUE(jet_encode_unicode(u"", true).empty());
}

TEST(JetEncodeUnicode, ReadsBackThroughTheDecoder) {
    const std::u16string scripts = u"Gr\u00fc\u00dfe \u041f\u0440\u0438\u0432\u0435\u0442 "
                                   u"\u65e5\u672c \U0001F600 \u0645\u0631\u062d";
    for (const std::u16string& text :
         {scripts, std::u16string(1024, u'z'), std::u16string(u"\u00ff\u0101")}) {
        EXPECT_EQ(jet_decode_unicode(jet_encode_unicode(text, true)), text);
    }
}
