// Defaults read back from sp_columns and the literal each value becomes in an INSERT, with
// the documented edge cases: quotes, empty text against NULL, NOT NULL substitution, decimals
// out of range, GUIDs known by their type.

#include "mss/mss_tab.hpp"

#include "mss/mss_rule.hpp"
#include "mss/mss_test_values.hpp"
#include "udb/udb_rule.hpp"

#include <gtest/gtest.h>

namespace {

t_ftd column(VARTYPE vartype, bool not_null, const ole_variant& def_value = ole_variant(),
             std::uint32_t reserved = 0) {
    return t_ftd(50, u"c", vartype, not_null, false, def_value, reserved);
}

}   // namespace

TEST(MssDefaultValue, StripsServerParenthesesAndQuotes) {
    EXPECT_EQ(mss_table::get_def_value(VT_I4, u"((0))").to_long(), 0);
    EXPECT_EQ(mss_table::get_def_value(VT_I4, u"((42))").to_long(), 42);
    EXPECT_EQ(mss_table::get_def_value(VT_BSTR, u"('abc')").to_wstring(), u"abc");
    EXPECT_EQ(mss_table::get_def_value(VT_BSTR, u"('it''s')").to_wstring(), u"it's");
    EXPECT_EQ(mss_table::get_def_value(VT_BSTR, u"(N'\u00C4rger')").to_wstring(), u"\u00C4rger");
    EXPECT_EQ(mss_table::get_def_value(VT_DATE, u"(getdate())").type(), VT_EMPTY);
    EXPECT_EQ(mss_table::get_def_value(VT_DECIMAL, u"(abc)").type(), VT_EMPTY);
    const ole_variant date = mss_table::get_def_value(VT_DATE, u"('2024-02-29 13:05:09')");
    ASSERT_EQ(date.type(), VT_DATE);
    EXPECT_EQ(date.date_value.wYear, 2024);
}

TEST(MssAppendString, EmptyTextIsNotNull) {
    const t_ftd text = column(VT_BSTR, false);
    EXPECT_EQ(mss_table::get_fld_append_str(ole_variant(std::u16string()), text), u"N''");
    EXPECT_EQ(mss_table::get_fld_append_str(null_value(), text), u"NULL");
    EXPECT_EQ(mss_table::get_fld_append_str(ole_variant(u"O'Brien"), text), u"N'O''Brien'");
}

TEST(MssAppendString, MissingValuesTakeTheDefaultOfNotNullColumns) {
    EXPECT_EQ(mss_table::get_fld_append_str(ole_variant(), column(VT_I4, false)), u"NULL");
    EXPECT_EQ(mss_table::get_fld_append_str(null_value(), column(VT_I4, true, ole_variant(7))),
              u"7");
    // Without a default, the type's zero, as bulk load sends it: not N'', which a server
    // reads as 0 for int but 1900-01-01 for a date and refuses for a decimal.
    EXPECT_EQ(mss_table::get_fld_append_str(null_value(), column(VT_I4, true)), u"0");
    EXPECT_EQ(mss_table::get_fld_append_str(null_value(), column(VT_DECIMAL, true)), u"0");
    EXPECT_EQ(mss_table::get_fld_append_str(null_value(), column(VT_DATE, true)),
              u"'18991230 00:00:00.000'");
    EXPECT_EQ(mss_table::get_fld_append_str(null_value(), column(VT_BSTR, true)), u"N''");
    const ole_variant zero_date = *mss_table::required_substitute(column(VT_DATE, true));
    EXPECT_EQ(zero_date.type(), VT_DATE);
    EXPECT_EQ(zero_date.date_value.wYear, 1899);
    EXPECT_EQ(mss_table::get_fld_append_str(null_value(), column(VT_BOOL, true, ole_variant(true))),
              u"1");
}

TEST(MssAppendString, NumbersBooleansAndDecimals) {
    EXPECT_EQ(mss_table::get_fld_append_str(ole_variant(-12), column(VT_I4, false)), u"-12");
    EXPECT_EQ(mss_table::get_fld_append_str(ole_variant(true), column(VT_BOOL, false)), u"1");
    const t_ftd money = column(VT_DECIMAL, false, ole_variant(), 2 + 256 * 5);
    EXPECT_EQ(
        mss_table::get_fld_append_str(ole_variant::from_string("12345.678", VT_DECIMAL), money),
        u"999.99");
    EXPECT_EQ(
        mss_table::get_fld_append_str(ole_variant::from_string("-12345.678", VT_DECIMAL), money),
        u"-999.99");
    EXPECT_EQ(mss_table::get_fld_append_str(ole_variant::from_string("123.45", VT_DECIMAL), money),
              u"123.45");
    EXPECT_EQ(mss_table::get_fld_append_str(ole_variant(2.5), column(VT_R8, false)), u"2.5e+00");
}

// A GUID is known by its type, which only a replication-ID column gives; text is text even
// in the exact form DAO prints a replication ID in.
TEST(MssAppendString, GuidsAreKnownByTypeNeverByText) {
    const std::u16string braced = u"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
    GUID guid{};
    ASSERT_EQ(guid_from_wstring(braced, &guid), S_OK);
    const std::u16string guid_text = u"{guid " + braced + u"}";
    const t_ftd text = column(VT_BSTR, false);
    {
        udb_custom_conversion registry;
        registry.add_rule(std::make_unique<mss_guid_rule>());
        EXPECT_EQ(mss_table::get_fld_append_str(ole_variant(guid), text), u"N'" + braced + u"'");
        EXPECT_EQ(mss_table::get_fld_append_str(ole_variant(guid_text), text),
                  u"N'" + guid_text + u"'");
        udb_column_desc desc;
        registry.handle1_1(t_ftd(16, u"g", VT_BLOB, false, false, ole_variant(), 1), desc);
        EXPECT_EQ(desc.type, DBTYPE_WSTR);
        EXPECT_EQ(desc.column_size, 38u);
    }
    EXPECT_EQ(mss_table::get_fld_append_str(ole_variant(guid), text), u"N'" + braced + u"'");
}
