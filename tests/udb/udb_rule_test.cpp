// udb_rule_test.cpp - the conversion-rule registry and the GUID rule: which columns and values
// a rule takes, the text it gives, the order in which rules answer, and what the
// destination hears when no run has a registry.
#include "udb/udb_rule.hpp"

#include <gtest/gtest.h>

#include "platform/oleaut/oleaut_types.hpp"
#include "udb/udb_test_util.hpp"

namespace {

const std::u16string GUID_TEXT = u"{guid {0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}}";
const std::u16string BRACED = u"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";

// The value a replication-ID column hands over: a GUID, not its text.
ole_variant replication_id() {
    GUID guid{};
    EXPECT_EQ(guid_from_wstring(BRACED, &guid), S_OK);
    return ole_variant(guid);
}

t_ftd guid_column(std::uint32_t reserved) {
    return t_ftd(16, u"ReplicaID", VT_BLOB, false, false, ole_variant(), reserved);
}

// The GUID rule with the declaration a destination would give it.
class text_guid_rule : public basic_guid_rule {
public:
    udb_column_desc& handle1_1(const t_ftd&, udb_column_desc& desc) const override {
        desc.column_size = 38;
        return desc;
    }
};

// Takes every column and value and leaves its mark, so tests see which rule answered.
class marking_rule : public udb_conversion_rule {
public:
    explicit marking_rule(std::u16string new_mark, bool* new_destroyed = nullptr)
        : mark(std::move(new_mark)), destroyed(new_destroyed) {}
    ~marking_rule() override {
        if (destroyed != nullptr) *destroyed = true;
    }
    bool is_acceptable2(const ole_variant&) const override { return true; }
    bool is_acceptable1(const t_ftd&) const override { return true; }
    void handle2(std::u16string& text, const ole_variant&) const override { text = mark; }
    udb_column_desc& handle1_1(const t_ftd&, udb_column_desc& desc) const override {
        desc.column_size = mark.size();
        return desc;
    }

private:
    std::u16string mark;
    bool* destroyed;
};

}   // namespace

TEST(BasicGuidRule, TakesOnlyBlobColumnsMarkedAsGuid) {
    const text_guid_rule rule;
    EXPECT_TRUE(rule.is_acceptable1(guid_column(1)));
    EXPECT_FALSE(rule.is_acceptable1(guid_column(0)));
    EXPECT_FALSE(rule.is_acceptable1(t_ftd(16, u"g", VT_BSTR, false, false, ole_variant(), 1)));
}

// Text is data whatever it says: the memo that once had its middle cut out and pasted into a
// statement unquoted ("see guid {'); DROP TABLE ...") is not a GUID, nor is the exact text
// form DAO gives a replication ID when it arrives as text from a text column.
TEST(BasicGuidRule, TakesGuidValuesNeverText) {
    const text_guid_rule rule;
    EXPECT_TRUE(rule.is_acceptable2(replication_id()));
    EXPECT_FALSE(rule.is_acceptable2(ole_variant(GUID_TEXT)));
    EXPECT_FALSE(
        rule.is_acceptable2(ole_variant(u"see guid {'); DROP TABLE [Orders]; --xxxxxxxxxx tail")));
    EXPECT_FALSE(rule.is_acceptable2(ole_variant(u"Read the install guide first {see "
                                                 u"https://intranet.example.com/docs}")));
    EXPECT_FALSE(rule.is_acceptable2(ole_variant(12345678)));
}

TEST(BasicGuidRule, GivesTheBracedGuidAsText) {
    const text_guid_rule rule;
    std::u16string text;
    rule.handle2(text, replication_id());
    EXPECT_EQ(text, BRACED);
    rule.handle2(text, ole_variant(GUID_TEXT));
    EXPECT_TRUE(text.empty());
}

TEST(UdbCustomConversion, EmptyRegistryTakesNothing) {
    const udb_custom_conversion registry;
    EXPECT_FALSE(registry.is_acceptable1(guid_column(1)));
    EXPECT_FALSE(registry.is_acceptable2(replication_id()));
    std::u16string literal = u"left over";
    registry.handle2(literal, replication_id());
    EXPECT_TRUE(literal.empty());
}

TEST(UdbCustomConversion, FirstRegisteredRuleThatAcceptsAnswers) {
    udb_custom_conversion registry;
    registry.add_rule(std::make_unique<text_guid_rule>());
    registry.add_rule(std::make_unique<marking_rule>(u"second"));
    std::u16string literal;
    registry.handle2(literal, replication_id());
    EXPECT_EQ(literal, BRACED);
    registry.handle2(literal, ole_variant(7));
    EXPECT_EQ(literal, u"second");
    udb_column_desc desc{130, 0};
    EXPECT_EQ(registry.handle1_1(guid_column(1), desc).column_size, 38u);
    EXPECT_EQ(registry.handle1_1(guid_column(0), desc).column_size, 6u);
}

TEST(UdbCustomConversion, ValueNoRuleTakesIsAnAssertionAtItsFixedLine) {
    udb_custom_conversion registry;
    registry.add_rule(std::make_unique<text_guid_rule>());
    std::u16string literal;
    try {
        registry.handle2(literal, ole_variant(7));
        FAIL() << "a value no rule takes was written";
    } catch (const tk_mail_assertion& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "Internal error: \ncode=" + hex_of("udb/udb_rule.cpp\\88"));
    }
}

TEST(UdbCustomConversion, OneRegistryPerProcessAndItOwnsItsRules) {
    bool destroyed = false;
    {
        udb_custom_conversion registry;
        registry.add_rule(std::make_unique<marking_rule>(u"m", &destroyed));
        EXPECT_THROW(udb_custom_conversion second, tk_mail_assertion);
        EXPECT_TRUE(udb_custom_conversion::is_registered());
    }
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(udb_custom_conversion::is_registered());
}

TEST(UdbCustomConversion, WithoutARunTheDestinationHearsNoRule) {
    ASSERT_FALSE(udb_custom_conversion::is_registered());
    EXPECT_FALSE(udb_custom_conversion::ask_is_acceptable1(guid_column(1)));
    EXPECT_FALSE(udb_custom_conversion::ask_is_acceptable2(replication_id()));
    udb_column_desc desc{130, 10};
    EXPECT_EQ(udb_custom_conversion::ask_handle1_1(guid_column(1), desc).column_size, 10u);
    std::u16string literal = u"x";
    udb_custom_conversion::ask_handle2(literal, replication_id());
    EXPECT_TRUE(literal.empty());

    udb_custom_conversion registry;
    registry.add_rule(std::make_unique<text_guid_rule>());
    EXPECT_TRUE(udb_custom_conversion::ask_is_acceptable1(guid_column(1)));
    udb_custom_conversion::ask_handle2(literal, replication_id());
    EXPECT_EQ(literal, BRACED);
}
