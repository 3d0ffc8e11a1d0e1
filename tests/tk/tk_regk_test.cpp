// Registry keys over the settings stand-in: the wizard's exchange rules, buffer sizes and
// misuse assertions.
#include "tk/tk_regk.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "tk/tk_exce.hpp"
#include "tk/tk_test_folder.hpp"

namespace {

class RegistryKey : public testing::Test {
protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", config.path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }
    tk_test_folder config;
};

TEST_F(RegistryKey, WizardSettingsSurviveAReopenAndMissingValuesKeepDefaults) {
    {
        tk_reg_key key(TK_VANTREL_KEY);
        std::uint32_t disposition = 0;
        ASSERT_EQ(key.open(set_root::CURRENT_USER, TK_VANTREL_KEY, &disposition), 0);
        EXPECT_EQ(disposition, SET_REG_CREATED_NEW_KEY);
        bool as_dbo = true;
        std::u16string password = u"p=ss\nword \"ü\"";
        key.exchange("as_dbo", as_dbo, true);
        key.exchange(u"acc_pswd", password, true);
    }
    tk_reg_key key(TK_VANTREL_KEY);
    std::uint32_t disposition = 0;
    ASSERT_EQ(key.open(set_root::CURRENT_USER, TK_VANTREL_KEY, &disposition), 0);
    EXPECT_EQ(disposition, SET_REG_OPENED_EXISTING_KEY);
    bool as_dbo = false;
    bool skip_idx = true;
    std::u16string password;
    std::u16string source = u"default.mdb";
    key.exchange("as_dbo", as_dbo, false);
    key.exchange("skip_idx", skip_idx, false);
    key.exchange(u"acc_pswd", password, false);
    key.exchange(u"src", source, false);
    EXPECT_TRUE(as_dbo);
    EXPECT_TRUE(skip_idx);
    EXPECT_EQ(password, u"p=ss\nword \"ü\"");
    EXPECT_EQ(source, u"default.mdb");
    EXPECT_TRUE(std::filesystem::exists(config.file("Orvane/Vantrel.ini")));
}

TEST_F(RegistryKey, StringSizeCountsTheNulAndShortBuffersAreRefused) {
    tk_reg_key key(TK_VANTREL_KEY);
    ASSERT_EQ(key.open(set_root::CURRENT_USER, TK_VANTREL_KEY), 0);
    ASSERT_EQ(key.set_value(u"dest", u"Sales"), 0);
    std::uint32_t size = 0;
    EXPECT_EQ(key.get_value(u"dest", nullptr, &size), SET_ERROR_SUCCESS);
    EXPECT_EQ(size, 12u);   // (5 + 1) * 2
    char16_t short_buffer[3] = {u'x', u'x', u'x'};
    size = sizeof(short_buffer);
    EXPECT_EQ(key.get_value(u"dest", short_buffer, &size), SET_ERROR_MORE_DATA);
    EXPECT_EQ(short_buffer[0], u'x');
    std::uint32_t number = 0;
    EXPECT_EQ(key.get_value("dest", number), SET_ERROR_INVALID_PARAMETER);
    EXPECT_EQ(key.get_value("absent", number), SET_ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryKey, MisuseIsAnAssertionAtItsLine) {
    tk_reg_key key(TK_VANTREL_KEY);
    EXPECT_THROW(key.open(set_root::NONE, TK_VANTREL_KEY), tk_mail_assertion);
    EXPECT_THROW(key.set_value("as_dbo", 1u), tk_mail_assertion);
    try {
        key.set_value(u"src", nullptr);
        FAIL();
    } catch (const tk_mail_assertion& failure) {
        EXPECT_EQ(std::string(failure.what()).substr(22), "746b5f7265676b5c313634");   // \164
    }
    bool untouched = true;
    key.exchange("as_dbo", untouched, true);   // closed key: nothing happens
    key.exchange("as_dbo", untouched, false);
    EXPECT_TRUE(untouched);
}

}   // namespace
