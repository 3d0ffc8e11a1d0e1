// Access's operators and functions as a query evaluates them, one row of Shippers (nwind.mdb)
// standing in for a table. Expected values are VBA's documented results, worked by hand.

#include "platform/jetsql/jet_query.hpp"

#include <gtest/gtest.h>

#include <limits>

#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_test_files.hpp"
#include "platform/jet/jet_value_text.hpp"
#include "platform/jetsql/jet_sql_format.hpp"

namespace {

class JetSqlExpression : public ::testing::Test {
protected:
    void SetUp() override {
        JET_REQUIRE_TESTDATA();
        database = jet_database::open(jet_testdata("mdbtools-mdbtestdata/nwind.mdb"));
    }

    // The expression's value over the shipper with id 1 ("Speedy Express"), as CSV text.
    std::string value_of(const std::u16string& expression) {
        auto query = jet_query::compile(*database, u"SELECT " + expression
                                                       + u" FROM Shippers WHERE ShipperID = 1");
        EXPECT_TRUE(query->next());
        return query->values().empty() ? "?" : jet_value_to_csv(query->values()[0]);
    }

    int type_of(const std::u16string& expression) {
        auto query = jet_query::compile(*database, u"SELECT " + expression + u" FROM Shippers");
        return query->columns()[0].dao_type();
    }

    int run_error(const std::u16string& expression) {
        try {
            value_of(expression);
        } catch (const jet_error& error) {
            return error.dao_number();
        }
        return 0;
    }

