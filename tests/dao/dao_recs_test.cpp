// dao_recs_test.cpp - tables read through the Access classes: schemas (VARIANT types, sizes,
// defaults, flags), indexes, row counts and values. Expected values come from mdb-export,
// or from mdb-reader where mdbtools is known to be wrong (dates before 1899, BigInt), and
// from the Access rules for defaults and time-only values worked by hand.
#include "dao/dao_default.hpp"
#include "dao/dao_recs.hpp"

#include <gtest/gtest.h>

#include "dao/dao_exce.hpp"
#include "dao_test_env.hpp"
#include "platform/dao/dao.hpp"
#include "platform/dao/daostub_rows.hpp"

namespace {

std::unique_ptr<udb_recordset> open_table(dao_test_engine& test, const std::string& file,
                                          const std::u16string& table) {
    auto database = test.open(file);
    auto recordset = database->get_table(table, 1);
    if (!recordset) throw std::runtime_error("no recordset");
    return recordset;
}

struct column_shape {
    std::u16string name;
    VARTYPE vartype;
    std::uint32_t size;
};

}   // namespace

TEST(DaoRecordsetSchema, MapsEveryBasicTypeWithSizesAndDefaults) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    auto table = open_table(test, "jahlborn-jackcess/V2000/testV2000.mdb", u"Table1");
    const std::vector<column_shape> expected = {
        {u"A", VT_BSTR, 50}, {u"B", VT_BSTR, 100}, {u"C", VT_UI1, 1},
        {u"D", VT_I2, 2},    {u"E", VT_I4, 4},     {u"F", VT_R8, 8},
        {u"G", VT_DATE, 8},  {u"H", VT_CY, 8},     {u"I", VT_BOOL, 1}};
    ASSERT_EQ(table->schema.size(), expected.size());
    for (std::size_t column_idx = 0; column_idx < expected.size(); ++column_idx) {
        const t_ftd& column = table->schema[column_idx];
        SCOPED_TRACE(tk_utf16_to_utf8(column.name));
        EXPECT_EQ(column.name, expected[column_idx].name);
        EXPECT_EQ(column.vartype, expected[column_idx].vartype);
        EXPECT_EQ(column.size, expected[column_idx].size);
        EXPECT_FALSE(column.b_autoincrement);
    }
    EXPECT_EQ(table->schema[6].reserved, 1u);   // dates are marked
    // Access writes "0" as the default of numeric columns made in its designer.
    EXPECT_EQ(table->schema[4].def_value.type(), VT_I4);
    EXPECT_EQ(table->schema[4].def_value.value.lVal, 0);
    EXPECT_EQ(table->schema[0].def_value.type(), VT_EMPTY);
    EXPECT_EQ(table->records_count, 2);
}

TEST(DaoRecordsetSchema, KeepsAutonumbersRequiredAndDateDefaults) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    auto linker = open_table(test, "jahlborn-jackcess/V2007/linkerTestV2007.accdb", u"Table1");
    EXPECT_TRUE(linker->schema[0].b_autoincrement);   // ID, AutoNumber
    auto config = open_table(test, "CirrusRedOrg-EntityFrameworkCore.Jet/E2E.accdb",
                             u"PropertyConfiguration");
    const t_ftd& fixed = config->schema.find_field(u"WithDateFixedDefault");
    EXPECT_TRUE(fixed.b_not_null);
    ASSERT_EQ(fixed.def_value.type(), VT_DATE);   // stored as #10/20/2015#
    EXPECT_EQ(std::tuple(fixed.def_value.date_value.wYear, fixed.def_value.date_value.wMonth,
                         fixed.def_value.date_value.wDay),
              std::tuple(WORD(2015), WORD(10), WORD(20)));
    EXPECT_FALSE(config->schema.find_field(u"WithDateNullDefault").b_not_null);
    const t_ftd& money = config->schema.find_field(u"WithMoneyDefaultValue");
    ASSERT_EQ(money.def_value.type(), VT_CY);
    EXPECT_EQ(money.def_value.value.cyVal.int64, 0);
    // mdb-prop lists DefaultValue "Now()" and "NULL" for these two.
    EXPECT_EQ(config->schema.find_field(u"WithDateDefaultExpression").def_function,
              udb_default_function::NOW);
    const t_ftd& null_default = config->schema.find_field(u"WithDateNullDefault");
    EXPECT_EQ(null_default.def_value.type(), VT_EMPTY);
    EXPECT_TRUE(null_default.def_unmapped.empty());
    // ... and "GenGUID()" for the replication ID of testV2010's Table4.
    auto guids = open_table(test, "jahlborn-jackcess/V2010/testV2010.accdb", u"Table4");
    EXPECT_EQ(guids->schema.find_field(u"data").def_function, udb_default_function::NEW_GUID);
}

