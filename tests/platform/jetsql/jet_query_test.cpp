// Queries over Microsoft's Northwind (nwind.mdb, Access 97). Expected values were computed
// from mdb-export's CSV of the same tables, independently of our engine.

#include "platform/jetsql/jet_query.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_test_files.hpp"
#include "platform/jet/jet_value_text.hpp"
#include "platform/jetsql/jet_sql_test_rows.hpp"

namespace {

const char* const NWIND = "mdbtools-mdbtestdata/nwind.mdb";

class NorthwindQuery : public ::testing::Test {
protected:
    void SetUp() override {
        JET_REQUIRE_TESTDATA();
        database = jet_database::open(jet_testdata(NWIND));
    }

    // Every row, each value in the normalised CSV form, fields joined by ','.
    std::vector<std::string> rows(std::u16string_view sql) {
        return jet_sql_test_rows(*database, sql);
    }

    std::string single(std::u16string_view sql) {
        std::vector<std::string> result = rows(sql);
        EXPECT_EQ(result.size(), 1u) << "rows of a one-row query";
        return result.empty() ? std::string() : result[0];
    }

    int error_of(std::u16string_view sql) {
        try {
            jet_query::compile(*database, sql);
        } catch (const jet_error& error) {
            return error.dao_number();
        }
        return 0;
    }

