// udb_sche_test.cpp - descriptor equality and conformance (the merge mode's test before rows
// are appended to an existing table) and case-blind column lookup.
#include "udb/udb_sche.hpp"

#include <stdexcept>

#include <gtest/gtest.h>

#include "platform/oleaut/oleaut_types.hpp"
#include "udb/udb_test_util.hpp"

namespace {

constexpr std::uint16_t VT_BYTE_ARRAY = VT_ARRAY | VT_UI1;

bool conforms(std::uint16_t src_vt, std::uint32_t src_size, std::uint16_t dest_vt,
              std::uint32_t dest_size) {
    return make_ftd(src_vt, src_size)->conform_to(*make_ftd(dest_vt, dest_size));
}

udb_schema schema_of(std::initializer_list<std::pair<std::uint16_t, std::uint32_t>> columns,
                     const std::u16string& name_prefix = u"c") {
    udb_schema schema;
    int column_no = 0;
    for (const auto& [vartype, size] : columns) {
        schema.append(make_ftd(vartype, size, name_prefix + char16_t(u'0' + column_no++)));
    }
    return schema;
}

// A source field that knows its column's type even while its value is NULL.
class typed_field : public udb_field {
public:
    std::uint16_t get_vartype() const override { return VT_DATE; }
};

}   // namespace

TEST(TFtdEquality, TextSizesMatterOtherSizesDoNot) {
    EXPECT_FALSE(*make_ftd(VT_BSTR, 50) == *make_ftd(VT_BSTR, 60));
    EXPECT_TRUE(*make_ftd(VT_BSTR, 50) == *make_ftd(VT_BSTR, 50));
    EXPECT_TRUE(*make_ftd(VT_I4, 4) == *make_ftd(VT_I4, 8));
    EXPECT_FALSE(*make_ftd(VT_I4, 4) == *make_ftd(VT_I2, 4));
}

TEST(TFtdEquality, DecimalAndCurrencyAreEqualBothWays) {
    EXPECT_TRUE(*make_ftd(VT_DECIMAL, 16) == *make_ftd(VT_CY, 8));
    EXPECT_TRUE(*make_ftd(VT_CY, 8) == *make_ftd(VT_DECIMAL, 16));
}

TEST(TFtdConformance, ShorterTextFitsLongerAndUnlimited) {
    EXPECT_TRUE(conforms(VT_BSTR, 50, VT_BSTR, 60));
    EXPECT_FALSE(conforms(VT_BSTR, 60, VT_BSTR, 50));
    EXPECT_TRUE(conforms(VT_BSTR, 4000, VT_BSTR, 0));
    EXPECT_TRUE(conforms(VT_LPSTR, 10, VT_LPWSTR, 10));
    EXPECT_TRUE(conforms(VT_BSTR, 0, VT_LPWSTR, 0));
}

TEST(TFtdConformance, UnlimitedSourceNeedsUnlimitedDestination) {
    // A memo or long binary could hold more than any bounded column takes.
    EXPECT_FALSE(conforms(VT_BSTR, 0, VT_LPWSTR, 255));
    EXPECT_FALSE(conforms(VT_BLOB, 0, VT_BLOB_OBJECT, 8000));
    EXPECT_TRUE(conforms(VT_BLOB, 0, VT_BYTE_ARRAY, 0));
}

TEST(TFtdConformance, DateTakesOnlyDatesAndNineteenCharacterText) {
    EXPECT_TRUE(conforms(VT_BSTR, 19, VT_DATE, 8));
    EXPECT_FALSE(conforms(VT_BSTR, 18, VT_DATE, 8));
    EXPECT_FALSE(conforms(VT_BSTR, 20, VT_DATE, 8));
    EXPECT_FALSE(conforms(VT_LPWSTR, 19, VT_DATE, 8));
    EXPECT_FALSE(conforms(VT_I4, 4, VT_DATE, 8));
    EXPECT_TRUE(conforms(VT_DATE, 8, VT_DATE, 0));
}

TEST(TFtdConformance, TextDestinationRefusesOnlyBinary) {
    EXPECT_TRUE(conforms(VT_DATE, 8, VT_BSTR, 5));   // no size check for a non-text source
    EXPECT_TRUE(conforms(VT_I4, 4, VT_BSTR, 1));
    EXPECT_FALSE(conforms(VT_BLOB, 10, VT_BSTR, 0));
    EXPECT_FALSE(conforms(VT_BYTE_ARRAY, 10, VT_BSTR, 100));
}

TEST(TFtdConformance, BinaryDestinationChecksSizeOfTextAndBinary) {
    EXPECT_TRUE(conforms(VT_I4, 4, VT_BLOB, 1));
    EXPECT_TRUE(conforms(VT_BSTR, 10, VT_BLOB, 10));
    EXPECT_FALSE(conforms(VT_BSTR, 11, VT_BYTE_ARRAY, 10));
    EXPECT_FALSE(conforms(VT_BLOB_OBJECT, 20, VT_BLOB, 10));
    EXPECT_TRUE(conforms(VT_BLOB_OBJECT, 20, VT_BYTE_ARRAY, 0));
}

TEST(TFtdConformance, NumbersGoToNumbersButIntIsNoSourceNumber) {
    EXPECT_TRUE(conforms(VT_BOOL, 1, VT_I4, 4));
    EXPECT_TRUE(conforms(VT_UI8, 8, VT_R8, 8));
    EXPECT_TRUE(conforms(VT_I4, 4, VT_INT, 4));
    EXPECT_FALSE(conforms(VT_INT, 4, VT_I4, 4));
    EXPECT_FALSE(conforms(VT_UINT, 4, VT_UI4, 4));
    EXPECT_FALSE(conforms(VT_BSTR, 10, VT_I4, 4));
}