TEST(DaoRecordsetSchema, StripsDefaultQuotesOnlyForTheirTypes) {
    EXPECT_EQ(dao_strip_default(8, u"#1/2/2003#"), u"1/2/2003");
    EXPECT_EQ(dao_strip_default(8, u"#"), u"#");
    EXPECT_EQ(dao_strip_default(8, u"Now()"), u"Now()");
    EXPECT_EQ(dao_strip_default(10, u"\"abc\""), u"abc");
    EXPECT_EQ(dao_strip_default(10, u"\"\""), u"");
    EXPECT_EQ(dao_strip_default(10, u"\"a"), u"\"a");
    EXPECT_EQ(dao_strip_default(10, u"#x#"), u"#x#");      // '#' is for dates
    EXPECT_EQ(dao_strip_default(4, u"\"1\""), u"\"1\"");   // quotes are for text
}

TEST(DaoRecordsetSchema, ExactTypesStayExact) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    auto decimals = open_table(test, "jahlborn-jackcess/V2000/fixedNumericTestV2000.mdb", u"test");
    EXPECT_EQ(decimals->schema[1].vartype, VT_DECIMAL);
    EXPECT_EQ(decimals->schema[1].reserved, (18u << 8) | 0u);   // Decimal(18, 0)
    udb_record* row = decimals->get_item();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ((*row)[4].to_string(), "4");   // mdb-reader: 1,0,0,4,-1,1
    EXPECT_EQ((*row)[5].to_string(), "-1");

    auto bigint = open_table(test, "andipaetzold-mdb-reader/V2016/bigint.accdb", u"Table");
    EXPECT_EQ(bigint->schema[1].vartype, VT_I8);
    row = bigint->get_item();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ((*row)[1].type(), VT_I8);
    EXPECT_EQ((*row)[1].hyper_value, 42);   // mdb-reader; mdbtools prints nothing
}

TEST(DaoRecordsetIndexes, ListsIndexesWithKeyColumnsInOrder) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    auto table = open_table(test, "jahlborn-jackcess/V2000/testV2000.mdb", u"Table1");
    ASSERT_EQ(table->indexes.size(), 2u);
    EXPECT_EQ(table->indexes[0].name, u"B");
    EXPECT_FALSE(table->indexes[0].b_unique);
    EXPECT_TRUE(table->indexes[1].b_primary && table->indexes[1].b_unique);
    EXPECT_EQ(table->indexes[1].columns, std::vector<std::u16string>{u"A"});
    auto details = open_table(test, "mdbtools-mdbtestdata/nwind.mdb", u"Order Details");
    const udb_index& key = details->indexes.get_index(u"PrimaryKey");
    EXPECT_EQ(key.columns, (std::vector<std::u16string>{u"OrderID", u"ProductID"}));
    EXPECT_EQ(details->records_count, 2155);   // mdb-count
}

TEST(DaoRecordsetRows, ReadsValuesOfEveryBasicType) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    auto table = open_table(test, "jahlborn-jackcess/V2000/testV2000.mdb", u"Table1");
    // mdb-export: "abcdefg","hijklmnop",2,222,333333333,444.555,"09/21/74 00:00:00",3.5000,1
    udb_record* row = table->get_item();
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(row->size(), 9u);
    EXPECT_EQ((*row)[0].to_wstring(), u"abcdefg");
    EXPECT_EQ((*row)[2].value.bVal, 2);
    EXPECT_EQ((*row)[3].value.iVal, 222);
    EXPECT_EQ((*row)[4].value.lVal, 333333333);
    EXPECT_DOUBLE_EQ((*row)[5].value.dblVal, 444.555);
    EXPECT_EQ((*row)[6].date_value.wYear, 1974);
    EXPECT_EQ((*row)[6].date_value.wDay, 21);
    EXPECT_EQ((*row)[7].value.cyVal.int64, 35000);
    EXPECT_EQ((*row)[8].value.boolVal, VARIANT_BOOL(-1));
    table->next();
    EXPECT_EQ(table->get_item()->operator[](0).to_wstring(), u"a");
    table->next();
    EXPECT_TRUE(table->is_eof());
    EXPECT_EQ(table->get_item(), nullptr);
    table->reset();   // a second pass reads the rows again
    ASSERT_FALSE(table->is_eof());
    EXPECT_EQ(table->get_item()->operator[](0).to_wstring(), u"abcdefg");
}

