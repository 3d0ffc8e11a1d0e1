// udb_nmap_test.cpp - remembered renamings: the first pair for an old name stays, lookups may
// ignore case, and a name without a pair maps to itself.
#include "udb/udb_nmap.hpp"

#include <gtest/gtest.h>

TEST(TNamesMap, CaseBlindLookupOnlyWhenAsked) {
    t_names_map names;
    names.add(u"Order.Date", u"Order_Date");
    EXPECT_EQ(names.get_mapped_name(u"ORDER.DATE", false), u"Order_Date");
    EXPECT_EQ(names.get_mapped_name(u"ORDER.DATE", true), u"ORDER.DATE");
    EXPECT_EQ(names.get_mapped_name(u"Order.Date", true), u"Order_Date");
    EXPECT_EQ(names.get_mapped_name(u"Other", false), u"Other");
}

TEST(TNamesMap, FirstNewNameStays) {
    t_names_map names;
    names.add(u"a", u"first");
    names.add(u"a", u"second");
    EXPECT_EQ(names.get_mapped_name(u"a", true), u"first");
    EXPECT_EQ(names.size(), 1u);
}

TEST(TNamesMap, KeysDifferingInCaseAreSeparatePairs) {
    t_names_map names;
    names.add(u"b", u"lower");
    names.add(u"B", u"upper");   // exact keys: both kept, "B" sorts first
    EXPECT_EQ(names.get_mapped_name(u"b", true), u"lower");
    EXPECT_EQ(names.get_mapped_name(u"b", false), u"upper");
}

TEST(UdbNamesMap, TablesAndColumnsMapSeparately) {
    udb_names_map names;
    names.add_table_pair(u"Order Items", u"Order_Items");
    names.add_column_pair(u"Order Items", u"Unit.Price", u"Unit_Price");
    EXPECT_EQ(names.get_tn_mapped_name(u"order items", false), u"Order_Items");
    EXPECT_EQ(names.get_tn_mapped_name(u"order items", true), u"order items");
    EXPECT_EQ(names.get_fn_mapped_name(u"Order Items", u"UNIT.PRICE", false), u"Unit_Price");
    EXPECT_EQ(names.get_fn_mapped_name(u"Order Items", u"Qty", false), u"Qty");
}

TEST(UdbNamesMap, ColumnTableIsFoundByExactName) {
    udb_names_map names;
    names.add_column_pair(u"Orders", u"a.b", u"a_b");
    EXPECT_EQ(names.get_fn_mapped_name(u"ORDERS", u"a.b", false), u"a.b");
    EXPECT_EQ(names.get_fn_mapped_name(u"Orders", u"A.B", false), u"a_b");
}
