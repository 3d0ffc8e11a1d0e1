// The Access SQL people paste from Access: UNION, parameters, and the common functions. Over
// nwind.mdb each result is compared with jet_sql_oracle.mjs, which computes the same values
// from mdb-reader's reading of the tables; edge cases are worked by hand from VBA's
// documented rules.

#include "platform/jetsql/jet_query.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "dump/dump_readers.hpp"
#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_test_files.hpp"
#include "platform/jet/jet_text.hpp"
#include "platform/jet/jet_value_text.hpp"
#include "platform/jetsql/jet_sql_decimal.hpp"
#include "platform/jetsql/jet_sql_errors.hpp"
#include "platform/jetsql/jet_sql_test_rows.hpp"

namespace {

const char* const NWIND = "mdbtools-mdbtestdata/nwind.mdb";

// The oracle's output, by check name.
const std::map<std::string, std::vector<std::string>>& expected_results() {
    static const std::map<std::string, std::vector<std::string>> results = [] {
        std::map<std::string, std::vector<std::string>> parsed;
        std::string script = std::string(VANTREL_SOURCE_DIR)
                             + "/tests/platform/jetsql/jet_sql_oracle.mjs";
        int status = 0;
        std::string output = dump_run("node " + dump_shell_quote(script) + " "
                                          + dump_shell_quote(jet_testdata(NWIND)),
                                      &status);
        std::vector<std::string>* current = nullptr;
        std::size_t start = 0;
        while (status == 0 && start < output.size()) {
            std::size_t end = output.find('\n', start);
            std::string line = output.substr(start, end - start);
            start = end == std::string::npos ? output.size() : end + 1;
            if (line.rfind("[check ", 0) == 0) current = &parsed[line.substr(7, line.size() - 8)];
            else if (current) current->push_back(line);
        }
        return parsed;
    }();
    return results;
}

class AccessSql : public ::testing::Test {
protected:
    void SetUp() override {
        JET_REQUIRE_TESTDATA();
        database = jet_database::open(jet_testdata(NWIND));
    }

    std::vector<std::string> rows(std::u16string_view sql) {
        return jet_sql_test_rows(*database, sql);
    }

    // The oracle's rows for a check; skips when node or mdb-reader are missing.
    const std::vector<std::string>& oracle(const std::string& check) {
        static const std::vector<std::string> none;
        auto found = expected_results().find(check);
        return found == expected_results().end() ? none : found->second;
    }
    bool has_oracle() { return !expected_results().empty(); }

    // Row by row, so a difference names its row.
    void expect_rows(std::u16string_view sql, const std::string& check) {
        std::vector<std::string> ours = rows(sql);
        const std::vector<std::string>& theirs = oracle(check);
        EXPECT_EQ(ours.size(), theirs.size()) << check;
        for (std::size_t row_idx = 0; row_idx < std::min(ours.size(), theirs.size()); ++row_idx)
            EXPECT_EQ(ours[row_idx], theirs[row_idx]) << check << " row " << row_idx;
    }

    jet_error error_of(std::u16string_view sql) {
        try {
            jet_query::compile(*database, sql);
        } catch (const jet_error& error) {
            return error;
        }
        return jet_error(0, "no error");
    }