TEST(DaoRecordsetRows, KeepsDatesBefore1900BinaryAndReplicationIds) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    auto dates = open_table(test, "jahlborn-jackcess/V2007/oldDatesV2007.accdb", u"Table1");
    // mdb-reader: 1582-10-15, 1582-10-14, 1492-01-10, 1392-01-10 (mdbtools prints 1900-01-00)
    const WORD years[] = {1582, 1582, 1492, 1392};
    for (WORD year : years) {
        ASSERT_FALSE(dates->is_eof());
        EXPECT_EQ(dates->get_item()->operator[](1).date_value.wYear, year);
        dates->next();
    }
    EXPECT_TRUE(dates->is_eof());

    auto tags = open_table(test, "CirrusRedOrg-EntityFrameworkCore.Jet/GearsOfWarQueryTest.accdb",
                           u"CogTag");
    EXPECT_EQ(tags->schema[0].vartype, VT_BLOB);
    EXPECT_EQ(tags->schema[0].reserved, 1u);   // replication IDs are marked
    // A replication ID travels as a GUID, not as the text DAO prints it in.
    const udb_field& id = tags->get_item()->operator[](0);
    EXPECT_EQ(id.type(), VT_CLSID);
    EXPECT_EQ(id.to_wstring(), u"{34C8D86E-A4AC-4BE5-827F-584DDA348A07}");   // mdb-reader

    auto employees = open_table(test, "mdbtools-mdbtestdata/nwind.mdb", u"Employees");
    const udb_field& photo = employees->get_item()->field(u"Photo");
    EXPECT_EQ(photo.type(), VT_BINARY_ARRAY);
    BYTE* bytes = nullptr;
    std::size_t count = photo.get_bytes(&bytes);
    ASSERT_GT(count, 4u);
    // An Access OLE object starts with its header signature 0x1C15, size 0x2F.
    EXPECT_EQ(std::vector<BYTE>(bytes, bytes + 4), (std::vector<BYTE>{0x15, 0x1C, 0x2F, 0x00}));
}

TEST(DaoRecordsetRows, NullStaysDistinctFromEmptyText) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    auto customers = open_table(test, "mdbtools-mdbtestdata/nwind.mdb", u"Customers");
    // mdb-reader: the first customer, ALFKI, has no Region (NULL), unlike empty text.
    udb_record* row = customers->get_item();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->field(u"CustomerID").to_wstring(), u"ALFKI");
    EXPECT_EQ(row->field(u"Region").type(), VT_NULL);
    EXPECT_EQ(row->field(u"Region").get_vartype(), VT_BSTR);   // the column's type still
}

// The recordset hands out one record whose fields follow the current row: a row must never
// show the value, or the type a caller converted it to, of the row before.
TEST(DaoRecordsetRows, EachRowShowsItsOwnValuesAfterTheCallerConvertedThePrevious) {
    DAO_REQUIRE_TESTDATA();
    dao_test_engine test;
    auto employees = open_table(test, "mdbtools-mdbtestdata/nwind.mdb", u"Employees");
    // mdb-export: Region and ReportsTo by EmployeeID 1..9; empty for NULL.
    const std::vector<std::u16string> regions = {u"WA", u"WA", u"WA", u"WA", u"",
                                                 u"",   u"",   u"WA", u""};
    const std::vector<int> reports_to = {2, 0, 2, 2, 2, 5, 5, 2, 5};   // 0 for NULL
    const std::vector<WORD> hire_years = {1992, 1992, 1992, 1993, 1993, 1993, 1994, 1994, 1994};
    for (std::size_t row_idx = 0; row_idx < regions.size(); ++row_idx) {
        SCOPED_TRACE(row_idx + 1);
        ASSERT_FALSE(employees->is_eof());
        udb_record* row = employees->get_item();
        ASSERT_NE(row, nullptr);
        udb_field& region = row->field(u"Region");
        udb_field& boss = row->field(u"ReportsTo");
        udb_field& hired = row->field(u"HireDate");
        EXPECT_EQ(region.type() == VT_NULL ? u"" : region.to_wstring(), regions[row_idx]);
        EXPECT_EQ(boss.type() == VT_NULL ? 0 : boss.value.lVal, reports_to[row_idx]);
        EXPECT_EQ(boss.get_vartype(), VT_I4);
        ASSERT_EQ(hired.type(), VT_DATE);
        EXPECT_EQ(hired.date_value.wYear, hire_years[row_idx]);
        // What a destination with text columns does to the record before the next row.
        if (boss.type() != VT_NULL) boss.change_type(VT_BSTR);
        hired.change_type(VT_BSTR);
        employees->next();
    }
    EXPECT_TRUE(employees->is_eof());
}

