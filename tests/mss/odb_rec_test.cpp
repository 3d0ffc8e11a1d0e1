// The type maps and bind sizes of the OLE DB layer, and fields made from bound text. Expected
// values are the OLE DB type codes and the sizes the row-buffer layout prescribes.

#include "mss/odb_acc.hpp"
#include "mss/odb_exce.hpp"
#include "mss/odb_rec.hpp"
#include "platform/oledb/oledb_error_info.hpp"

#include <gtest/gtest.h>

TEST(OdbVartype, ReadsColumnsAsVariantTypes) {
    EXPECT_EQ(odb_record::get_vartype(DBTYPE_I4), VT_I4);
    EXPECT_EQ(odb_record::get_vartype(DBTYPE_I8), VT_I8);
    EXPECT_EQ(odb_record::get_vartype(DBTYPE_DBTIMESTAMP), VT_DATE);
    EXPECT_EQ(odb_record::get_vartype(DBTYPE_WSTR), VT_BSTR);
    EXPECT_EQ(odb_record::get_vartype(DBTYPE_STR), VT_BSTR);
    EXPECT_EQ(odb_record::get_vartype(DBTYPE_NUMERIC), VT_DECIMAL);
    EXPECT_EQ(odb_record::get_vartype(DBTYPE_GUID), VT_BLOB);
    EXPECT_EQ(odb_record::get_vartype(DBTYPE_BYTES), VT_BLOB);
    EXPECT_EQ(odb_record::get_vartype(DBTYPE_DBDATE), VT_BLOB);
}

TEST(OdbOledbType, CreatesColumnsForVariantTypes) {
    EXPECT_EQ(odb_record::get_oledb_type(VT_I1, 5), DBTYPE_I2);
    EXPECT_EQ(odb_record::get_oledb_type(VT_UI2, 5), DBTYPE_I4);
    EXPECT_EQ(odb_record::get_oledb_type(VT_UI8, 5), DBTYPE_R8);
    EXPECT_EQ(odb_record::get_oledb_type(VT_DATE, 5), DBTYPE_DBTIMESTAMP);
    EXPECT_EQ(odb_record::get_oledb_type(VT_BSTR, 5), DBTYPE_WSTR);   // Unicode text
    EXPECT_EQ(odb_record::get_oledb_type(VT_DECIMAL, 5), DBTYPE_NUMERIC);
    EXPECT_EQ(odb_record::get_oledb_type(VT_BLOB, 5), DBTYPE_BYTES);
    // bigint from SQL Server 2000 on; only 7.0 (2) keeps 64-bit integers as float.
    for (const int version_code : {1, 3, 4, 5, 6}) {
        EXPECT_EQ(odb_record::get_oledb_type(VT_I8, version_code), DBTYPE_I8) << version_code;
    }
    EXPECT_EQ(odb_record::get_oledb_type(VT_I8, 2), DBTYPE_R8);
    EXPECT_EQ(odb_record::get_oledb_type(VT_UI4, 6), DBTYPE_I8);
    EXPECT_EQ(odb_record::get_oledb_type(VT_VARIANT, 5), DBTYPE_WSTR);
}

TEST(OdbAccessor, BindSizesFollowTheRowBufferLayout) {
    EXPECT_EQ(odb_accessor::bind_size(DBTYPE_I4, 4), 52u);
    EXPECT_EQ(odb_accessor::bind_size(DBTYPE_BOOL, 2), 52u);
    EXPECT_EQ(odb_accessor::bind_size(DBTYPE_DBTIMESTAMP, 16), 102u);
    EXPECT_EQ(odb_accessor::bind_size(DBTYPE_GUID, 16), 102u);
    EXPECT_EQ(odb_accessor::bind_size(DBTYPE_WSTR, 50), 102u);   // 2 x (50 + 1)
    EXPECT_EQ(odb_accessor::bind_size(DBTYPE_BYTES, 10), 42u);   // 2 x (2 x 10 + 1)
    EXPECT_EQ(odb_accessor::bind_size(DBTYPE_WSTR, 0x3FFFFFFF), 2000000u);
    EXPECT_EQ(odb_accessor::bind_size(DBTYPE_BYTES, 0x7FFFFFFF), 2000000u);
    EXPECT_EQ(odb_accessor::bind_size(DBTYPE_IUNKNOWN, 0), 2000000u);
    EXPECT_EQ(odb_accessor::bind_size(DBTYPE_IUNKNOWN, 300), 300u);
}

