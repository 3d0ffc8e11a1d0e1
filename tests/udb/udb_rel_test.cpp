// udb_rel_test.cpp - constraint names: lookup ignoring case and the generator that extends
// "FK_<referenced>_<referencing>" until no listed constraint has the name.
#include "udb/udb_rel.hpp"

#include <gtest/gtest.h>

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

TEST(UdbRelationshipsLookup, FindsByNameIgnoringCaseAndAssertsOnMissing) {
    udb_relationships relationships;
    relationships.add(items_to_orders(u"FK_Orders_Items"));
    EXPECT_EQ(relationships.get_index(u"fk_ORDERS_items").src_table, u"Items");
    EXPECT_FALSE(relationships.is_acceptable_name(u"FK_ORDERS_ITEMS"));
    expect_assertion_from("udb/udb_rel.cpp", [&] { relationships.get_index(u"FK_Items"); });
}
