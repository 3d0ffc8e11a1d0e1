// udb_vali_test.cpp - safe names: what the generic rules refuse, and how a refused name becomes
// a safe and unused one within the length limit.
#include "udb/udb_vali.hpp"

#include <gtest/gtest.h>

#include "udb/udb_test_util.hpp"

namespace {

// Refuses every name, so the numbered candidates run out.
class refusing_validator : public udb_validator {
public:
    refusing_validator() : udb_validator(0) {}
    bool is_acceptable(const std::u16string&) const override { return false; }
};

}   // namespace

TEST(UdbValidatorAcceptance, RefusesLongRestrictedAndIllegalNames) {
    udb_validator validator(5);
    validator.illegal_chars = {u'#'};
    validator.add_restricted(u"Select");
    EXPECT_TRUE(validator.is_acceptable(u"abcde"));
    EXPECT_FALSE(validator.is_acceptable(u"abcdef"));
    EXPECT_FALSE(validator.is_acceptable(u"SELECT"));
    EXPECT_FALSE(validator.is_acceptable(u"a#b"));
    EXPECT_TRUE(validator.is_acceptable(u""));   // the generic rules have nothing against it
}

TEST(UdbValidatorSafeName, CutsToTheLimitThenNumbersWithinIt) {
    udb_validator validator(30);
    const std::u16string forty(40, u'n');
    EXPECT_EQ(validator.get_safe_name(forty), std::u16string(29, u'n'));
    validator.add_restricted(std::u16string(29, u'n'));
    const std::u16string numbered = validator.get_safe_name(forty);
    EXPECT_EQ(numbered, std::u16string(24, u'n') + u"00000");
    EXPECT_LE(numbered.size(), 30u);
}

TEST(UdbValidatorSafeName, NeverCutsASurrogatePairInHalf) {
    udb_validator validator(4);
    // "ab" then U+1F600 as a pair, then "c": a cut at 3 units would end on the high half.
    const std::u16string name = u"ab\U0001F600c";
    const std::u16string safe = validator.get_safe_name(name);
    EXPECT_EQ(safe, u"ab");
    EXPECT_TRUE(validator.is_acceptable(safe));
}

TEST(UdbValidatorSafeName, RunningOutOfNumbersIsAnAssertion) {
    const refusing_validator validator;
    expect_assertion_from("udb/udb_vali.cpp", [&] { validator.get_safe_name(u"t"); });
}
