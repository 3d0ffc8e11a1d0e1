// dao_default_test.cpp - Access DefaultValue texts read into the neutral model. The texts
// are those Access's table designer stores (Access help, "DefaultValue Property"); True is
// -1 wherever Access makes it a number.
#include "dao/dao_default.hpp"

#include <gtest/gtest.h>

namespace {

constexpr int DAO_BOOLEAN = 1;
constexpr int DAO_LONG = 4;
constexpr int DAO_CURRENCY = 5;
constexpr int DAO_DOUBLE = 7;
constexpr int DAO_DATE = 8;
constexpr int DAO_TEXT = 10;
constexpr int DAO_GUID = 15;

dao_default read(int dao_type, std::uint16_t vartype, const std::u16string& stored) {
    return dao_read_default(dao_type, vartype, stored);
}

}   // namespace

TEST(DaoDefault, DateFunctionsBecomeComputedDefaults) {
    EXPECT_EQ(read(DAO_DATE, VT_DATE, u"Now()").function, udb_default_function::NOW);
    EXPECT_EQ(read(DAO_DATE, VT_DATE, u"=Date()").function, udb_default_function::TODAY);
    EXPECT_EQ(read(DAO_DATE, VT_DATE, u" = time ( ) ").function, udb_default_function::TIME_OF_DAY);
    EXPECT_EQ(read(DAO_GUID, VT_BLOB, u"GenGUID()").function, udb_default_function::NEW_GUID);
    const dao_default now = read(DAO_DATE, VT_DATE, u"Now()");
    EXPECT_EQ(now.value.type(), VT_EMPTY);
    EXPECT_TRUE(now.unmapped.empty());
}

TEST(DaoDefault, LiteralsBecomeValuesOfTheColumnType) {
    const dao_default yes = read(DAO_BOOLEAN, VT_BOOL, u"Yes");
    ASSERT_EQ(yes.value.type(), VT_BOOL);
    EXPECT_TRUE(yes.value.to_bool());
    EXPECT_FALSE(read(DAO_BOOLEAN, VT_BOOL, u"off").value.to_bool());
    EXPECT_EQ(read(DAO_LONG, VT_I4, u"True").value.to_long(), -1);
    EXPECT_EQ(read(DAO_LONG, VT_I4, u"=5").value.to_long(), 5);
    EXPECT_EQ(read(DAO_CURRENCY, VT_CY, u"0.00").value.type(), VT_CY);
    EXPECT_DOUBLE_EQ(read(DAO_DOUBLE, VT_R8, u"-1.5E3").value.to_double(), -1500.0);
    EXPECT_EQ(read(DAO_TEXT, VT_BSTR, u"\"it's\"").value.to_wstring(), u"it's");
    EXPECT_EQ(read(DAO_TEXT, VT_BSTR, u"'say \"hi\"'").value.to_wstring(), u"say \"hi\"");
    EXPECT_EQ(read(DAO_TEXT, VT_BSTR, u"=12").value.to_wstring(), u"12");
    const dao_default date = read(DAO_DATE, VT_DATE, u"#10/20/2015#");
    ASSERT_EQ(date.value.type(), VT_DATE);
    EXPECT_EQ(date.value.date_value.wDay, 20);
}

TEST(DaoDefault, NullAndEmptyAreNoDefault) {
    for (const std::u16string stored : {u"", u"  ", u"Null", u"=NULL"}) {
        const dao_default none = read(DAO_TEXT, VT_BSTR, stored);
        EXPECT_EQ(none.value.type(), VT_EMPTY);
        EXPECT_EQ(none.function, udb_default_function::NONE);
        EXPECT_TRUE(none.unmapped.empty());
    }
}

TEST(DaoDefault, ExpressionsWithoutEquivalentAreKeptForTheReport) {
    // A number column read like atoi would take "Now()" as 0: it must not.
    EXPECT_EQ(read(DAO_LONG, VT_I4, u"Now()").unmapped, u"Now()");
    EXPECT_EQ(read(DAO_TEXT, VT_BSTR, u"=Date()").unmapped, u"=Date()");
    EXPECT_EQ(read(DAO_DATE, VT_DATE, u"DateAdd(\"d\",1,Date())").unmapped,
              u"DateAdd(\"d\",1,Date())");
    EXPECT_EQ(read(DAO_DATE, VT_DATE, u"Date()+1").unmapped, u"Date()+1");
    EXPECT_EQ(read(DAO_LONG, VT_I4, u"1+1").unmapped, u"1+1");
    EXPECT_EQ(read(DAO_TEXT, VT_BSTR, u"[Forms]![Orders]![City]").unmapped,
              u"[Forms]![Orders]![City]");
    EXPECT_EQ(read(DAO_DATE, VT_DATE, u"#not a date#").unmapped, u"#not a date#");
    const dao_default text = read(DAO_TEXT, VT_BSTR, u"abc");   // a name, not text
    EXPECT_EQ(text.value.type(), VT_EMPTY);
    EXPECT_EQ(text.unmapped, u"abc");
}
