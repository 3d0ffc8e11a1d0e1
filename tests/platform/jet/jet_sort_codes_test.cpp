// Text keys of scripts beyond Latin. Expected keys come from index pages Access wrote (the
// shared testUnicodeCompV2003: Greek, Cyrillic, Latin-1, control characters, and Japanese
// kana and ideographs) and from keys worked by hand from the published General legacy code
// tables and the documented layout of a text key: inline codes, 0x01, extra codes (0x02 for
// a character without), then 0x01 0x01, packed 2-bit kana flags with their fixed suffix,
// 0x01 and the codes of skipped punctuation with their place.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "jet_index_entries.hpp"
#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_index_key.hpp"
#include "test_data.hpp"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> bytes(std::initializer_list<int> list) {
    return {list.begin(), list.end()};
}

std::vector<std::uint8_t> key(const std::u16string& text) { return jet_text_index_key(text, true); }

TEST(JetSortCodes, KeysEqualThoseAccessWroteForOtherScripts) {
    fs::path source = fs::path(VANTREL_TESTDATA_DIR) / "jahlborn-jackcess" / "V2003"
                      / "testUnicodeCompV2003.mdb";
    TEST_DATA_REQUIRE(fs::exists(source), source);
    auto access = jet_database::open(source.string(), u"");
    jet_table_def def = access->table_def(u"Table");
    std::vector<jet_test_index> indexes =
        jet_test_index_reader(source.string()).indexes(def.tdef_page);
    auto by_text = std::find_if(indexes.begin(), indexes.end(), [](const jet_test_index& index) {
        return !index.entries.empty() && index.entries.front().key.size() > 5;
    });
    ASSERT_NE(by_text, indexes.end());
    std::vector<std::vector<std::uint8_t>> theirs;
    for (const jet_test_index_entry& entry : by_text->entries) theirs.push_back(entry.key);
    std::size_t compared = 0;
    auto cursor = access->open_cursor(u"Table");
    while (cursor->next()) {
        std::vector<jet_value> row = cursor->values();
        std::vector<std::uint8_t> ours = {0x7F};
        std::vector<std::uint8_t> text = key(row[1].get<std::u16string>());
        ours.insert(ours.end(), text.begin(), text.end());
        EXPECT_NE(std::find(theirs.begin(), theirs.end(), ours), theirs.end())
            << "row " << row[0].get<std::int32_t>();
        ++compared;
    }
    EXPECT_EQ(compared, 8u);
}

TEST(JetSortCodes, LettersOfOtherScriptsTakeTheirCodes) {
    // shin lamed vav final-mem; a final letter sorts as its plain form.
    EXPECT_EQ(key(u"\u05e9\u05dc\u05d5\u05dd"),
              bytes({0x79, 0xA8, 0x79, 0x9F, 0x79, 0x99, 0x79, 0xA0, 0x01, 0x00}));
    EXPECT_EQ(key(u"\u05da"), key(u"\u05db"));
    EXPECT_LT(key(u"\u05d0\u05ea"), key(u"\u05d1"));
    // Thai ko kai carries an extra code of 3.
    EXPECT_EQ(key(u"\u0e01"), bytes({0x7C, 0x98, 0x01, 0x03, 0x00}));
    // Full-width Latin letters share the plain letters' codes.
    EXPECT_EQ(key(u"\uff21\uff42"), key(u"ab"));
    // Vietnamese e with circumflex and dot below: e's code, extra code 0x6A, after e-acute.
    EXPECT_EQ(key(u"\u1ec7"), bytes({0x51, 0x01, 0x6A, 0x00}));
    EXPECT_LT(key(u"\u00e9"), key(u"\u1ec7"));
    EXPECT_LT(key(u"\u1ec7"), key(u"f"));
}

TEST(JetSortCodes, PunctuationAndSymbolsBeyondLatin1) {
    EXPECT_EQ(key(u"\u20ac"), bytes({0x35, 0xA1, 0x01, 0x00}));   // euro sign
    // The en dash is skipped like the hyphen, with its own code in the tail.
    EXPECT_EQ(key(u"a\u2013b"),
              bytes({0x4A, 0x4C, 0x01, 0x01, 0x01, 0x01, 0x80, 0x0B, 0x06, 0x89, 0x00}));
    // Superscript and subscript digits sort as digits.
    EXPECT_EQ(key(u"x\u00b2"), key(u"x\u2082"));
    EXPECT_EQ(key(u"\u2074"), key(u"4"));
}

