// udb_prof_fuzz_test.cpp - hostile bytes through the profile reader. Random lines built from
// the characters that steer it (brackets, '=', spaces, CR, LF, byte-order marks, broken
// UTF-8) must not crash it, and whatever it accepts must write back to a readable file.
// Runs under ASan and UBSan.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include <gtest/gtest.h>

#include "udb/udb_prof.hpp"

namespace {

std::string random_text(std::mt19937& random) {
    static const std::string pieces[] = {"[",
                                         "]",
                                         "=",
                                         " ",
                                         "\r",
                                         "\n",
                                         "\xEF\xBB\xBF",
                                         "\xC3",
                                         "\xA4",
                                         "\xFF",
                                         "\x80",
                                         "key",
                                         "Generic settings",
                                         "Selected Tables",
                                         std::string(1, '\0'),
                                         "\xF0\x9F"};
    std::uniform_int_distribution<std::size_t> count(0, 60);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::string text;
    for (std::size_t piece_idx = count(random); piece_idx > 0; --piece_idx) {
        text += pieces[pick(random)];
    }
    return text;
}

TEST(ProfileReaderFuzz, RandomFilesReadWithoutHarmAndWriteBackReadable) {
    std::filesystem::path folder = std::filesystem::temp_directory_path()
                                   / ("vantrel-prof-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::string input = (folder / "in.ini").string();
    std::string output = (folder / "out.ini").string();
    std::mt19937 random(20261207);
    for (int round = 0; round < 500; ++round) {
        std::ofstream(input, std::ios::binary) << random_text(random);
        udb_profile profile;
        if (!profile.read(input)) continue;
        ASSERT_TRUE(profile.write(output));
        udb_profile again;
        EXPECT_TRUE(again.read(output)) << "round " << round;
    }
    std::filesystem::remove_all(folder);
}

}   // namespace
