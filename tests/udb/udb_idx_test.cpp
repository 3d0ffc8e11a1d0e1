// udb_idx_test.cpp - index list lookups: names compare case-blind, index columns exactly.
#include "udb/udb_idx.hpp"

#include <gtest/gtest.h>

#include "udb/udb_test_util.hpp"

namespace {

udb_indexes sample_indexes() {
    udb_indexes indexes;
    indexes.add(udb_index{u"PrimaryKey", true, true, {u"OrderID", u"Line"}});
    indexes.add(udb_index{u"ByCustomer", true, false, {u"CustomerID"}});
    indexes.add(udb_index{u"ByDate", false, false, {u"Placed"}});
    return indexes;
}

}   // namespace

TEST(UdbIndexesNames, AcceptOnlyNamesNotListedIgnoringCase) {
    const udb_indexes indexes = sample_indexes();
    EXPECT_FALSE(indexes.is_acceptable_name(u"bycustomer"));
    EXPECT_TRUE(indexes.is_acceptable_name(u"ByCustomers"));
    EXPECT_EQ(indexes.get_index(u"BYDATE").columns.front(), u"Placed");
    expect_assertion_from("udb/udb_idx.cpp", [&] { indexes.get_index(u"ByName"); });
}

TEST(UdbIndexesFields, PrimaryOnlySkipsUniqueIndexes) {
    const udb_indexes indexes = sample_indexes();
    EXPECT_TRUE(indexes.is_idx_field(u"CustomerID", false));
    EXPECT_FALSE(indexes.is_idx_field(u"CustomerID", true));
    EXPECT_TRUE(indexes.is_idx_field(u"Line", true));
    EXPECT_FALSE(indexes.is_idx_field(u"Total", false));
}

TEST(UdbIndexesFields, ColumnsCompareExactly) {
    const udb_indexes indexes = sample_indexes();
    EXPECT_FALSE(indexes.is_idx_field(u"orderid", false));
    EXPECT_FALSE(indexes.is_idx_field(u"PLACED", false));
}
