// Command-line walker: first prefix match wins, values are the rest of the argument, and
// unknown arguments are counted without limit.
#include "tk/tk_cmdli.hpp"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tk/tk_exce.hpp"

namespace {

const tk_cmdli_option AGENT_OPTIONS[] = {{0, "--accp="}, {1, "--as_dbo"},  {2, "--dest="},
                                         {5, "--mode="}, {10, "--silent"}, {12, "--src="},
                                         {0, ""}};

std::vector<std::pair<int, std::string>> walk(std::vector<const char*> argv,
                                              std::size_t* unrecognised = nullptr) {
    tk_cmdli walker(int(argv.size()), argv.data(), AGENT_OPTIONS);
    std::vector<std::pair<int, std::string>> seen;
    for (; walker.has_more(); walker.next()) seen.emplace_back(walker.option_id(), walker.value());
    if (unrecognised != nullptr) *unrecognised = walker.unrecognised_count();
    return seen;
}

TEST(CommandLine, ValuesAreTheRestAfterTheOptionName) {
    const auto seen = walk({"agent", "--src=/d/a=b.mdb", "--mode=", "--dest=Sales DB"});
    const std::vector<std::pair<int, std::string>> expected = {
        {12, "/d/a=b.mdb"}, {5, ""}, {2, "Sales DB"}};
    EXPECT_EQ(seen, expected);
}

TEST(CommandLine, FlagsMatchByPrefixAndCaseMatters) {
    std::size_t unrecognised = 0;
    const auto seen = walk({"agent", "--silently", "--SILENT", "-silent", "--as_dbo"},
                           &unrecognised);
    const std::vector<std::pair<int, std::string>> expected = {
        {10, "ly"}, {-1, "--SILENT"}, {-1, "-silent"}, {1, ""}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(unrecognised, 2u);
}

TEST(CommandLine, ProgramNameAloneLeavesNothingAndAskingIsInternal) {
    const char* argv[] = {"agent"};
    tk_cmdli walker(1, argv, AGENT_OPTIONS);
    EXPECT_FALSE(walker.has_more());
    EXPECT_THROW(walker.option_id(), tk_mail_assertion);
    EXPECT_THROW(walker.value(), tk_mail_assertion);
}

TEST(CommandLine, ManyUnknownArgumentsAreCountedNotFatal) {
    std::vector<const char*> argv = {"agent"};
    const std::vector<std::string> junk(25, "junk");
    for (const std::string& word : junk) argv.push_back(word.c_str());
    tk_cmdli walker(int(argv.size()), argv.data(), AGENT_OPTIONS);
    while (walker.has_more()) walker.next();
    EXPECT_EQ(walker.unrecognised_count(), 25u);
    EXPECT_EQ(walker.unrecognised().size(), TK_CMDLI_MAX_KEPT);
}

}   // namespace
