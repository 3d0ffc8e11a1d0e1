// Bracketed names, their splitting and the owner rules of full table names.

#include "mss/mss_name.hpp"

#include <gtest/gtest.h>

namespace {

std::pair<std::u16string, std::u16string> split(const std::u16string& name) {
    std::u16string table = u"unset";
    std::u16string owner = u"unset";
    if (!mss_split_tab_name(name, table, owner)) return {u"<fail>", u"<fail>"};
    return {table, owner};
}

}   // namespace

TEST(MssSplitTabName, ReadsTableAndOwner) {
    EXPECT_EQ(split(u"[Orders]"), std::make_pair(std::u16string(u"Orders"), std::u16string()));
    EXPECT_EQ(split(u"[sales].[Orders]"),
              std::make_pair(std::u16string(u"Orders"), std::u16string(u"sales")));
    EXPECT_EQ(split(u"Orders").first, u"<fail>");
    EXPECT_EQ(split(u"[]").first, u"<fail>");
    EXPECT_EQ(split(u"[a]x").first, u"<fail>");
    EXPECT_EQ(split(u"[a].[b").first, u"<fail>");
}

TEST(MssSplitTabName, HonoursDoubledBrackets) {
    // A table named a].[b is one name, not an owner and a table.
    EXPECT_EQ(split(mss_bracket(u"a].[b")),
              std::make_pair(std::u16string(u"a].[b"), std::u16string()));
    EXPECT_EQ(split(mss_bracket(u"o]") + u"." + mss_bracket(u"t]]")),
              std::make_pair(std::u16string(u"t]]"), std::u16string(u"o]")));
}

TEST(MssBracket, DoublesClosingBrackets) {
    EXPECT_EQ(mss_bracket(u"Order Details"), u"[Order Details]");
    EXPECT_EQ(mss_bracket(u"x]; DROP TABLE t; --"), u"[x]]; DROP TABLE t; --]");
}

TEST(MssFullTableName, OwnerRules) {
    EXPECT_EQ(mss_working_owner(u"sa", false), u"dbo");
    EXPECT_EQ(mss_working_owner(u"SA", false), u"dbo");
    EXPECT_EQ(mss_working_owner(u"", false), u"dbo");     // Windows authentication
    EXPECT_EQ(mss_working_owner(u"joe", true), u"dbo");   // as dbo
    EXPECT_EQ(mss_working_owner(u"joe", false), u"joe");
    EXPECT_EQ(mss_full_table_name(u"[sales].[Orders]", u"joe"), u"[sales].[Orders]");
    EXPECT_EQ(mss_full_table_name(u"Orders", u"dbo"), u"[dbo].[Orders]");
    EXPECT_EQ(mss_full_table_name(u"[Orders]", u"joe"), u"[joe].[Orders]");
    EXPECT_EQ(mss_full_table_name(u"O'Brien's]", u"dbo"), u"[dbo].[O'Brien's]]]");
}

TEST(MssLikeEscaped, MatchesOnlyTheNameItself) {
    EXPECT_EQ(mss_like_escaped(u"Order_Details"), u"Order[_]Details");
    EXPECT_EQ(mss_like_escaped(u"100% [draft]"), u"100[%] [[]draft]");
    EXPECT_EQ(mss_like_escaped(u"Plain"), u"Plain");
}
