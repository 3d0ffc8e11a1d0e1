// udb_rel_test.cpp - constraint names: lookup ignoring case and the generator that extends
// "FK_<referenced>_<referencing>" until no listed constraint has the name.
#include "udb/udb_rel.hpp"

#include <gtest/gtest.h>

#include "udb/udb_name.hpp"
#include "udb/udb_test_util.hpp"

namespace {

udb_relationship items_to_orders(const std::u16string& name = {}) {
    udb_relationship relationship;
    relationship.name = name;
    relationship.src_table = u"Items";
    relationship.dest_table = u"Orders";
    relationship.src_columns = {u"OrderID"};
    relationship.dest_columns = {u"ID"};
    return relationship;
}

}   // namespace

TEST(GenRelshipName, ReferencedTableComesFirst) {
    const udb_relationships none;
    EXPECT_EQ(none.gen_relship_name(items_to_orders()), u"FK_Orders_Items");
}

TEST(GenRelshipName, SkipsTakenNamesIgnoringCase) {
    udb_relationships relationships;
    relationships.add(items_to_orders(u"FK_Orders_Items"));
    relationships.add(items_to_orders(u"fk_orders_items_"));
    EXPECT_EQ(relationships.gen_relship_name(items_to_orders()), u"FK_Orders_Items_1");
}

TEST(GenRelshipName, PiecesAccumulateThroughTheCycle) {
    const std::vector<std::u16string> taken = {u"FK_B_A",       u"FK_B_A_",      u"FK_B_A_1",
                                               u"FK_B_A_1_",    u"FK_B_A_1_2",   u"FK_B_A_1_2_",
                                               u"FK_B_A_1_2_3", u"FK_B_A_1_2_3_"};
    udb_relationships relationships;
    for (const std::u16string& name : taken) {
        udb_relationship other;
        other.name = name;
        relationships.add(other);
    }
    udb_relationship a_to_b;
    a_to_b.src_table = u"A";
    a_to_b.dest_table = u"B";
    EXPECT_EQ(relationships.gen_relship_name(a_to_b), u"FK_B_A_1_2_3_1");
}

// Two 64-character table names make a name of 132: it is cut to SQL Server's 128 with a hash
// of the whole, and a taken one still gets the next piece, within 128 again.
TEST(GenRelshipName, LongNamesFitAndStayUnique) {
    udb_relationship long_pair;
    long_pair.src_table = std::u16string(64, u'a');
    long_pair.dest_table = std::u16string(64, u'b');
    udb_relationships relationships;
    const std::u16string first = relationships.gen_relship_name(long_pair);
    EXPECT_EQ(first.size(), 128u);
    EXPECT_EQ(first.substr(0, 4), u"FK_b");
    EXPECT_EQ(first, udb_fit_name(first));
    udb_relationship other = long_pair;
    other.name = first;
    relationships.add(other);
    const std::u16string second = relationships.gen_relship_name(long_pair);
    EXPECT_LE(second.size(), 128u);
    EXPECT_NE(second, first);
    // A name cut before a surrogate pair never keeps half of it.
    const std::u16string cut = udb_fit_name(std::u16string(118, u'x') + u"\U0001F600"
                                            + std::u16string(20, u't'));
    EXPECT_EQ(cut.size(), 127u);
    EXPECT_EQ(cut[118], u'_');
}

TEST(UdbRelationshipsLookup, FindsByNameIgnoringCaseAndAssertsOnMissing) {
    udb_relationships relationships;
    relationships.add(items_to_orders(u"FK_Orders_Items"));
    EXPECT_EQ(relationships.get_index(u"fk_ORDERS_items").src_table, u"Items");
    EXPECT_FALSE(relationships.is_acceptable_name(u"FK_ORDERS_ITEMS"));
    expect_assertion_from("udb/udb_rel.cpp", [&] { relationships.get_index(u"FK_Items"); });
}
