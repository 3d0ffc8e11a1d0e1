// dao_vali_fuzz_test.cpp - names from hostile source files through the builders' pattern, by
// the Access rules and by generic rules with a length limit: whatever the names, every final
// name passes the rules, fits the limit, keeps surrogate pairs whole and differs (ignoring
// case) from every other final name of the same object.
#include "dao/dao_vali.hpp"

#include <random>

#include <gtest/gtest.h>

#include "udb/udb_name.hpp"

namespace {

// Mostly the characters the rules care about: illegal ones, spaces, letters that fold, digits
// that collide with numbered names, and a character outside the BMP (a surrogate pair).
// Source names are well-formed: the readers turn broken text into U+FFFD.
std::u16string random_name(std::mt19937& random) {
    static const std::u16string PIECES[] = {u"a",      u"A",      u"0",      u" ",         u".",
                                            u"!",      u"[",      u"]",      u"`",         u"_",
                                            u"\u00e4", u"\u00c4", u"\u00df", u"\U0001F600"};
    std::uniform_int_distribution<std::size_t> length(0, 12);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(PIECES) - 1);
    std::u16string name;
    for (std::size_t count = length(random); count > 0; --count) name += PIECES[pick(random)];
    return name;
}

bool is_well_formed(const std::u16string& name) {
    for (std::size_t unit_idx = 0; unit_idx < name.size(); ++unit_idx) {
        const char16_t unit = name[unit_idx];
        if (unit >= 0xDC00 && unit <= 0xDFFF) return false;   // a low half without its high
        if (unit < 0xD800 || unit > 0xDBFF) continue;
        if (unit_idx + 1 == name.size()) return false;
        const char16_t low = name[++unit_idx];
        if (low < 0xDC00 || low > 0xDFFF) return false;
    }
    return true;
}

void place_all(udb_validator& validator, std::mt19937& random) {
    std::vector<std::u16string> finals;
    for (int name_idx = 0; name_idx < 40; ++name_idx) {
        const std::u16string source = random_name(random);
        std::u16string final_name = source;
        if (!validator.is_acceptable(source)) {
            final_name = validator.get_safe_name(source);
            ASSERT_TRUE(validator.is_acceptable(final_name));
            ASSERT_FALSE(validator.is_duplicated(final_name));
            ASSERT_TRUE(is_well_formed(final_name));
            validator.add_used(final_name);
        }
        if (validator.max_length != 0) {
            ASSERT_LE(final_name.size(), validator.max_length);
        }
        for (const std::u16string& earlier : finals) {
            ASSERT_FALSE(udb_same_name(earlier, final_name));
        }
        validator.add_restricted(final_name);
        finals.push_back(final_name);
    }
}

}   // namespace

TEST(SafeNameFuzz, FinalNamesAreAcceptableFittingAndDistinct) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<std::uint32_t> limit(6, 16);
    for (int round = 0; round < 300; ++round) {
        dao_validator access_rules;
        place_all(access_rules, random);
        udb_validator limited(limit(random));
        limited.illegal_chars = {u'.', u'['};
        place_all(limited, random);
    }
}
