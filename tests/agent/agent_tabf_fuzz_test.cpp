// agent_tabf_fuzz_test.cpp - hostile bytes through the table-names reader: random lines of
// line ends, byte-order marks, broken UTF-8 and NULs never crash it, and every name it gives
// is one line, not empty, with no line-end debris. Runs under ASan and UBSan.
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "agent/agent_tabf.hpp"

namespace {

std::string random_text(std::mt19937& random) {
    static const std::string pieces[] = {
        " ",    "\r",   "\n",     "\xEF\xBB\xBF",       "\xC3",     "\xA4",
        "\xFF", "\x80", "Orders", std::string(1, '\0'), "\xF0\x9F", std::string(300, 'n')};
    std::uniform_int_distribution<std::size_t> count(0, 40);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::string text;
    for (std::size_t piece_idx = count(random); piece_idx > 0; --piece_idx) {
        text += pieces[pick(random)];
    }
    return text;
}

TEST(TableNamesFileFuzz, RandomFilesGiveOnlyNonEmptySingleLineNames) {
    std::mt19937 random(7);
    for (int round = 0; round < 5000; ++round) {
        std::istringstream lines(random_text(random));
        for (const std::u16string& name : agent_read_table_names(lines)) {
            ASSERT_FALSE(name.empty());
            ASSERT_EQ(name.find(u'\n'), std::u16string::npos);
            ASSERT_NE(name.back(), u'\r');
        }
    }
}

}   // namespace