    std::unique_ptr<jet_database> database;
};

TEST_F(NorthwindQuery, JoinsMatchEveryOrderToItsCustomer) {
    EXPECT_EQ(single(u"SELECT Count(*) FROM Orders INNER JOIN Customers "
                     u"ON Orders.CustomerID = Customers.CustomerID"),
              "830");
    // Access's nested, parenthesised form over three tables.
    EXPECT_EQ(single(u"SELECT Count(*) FROM (Orders INNER JOIN [Order Details] ON "
                     u"Orders.OrderID = [Order Details].OrderID) INNER JOIN Products ON "
                     u"[Order Details].ProductID = Products.ProductID"),
              "2155");
    EXPECT_EQ(rows(u"SELECT c.CustomerID FROM Customers AS c LEFT JOIN Orders AS o ON "
                   u"c.CustomerID = o.CustomerID WHERE o.OrderID IS NULL ORDER BY 1, "
                   u"c.CustomerID"),
              (std::vector<std::string>{"\"FISSA\"", "\"PARIS\""}));
    EXPECT_EQ(single(u"SELECT Count(*) FROM Orders o RIGHT JOIN Customers c ON "
                     u"o.CustomerID = c.CustomerID"),
              "832");
}

TEST_F(NorthwindQuery, DistinctRowKeepsOneRowPerSelectedRecord) {
    // 89 of the 91 customers have orders (mdb-export); each comes once, not once per order.
    EXPECT_EQ(rows(u"SELECT DISTINCTROW Customers.* FROM Customers INNER JOIN Orders ON "
                   u"Customers.CustomerID = Orders.CustomerID")
                  .size(),
              89u);
    EXPECT_EQ(rows(u"SELECT DISTINCTROW Customers.CustomerID, Orders.OrderID FROM Customers "
                   u"INNER JOIN Orders ON Customers.CustomerID = Orders.CustomerID")
                  .size(),
              830u);
    EXPECT_EQ(rows(u"SELECT DISTINCTROW Country FROM Customers").size(), 91u);
}

TEST_F(NorthwindQuery, SumsCurrencyExactlyPerGroup) {
    std::vector<std::string> totals = rows(
        u"SELECT TOP 3 OrderID, Sum(UnitPrice * Quantity) AS Total FROM [Order Details] "
        u"GROUP BY OrderID ORDER BY OrderID");
    EXPECT_EQ(totals,
              (std::vector<std::string>{"10248,440.0000", "10249,1863.4000", "10250,1813.0000"}));
    EXPECT_EQ(single(u"SELECT Sum(Freight) FROM Orders"), "64942.6900");
    EXPECT_EQ(single(u"SELECT Max(T) FROM (SELECT Sum(UnitPrice * Quantity) AS T FROM "
                     u"[Order Details] GROUP BY OrderID)"),
              "17250.0000");
    EXPECT_EQ(rows(u"SELECT OrderID FROM [Order Details] GROUP BY OrderID "
                   u"HAVING Sum(UnitPrice * Quantity) >= 17250")
                  .size(),
              1u);
}

TEST_F(NorthwindQuery, ResultColumnsKeepSourceTypes) {
    auto query = jet_query::compile(*database,
                                    u"SELECT CustomerID, Freight, OrderDate, EmployeeID, "
                                    u"Count(*) AS N FROM Orders GROUP BY CustomerID, Freight, "
                                    u"OrderDate, EmployeeID");
    const std::vector<jet_column>& columns = query->columns();
    ASSERT_EQ(columns.size(), 5u);
    EXPECT_EQ(columns[0].name, u"CustomerID");
    EXPECT_EQ(columns[0].dao_type(), DAO_TYPE_TEXT);
    EXPECT_EQ(columns[0].dao_size(), 5u);
    EXPECT_EQ(columns[1].dao_type(), DAO_TYPE_CURRENCY);
    EXPECT_EQ(columns[2].dao_type(), DAO_TYPE_DATE);
    EXPECT_EQ(columns[3].dao_type(), DAO_TYPE_LONG);
    EXPECT_EQ(columns[4].name, u"N");
    EXPECT_EQ(columns[4].dao_type(), DAO_TYPE_LONG);
    ASSERT_TRUE(query->next());
    EXPECT_EQ(query->values()[1].kind(), jet_value_kind::currency);
    EXPECT_EQ(query->values()[2].kind(), jet_value_kind::date);
}

TEST_F(NorthwindQuery, ComparesDateLiterals) {
    EXPECT_EQ(single(u"SELECT Count(*) FROM Orders WHERE OrderDate >= #1/1/1995# "
                     u"AND OrderDate < #1996-01-01#"),
              "391");
    EXPECT_EQ(single(u"SELECT Count(*) FROM Orders WHERE OrderDate BETWEEN #3/1/1995# AND "
                     u"#3/31/1995 11:59:59 PM#"),
              "33");
    EXPECT_EQ(single(u"SELECT Count(*) FROM Orders WHERE Year(OrderDate) = 1995"), "391");
    // Text compared with a date is read as a date; text that is no date is a mismatch.
    EXPECT_EQ(single(u"SELECT Count(*) FROM Orders WHERE OrderDate >= '1/1/1995' "
                     u"AND '1996-01-01' > OrderDate"),
              "391");
    EXPECT_EQ(single(u"SELECT Count(*) FROM Orders WHERE OrderID = '10248'"), "1");
    EXPECT_EQ(error_of(u"SELECT * FROM Orders WHERE OrderDate > 'soon'"), 3464);
    EXPECT_EQ(error_of(u"SELECT * FROM Orders WHERE OrderID = 'ten'"), 3464);
    EXPECT_EQ(single(u"SELECT Month(OrderDate) & \"/\" & Day(OrderDate) FROM Orders "
                     u"WHERE OrderID = 10248"),
              "\"8/4\"");
}

TEST_F(NorthwindQuery, MatchesLikePatternsCaseBlind) {
    EXPECT_EQ(rows(u"SELECT CustomerID FROM Customers WHERE CompanyName LIKE 'a*' "
                   u"ORDER BY CustomerID"),
              (std::vector<std::string>{"\"ALFKI\"", "\"ANATR\"", "\"ANTON\"", "\"AROUT\""}));
    EXPECT_EQ(single(u"SELECT Count(*) FROM Customers WHERE CompanyName LIKE \"?A*\""), "18");
    EXPECT_EQ(single(u"SELECT Count(*) FROM Customers WHERE PostalCode LIKE '#####'"), "50");
    EXPECT_EQ(single(u"SELECT Count(*) FROM Customers WHERE CustomerID = 'alfki'"), "1");
}

TEST_F(NorthwindQuery, TopTakesTheFirstRowsInOrder) {
    EXPECT_EQ(rows(u"SELECT TOP 3 OrderID, Freight FROM Orders ORDER BY Freight DESC"),
              (std::vector<std::string>{"10540,1007.6400", "10372,890.7800", "11030,830.7500"}));
    EXPECT_EQ(rows(u"SELECT TOP 1 PERCENT OrderID FROM Orders").size(), 9u);   // 830 rounds up
}

TEST_F(NorthwindQuery, TopKeepsRowsThatTieWithTheLast) {
    // Countries in order: Argentina 3 customers, Austria 2, Belgium 2 (mdb-export).
    EXPECT_EQ(rows(u"SELECT TOP 2 Country FROM Customers ORDER BY Country").size(), 3u);
    EXPECT_EQ(rows(u"SELECT TOP 4 Country FROM Customers ORDER BY Country").size(), 5u);
    // 5 percent of 91 rounds up to 5 rows; the fifth ties with the fourth only.
    EXPECT_EQ(rows(u"SELECT TOP 5 PERCENT Country FROM Customers ORDER BY Country").size(), 5u);
    EXPECT_EQ(rows(u"SELECT TOP 3 Country FROM Customers ORDER BY Country DESC, CustomerID").size(),
              3u);
}

TEST_F(NorthwindQuery, EvaluatesIIfAndNz) {
    EXPECT_EQ(single(u"SELECT Sum(IIf(Country = \"Germany\", 1, 0)) FROM Customers"), "11");
    EXPECT_EQ(single(u"SELECT Count(*) FROM Customers WHERE Nz(Region, 'none') = 'NONE'"), "60");
    EXPECT_EQ(single(u"SELECT Nz(Region) & '|' & UCase(Left(CompanyName, 4)) & '|' & "
                     u"Len(CustomerID) FROM Customers WHERE CustomerID = 'ALFKI'"),
              "\"|ALFR|5\"");
}

TEST_F(NorthwindQuery, RunsSubqueries) {
    EXPECT_EQ(rows(u"SELECT CustomerID FROM Customers WHERE CustomerID NOT IN "
                   u"(SELECT CustomerID FROM Orders) ORDER BY CustomerID"),
              (std::vector<std::string>{"\"FISSA\"", "\"PARIS\""}));
    EXPECT_EQ(single(u"SELECT Count(*) FROM Customers c WHERE NOT EXISTS "
                     u"(SELECT * FROM Orders o WHERE o.CustomerID = c.CustomerID)"),
              "2");
    EXPECT_EQ(single(u"SELECT (SELECT Count(*) FROM Customers) FROM Shippers "
                     u"WHERE ShipperID = 1"),
              "91");
    // The row count DAO takes wraps the user's statement, which may end in ';'.
    EXPECT_EQ(single(u"select count(*) from (SELECT * FROM Customers WHERE Country = "
                     u"'Germany';)"),
              "11");
}

TEST_F(NorthwindQuery, ComparesWithAggregatesOfSubqueries) {
    // mdb-export: 242 of 830 orders carry more freight than the average, 78.2442...
    EXPECT_EQ(single(u"SELECT Count(*) FROM Orders WHERE Freight > "
                     u"(SELECT Avg(Freight) FROM Orders)"),
              "242");
    EXPECT_EQ(single(u"SELECT First(CustomerID) & ',' & Last(CustomerID) FROM Orders"),
              "\"LILAS,RATTC\"");
    // Eight of the nine employees report to another; one table loaded for both sides.
    EXPECT_EQ(single(u"SELECT Count(*) FROM Employees AS e INNER JOIN EMPLOYEES AS m ON "
                     u"e.ReportsTo = m.EmployeeID"),
              "8");
}

TEST_F(NorthwindQuery, RefusesMisusedAggregatesAndSubqueries) {
    EXPECT_EQ(error_of(u"SELECT Sum(Count(*)) FROM Orders"), 3095);
    EXPECT_EQ(error_of(u"SELECT Sum(*) FROM Orders"), 3075);
    EXPECT_EQ(error_of(u"SELECT Left(CustomerID) FROM Orders"), 3075);
    EXPECT_EQ(error_of(u"SELECT * FROM Orders WHERE OrderID IN "
                       u"(SELECT OrderID, ProductID FROM [Order Details])"),
              3306);
    EXPECT_EQ(error_of(u"SELECT x.* FROM Orders"), 3061);
    EXPECT_EQ(error_of(u"SELECT Orders.Nothing FROM Orders"), 3061);
    EXPECT_EQ(error_of(u"SELECT * FROM Orders GROUP BY Sum(Freight)"), 3095);
}

TEST_F(NorthwindQuery, FindsNamesCaseBlindIncludingNonAscii) {
    EXPECT_EQ(single(u"select count(*) from [UMSÄTZE]"), "830");
    EXPECT_EQ(single(u"SELECT COUNT(*) FROM [order details] WHERE [ORDERID] = 10248"), "3");
}

TEST_F(NorthwindQuery, RunsTheRelationshipCatalogueSelect) {
    std::vector<std::string> result = rows(
        u"SELECT szRelationship, szColumn, szObject, szReferencedObject, "
        u"szReferencedColumn, grbit FROM MSysRelationships ORDER BY szRelationship");
    ASSERT_EQ(result.size(), 7u);
    EXPECT_EQ(result[0], "\"CategoriesProducts\",\"CategoryID\",\"Products\",\"Categories\","
                         "\"CategoryID\",0");
    EXPECT_EQ(result[1].substr(0, 17), "\"CustomersOrders\"");
}

TEST_F(NorthwindQuery, RejectsBadStatementsWithDaoNumbers) {
    EXPECT_EQ(error_of(u"SELECT OrderID FROM Orders WHERE OrderID = = 1"), 3075);
    EXPECT_EQ(error_of(u"SELECT * FROM Orders INNER JOIN Customers"), 3131);
    EXPECT_EQ(error_of(u"SELECT * FROM"), 3131);
    EXPECT_EQ(error_of(u"SELECT OrderID Orders"), 3141);
    EXPECT_EQ(error_of(u"SELECT * FROM NoSuchTable"), 3078);
    EXPECT_EQ(error_of(u"SELECT NoSuchColumn FROM Orders"), 3061);
    EXPECT_EQ(error_of(u"SELECT CustomerID FROM Orders INNER JOIN Customers ON "
                       u"Orders.CustomerID = Customers.CustomerID"),
              3079);
    EXPECT_EQ(error_of(u"SELECT CustomerID, Count(*) FROM Orders"), 3122);
    EXPECT_EQ(error_of(u"SELECT * FROM Orders WHERE Sum(Freight) > 1"), 3096);
    EXPECT_EQ(error_of(u"SELECT NoSuchFunction(OrderID) FROM Orders"), 3085);
    EXPECT_EQ(error_of(u"DELETE FROM Orders"), 3129);
    EXPECT_EQ(error_of(u"SELECT * FROM Orders; SELECT * FROM Customers"), 3142);
}

TEST_F(NorthwindQuery, QuotesTheFailingExpression) {
    try {
        jet_query::compile(*database, u"SELECT * FROM Orders WHERE Freight > 1 2");
        FAIL() << "a missing operator was accepted";
    } catch (const jet_error& error) {
        EXPECT_EQ(error.dao_number(), 3075);
        EXPECT_STREQ(error.what(), "Syntax error (missing operator) in query expression "
                                   "'Freight > 1 2'.");
    }
}

TEST_F(NorthwindQuery, ReportsRunTimeFailuresAndRunsAgain) {
    auto query = jet_query::compile(*database, u"SELECT 1 / (OrderID - 10248) FROM Orders "
                                               u"ORDER BY OrderID");
    try {
        while (query->next()) {}
        FAIL() << "division by zero gave a result";
    } catch (const jet_error& error) {
        EXPECT_EQ(error.dao_number(), 11);
    }
    auto rows_query = jet_query::compile(*database, u"SELECT (SELECT OrderID FROM Orders) "
                                                    u"FROM Shippers");
    EXPECT_THROW(rows_query->next(), jet_error);
}

TEST_F(NorthwindQuery, RewindsToTheFirstRow) {
    auto query = jet_query::compile(*database, u"SELECT ShipperID FROM Shippers "
                                               u"ORDER BY ShipperID");
    ASSERT_TRUE(query->next());
    ASSERT_TRUE(query->next());
    query->rewind();
    ASSERT_TRUE(query->next());
    EXPECT_EQ(jet_value_to_csv(query->values()[0]), "1");
}

}   // namespace

