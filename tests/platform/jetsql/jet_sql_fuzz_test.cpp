// Random token soups through the parser and, over a small real file, the whole query path:
// every statement either runs or fails with a jet_error; nothing crashes or hangs.

#include "platform/jetsql/jet_query.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_test_files.hpp"
#include "platform/jetsql/jet_sql_parser.hpp"

namespace {

const char16_t* const TOKENS[] = {
    u"SELECT", u"FROM", u"WHERE", u"GROUP", u"BY", u"HAVING", u"ORDER", u"TOP", u"PERCENT",
    u"DISTINCT", u"DISTINCTROW", u"AS", u"INNER", u"LEFT", u"RIGHT", u"JOIN", u"ON", u"AND",
    u"OR", u"NOT", u"LIKE", u"BETWEEN", u"IN", u"IS", u"NULL", u"EXISTS", u"True", u"False",
    u"Mod", u"(", u")", u",", u".", u"!", u"*", u"+", u"-", u"/", u"\\", u"^", u"&", u"=",
    u"<>", u"<", u">=", u";", u"[", u"]", u"'", u"\"", u"#", u"#1/1/2000#", u"#13/45/2000#",
    u"'a*'", u"\"x\"\"y\"", u"[Shippers]", u"Shippers", u"Categories", u"ShipperID",
    u"CompanyName", u"CategoryID", u"Picture", u"Count", u"Sum", u"IIf", u"Nz", u"Mid", u"Len",
    u"Year", u"Date", u"Round", u"First", u"0", u"1", u"3.5", u"1e400", u"99999999999999999999",
    u"ä", u"\U0001F600", u"\xD800", u"?", u"@", u"{"};

std::u16string soup(std::mt19937& random, bool starts_with_select) {
    std::uniform_int_distribution<std::size_t> pick(0, std::size(TOKENS) - 1);
    std::uniform_int_distribution<int> length(1, 30);
    std::u16string statement = starts_with_select ? u"SELECT " : u"";
    for (int token_idx = length(random); token_idx > 0; --token_idx) {
        statement += TOKENS[pick(random)];
        statement += u' ';
    }
    return statement;
}

TEST(JetSqlFuzz, ParserAnswersEverySoupWithTreeOrError) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 20000; ++round) {
        std::u16string statement = soup(random, round % 2 == 0);
        try {
            jet_sql_parse(statement);
        } catch (const jet_error&) {
        }
    }
}

TEST(JetSqlFuzz, DeepNestingIsRefusedNotOverflowed) {
    std::u16string statement = u"SELECT ";
    for (int depth = 0; depth < 100000; ++depth) statement += u"(";
    statement += u"1";
    try {
        jet_sql_parse(statement);
        FAIL() << "unbalanced nesting parsed";
    } catch (const jet_error& error) {
        EXPECT_EQ(error.dao_number(), 3360);
    }
}

TEST(JetSqlFuzz, QueriesOverARealFileRunOrFail) {
    JET_REQUIRE_TESTDATA();
    auto database = jet_database::open(jet_testdata("mdbtools-mdbtestdata/nwind.mdb"));
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::u16string statement = soup(random, true);
        try {
            auto query = jet_query::compile(*database, statement);
            for (int row_idx = 0; row_idx < 50 && query->next(); ++row_idx) {}
        } catch (const jet_error&) {
        }
    }
}

// Well-formed expressions of random shape: they pass the parser, so the binder, the generated
// SQL and the functions at run time meet every combination of types and Nulls.
std::u16string expression(std::mt19937& random, int depth) {
    static const char16_t* const leaves[] = {
        u"ShipperID", u"CompanyName", u"Phone", u"Null", u"0", u"-1", u"2.5", u"'a*'", u"''",
        u"#1/1/2000#", u"True", u"CCur(1.5)", u"Date()", u"1e300", u"2147483647"};
    static const char16_t* const operators[] = {u" + ", u" - ", u" * ", u" / ", u" \\ ",
                                                u" Mod ", u" ^ ", u" & ", u" = ", u" <> ",
                                                u" < ", u" And ", u" Or ", u" Like "};
    static const char16_t* const functions[] = {
        u"Len", u"UCase", u"LCase", u"Trim", u"Int", u"Abs", u"Round", u"Year", u"Month",
        u"Day", u"CStr", u"CDbl", u"CLng", u"Nz", u"Fix", u"Weekday"};
    std::uniform_int_distribution<int> choice(0, depth <= 0 ? 0 : 4);
    auto pick = [&random](const auto& list) {
        return list[std::uniform_int_distribution<std::size_t>(0, std::size(list) - 1)(random)];
    };
    switch (choice(random)) {
    case 0: return pick(leaves);
    case 1: return u"(" + expression(random, depth - 1) + pick(operators) +
                   expression(random, depth - 1) + u")";
    case 2: return std::u16string(pick(functions)) + u"(" + expression(random, depth - 1) + u")";
    case 3: return u"IIf(" + expression(random, depth - 1) + u", " +
                   expression(random, depth - 1) + u", " + expression(random, depth - 1) + u")";
    default: return u"Mid(" + expression(random, depth - 1) + u", " +
                    expression(random, depth - 1) + u", 2)";
    }
}

TEST(JetSqlFuzz, RandomExpressionsRunOrFailCleanly) {
    JET_REQUIRE_TESTDATA();
    auto database = jet_database::open(jet_testdata("mdbtools-mdbtestdata/nwind.mdb"));
    std::mt19937 random(42);
    int ran = 0;
    for (int round = 0; round < 3000; ++round) {
        std::u16string statement = u"SELECT " + expression(random, 4) + u", " +
                                   expression(random, 3) + u" FROM Shippers WHERE " +
                                   expression(random, 3) + u" OR True ORDER BY " +
                                   expression(random, 2);
        try {
            auto query = jet_query::compile(*database, statement);
            while (query->next()) {}
            ++ran;
        } catch (const jet_error& error) {
            EXPECT_NE(error.dao_number(), 3000) << "engine fault: " << error.what();
        }
    }
    EXPECT_GT(ran, 300) << "too few statements ran to test anything";
}

}  // namespace