    std::unique_ptr<jet_database> database;
};

TEST_F(JetSqlExpression, TextFunctionsCountUtf16Units) {
    EXPECT_EQ(value_of(u"Mid(CompanyName, 8)"), "\"Express\"");
    EXPECT_EQ(value_of(u"Mid(CompanyName, 3, 2)"), "\"ee\"");
    EXPECT_EQ(value_of(u"Mid(CompanyName, 99)"), "\"\"");
    EXPECT_EQ(value_of(u"Right(CompanyName, 3) & Left(CompanyName, 99)"), "\"essSpeedy Express\"");
    EXPECT_EQ(value_of(u"Trim('  a b  ') & '|' & LTrim(' x') & RTrim('y ') & '|'"), "\"a b|xy|\"");
    EXPECT_EQ(value_of(u"UCase('straße ärger') & LCase('ÄRGER')"), "\"STRAßE ÄRGERärger\"");
    EXPECT_EQ(value_of(u"Len('\U0001F600')"), "2");
    EXPECT_EQ(value_of(u"Len(Null)"), "");
}

TEST_F(JetSqlExpression, NullsFollowAccessRules) {
    EXPECT_EQ(value_of(u"Null & 'a' & Null"), "\"a\"");
    EXPECT_EQ(value_of(u"Null & Null"), "");
    EXPECT_EQ(value_of(u"Null + 1"), "");
    EXPECT_EQ(value_of(u"IIf(Null, 'yes', 'no')"), "\"no\"");
    EXPECT_EQ(value_of(u"Nz(Null, 5) + 1"), "6");
    EXPECT_EQ(value_of(u"Null Is Null"), "1");
}

TEST_F(JetSqlExpression, TruthIsMinusOne) {
    EXPECT_EQ(value_of(u"(1 = 1) + 0"), "-1");
    EXPECT_EQ(value_of(u"(1 = 1) = True"), "1");
    EXPECT_EQ(value_of(u"Not (1 = 2) = True"), "1");
    EXPECT_EQ(type_of(u"ShipperID > 1"), DAO_TYPE_BOOLEAN);
    EXPECT_EQ(value_of(u"'abc' = 'ABC' And 'b' Between 'A' And 'C' And 'X' In ('x', 'y')"), "1");
}

TEST_F(JetSqlExpression, ArithmeticFollowsVba) {
    EXPECT_EQ(value_of(u"7 / 2"), "3.5");
    EXPECT_EQ(value_of(u"7 \\ 2"), "3");
    EXPECT_EQ(value_of(u"-7 Mod 3"), "-1");
    EXPECT_EQ(value_of(u"2 ^ 10"), "1024");
    EXPECT_EQ(value_of(u"Int(-2.5) & ' ' & Fix(-2.5) & ' ' & Abs(-3)"), "\"-3 -2 3\"");
    // Round halves to even, as VBA does.
    EXPECT_EQ(value_of(u"Round(2.5) & ' ' & Round(3.5) & ' ' & Round(1.2345, 2)"), "\"2 4 1.23\"");
    EXPECT_EQ(value_of(u"CLng(2.5) & ' ' & CLng(3.5) & ' ' & CInt(-2.5)"), "\"2 4 -2\"");
    EXPECT_EQ(run_error(u"CInt(40000)"), 6);
    EXPECT_EQ(value_of(u"CStr(1.5) & CStr(2)"), "\"1.52\"");
    EXPECT_EQ(run_error(u"1 / 0"), 11);
    EXPECT_EQ(run_error(u"5 Mod 0"), 11);
    EXPECT_EQ(run_error(u"Mid('abc', 0)"), 5);
    EXPECT_EQ(run_error(u"Left('abc', -1)"), 5);
    EXPECT_EQ(run_error(u"2147483647 + 1"), 6);   // Long overflows as in Access
}

TEST_F(JetSqlExpression, CurrencyStaysExactWhereAccessKeepsIt) {
    EXPECT_EQ(value_of(u"CCur(0.1) + CCur(0.2)"), "0.3000");
    EXPECT_EQ(type_of(u"CCur(1) * 3"), DAO_TYPE_CURRENCY);
    EXPECT_EQ(value_of(u"CCur(1.2345) * 3"), "3.7035");
    EXPECT_EQ(value_of(u"CCur(10) / 4"), "2.5");
    EXPECT_EQ(value_of(u"IIf(True, CCur(1.5), 2)"), "1.5000");
    EXPECT_EQ(value_of(u"IIf(False, CCur(1.5), 2)"), "2.0000");
}

TEST_F(JetSqlExpression, DatesSplitAndCompare) {
    EXPECT_EQ(value_of(u"#2/29/2000 13:45:10#"), "2000-02-29 13:45:10");
    EXPECT_EQ(value_of(u"Year(#2/29/2000#) * 10000 + Month(#2/29/2000#) * 100 + "
                       u"Day(#2/29/2000#)"),
              "20000229");
    EXPECT_EQ(value_of(u"Hour(#1:02:03 PM#) & ':' & Minute(#1:02:03 PM#) & ':' & "
                       u"Second(#1:02:03 PM#)"),
              "\"13:2:3\"");
    EXPECT_EQ(value_of(u"#1/2/2000# - #1/1/2000#"), "1");
    EXPECT_EQ(value_of(u"Weekday(#12/7/2026#) & Weekday(#12/6/2026#)"), "\"21\"");   // Mon, Sun
    EXPECT_EQ(value_of(u"#1/1/2000# + 1"), "2000-01-02 00:00:00");
    EXPECT_EQ(value_of(u"Date() <= Now() And Now() - Date() < 1"), "1");
}

TEST_F(JetSqlExpression, FunctionsFollowVbasRulesAtTheEdges) {
    // Boundaries crossed, not time elapsed.
    EXPECT_EQ(value_of(u"DateDiff('yyyy', #12/31/2020#, #1/1/2021#)"), "1");
    EXPECT_EQ(value_of(u"DateDiff('h', #1/1/2021 10:59:59#, #1/1/2021 11:00:00#)"), "1");
    EXPECT_EQ(value_of(u"DateDiff('ww', #1/2/2021#, #1/3/2021#)"), "1");   // a Saturday, a Sunday
    EXPECT_EQ(value_of(u"DateDiff('w', #1/2/2021#, #1/8/2021#)"), "0");
    EXPECT_EQ(value_of(u"DateDiff('d', #1/10/2021#, #1/1/2021#)"), "-9");
    // Month ends clamp; DateSerial rolls months and days over.
    EXPECT_EQ(value_of(u"DateAdd('m', 1, #1/31/2020#)"), "2020-02-29 00:00:00");
    EXPECT_EQ(value_of(u"DateAdd('yyyy', -1, #2/29/2020#)"), "2019-02-28 00:00:00");
    EXPECT_EQ(value_of(u"DateAdd('n', 90, #12/31/1899 23:00#)"), "1900-01-01 00:30:00");
    EXPECT_EQ(value_of(u"DateSerial(2020, 14, 0)"), "2021-01-31 00:00:00");
    EXPECT_EQ(value_of(u"DateSerial(99, 1, 1)"), "1999-01-01 00:00:00");
    EXPECT_EQ(value_of(u"DateSerial(2021, 3, -1)"), "2021-02-27 00:00:00");
    EXPECT_EQ(value_of(u"DatePart('ww', #1/1/2022#)"), "1");   // a Saturday: week 1 holds Jan 1
    EXPECT_EQ(value_of(u"DatePart('ww', #1/2/2022#)"), "2");
    EXPECT_EQ(value_of(u"CDate('2021-03-04')"), "2021-03-04 00:00:00");
    EXPECT_EQ(value_of(u"CCur(0.03125)"), "0.0312");   // 312.5 ten-thousandths, to even
    EXPECT_EQ(value_of(u"CCur(0.03135)"), "0.0314");
    // InStr: start, empty sought text, case-blind by default, binary on request.
    EXPECT_EQ(value_of(u"InStr(4, 'abcabc', 'b')"), "5");
    EXPECT_EQ(value_of(u"InStr(3, 'abc', '')"), "3");
    EXPECT_EQ(value_of(u"InStr('Straße', 'SSE')"), "0");
    EXPECT_EQ(value_of(u"InStr(1, 'ABC', 'b', 0)"), "0");
    EXPECT_EQ(value_of(u"InStr(1, 'ABC', 'b', 1)"), "2");
    EXPECT_EQ(value_of(u"InStr(Null, 'b')"), "");
    EXPECT_EQ(value_of(u"Switch(False, 1)"), "");
    EXPECT_EQ(value_of(u"Choose(2.9, 'a', 'b', 'c')"), "\"b\"");
    EXPECT_EQ(value_of(u"Choose(4, 'a', 'b', 'c')"), "");
}

TEST_F(JetSqlExpression, FormatCoversTheCommonPatterns) {
    EXPECT_EQ(value_of(u"Format(#3/4/2021 13:05:09#, 'General Date')"), "\"3/4/2021 1:05:09 PM\"");
    EXPECT_EQ(value_of(u"Format(#3/4/2021#, 'General Date')"), "\"3/4/2021\"");
    EXPECT_EQ(value_of(u"Format(#3/4/2021 13:05:09#, 'Short Date')"), "\"3/4/2021\"");
    EXPECT_EQ(value_of(u"Format(#3/4/2021 13:05:09#, 'Long Time')"), "\"1:05:09 PM\"");
    EXPECT_EQ(value_of(u"Format(#3/4/2021 13:05:09#, 'Short Time')"), "\"13:05\"");
    EXPECT_EQ(value_of(u"Format(#3/4/2021 13:05:09#, 'hh:mm:ss am/pm')"), "\"01:05:09 pm\"");
    EXPECT_EQ(value_of(u"Format(#3/4/2021 13:05:09#, 'ddd d mmm yy \"at\" h\\h')"),
              "\"Thu 4 Mar 21 at 13h\"");
    EXPECT_EQ(value_of(u"Format(#3/4/2021#, 'q/yyyy')"), "\"1/2021\"");
    EXPECT_EQ(value_of(u"Format(1234.5, 'Standard')"), "\"1,234.50\"");
    EXPECT_EQ(value_of(u"Format(-1234.5, 'Currency')"), "\"($1,234.50)\"");
    EXPECT_EQ(value_of(u"Format(0.125, '0.00')"), "\"0.13\"");   // half away from zero
    EXPECT_EQ(value_of(u"Format(2.5, '0')"), "\"3\"");
    EXPECT_EQ(value_of(u"Format(1.005, 'Fixed')"), "\"1.01\"");
    EXPECT_EQ(value_of(u"Format(0.0525, 'Percent')"), "\"5.25%\"");
    EXPECT_EQ(value_of(u"Format(0.5, '0%')"), "\"50%\"");
    EXPECT_EQ(value_of(u"Format(12345, 'Scientific')"), "\"1.23E+04\"");
    EXPECT_EQ(value_of(u"Format(0, '0.0;(0.0);\"zero\"')"), "\"zero\"");
    EXPECT_EQ(value_of(u"Format(-0.001, '0.00')"), "\"0.00\"");   // no minus sign on a rounded zero
    EXPECT_EQ(value_of(u"Format(1234567, '#,##0')"), "\"1,234,567\"");
    EXPECT_EQ(value_of(u"Format(3, '#.##')"), "\"3.\"");
    EXPECT_EQ(value_of(u"Format(-1, 'Yes/No')"), "\"Yes\"");
    EXPECT_EQ(value_of(u"Format(Null, 'Fixed')"), "");
    EXPECT_EQ(jet_sql_format_number(std::numeric_limits<double>::infinity(), u"0.00E+00"), u"inf");
}

}   // namespace