TEST(OdbAccessor, ColumnsFollowOneAnotherInTheRowBuffer) {
    std::vector<oledb_column_info> columns(2);
    columns[0].type = DBTYPE_I4;
    columns[1].type = DBTYPE_BYTES;
    columns[1].column_size = 10;
    odb_accessor accessor;
    accessor.bind(columns);
    ASSERT_EQ(accessor.bindings().size(), 2u);
    EXPECT_EQ(accessor.bindings()[0].value_offset, 8u);
    EXPECT_EQ(accessor.bindings()[1].status_offset, 60u);   // 8 + 52
    EXPECT_EQ(accessor.bindings()[1].value_offset, 68u);
    EXPECT_EQ(accessor.bindings()[1].bind_type, DBTYPE_BYTES);
    EXPECT_EQ(accessor.bindings()[0].bind_type, DBTYPE_WSTR);
    EXPECT_EQ(accessor.row_size(), 110u);
}

TEST(OdbField, BoundTextBecomesTheColumnsValue) {
    oledb_column_info text;
    text.name = "Name";
    text.type = DBTYPE_WSTR;
    text.flags = DBCOLUMNFLAGS_ISNULLABLE;
    EXPECT_EQ(odb_record::get_field(text, u"", false)->type(), VT_BSTR);   // empty text
    EXPECT_EQ(odb_record::get_field(text, u"x", true)->type(), VT_NULL);
    oledb_column_info number;
    number.type = DBTYPE_I4;
    EXPECT_EQ(odb_record::get_field(number, u"", false)->type(), VT_EMPTY);
    EXPECT_EQ(odb_record::get_field(number, u"42", false)->to_long(), 42);
    EXPECT_TRUE(odb_record::get_field(number, u"42", false)->b_not_null);
    oledb_column_info stamp;
    stamp.type = DBTYPE_DBTIMESTAMP;
    const auto date = odb_record::get_field(stamp, u"2024-02-29 13:05:09", false);
    ASSERT_EQ(date->type(), VT_DATE);
    EXPECT_EQ(date->date_value.wDay, 29);
}

TEST(OdbException, CodeAndMessageComeFromTheErrorRecords) {
    EXPECT_EQ(odb_exception::code_of(static_cast<oledb_hresult>(0x80040E37u)), 0x80E37);
    EXPECT_EQ(odb_exception::code_of(static_cast<oledb_hresult>(0x80004005u)), 0x84005);
    oledb_error_info info;
    info.records.push_back({DB_E_NOTABLE, 208, 1, 16, "42S02", "src", ""});
    info.records.push_back({DB_E_NOTABLE, 208, 1, 16, "42S02", "src", "Invalid object name 'x'."});
    info.records.push_back({DB_E_NOTABLE, 1, 1, 16, "42S02", "src", "later"});
    oledb_set_error_info(info);
    const odb_exception failure(DB_E_NOTABLE);
    EXPECT_STREQ(failure.what(), "Invalid object name 'x'.");
    EXPECT_EQ(failure.code(), 0x80E37);
    EXPECT_EQ(failure.level(), ERROR_LEVEL_RECOVERABLE);
    EXPECT_EQ(failure.native_error(), 208);
    EXPECT_TRUE(odb_is_missing_table(failure));
}

TEST(OdbException, NoErrorObjectStillGivesTheCode) {
    oledb_take_error_info();
    const odb_exception failure(DB_E_INTEGRITYVIOLATION);
    EXPECT_EQ(failure.code(), 0x80E2F);
    EXPECT_FALSE(odb_is_missing_table(failure));
}