namespace {

// One Date/Time column over fixed values, as the stand-in's Field hands them out.
class date_rows : public daostub_rows {
public:
    explicit date_rows(double serial) : row{jet_value(jet_date{serial})} {
        jet_column column;
        column.name = u"When";
        column.type_code = JET_TYPE_DATETIME;
        column.flags = 0x03;
        column_list.push_back(column);
    }
    const std::vector<jet_column>& columns() const override { return column_list; }

protected:
    bool fetch_next() override { return !fetched_once && (fetched_once = true); }
    void restart() override { fetched_once = false; }
    const std::vector<jet_value>& fetched() const override { return row; }

private:
    std::vector<jet_column> column_list;
    std::vector<jet_value> row;
    bool fetched_once = false;
};

std::string field_text(double serial) {
    auto rows = std::make_shared<date_rows>(serial);
    rows->open();
    auto context = std::make_shared<daostub_context>(false);
    auto* raw_field = com_new<DAOField>(context, daostub_share_columns(rows->columns()), rows, 0);
    dao_field field{ole_com_ptr<DAOField>(raw_field)};
    EXPECT_EQ(field.to_wstring(), tk_utf8_to_utf16(field.to_string()));
    return field.to_string();
}

}   // namespace

TEST(DaoFieldText, PrintsTimeOnlyValuesWithoutTheirFakeDate) {
    // Access keeps a time of day alone on 1899-12-30 (serial 0 plus the fraction).
    EXPECT_EQ(field_text(0.5), "0000-00-00 12:00:00");
    EXPECT_EQ(field_text(0.0), "00:00:00");
    EXPECT_EQ(field_text(1.5), "1899-12-31 12:00:00");
}

TEST(DaoGetValidVariant, WidensTypesAccessCannotStore) {
    EXPECT_EQ(dao_get_valid_variant(ole_variant(char(-5))).type(), VT_I2);
    ole_variant widened = dao_get_valid_variant(ole_variant((unsigned short)(65535)));
    EXPECT_EQ(widened.type(), VT_I4);
    EXPECT_EQ(widened.value.lVal, 65535);
    ole_variant big = dao_get_valid_variant(ole_variant((long long)(9007199254740993LL)));
    EXPECT_EQ(big.type(), VT_R8);
    EXPECT_DOUBLE_EQ(big.value.dblVal, 9007199254740992.0);
    EXPECT_EQ(dao_get_valid_variant(ole_variant(std::u16string(u"x"))).type(), VT_BSTR);
}

TEST(DaoFieldNativeType, ChoosesTextOrMemoAndBinaryOrLongBinaryBySize) {
    auto native = [](VARTYPE vartype, std::uint32_t size) {
        return dao_field::get_native_type(
            t_ftd(size, u"c", vartype, false, false, ole_variant(), 0));
    };
    EXPECT_EQ(native(VT_BSTR, 255), 10);
    EXPECT_EQ(native(VT_BSTR, 256), 12);
    EXPECT_EQ(native(VT_BSTR, 0), 12);
    EXPECT_EQ(native(VT_BLOB, 0), 11);
    EXPECT_EQ(native(VT_BINARY_ARRAY, 16), 9);
    EXPECT_EQ(native(VT_UI4, 4), 7);
    EXPECT_THROW(native(VT_UNKNOWN, 0), ole_type_exception);
}
