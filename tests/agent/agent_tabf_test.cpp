// agent_tabf_test.cpp - the table-names file: UTF-8 with or without a byte-order mark, lines
// written in Windows-1252, blank lines, CR LF ends, and lines longer than the old 254-byte
// buffer, which must arrive whole rather than as bogus names.
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "agent/agent_tabf.hpp"

using ::testing::ElementsAre;

namespace {

std::vector<std::u16string> read_names(const std::string& bytes) {
    std::istringstream lines(bytes);
    return agent_read_table_names(lines);
}

TEST(TableNamesFile, ByteOrderMarkIsDroppedAndTheRestIsUtf8) {
    EXPECT_THAT(read_names("\xEF\xBB\xBFUms\xC3\xA4tze\r\nOrders\r\n"),
                ElementsAre(u"Umsätze", u"Orders"));
}

TEST(TableNamesFile, WithoutMarkUtf8AndWindows1252LinesBothArriveIntact) {
    // "Umsätze" as Windows-1252 (E4) and as UTF-8 (C3 A4); 0x80 is the euro sign in 1252.
    EXPECT_THAT(read_names("Ums\xE4tze\nUms\xC3\xA4tze\nPrice \x80\n"),
                ElementsAre(u"Umsätze", u"Umsätze", u"Price €"));
}

TEST(TableNamesFile, BlankLinesAddNoNameAndSpacesBelongToTheName) {
    EXPECT_THAT(read_names("\n\n Order Lines \n\r\n\nA\n"), ElementsAre(u" Order Lines ", u"A"));
    EXPECT_THAT(read_names("\xEF\xBB\xBF\nOrders"), ElementsAre(u"Orders"));
    EXPECT_TRUE(read_names("").empty());
}

// Found by agent_tabf_fuzz_test: CR CR LF kept one CR in the name, and no table can have a
// control character in its name, so the table was reported missing.
TEST(TableNamesFile, EveryTrailingCarriageReturnIsLineEndDebris) {
    EXPECT_THAT(read_names("Orders\r\r\nLines\r\r\r"), ElementsAre(u"Orders", u"Lines"));
}

TEST(TableNamesFile, MarkCountsOnlyOnTheFirstNonEmptyLine) {
    // A mark further down is part of that line's text, not a signal.
    std::vector<std::u16string> names = read_names("\nOrders\n\xEF\xBB\xBFLines\n");
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[1], u"\uFEFFLines");
}

TEST(TableNamesFile, LongLineIsReadWhole) {
    std::string long_name(300, 'n');
    std::vector<std::u16string> names = read_names(long_name + "\nNext\n");
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].size(), 300u);
    EXPECT_EQ(names[1], u"Next");
}

}   // namespace