    std::unique_ptr<jet_database> database;
};

#define REQUIRE_ORACLE()                                                                           \
    if (!has_oracle()) GTEST_SKIP() << "node with mdb-reader (tests/tools) is not installed"

TEST_F(AccessSql, UnionAllKeepsEveryRowAndUnionRemovesDuplicatesCaseBlind) {
    REQUIRE_ORACLE();
    EXPECT_EQ(rows(u"SELECT Count(*) FROM (SELECT City FROM Customers UNION ALL "
                   u"SELECT City FROM Employees)"),
              oracle("union_all_count"));
    std::vector<std::string> cities = rows(u"SELECT City FROM Customers UNION "
                                           u"SELECT City AS Town FROM Employees ORDER BY City");
    ASSERT_FALSE(cities.empty());
    EXPECT_EQ(cities.front(), "\"Aachen\"");   // the whole union is ordered
    std::vector<std::string> expected = oracle("union_cities");
    std::sort(cities.begin(), cities.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(cities, expected);
}

TEST_F(AccessSql, UnionTakesTheFirstNamesAndAWideEnoughType) {
    std::unique_ptr<jet_query> query = jet_query::compile(
        *database, u"SELECT ProductID AS Id, UnitPrice FROM Products WHERE ProductID = 1 "
                   u"UNION ALL (SELECT EmployeeID, 2 FROM Employees WHERE EmployeeID = 1) "
                   u"ORDER BY Id DESC");
    ASSERT_EQ(query->columns().size(), 2u);
    EXPECT_EQ(query->columns()[0].name, u"Id");
    EXPECT_EQ(query->columns()[1].type_code, JET_TYPE_CURRENCY);   // Currency and Long meet
    std::vector<std::string> values;
    while (query->next()) values.push_back(jet_value_to_csv(query->values()[1]));
    EXPECT_EQ(values, (std::vector<std::string>{"18.0000", "2.0000"}));
}

TEST_F(AccessSql, UnionRefusesPartsOfDifferentWidthAndMisplacedOrder) {
    EXPECT_EQ(error_of(u"SELECT City FROM Customers UNION SELECT City, Region FROM Employees")
                  .dao_number(),
              JET_ERR_UNION_COLUMNS);
    EXPECT_EQ(error_of(u"SELECT City FROM Customers ORDER BY City UNION SELECT City FROM "
                       u"Employees")
                  .dao_number(),
              JET_ERR_SYNTAX_SELECT);
}

TEST_F(AccessSql, ParameterQueryGivesDaosTooFewParametersWithTheNames) {
    jet_error undeclared = error_of(u"SELECT * FROM Orders WHERE OrderDate >= [Start Date] AND "
                                    u"OrderDate < [End Date] AND ShipCity = [start date]");
    EXPECT_EQ(undeclared.dao_number(), JET_ERR_TOO_FEW_PARAMETERS);
    EXPECT_STREQ(undeclared.what(), "Too few parameters. Expected 2. Parameters: [Start Date], "
                                    "[End Date]");
    jet_error declared = error_of(u"PARAMETERS [Which City] Text ( 255 ), Since DateTime; "
                                  u"SELECT * FROM Customers WHERE City = [Which City]");
    EXPECT_EQ(declared.dao_number(), JET_ERR_TOO_FEW_PARAMETERS);
    EXPECT_STREQ(declared.what(), "Too few parameters. Expected 2. Parameters: [Which City], "
                                  "[Since]");
    EXPECT_STREQ(error_of(u"SELECT Orders.Shipper FROM Orders").what(),
                 "Too few parameters. Expected 1. Parameters: [Orders.Shipper]");
}

TEST_F(AccessSql, IntegerSumsStayWholeLongs) {
    REQUIRE_ORACLE();
    std::unique_ptr<jet_query> query = jet_query::compile(
        *database, u"SELECT OrderID, Sum(Quantity) FROM [Order Details] GROUP BY OrderID");
    EXPECT_EQ(query->columns()[1].type_code, JET_TYPE_INT32);
    expect_rows(u"SELECT OrderID, Sum(Quantity) FROM [Order Details] GROUP BY OrderID "
                u"ORDER BY OrderID",
                "sum_quantity");
}

TEST_F(AccessSql, TextFunctionsMatchTheIndependentReading) {
    REQUIRE_ORACLE();
    expect_rows(u"SELECT CustomerID, InStr(CompanyName, 'a'), Mid(CompanyName, 2, 3), "
                u"Left(ContactName, 4), Right(Phone, 4), Len(Address), UCase(City), "
                u"LCase(Country), Trim('  ' & City & '  ') FROM Customers "
                u"ORDER BY CustomerID",
                "text_functions");
}

TEST_F(AccessSql, DateFunctionsMatchTheIndependentReading) {
    REQUIRE_ORACLE();
    expect_rows(u"SELECT OrderID, Year(OrderDate), Month(OrderDate), Day(OrderDate), "
                u"DatePart('q', OrderDate), DatePart('y', OrderDate), "
                u"DatePart('w', OrderDate), DatePart('ww', OrderDate), "
                u"DateDiff('d', OrderDate, ShippedDate), DateDiff('m', OrderDate, "
                u"RequiredDate), Format(OrderDate, 'yyyy-mm-dd'), Format(OrderDate, "
                u"'Long Date'), DateAdd('m', 1, OrderDate), DateSerial(Year(OrderDate), "
                u"Month(OrderDate) + 1, 0), DateAdd('d', 30, OrderDate), "
                u"Format(OrderDate, 'Medium Date') FROM Orders ORDER BY OrderID",
                "date_functions");
}

TEST_F(AccessSql, ChoicesConversionsAndNumberFormatsMatchTheIndependentReading) {
    REQUIRE_ORACLE();
    expect_rows(u"SELECT ProductID, Switch(UnitPrice < 10, 'cheap', UnitPrice < 50, "
                u"'middle', True, 'dear'), Choose(CategoryID, 'one', 'two', 'three'), "
                u"IsNull(QuantityPerUnit), CInt(UnitPrice), CStr(UnitsInStock), "
                u"Format(UnitPrice, '#,##0.00'), Format(UnitPrice * UnitsInStock, "
                u"'Currency') FROM Products ORDER BY ProductID",
                "choices");
}

}   // namespace

TEST_F(AccessSql, SavedQueriesInFromAreExpandedFromTheCatalogue) {
    REQUIRE_ORACLE();
    // Current Product List: Products under the alias [Product List], Discontinued = No.
    std::vector<std::string> current = rows(u"SELECT * FROM [Current Product List]");
    std::sort(current.begin(), current.end());
    EXPECT_EQ(current, oracle("saved_current_products"));
    EXPECT_EQ(rows(u"SELECT q.TenMostExpensiveProducts, q.UnitPrice FROM "
                   u"[Ten Most Expensive Products] AS q ORDER BY q.UnitPrice DESC"),
              oracle("saved_ten_most_expensive"));
    // Two levels: Summary of Sales by Year joins Orders with the query Order Subtotals.
    EXPECT_EQ(rows(u"SELECT Count(*) FROM Orders INNER JOIN [Summary of Sales by Year] AS s "
                   u"ON Orders.OrderID = s.OrderID"),
              oracle("saved_shipped_orders"));
}

TEST_F(AccessSql, SavedQueriesKeepTheirUnionsAndParameters) {
    // Customers and Suppliers by City is a UNION query: 91 customers and 29 suppliers, none
    // the same (mdb-export).
    EXPECT_EQ(rows(u"SELECT Count(*) FROM [Customers and Suppliers by City]"),
              (std::vector<std::string>{"120"}));
    // Its declared parameters, and form references that match them, are asked for once.
    EXPECT_STREQ(error_of(u"SELECT * FROM [Sales by Year]").what(),
                 "Too few parameters. Expected 2. Parameters: [Forms!Sales by Year "
                 "Dialog!BeginningDate], [Forms!Sales by Year Dialog!EndingDate]");
    EXPECT_STREQ(
        error_of(u"SELECT * FROM [Employee Sales by Country] WHERE Country = [Land]").what(),
        "Too few parameters. Expected 3. Parameters: [Beginning Date], "
        "[Ending Date], [Land]");
    // A crosstab is no SELECT: refused as Access refuses it as a source of a SELECT.
    EXPECT_EQ(error_of(u"SELECT * FROM [Quarterly Orders by Product]").dao_number(), 3129);
}

// A copy of nwind.mdb whose query Invoices names itself: every "Shippers" in the pages of
// MSysQueries becomes "Invoices" (same length), so Invoices joins Invoices.
TEST_F(AccessSql, SavedQueryCyclesAreRefusedWithTheChain) {
    const jet_catalog_entry* queries = database->find_table(u"MSysQueries");
    ASSERT_NE(queries, nullptr);
    std::uint32_t page_size = database->header().page_size;
    std::ifstream in(jet_testdata(NWIND), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    constexpr std::size_t DATA_PAGE_OWNER = 4;   // data page: type 0x01, owner's tdef page
    int edits = 0;
    for (std::size_t page = 0; page + page_size <= bytes.size(); page += page_size) {
        std::uint32_t owner = std::uint8_t(bytes[page + DATA_PAGE_OWNER])
                              | std::uint8_t(bytes[page + DATA_PAGE_OWNER + 1]) << 8
                              | std::uint8_t(bytes[page + DATA_PAGE_OWNER + 2]) << 16;
        if (bytes[page] != 0x01 || owner != queries->tdef_page()) continue;
        for (std::size_t at = bytes.find("Shippers", page); at < page + page_size;
             at = bytes.find("Shippers", at + 1), ++edits)
            bytes.replace(at, 8, "Invoices");
    }
    ASSERT_GT(edits, 0);
    std::string path = (std::filesystem::temp_directory_path()
                        / ("vantrel_cycle_" + std::to_string(getpid()) + ".mdb"))
                           .string();
    std::ofstream(path, std::ios::binary) << bytes;
    database = jet_database::open(path);
    std::filesystem::remove(path);
    jet_error cycle = error_of(u"SELECT Count(*) FROM [Invoices Filter]");
    EXPECT_EQ(cycle.dao_number(), JET_ERR_CIRCULAR_QUERY);
    EXPECT_STREQ(cycle.what(), "Circular reference caused by query 'Invoices' (Invoices Filter "
                               "-> Invoices -> Invoices).");
}

namespace {

std::string exact(char op, std::string_view left, std::string_view right) {
    std::optional<jet_sql_exact> result = jet_sql_exact_combine(op, *jet_sql_exact_parse(left),
                                                                *jet_sql_exact_parse(right));
    return result ? jet_sql_exact_text(*result) : "overflow";
}

}   // namespace

TEST(JetSqlDecimal, ArithmeticIsExactWithVbaScales) {
    EXPECT_EQ(exact('+', "0.1", "0.2"), "0.3");        // a double would give 0.30000000000000004
    EXPECT_EQ(exact('-', "1.50", "2"), "-0.50");       // the larger scale is kept
    EXPECT_EQ(exact('*', "1.25", "-0.5"), "-0.625");   // scales add
    EXPECT_EQ(exact('*', "0.0000000000000001", "0.0000000000000001"),
              "0.0000000000000000000000000000");   // 32 places rounded to 28
    EXPECT_EQ(exact('+', "79228162514264337593543950335", "0"),
              "79228162514264337593543950335");   // Decimal's largest value
    EXPECT_EQ(exact('+', "79228162514264337593543950335", "1"), "overflow");
    EXPECT_EQ(exact('*', "79228162514264337593543950335", "10"), "overflow");
    EXPECT_EQ(jet_sql_exact_parse("1e5"), std::nullopt);
    EXPECT_EQ(jet_sql_exact_parse("-"), std::nullopt);
}

TEST_F(AccessSql, DecimalColumnsComputeExactlyAndStayDecimal) {
    // fixedNumericTestV2007: one row, col2..col7 = 1, 0, 0, 4, -1, 1 (mdb-export). Found by
    // jet_sql_function_fuzz_test: Sum(col5) crashed while the Decimal total sat misaligned in
    // SQLite's aggregate memory.
    auto numeric = jet_database::open(
        jet_testdata("jahlborn-jackcess/V2007/fixedNumericTestV2007.accdb"));
    std::unique_ptr<jet_query> query = jet_query::compile(
        *numeric, u"SELECT col2 + col5, col5 * col6 - col7, Sum(col5) + 1 FROM test "
                  u"GROUP BY col2, col5, col6, col7");
    for (const jet_column& column : query->columns())
        EXPECT_EQ(column.type_code, JET_TYPE_NUMERIC) << jet_utf8(column.name);
    ASSERT_TRUE(query->next());
    std::vector<std::string> values;
    for (const jet_value& value : query->values()) values.push_back(jet_value_to_csv(value));
    EXPECT_EQ(values, (std::vector<std::string>{"5", "-5", "5"}));
}