TEST(JetSortCodes, CombiningMarksChangeTheExtraCodeBeforeThem) {
    // Hebrew hiriq (modifier 0x26) after bet adds to bet's placeholder 0x02.
    EXPECT_EQ(key(u"\u05d1\u05b4"), bytes({0x79, 0x95, 0x01, 0x28, 0x00}));
    // Before any letter it stands alone and does not count as a place for the hyphen.
    EXPECT_EQ(key(u"\u05b4\u05d1-"),
              bytes({0x79, 0x95, 0x01, 0x26, 0x01, 0x01, 0x01, 0x80, 0x0B, 0x06, 0x82, 0x00}));
    // Latin DZ with caron has two extra bytes: the hyphen's place counts both.
    EXPECT_EQ(key(u"\u01c4-"), bytes({0x4F, 0x78, 0x01, 0x02, 0x14, 0x01, 0x01, 0x01, 0x80, 0x0F,
                                      0x06, 0x82, 0x00}));
    EXPECT_EQ(key(u"a\u01c4"), bytes({0x4A, 0x4F, 0x78, 0x01, 0x02, 0x02, 0x14, 0x00}));
}

TEST(JetSortCodes, KanaFlagsArePackedAfterTheExtraCodes) {
    const std::vector<std::uint8_t> suffix = {0xFF, 0x02, 0x80, 0xFF, 0x80};
    auto with_suffix = [&](std::vector<std::uint8_t> head, std::vector<std::uint8_t> tail) {
        head.insert(head.end(), suffix.begin(), suffix.end());
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    // Half-width shi, voicing mark, ri: the bytes Access wrote for hiragana "ji ri" in
    // testUnicodeCompV2003 (7F 13, 7F 43, extra 03, default flags left out).
    EXPECT_EQ(key(u"\uff7c\uff9e\uff98"),
              with_suffix({0x7F, 0x13, 0x7F, 0x43, 0x01, 0x03, 0x01, 0x01}, {0x00}));
    // The hiragana themselves, and katakana sorting with them.
    EXPECT_EQ(key(u"\u3058\u308a"), key(u"\uff7c\uff9e\uff98"));
    EXPECT_EQ(key(u"\u30b8\u30ea"), key(u"\u3058\u308a"));
    // A small kana's flag 2 goes in the top pair of 0x80's low six bits.
    EXPECT_EQ(key(u"\uff67"), with_suffix({0x7F, 0x02, 0x01, 0x01, 0x01, 0xA0}, {0x00}));
    // Trailing default flags (3) are left out; inner ones stay.
    EXPECT_EQ(key(u"\uff67\uff71"),
              with_suffix({0x7F, 0x02, 0x7F, 0x02, 0x01, 0x01, 0x01, 0xA0}, {0x00}));
    EXPECT_EQ(key(u"\uff71\uff67"),
              with_suffix({0x7F, 0x02, 0x7F, 0x02, 0x01, 0x01, 0x01, 0xB8}, {0x00}));
    // Flags before skipped punctuation end with 0xFF.
    EXPECT_EQ(key(u"\uff67-"), with_suffix({0x7F, 0x02, 0x01, 0x01, 0x01, 0xA0},
                                           {0xFF, 0x01, 0x80, 0x0B, 0x06, 0x82, 0x00}));
    // Four kana: two bytes of flags.
    EXPECT_EQ(
        key(u"\uff67\uff67\uff67\uff67"),
        with_suffix({0x7F, 0x02, 0x7F, 0x02, 0x7F, 0x02, 0x7F, 0x02, 0x01, 0x01, 0x01, 0xAA, 0xA0},
                    {0x00}));
}

TEST(JetSortCodes, IdeographsTakeTheCodesAccessWrote) {
    // The two-byte codes Access wrote for "\u6f22\u5b57\u4eee\u540d\u4ea4\u3058\u308a\u6587"
    // (kanji and kana mixed) in testUnicodeCompV2003's index; an ideograph has no extra code.
    EXPECT_EQ(key(u"\u4ea4"), bytes({0x9F, 0xBE, 0x01, 0x00}));
    EXPECT_EQ(key(u"\u4eee"), bytes({0xA0, 0x0D, 0x01, 0x00}));
    EXPECT_EQ(key(u"\u540d"), bytes({0xA5, 0x47, 0x01, 0x00}));
    EXPECT_EQ(key(u"\u5b57"), bytes({0xAC, 0xAC, 0x01, 0x00}));
    EXPECT_EQ(key(u"\u6587"), bytes({0xB6, 0xF6, 0x01, 0x00}));
    EXPECT_EQ(key(u"\u6f22"), bytes({0xC0, 0xB6, 0x01, 0x00}));
    // The first and last unified ideographs, and the compatibility ones sorting after all.
    EXPECT_EQ(key(u"\u4e00"), bytes({0x9F, 0x02, 0x01, 0x00}));
    EXPECT_EQ(key(u"\u9fa5"), bytes({0xF1, 0xB4, 0x01, 0x00}));
    EXPECT_LT(key(u"\u9fa5"), key(u"\uf900"));
}

TEST(JetSortCodes, HangulSyllablesSortAfterTheJamoTheyBeginWith) {
    // Published codes: compatibility jamo kiyeok S8102, ssangkiyeok S8353; the syllables
    // count up from S8103 (ga), passing the jamo codes, to SADC0 (hih, the last).
    EXPECT_EQ(key(u"\uac00"), bytes({0x81, 0x03, 0x01, 0x00}));
    EXPECT_EQ(key(u"\ud7a3"), bytes({0xAD, 0xC0, 0x01, 0x00}));
    EXPECT_EQ(key(u"\u3131"), key(u"\u1100"));   // compatibility and conjoining kiyeok
    // kiyeok < ga < gag < gih (the 588th and last syllable on kiyeok) < ssangkiyeok < kka
    std::vector<std::u16string> ordered = {u"\u3131", u"\uac00", u"\uac01",
                                           u"\uae4b", u"\u3132", u"\uae4c"};
    for (std::size_t at = 1; at < ordered.size(); ++at)
        EXPECT_LT(key(ordered[at - 1]), key(ordered[at])) << at;
    EXPECT_EQ(key(u"\uae4b"), bytes({0x83, 0x52, 0x01, 0x00}));
    EXPECT_EQ(key(u"\uae4c"), bytes({0x83, 0x54, 0x01, 0x00}));
}

TEST(JetSortCodes, SymbolsAndOtherScriptsTakeTheirCodes) {
    EXPECT_EQ(key(u"\u2200"), bytes({0x33, 0x0E, 0x01, 0x00}));         // for all
    EXPECT_EQ(key(u"\u2192"), bytes({0x34, 0x82, 0x01, 0x03, 0x00}));   // rightwards arrow
    // A circled digit sorts as its digit, told apart by its extra code.
    EXPECT_EQ(key(u"\u2460"), bytes({0x38, 0x01, 0xEE, 0x00}));
    EXPECT_LT(key(u"1"), key(u"\u2460"));
    EXPECT_LT(key(u"\u2460"), key(u"2"));
    EXPECT_EQ(key(u"\u0e81"), bytes({0x7D, 0x93, 0x01, 0x00}));   // Lao ko
    EXPECT_EQ(key(u"\u10a0"), key(u"\u10d0"));                    // Georgian an, capital and small
    // Units the order does not weigh (here CJK extension A, beyond its tables) are ignored.
    EXPECT_EQ(key(u"a\u3400b"), key(u"ab"));
}

TEST(JetSortCodes, SurrogatePairsTakeNoPartInAKey) {
    // The General legacy order weighs neither half of a pair: an emoji, or a lone half,
    // leaves the key of the text around it as it was, places of skipped punctuation too.
    EXPECT_EQ(key(u"a\U0001F600b"), bytes({0x4A, 0x4C, 0x01, 0x00}));
    EXPECT_EQ(key({u'a', char16_t(0xD83D), u'b'}), key(u"ab"));
    EXPECT_EQ(key(u"\U0001F600-a"), key(u"-a"));
    EXPECT_EQ(key(u"\u00e9\U00020000"), key(u"\u00e9"));
}

}   // namespace
