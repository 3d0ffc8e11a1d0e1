// Case-blind comparison by simple case folding: the scripts names are written in, and what
// simple folding deliberately does not do.
#include "platform/winbase/win_compare.hpp"

#include <gtest/gtest.h>

namespace {

TEST(CaseFolding, OneToOneFoldsAcrossScripts) {
    EXPECT_TRUE(win_equal_ignore_case(u"ÄRGER", u"ärger"));             // Latin-1
    EXPECT_TRUE(win_equal_ignore_case(u"ŁÓDŹ Œuvre", u"łódź œUVRE"));   // Latin Extended-A
    EXPECT_TRUE(win_equal_ignore_case(u"Ǆ ǅ Ș", u"ǆ ǆ ș"));             // Latin Extended-B
    EXPECT_TRUE(win_equal_ignore_case(u"ΣΟΦΊΑ", u"σοφία"));             // Greek
    EXPECT_TRUE(win_equal_ignore_case(u"ς", u"Σ"));                     // final sigma
    EXPECT_TRUE(win_equal_ignore_case(u"МОСКВА", u"москва"));           // Cyrillic
    EXPECT_TRUE(win_equal_ignore_case(u"ՀԱՅԵՐԵՆ", u"հայերեն"));         // Armenian
    EXPECT_TRUE(win_equal_ignore_case(u"ＡＢＣ", u"ａｂｃ"));           // full-width
    EXPECT_TRUE(win_equal_ignore_case(u"\U00010400", u"\U00010428"));   // Deseret pair
    EXPECT_TRUE(win_equal_ignore_case(u"K", u"\u212A"));                // Kelvin sign
}

TEST(CaseFolding, WhatSimpleFoldingKeepsApart) {
    EXPECT_FALSE(win_equal_ignore_case(u"Straße", u"STRASSE"));   // ß -> ss is full folding
    EXPECT_TRUE(win_equal_ignore_case(u"Straße", u"STRAẞE"));     // capital sharp s folds
    EXPECT_FALSE(win_equal_ignore_case(u"é", u"e\u0301"));        // no normalisation
    EXPECT_FALSE(win_equal_ignore_case(u"İ", u"i"));              // Turkic only
    EXPECT_FALSE(win_equal_ignore_case(u"ab", u"abc"));
}

TEST(CaseFolding, OrderIsByFoldedCodePoint) {
    EXPECT_LT(win_compare_ignore_case(u"apple", u"BANANA"), 0);
    EXPECT_GT(win_compare_ignore_case(u"Zebra", u"apple"), 0);
    EXPECT_LT(win_compare_ignore_case(u"ab", u"ABC"), 0);
    // Code point order, not code unit order: U+10000 sorts after U+FF21.
    EXPECT_GT(win_compare_ignore_case(u"\U00010000", u"\uFF41"), 0);
}

TEST(CaseFolding, PlatformCallFormWithLengthsAndFlags) {
    EXPECT_EQ(
        CompareStringW(WIN_LOCALE_SYSTEM_DEFAULT, WIN_NORM_IGNORECASE, u"TABLE", -1, u"table", -1),
        WIN_CSTR_EQUAL);
    EXPECT_EQ(CompareStringW(WIN_LOCALE_SYSTEM_DEFAULT, 0, u"TABLE", -1, u"table", -1),
              WIN_CSTR_LESS_THAN);
    EXPECT_EQ(CompareStringW(WIN_LOCALE_SYSTEM_DEFAULT, WIN_NORM_IGNORECASE, u"Ordersxx", 6,
                             u"ORDERS", 6),
              WIN_CSTR_EQUAL);
    EXPECT_EQ(CompareStringW(WIN_LOCALE_SYSTEM_DEFAULT, 0, nullptr, -1, u"x", -1), 0);
}

TEST(CaseFolding, LoneSurrogatesCompareAsThemselves) {
    const std::u16string lone = {u'a', 0xD801};
    EXPECT_TRUE(win_equal_ignore_case(lone, std::u16string{u'A', 0xD801}));
    EXPECT_FALSE(win_equal_ignore_case(lone, u"a\U00010428"));
}

}   // namespace