namespace {

jet_value first_value(const jet_database& database, std::u16string_view sql) {
    auto query = jet_query::compile(database, sql);
    EXPECT_TRUE(query->next());
    return query->values().empty() ? jet_value() : query->values()[0];
}

TEST(QuerySourceTypes, KeepsDecimalsExactBeyondDoublePrecision) {
    JET_REQUIRE_TESTDATA();
    auto database = jet_database::open(
        jet_testdata("jahlborn-jackcess/V2010/calcFieldTestV2010.accdb"));
    // mdb-export: 102030405060.654321 (18 digits, more than a double keeps).
    jet_value value = first_value(*database, u"SELECT Popularity FROM Table1 WHERE ID = 4");
    ASSERT_EQ(value.kind(), jet_value_kind::decimal);
    EXPECT_EQ(jet_value_to_csv(value), "102030405060.654321");
    auto query = jet_query::compile(*database, u"SELECT Popularity FROM Table1");
    EXPECT_EQ(query->columns()[0].dao_type(), DAO_TYPE_DECIMAL);
    EXPECT_EQ(query->columns()[0].scale, 6);
    EXPECT_EQ(jet_value_to_csv(first_value(*database, u"SELECT Count(*) FROM Table1 "
                                                      u"WHERE Popularity < 0")),
              "1");
}

TEST(QuerySourceTypes, KeepsBooleanByteAndCurrency) {
    JET_REQUIRE_TESTDATA();
    auto database = jet_database::open(jet_testdata("jahlborn-jackcess/V2000/testV2000.mdb"));
    // mdb-export: "abcdefg",...,C 2, H 3.5000, I 1 and "a",...,0,0.0000,0.
    auto query = jet_query::compile(*database, u"SELECT I, C, H, A FROM Table1 WHERE I = True");
    EXPECT_EQ(query->columns()[0].dao_type(), DAO_TYPE_BOOLEAN);
    EXPECT_EQ(query->columns()[1].dao_type(), DAO_TYPE_BYTE);
    EXPECT_EQ(query->columns()[3].dao_size(), 50u);
    ASSERT_TRUE(query->next());
    EXPECT_EQ(query->values()[0], jet_value(true));
    EXPECT_EQ(query->values()[1], jet_value(std::uint8_t(2)));
    EXPECT_EQ(query->values()[2], jet_value(jet_currency{35000}));
    EXPECT_EQ(query->values()[3], jet_value(std::u16string(u"abcdefg")));
    EXPECT_FALSE(query->next());
    EXPECT_EQ(jet_value_to_csv(first_value(*database, u"SELECT Count(*) FROM Table1 "
                                                      u"WHERE NOT I")),
              "1");
}

TEST_F(NorthwindQuery, FoldsCaseInDistinctGroupAndOrder) {
    // Shipper 1 gives lower case, the other two upper case: one value to Access.
    const std::u16string mixed = u"IIf(ShipperID = 1, 'abc', 'ABC')";
    EXPECT_EQ(single(u"SELECT Count(*) FROM (SELECT DISTINCT " + mixed
                     + u" AS v FROM "
                       u"Shippers)"),
              "1");
    EXPECT_EQ(single(u"SELECT Count(*) FROM (SELECT " + mixed
                     + u" AS v FROM Shippers "
                       u"GROUP BY "
                     + mixed + u")"),
              "1");
    EXPECT_EQ(rows(u"SELECT IIf(ShipperID = 1, 'a', 'B') AS v FROM Shippers ORDER BY "
                   u"IIf(ShipperID = 1, 'a', 'B'), ShipperID"),
              (std::vector<std::string>{"\"a\"", "\"B\"", "\"B\""}));
}

TEST_F(NorthwindQuery, NamesResultColumnsAsAccessDoes) {
    auto query = jet_query::compile(*database,
                                    u"SELECT Sum(Freight), Freight * 2, o.OrderID, "
                                    u"d.OrderID FROM Orders o INNER JOIN [Order Details] d "
                                    u"ON o.OrderID = d.OrderID GROUP BY o.OrderID, d.OrderID, "
                                    u"Freight");
    std::vector<std::u16string> names;
    for (const jet_column& column : query->columns()) names.push_back(column.name);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"SumOfFreight", u"Expr1000", u"o.OrderID",
                                                  u"d.OrderID"}));
}

