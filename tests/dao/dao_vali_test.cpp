// dao_vali_test.cpp - the Access destination's safe names: what Access refuses, how a refused
// name becomes a safe and unused one, and the builders' pattern that keeps a later name from
// reusing one already taken.
#include "dao/dao_vali.hpp"

#include <gtest/gtest.h>

#include "platform/oleaut/oleaut_types.hpp"
#include "udb/udb_idx.hpp"
#include "udb/udb_sche.hpp"
#include "udb/udb_test_util.hpp"

namespace {

// The builders' pattern: keep an acceptable name, else take a safe one and remember it; the
// final name is taken for every later name either way.
std::u16string place(udb_validator& validator, const std::u16string& source_name) {
    std::u16string final_name = source_name;
    if (!validator.is_acceptable(source_name)) {
        final_name = validator.get_safe_name(source_name);
        validator.add_used(final_name);
        validator.add_mapped_pair(source_name, final_name);
    }
    validator.add_restricted(final_name);
    return final_name;
}

}   // namespace

TEST(DaoValidatorAcceptance, RefusesAccessPunctuationAndOuterSpaces) {
    const dao_validator validator;
    EXPECT_TRUE(validator.is_acceptable(u"Order Date"));
    for (const char16_t* name : {u"a`b", u"a!b", u"[a", u"a]", u"a.b", u"", u" a", u"a "}) {
        EXPECT_FALSE(validator.is_acceptable(name)) << "accepted a refused name";
    }
}

TEST(DaoValidatorSafeName, ReplacesIllegalCharactersAndTrims) {
    const dao_validator validator;
    EXPECT_EQ(validator.get_safe_name(u"Order.Date"), u"Order_Date");
    EXPECT_EQ(validator.get_safe_name(u"[x]"), u"_x_");
    EXPECT_EQ(validator.get_safe_name(u"Name "), u"Name");
    EXPECT_EQ(validator.get_safe_name(u"   "), u"00000");
}

TEST(DaoValidatorSafeName, TrimmedNameTakenGetsANumber) {
    dao_validator validator;
    validator.add_restricted(u"NAME");
    EXPECT_EQ(validator.get_safe_name(u" Name "), u"Name00000");
    validator.add_used(u"name00000");
    EXPECT_EQ(validator.get_safe_name(u" Name "), u"Name00001");
}

TEST(DaoFnValidator, SecondColumnDifferingOnlyInCaseIsRenamed) {
    udb_schema schema;
    schema.append(make_ftd(VT_I4, 4, u"a"));
    schema.append(make_ftd(VT_I4, 4, u"A"));
    dao_fn_validator validator(schema);
    EXPECT_EQ(place(validator, u"a"), u"a");
    EXPECT_EQ(place(validator, u"A"), u"A00000");
    EXPECT_EQ(validator.names_map.get_mapped_name(u"A", true), u"A00000");
}

TEST(DaoFnValidator, GeneratedNameIsNotReusedByALaterName) {
    udb_schema schema;
    for (const char16_t* name : {u"x.y", u"x_y", u"X_Y00000"}) {
        schema.append(make_ftd(VT_I4, 4, name));
    }
    dao_fn_validator validator(schema);
    // x.y wants x_y, but the source has a column of that name: it gets the first free number.
    EXPECT_EQ(place(validator, u"x.y"), u"x_y00001");
    EXPECT_EQ(place(validator, u"x_y"), u"x_y");
    // A later column equal to a generated name, ignoring case, is refused and numbered.
    EXPECT_EQ(place(validator, u"X_Y00001"), u"X_Y0000100000");
}

TEST(DaoInValidator, SourceIndexNamesCountAsUsed) {
    udb_indexes indexes;
    indexes.add(udb_index{u"By.Name", false, false, {u"Name"}});
    indexes.add(udb_index{u"By_Name", false, false, {u"Name"}});
    const dao_in_validator validator(indexes);
    EXPECT_EQ(validator.get_safe_name(u"By.Name"), u"By_Name00000");
}
