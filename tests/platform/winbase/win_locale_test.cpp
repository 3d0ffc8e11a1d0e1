// The code pages Windows pairs with each locale (its "ANSI code page" column of the national
// language support tables), and which environment variable names the locale.

#include "platform/winbase/win_locale.hpp"

#include <gtest/gtest.h>

#include "platform/winbase/win_scoped_env.hpp"

TEST(WinLocaleCodePage, ChineseSplitsByTerritory) {
    EXPECT_EQ(win_locale_code_page("zh_CN.UTF-8"), 936);
    EXPECT_EQ(win_locale_code_page("zh_SG"), 936);
    EXPECT_EQ(win_locale_code_page("zh_TW.Big5"), 950);
    EXPECT_EQ(win_locale_code_page("zh_HK.UTF-8@stroke"), 950);
}

TEST(WinLocaleCodePage, LanguagesNameTheirWindowsCodePage) {
    EXPECT_EQ(win_locale_code_page("ja_JP.eucJP"), 932);
    EXPECT_EQ(win_locale_code_page("ko_KR"), 949);
    EXPECT_EQ(win_locale_code_page("ru_RU.UTF-8"), 1251);
    EXPECT_EQ(win_locale_code_page("uk_UA"), 1251);
    EXPECT_EQ(win_locale_code_page("sr_RS@latin"), 1251);
    EXPECT_EQ(win_locale_code_page("pl_PL.ISO-8859-2"), 1250);
    EXPECT_EQ(win_locale_code_page("sq_AL"), 1250);
    EXPECT_EQ(win_locale_code_page("el_GR.UTF-8"), 1253);
    EXPECT_EQ(win_locale_code_page("az_AZ"), 1254);
    EXPECT_EQ(win_locale_code_page("he_IL"), 1255);
    EXPECT_EQ(win_locale_code_page("fa_IR"), 1256);
    EXPECT_EQ(win_locale_code_page("lt_LT"), 1257);
    EXPECT_EQ(win_locale_code_page("vi_VN"), 1258);
    EXPECT_EQ(win_locale_code_page("th_TH.TIS-620"), 874);
    EXPECT_EQ(win_locale_code_page("el"), 1253);
}

TEST(WinLocaleCodePage, WesternAndNeutralLocalesNameNone) {
    EXPECT_EQ(win_locale_code_page("de_DE.UTF-8"), 0);
    EXPECT_EQ(win_locale_code_page("en_US"), 0);
    EXPECT_EQ(win_locale_code_page("C.UTF-8"), 0);
    EXPECT_EQ(win_locale_code_page("POSIX"), 0);
    EXPECT_EQ(win_locale_code_page(""), 0);
    // A language code is matched whole: "rus" is not Russian, "e" not Greek.
    EXPECT_EQ(win_locale_code_page("rus_RU"), 0);
    EXPECT_EQ(win_locale_code_page("e"), 0);
}

TEST(WinUserLocale, FirstSetVariableWinsInSetlocaleOrder) {
    win_scoped_env all("LC_ALL", nullptr), ctype("LC_CTYPE", "ru_RU.UTF-8");
    win_scoped_env lang("LANG", "ja_JP");
    EXPECT_EQ(win_get_user_locale().variable, "LC_CTYPE");
    EXPECT_EQ(win_get_user_locale().value, "ru_RU.UTF-8");
    {
        win_scoped_env all_set("LC_ALL", "el_GR");
        EXPECT_EQ(win_get_user_locale().value, "el_GR");
    }
    win_scoped_env empty_ctype("LC_CTYPE", "");   // set but empty counts as unset
    EXPECT_EQ(win_get_user_locale().variable, "LANG");
    win_scoped_env no_lang("LANG", nullptr);
    EXPECT_EQ(win_get_user_locale().variable, "");
}
