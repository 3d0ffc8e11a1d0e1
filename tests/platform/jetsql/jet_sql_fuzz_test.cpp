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

}  // namespace
