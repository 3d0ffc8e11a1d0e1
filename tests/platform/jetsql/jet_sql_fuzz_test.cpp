// Random token soups and mutated statements through the parser and, over a small real file,
// the whole query path: every statement either runs or fails with a jet_error other than an
// engine fault (3000); nothing crashes or hangs. Each run counts what was accepted and
// refused, so it fails when it stops reaching either side.

#include "platform/jetsql/jet_query.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_test_files.hpp"
#include "platform/jetsql/jet_sql_errors.hpp"
#include "platform/jetsql/jet_sql_parser.hpp"

namespace {

const char16_t* const TOKENS[] = {u"SELECT",
                                  u"FROM",
                                  u"WHERE",
                                  u"GROUP",
                                  u"BY",
                                  u"HAVING",
                                  u"ORDER",
                                  u"TOP",
                                  u"PERCENT",
                                  u"DISTINCT",
                                  u"DISTINCTROW",
                                  u"AS",
                                  u"INNER",
                                  u"LEFT",
                                  u"RIGHT",
                                  u"JOIN",
                                  u"ON",
                                  u"AND",
                                  u"OR",
                                  u"NOT",
                                  u"LIKE",
                                  u"BETWEEN",
                                  u"IN",
                                  u"IS",
                                  u"NULL",
                                  u"EXISTS",
                                  u"True",
                                  u"False",
                                  u"Mod",
                                  u"(",
                                  u")",
                                  u",",
                                  u".",
                                  u"!",
                                  u"*",
                                  u"+",
                                  u"-",
                                  u"/",
                                  u"\\",
                                  u"^",
                                  u"&",
                                  u"=",
                                  u"<>",
                                  u"<",
                                  u">=",
                                  u";",
                                  u"[",
                                  u"]",
                                  u"'",
                                  u"\"",
                                  u"#",
                                  u"#1/1/2000#",
                                  u"#13/45/2000#",
                                  u"'a*'",
                                  u"\"x\"\"y\"",
                                  u"[Shippers]",
                                  u"Shippers",
                                  u"Categories",
                                  u"ShipperID",
                                  u"CompanyName",
                                  u"CategoryID",
                                  u"Picture",
                                  u"Count",
                                  u"Sum",
                                  u"IIf",
                                  u"Nz",
                                  u"Mid",
                                  u"Len",
                                  u"Year",
                                  u"Date",
                                  u"Round",
                                  u"First",
                                  u"0",
                                  u"1",
                                  u"3.5",
                                  u"1e400",
                                  u"99999999999999999999",
                                  u"ä",
                                  u"\U0001F600",
                                  u"\xD800",
                                  u"?",
                                  u"@",
                                  u"{"};

// Statements Access runs over nwind.mdb, one token per space: the mutations start from these.
const char16_t* const SEEDS[] = {
    u"SELECT * FROM Shippers",
    u"SELECT ShipperID , CompanyName FROM Shippers WHERE ShipperID > 1 ORDER BY CompanyName",
    u"SELECT TOP 5 PERCENT CategoryID FROM Categories",
    u"SELECT DISTINCT Count ( * ) AS n FROM Shippers GROUP BY CompanyName HAVING Count ( * ) > 0",
    u"SELECT s . CompanyName FROM Shippers AS s INNER JOIN Categories AS c ON s . ShipperID = "
    u"c . CategoryID",
    u"SELECT IIf ( ShipperID Mod 2 = 0 , 'even' , \"odd\" ) & '!' FROM [Shippers] WHERE "
    u"CompanyName LIKE 'a*' OR ShipperID BETWEEN 1 AND 3",
    u"SELECT Nz ( Null , 0 ) + 3.5 FROM Shippers WHERE ShipperID IN ( 1 , 2 ) AND NOT "
    u"CompanyName IS NULL",
    u"SELECT Year ( #1/1/2000# ) , Mid ( 'abc' , 2 , 1 ) , Len ( CompanyName ) FROM Shippers"};

std::vector<std::u16string> split_tokens(std::u16string_view statement) {
    std::vector<std::u16string> tokens;
    for (std::size_t start = 0; start < statement.size();) {
        std::size_t end = statement.find(u' ', start);
        if (end == std::u16string_view::npos) end = statement.size();
        tokens.emplace_back(statement.substr(start, end - start));
        start = end + 1;
    }
    return tokens;
}

const char16_t* random_token(std::mt19937& random) {
    return TOKENS[std::uniform_int_distribution<std::size_t>(0, std::size(TOKENS) - 1)(random)];
}

// One round in four a soup of random tokens; otherwise a seed with up to three tokens
// replaced, inserted or dropped, so that both the parser's acceptance and its refusals are
// reached, not only its first error.
std::u16string soup(std::mt19937& random, bool starts_with_select) {
    std::u16string statement = starts_with_select ? u"SELECT " : u"";
    if (std::uniform_int_distribution<int>(0, 3)(random) == 0) {
        for (int token_idx = std::uniform_int_distribution<int>(1, 30)(random); token_idx > 0;
             --token_idx) {
            statement += random_token(random);
            statement += u' ';
        }
        return statement;
    }
    std::vector<std::u16string> tokens = split_tokens(
        SEEDS[std::uniform_int_distribution<std::size_t>(0, std::size(SEEDS) - 1)(random)]);
    for (int mutation_idx = std::uniform_int_distribution<int>(0, 3)(random); mutation_idx > 0;
         --mutation_idx) {
        std::size_t at = std::uniform_int_distribution<std::size_t>(0, tokens.size() - 1)(random);
        switch (std::uniform_int_distribution<int>(0, 2)(random)) {
        case 0: tokens[at] = random_token(random); break;
        case 1: tokens.insert(tokens.begin() + std::ptrdiff_t(at), random_token(random)); break;
        default:
            if (tokens.size() > 1) tokens.erase(tokens.begin() + std::ptrdiff_t(at));
        }
    }
    statement.clear();
    for (const std::u16string& token : tokens) statement += token + u' ';
    return statement;
}

// A run that refuses nearly everything only tests the first error path; one that accepts
// nearly everything no longer tests refusals.
void expect_both_outcomes(int accepted, int refused, const char* what) {
    const int total = accepted + refused;
    EXPECT_GT(accepted, total / 10) << "too few statements " << what;
    EXPECT_GT(refused, total / 10) << "too few statements refused";
}

TEST(JetSqlFuzz, ParserAnswersEverySoupWithTreeOrError) {
    std::mt19937 random(20261207);
    int parsed = 0;
    int refused = 0;
    for (int round = 0; round < 20000; ++round) {
        std::u16string statement = soup(random, round % 2 == 0);
        try {
            jet_sql_parse(statement);
            ++parsed;
        } catch (const jet_error& error) {
            EXPECT_NE(error.dao_number(), JET_ERR_RESERVED) << "parser fault: " << error.what();
            ++refused;
        }
    }
    expect_both_outcomes(parsed, refused, "parsed");
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
    int ran = 0;
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        std::u16string statement = soup(random, false);
        try {
            auto query = jet_query::compile(*database, statement);
            for (int row_idx = 0; row_idx < 50 && query->next(); ++row_idx) {}
            ++ran;
        } catch (const jet_error& error) {
            EXPECT_NE(error.dao_number(), JET_ERR_RESERVED) << "engine fault: " << error.what();
            ++refused;
        }
    }
    expect_both_outcomes(ran, refused, "ran");
}

