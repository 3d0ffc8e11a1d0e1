// Random patterns, numbers, dates and statements through Format, the date arithmetic, exact
// Decimal and the UNION / PARAMETERS / saved-query paths: every call answers with a value or
// a jet_error, nothing reads out of bounds (run under ASan and UBSan by scripts/test), and
// each run counts what was accepted so it fails when it stops exercising anything.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_test_files.hpp"
#include "platform/jetsql/jet_query.hpp"
#include "platform/jetsql/jet_sql_calendar.hpp"
#include "platform/jetsql/jet_sql_decimal.hpp"
#include "platform/jetsql/jet_sql_errors.hpp"
#include "platform/jetsql/jet_sql_format.hpp"

namespace {

std::u16string random_text(std::mt19937& random, std::u16string_view alphabet, int longest) {
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, longest);
    std::u16string text;
    for (int char_idx = length(random); char_idx > 0; --char_idx) text += alphabet[pick(random)];
    return text;
}

double random_number(std::mt19937& random) {
    static const double SPECIAL[] = {
        0.0,       -0.0,      0.5,          -2.5,
        1e15,      -1e300,    1e-300,       2958465.99999,
        -657434.0, 2958466.0, std::nan(""), std::numeric_limits<double>::infinity()};
    std::uniform_int_distribution<std::size_t> special(0, std::size(SPECIAL) * 2);
    std::size_t choice = special(random);
    if (choice < std::size(SPECIAL)) return SPECIAL[choice];
    return std::uniform_real_distribution<double>(-1e7, 1e7)(random);
}

}   // namespace

TEST(JetSqlFunctionFuzz, FormatAnswersEveryPatternAndValue) {
    std::mt19937 random(20261208);
    const std::u16string_view alphabet = u"0#.,%Ee+-;\"\\dmyhnsqwAMPap/: xz";
    int dates = 0;
    for (int round = 0; round < 20000; ++round) {
        std::u16string pattern = random_text(random, alphabet, 16);
        double value = random_number(random);
        std::u16string number = jet_sql_format_number(value, pattern);
        EXPECT_LT(number.size(), 2000u);
        if (jet_sql_format_date(value, pattern)) ++dates;
    }
    EXPECT_GT(dates, 1000);
}

TEST(JetSqlFunctionFuzz, CalendarAndDecimalAnswerEveryInput) {
    std::mt19937 random(20261209);
    const std::u16string_view intervals = u"yqmdwhnsYW";
    const std::u16string_view digits = u"0123456789.-+e";
    int dates = 0, decimals = 0;
    for (int round = 0; round < 20000; ++round) {
        std::u16string interval = random_text(random, intervals, 4);
        double a = random_number(random), b = random_number(random), c = random_number(random);
        dates += jet_sql_date_add(interval, a, b).has_value();
        dates += jet_sql_date_diff(interval, a, b).has_value();
        dates += jet_sql_date_part_value(interval, a).has_value();
        dates += jet_sql_date_serial(a, b, c).has_value();
        std::u16string left = random_text(random, digits, 40);
        std::u16string right = random_text(random, digits, 40);
        std::optional<jet_sql_exact> x = jet_sql_exact_parse(std::string(left.begin(), left.end()));
        std::optional<jet_sql_exact> y = jet_sql_exact_parse(
            std::string(right.begin(), right.end()));
        if (!x || !y) continue;
        for (char op : {'+', '-', '*'})
            if (std::optional<jet_sql_exact> result = jet_sql_exact_combine(op, *x, *y)) {
                EXPECT_FALSE(jet_sql_exact_text(*result).empty());
                ++decimals;
            }
    }
    EXPECT_GT(dates, 1000);
    EXPECT_GT(decimals, 200);
}

TEST(JetSqlFunctionFuzz, UnionsParametersAndSavedQueriesRunOrFail) {
    JET_REQUIRE_TESTDATA();
    auto database = jet_database::open(jet_testdata("mdbtools-mdbtestdata/nwind.mdb"));
    const char16_t* const PARTS[] = {u"SELECT ShipperID FROM Shippers",
                                     u"SELECT CompanyName, Phone FROM Shippers",
                                     u"SELECT * FROM [Current Product List]",
                                     u"SELECT ProductID FROM [Order Subtotals]",
                                     u"SELECT * FROM [Invoices Filter]",
                                     u"UNION",
                                     u"UNION ALL",
                                     u"ORDER BY 1",
                                     u"ORDER BY ShipperID DESC",
                                     u"PARAMETERS [a] Long;",
                                     u"PARAMETERS x Text(5), y Date;",
                                     u"(",
                                     u")",
                                     u";",
                                     u"WHERE [Start] > 1",
                                     u"SELECT Format(Now(), 'yyyy') FROM Shippers",
                                     u"SELECT DateAdd('q', [n], #1/31/2020#) FROM Shippers",
                                     u"SELECT Switch(True, 1, False) FROM Shippers"};
    std::mt19937 random(20261210);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(PARTS) - 1);
    std::uniform_int_distribution<int> length(1, 6);
    int ran = 0;
    int refused = 0;
    for (int round = 0; round < 600; ++round) {
        std::u16string statement;
        for (int part_idx = length(random); part_idx > 0; --part_idx)
            statement += std::u16string(PARTS[pick(random)]) + u" ";
        try {
            std::unique_ptr<jet_query> query = jet_query::compile(*database, statement);
            while (query->next()) {}
            ++ran;
        } catch (const jet_error& error) {
            EXPECT_NE(error.dao_number(), JET_ERR_RESERVED) << "engine fault: " << error.what();
            ++refused;
        }
    }
    EXPECT_GT(ran, 20);
    EXPECT_GT(refused, 20);
}