TEST_F(NorthwindQuery, UsesSelectAliasesInWhere) {
    EXPECT_EQ(single(u"SELECT OrderID, Freight * 2 AS Twice FROM Orders WHERE Twice > 2000"),
              "10540,2015.2800");   // Currency * Long stays Currency
    EXPECT_EQ(error_of(u"SELECT A + 1 AS A FROM Shippers WHERE A > 1"), 3061);
}

}   // namespace

namespace {

TEST(QueryLinkedTable, IsNotAnInputTable) {
    JET_REQUIRE_TESTDATA();
    auto database = jet_database::open(
        jet_testdata("jahlborn-jackcess/V2007/linkerTestV2007.accdb"));
    int linked = 0;
    for (const jet_catalog_entry& entry : database->tables()) {
        if (!entry.is_linked()) continue;
        ++linked;
        try {
            jet_query::compile(*database, u"SELECT * FROM [" + entry.name + u"]");
            ADD_FAILURE() << "a linked table was read as local";
        } catch (const jet_error& error) {
            EXPECT_EQ(error.dao_number(), 3078);
        }
    }
    EXPECT_GT(linked, 0);
}

// The same table saved by Access 97, 2000, 2007 and 2010: one query, one answer in every
// format (mdb-export: "abcdefg",...,E 333333333, F 444.555, G 09/21/74, H 3.5000, I 1).
class QueryEveryFormat : public ::testing::TestWithParam<const char*> {};

TEST_P(QueryEveryFormat, AnswersAlike) {
    JET_REQUIRE_TESTDATA();
    auto database = jet_database::open(jet_testdata(GetParam()));
    auto query = jet_query::compile(*database, u"SELECT UCase(a) & '/' & b, E + 1, F * 2, Year(G), "
                                               u"H * 2 FROM Table1 WHERE i AND a LIKE 'ABC*' "
                                               u"ORDER BY 1");
    ASSERT_TRUE(query->next());
    std::string line;
    for (const jet_value& value : query->values()) line += jet_value_to_csv(value) + ";";
    EXPECT_EQ(line, "\"ABCDEFG/hijklmnop\";333333334;889.11;1974;7.0000;");
    EXPECT_FALSE(query->next());
}

INSTANTIATE_TEST_SUITE_P(JackcessTestFiles, QueryEveryFormat,
                         ::testing::Values("jahlborn-jackcess/V1997/testV1997.mdb",
                                           "jahlborn-jackcess/V2000/testV2000.mdb",
                                           "jahlborn-jackcess/V2007/testV2007.accdb",
                                           "jahlborn-jackcess/V2010/testV2010.accdb"));

TEST(QueryUnicodeText, ComparesAndSlicesNonLatinText) {
    JET_REQUIRE_TESTDATA();
    auto database = jet_database::open(
        jet_testdata("jahlborn-jackcess/V2003/testUnicodeCompV2003.mdb"));
    // mdb-export: 3 "Мир", 4 "ϰαὶ τότ' ἐγὼ Κύϰλωπα", 7 "ümlaut", 8 every code point from
    // U+0001 to U+00FF.
    auto ids = [&](std::u16string_view where) {
        auto query = jet_query::compile(*database, u"SELECT ID FROM [Table] WHERE "
                                                       + std::u16string(where) + u" ORDER BY ID");
        std::string result;
        while (query->next()) result += jet_value_to_csv(query->values()[0]) + " ";
        return result;
    };
    EXPECT_EQ(ids(u"Unicode = 'МИР'"), "3 ");
    EXPECT_EQ(ids(u"Unicode LIKE '*Ü*'"), "7 8 ");
    EXPECT_EQ(ids(u"Left(Unicode, 3) = 'ϰαὶ' AND Len(Unicode) = 20"), "4 ");
    EXPECT_EQ(ids(u"UCase(Unicode) = 'ÄÄKKÖSIÄ'"), "2 ");
}

// A copy of nwind.mdb cut short: opening or querying it fails with the engine's error,
// never a crash or a partial result passed off as whole.
TEST(QueryDamagedFile, TruncatedTablesFailWithJetError) {
    JET_REQUIRE_TESTDATA();
    std::filesystem::path source = jet_testdata("mdbtools-mdbtestdata/nwind.mdb");
    std::filesystem::path copy = std::filesystem::temp_directory_path()
                                 / ("jetsql_truncated_" + std::to_string(::getpid()) + ".mdb");
    std::filesystem::copy_file(source, copy, std::filesystem::copy_options::overwrite_existing);
    // Whole pages: a cut inside a page fails the open before any query runs.
    std::filesystem::resize_file(copy, std::filesystem::file_size(source) / 3 / 2048 * 2048);
    int failures = 0;
    for (std::u16string_view table : {u"Orders", u"Customers", u"[Order Details]", u"Products"}) {
        try {
            auto database = jet_database::open(copy.string());
            auto query = jet_query::compile(*database,
                                            u"SELECT Count(*) FROM " + std::u16string(table));
            while (query->next()) {}
        } catch (const jet_error& error) {
            EXPECT_EQ(error.dao_number(), JET_ERR_CORRUPT) << error.what();
            ++failures;
        }
    }
    std::filesystem::remove(copy);
    EXPECT_GT(failures, 0) << "a third of the file cannot hold every table";
}

}   // namespace