TEST(TFtdConformance, OtherDestinationTypesTakeNothingUnequal) {
    EXPECT_FALSE(conforms(VT_I4, 4, VT_VARIANT, 0));
    EXPECT_FALSE(conforms(VT_BSTR, 10, VT_ERROR, 0));
    EXPECT_FALSE(conforms(VT_I4, 4, VT_CLSID, 0));
    EXPECT_TRUE(conforms(VT_CLSID, 16, VT_CLSID, 0));   // equal types always conform
}

TEST(TFtdFromField, TakesTheColumnTypeFromTheField) {
    typed_field field;
    field.name = u"Born";
    field.size = 8;
    field.b_not_null = true;
    const t_ftd column(field, ole_variant(), 1u);
    EXPECT_EQ(column.vartype, VT_DATE);
    EXPECT_EQ(column.name, u"Born");
    EXPECT_EQ(column.size, 8u);
    EXPECT_TRUE(column.b_not_null);
    EXPECT_EQ(column.reserved, 1u);
}

TEST(UdbSchemaConformance, ComparesPositionsTypesAndSizesNotNames) {
    const udb_schema src = schema_of({{VT_I4, 4}, {VT_BSTR, 50}}, u"src");
    const udb_schema dest = schema_of({{VT_R8, 8}, {VT_BSTR, 60}}, u"dest");
    EXPECT_TRUE(src.conform_to(dest));
    EXPECT_FALSE(dest.conform_to(src));   // text 60 does not fit 50
}

TEST(UdbSchemaConformance, DifferentColumnCountsNeverConform) {
    EXPECT_FALSE(schema_of({{VT_I4, 4}}).conform_to(schema_of({{VT_I4, 4}, {VT_I4, 4}})));
    EXPECT_FALSE(schema_of({{VT_I4, 4}, {VT_I4, 4}}).conform_to(schema_of({{VT_I4, 4}})));
    EXPECT_TRUE(udb_schema().conform_to(udb_schema()));
}

TEST(UdbSchemaConformance, OneColumnInTheMiddleSpoilsIt) {
    const udb_schema src = schema_of({{VT_I4, 4}, {VT_BLOB, 0}, {VT_BSTR, 5}});
    const udb_schema dest = schema_of({{VT_I4, 4}, {VT_BSTR, 0}, {VT_BSTR, 5}});
    EXPECT_FALSE(src.conform_to(dest));
}

// A table this tool created, read back from SQL Server: memo as nvarchar(max) (0x3FFFFFFF
// characters), OLE object as varbinary(max) (0x7FFFFFFF bytes). Merging the same Access table
// into it again must pass, or mode 3 refuses every table holding a memo.
TEST(UdbSchemaConformance, MergeIntoLongColumnsReadBackFromTheServer) {
    const udb_schema access = schema_of({{VT_I4, 4}, {VT_BSTR, 15}, {VT_BSTR, 0}, {VT_BLOB, 0}});
    const udb_schema server = schema_of(
        {{VT_I4, 4}, {VT_BSTR, 15}, {VT_BSTR, 0x3FFFFFFF}, {VT_BLOB, 0x7FFFFFFF}});
    EXPECT_TRUE(access.conform_to(server));
    EXPECT_TRUE(conforms(VT_BYTE_ARRAY, 0, VT_BYTE_ARRAY, 0x7FFFFFFF));
    // Still bounded just below the long size: an unlimited source does not fit.
    EXPECT_FALSE(conforms(VT_BSTR, 0, VT_BSTR, 0x3FFFFFFE));
    EXPECT_FALSE(conforms(VT_BSTR, 4001, VT_BSTR, 4000));
}

TEST(UdbSchemaLookup, FindsColumnsCaseBlindBySimpleFolding) {
    udb_schema schema;
    schema.append(make_ftd(VT_I4, 4, u"ärger"));
    schema.append(make_ftd(VT_BSTR, 30, u"Straße"));
    EXPECT_EQ(schema.find_field(u"ÄRGER").vartype, VT_I4);
    EXPECT_EQ(schema.get_field_size(u"STRAßE"), 30u);
    EXPECT_EQ(schema.get_field_type(u"straße"), VT_BSTR);
    // Simple folding does not turn ß into ss.
    expect_assertion_from("udb/udb_sche.cpp", [&] { schema.find_field(u"STRASSE"); });
}

TEST(UdbSchemaLookup, FirstOfTwoEqualNamesWins) {
    udb_schema schema;
    schema.append(make_ftd(VT_I2, 2, u"id"));
    schema.append(make_ftd(VT_I4, 4, u"ID"));
    EXPECT_EQ(schema.get_field_type(u"Id"), VT_I2);
}

TEST(UdbSchemaLookup, MissingNameIsAnAssertion) {
    const udb_schema schema = schema_of({{VT_I4, 4}});
    expect_assertion_from("udb/udb_sche.cpp", [&] { schema.get_field_size(u"nope"); });
    expect_assertion_from("udb/udb_sche.cpp", [&] { schema.get_field_type(u""); });
    EXPECT_THROW(schema[1], std::out_of_range);
}

TEST(UdbSchemaCopy, CopiesDescriptorsInsteadOfSharingThem) {
    udb_schema original = schema_of({{VT_BSTR, 10}});
    udb_schema copy = original;
    copy[0].size = 99;
    copy.append(make_ftd(VT_I4, 4));
    EXPECT_EQ(original[0].size, 10u);
    EXPECT_EQ(original.size(), 1u);
    original = copy;
    EXPECT_EQ(original[0].size, 99u);
    EXPECT_EQ(original.size(), 2u);
}
