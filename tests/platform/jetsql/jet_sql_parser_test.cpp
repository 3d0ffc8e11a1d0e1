// The parser's answers to well-formed and broken Access SQL, and the literal forms it decodes.
// Dates are checked against OLE dates worked by hand (1900-01-01 is day 2).

#include "platform/jetsql/jet_sql_parser.hpp"

#include <gtest/gtest.h>

#include "platform/jet/jet_error.hpp"
#include "platform/jetsql/jet_sql_date.hpp"
#include "platform/jetsql/jet_sql_like.hpp"

namespace {

int parse_error(std::u16string_view sql) {
    try {
        jet_sql_parse(sql);
    } catch (const jet_error& error) {
        return error.dao_number();
    }
    return 0;
}

TEST(JetSqlParse, BuildsNestedJoinsAndClauses) {
    auto select = jet_sql_parse(
        u"SELECT DISTINCT TOP 10 PERCENT a.x AS [the x], b.* FROM ((A AS a INNER JOIN B b "
        u"ON a.id = b.id) LEFT OUTER JOIN [C c] ON b.k = [C c].k), D WHERE a.x > 1 GROUP BY "
        u"a.x HAVING Count(*) > 2 ORDER BY a.x DESC, 2;");
    EXPECT_TRUE(select->distinct);
    EXPECT_TRUE(select->top_percent);
    EXPECT_EQ(select->top, 10);
    ASSERT_EQ(select->items.size(), 2u);
    EXPECT_EQ(select->items[0].alias, u"the x");
    EXPECT_EQ(select->items[1].star_qualifier, u"b");
    ASSERT_EQ(select->from.size(), 2u);
    const jet_sql_source& outer = *select->from[0];
    EXPECT_EQ(outer.join, jet_sql_join_kind::left);
    EXPECT_EQ(outer.right->table_name, u"C c");
    EXPECT_EQ(outer.left->join, jet_sql_join_kind::inner);
    EXPECT_EQ(outer.left->right->alias, u"b");
    EXPECT_TRUE(select->order_by[0].descending);
}

TEST(JetSqlParse, DecodesQuotedLiteralsAndOperatorPrecedence) {
    auto select = jet_sql_parse(u"SELECT 'it''s', \"say \"\"hi\"\"\", 1 + 2 * 3 & 'x' = 'a' "
                                u"FROM T");
    EXPECT_EQ(select->items[0].expr->text, u"it's");
    EXPECT_EQ(select->items[1].expr->text, u"say \"hi\"");
    // (((1 + (2 * 3)) & 'x') = 'a'): & binds looser than +, comparison loosest.
    const jet_sql_expr& compare = *select->items[2].expr;
    ASSERT_EQ(compare.op, u"=");
    const jet_sql_expr& concat = *compare.args[0];
    ASSERT_EQ(concat.op, u"&");
    EXPECT_EQ(concat.args[0]->op, u"+");
    EXPECT_EQ(concat.args[0]->args[1]->op, u"*");
}

TEST(JetSqlParse, MapsEachFaultToItsDaoNumber) {
    EXPECT_EQ(parse_error(u"SELECT a FROM T WHERE a = 'open"), 3075);
    EXPECT_EQ(parse_error(u"SELECT a FROM T WHERE a + "), 3075);
    EXPECT_EQ(parse_error(u"SELECT a FROM T WHERE a = #2/30/2000#"), 3075);
    EXPECT_EQ(parse_error(u"SELECT a FROM T WHERE a IN ()"), 3075);
    EXPECT_EQ(parse_error(u"SELECT a FROM T WHERE a NOT 3"), 3075);
    EXPECT_EQ(parse_error(u"SELECT a FROM (T"), 3131);
    EXPECT_EQ(parse_error(u"SELECT a FROM T LEFT JOIN U"), 3131);
    EXPECT_EQ(parse_error(u"SELECT a FROM [T"), 3131);
    EXPECT_EQ(parse_error(u"SELECT a FROM []"), 3131);
    EXPECT_EQ(parse_error(u"SELECT a, FROM T"), 3075);
    EXPECT_EQ(parse_error(u"SELECT a FROM T ORDER a"), 3141);
    EXPECT_EQ(parse_error(u"SELECT TOP 0 a FROM T"), 3141);
    EXPECT_EQ(parse_error(u"SELECT TOP 101 PERCENT a FROM T"), 3141);
    EXPECT_EQ(parse_error(u"SELECT Count(DISTINCT a) FROM T"), 3075);
    EXPECT_EQ(parse_error(u"UPDATE T SET a = 1"), 3129);
    EXPECT_EQ(parse_error(u""), 3129);
    EXPECT_EQ(parse_error(u"SELECT a FROM T extra words"), 3142);
}

TEST(JetSqlDateLiteral, ReadsUsAndIsoFormsWithTime) {
    EXPECT_EQ(jet_sql_parse_date(u"1/1/1900"), 2.0);
    EXPECT_EQ(jet_sql_parse_date(u"1900-01-01"), 2.0);
    EXPECT_EQ(jet_sql_parse_date(u"12/30/1899 6:00 PM"), 0.75);
    EXPECT_EQ(jet_sql_parse_date(u"1900-01-01 18:00:00"), 2.75);
    EXPECT_EQ(jet_sql_parse_date(u"2/29/2000"), 36585.0);
    EXPECT_EQ(jet_sql_parse_date(u"1/1/29"), jet_sql_parse_date(u"1/1/2029"));
    EXPECT_EQ(jet_sql_parse_date(u"1/1/30"), jet_sql_parse_date(u"1/1/1930"));
    EXPECT_EQ(jet_sql_parse_date(u"12:00 AM"), 0.0);
    // Before 1899-12-30 the time stays a positive fraction of a negative day.
    EXPECT_EQ(jet_sql_parse_date(u"12/29/1899 06:00"), -1.25);
}

TEST(JetSqlDateLiteral, RefusesImpossibleDates) {
    for (std::u16string_view text :
         {u"2/29/1900", u"13/1/2000", u"1/32/2000", u"1/1/2000 24:00", u"1/1/2000 13:00 PM",
          u"2000-1-1-1", u"", u"1/1", u"x", u"1/1/2000 10:61", u"99999/1/1"})
        EXPECT_FALSE(jet_sql_parse_date(text).has_value()) << std::string(text.begin(), text.end());
}

TEST(JetSqlDateParts, SplitsAroundTheEpochAndRoundsSeconds) {
    auto before = jet_sql_date_split(-1.25);
    ASSERT_TRUE(before);
    EXPECT_EQ(before->year, 1899);
    EXPECT_EQ(before->month, 12);
    EXPECT_EQ(before->day, 29);
    EXPECT_EQ(before->hour, 6);
    auto almost_midnight = jet_sql_date_split(2.0 - 0.1 / 86400);   // 1899-12-31 23:59:59.9
    ASSERT_TRUE(almost_midnight);
    EXPECT_EQ(almost_midnight->year, 1900);
    EXPECT_EQ(almost_midnight->day, 1);
    EXPECT_EQ(almost_midnight->hour, 0);
    EXPECT_FALSE(jet_sql_date_split(1e300).has_value());
}

TEST(JetSqlLike, MatchesAccessWildcardsCaseBlind) {
    EXPECT_EQ(jet_sql_like(u"Alfreds", u"a*"), true);
    EXPECT_EQ(jet_sql_like(u"Alfreds", u"*S"), true);
    EXPECT_EQ(jet_sql_like(u"Ärger", u"ä?ger"), true);
    EXPECT_EQ(jet_sql_like(u"12209", u"#####"), true);
    EXPECT_EQ(jet_sql_like(u"1220A", u"#####"), false);
    EXPECT_EQ(jet_sql_like(u"bat", u"[a-c]at"), true);
    EXPECT_EQ(jet_sql_like(u"bat", u"[!a-c]at"), false);
    EXPECT_EQ(jet_sql_like(u"a*b", u"a[*]b"), true);
    EXPECT_EQ(jet_sql_like(u"axxb", u"a[*]b"), false);
    EXPECT_EQ(jet_sql_like(u"abcabd", u"*ab?"), true);
    EXPECT_EQ(jet_sql_like(u"", u"*"), true);
    EXPECT_EQ(jet_sql_like(u"x", u"[!]"), true);
    EXPECT_EQ(jet_sql_like(u"x", u"[]"), false);
    EXPECT_EQ(jet_sql_like(u"ab", u"a"), false);
    EXPECT_FALSE(jet_sql_like(u"abc", u"[abc").has_value());
}

}   // namespace