// Well-formed expressions of random shape: they pass the parser, so the binder, the generated
// SQL and the functions at run time meet every combination of types and Nulls.
std::u16string expression(std::mt19937& random, int depth) {
    static const char16_t* const leaves[] = {
        u"ShipperID", u"CompanyName", u"Phone",  u"Null",  u"0",
        u"-1",        u"2.5",         u"'a*'",   u"''",    u"#1/1/2000#",
        u"True",      u"CCur(1.5)",   u"Date()", u"1e300", u"2147483647"};
    static const char16_t* const operators[] = {u" + ",   u" - ",   u" * ",  u" / ",   u" \\ ",
                                                u" Mod ", u" ^ ",   u" & ",  u" = ",   u" <> ",
                                                u" < ",   u" And ", u" Or ", u" Like "};
    static const char16_t* const functions[] = {
        u"Len",   u"UCase", u"LCase", u"Trim", u"Int",  u"Abs", u"Round", u"Year",
        u"Month", u"Day",   u"CStr",  u"CDbl", u"CLng", u"Nz",  u"Fix",   u"Weekday"};
    std::uniform_int_distribution<int> choice(0, depth <= 0 ? 0 : 4);
    auto pick = [&random](const auto& list) {
        return list[std::uniform_int_distribution<std::size_t>(0, std::size(list) - 1)(random)];
    };
    switch (choice(random)) {
    case 0: return pick(leaves);
    case 1:
        return u"(" + expression(random, depth - 1) + pick(operators)
               + expression(random, depth - 1) + u")";
    case 2: return std::u16string(pick(functions)) + u"(" + expression(random, depth - 1) + u")";
    case 3:
        return u"IIf(" + expression(random, depth - 1) + u", " + expression(random, depth - 1)
               + u", " + expression(random, depth - 1) + u")";
    default:
        return u"Mid(" + expression(random, depth - 1) + u", " + expression(random, depth - 1)
               + u", 2)";
    }
}

TEST(JetSqlFuzz, RandomExpressionsRunOrFailCleanly) {
    JET_REQUIRE_TESTDATA();
    auto database = jet_database::open(jet_testdata("mdbtools-mdbtestdata/nwind.mdb"));
    std::mt19937 random(42);
    int ran = 0;
    for (int round = 0; round < 3000; ++round) {
        std::u16string statement = u"SELECT " + expression(random, 4) + u", "
                                   + expression(random, 3) + u" FROM Shippers WHERE "
                                   + expression(random, 3) + u" OR True ORDER BY "
                                   + expression(random, 2);
        try {
            auto query = jet_query::compile(*database, statement);
            while (query->next()) {}
            ++ran;
        } catch (const jet_error& error) {
            EXPECT_NE(error.dao_number(), JET_ERR_RESERVED) << "engine fault: " << error.what();
        }
    }
    EXPECT_GT(ran, 300) << "too few statements ran to test anything";
}

}   // namespace
