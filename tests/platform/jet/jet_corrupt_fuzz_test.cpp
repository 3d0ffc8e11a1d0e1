// Corrupt copies of real files: every read either succeeds or raises the error Access gives
// for a damaged file; never another error, a crash, a hang or a read out of bounds (this
// test runs under ASan/UBSan in scripts/test). Each run counts both outcomes, so it fails
// when the mutations stop reaching past the header or stop finding damage.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_test_files.hpp"

namespace {

// Reads everything the engine offers; returns the DAO number of the first error, 0 if none.
int read_everything(const std::string& path) {
    try {
        auto db = jet_database::open(path);
        for (const jet_catalog_entry& entry : db->tables()) {
            if (entry.type != JET_OBJECT_TABLE) continue;
            jet_table_def def = db->table_def(entry.name);
            auto cursor = db->open_cursor(entry.name);
            std::size_t rows = 0;
            while (cursor->next() && ++rows < 100000) {}
        }
        db->relationships();
    } catch (const jet_error& error) {
        EXPECT_FALSE(std::string(error.what()).empty());
        return error.dao_number();
    }
    return 0;
}

// What a damaged file may give: DAO 3049 (corrupt) or 3343 (not a database: the header).
bool is_damage_error(int number) {
    return number == JET_ERR_CORRUPT || number == JET_ERR_NOT_A_DATABASE;
}

// Outcomes of the reads of one run of mutations.
struct read_outcomes {
    int whole = 0;
    int refused = 0;

    void add(int number, const std::string& what) {
        EXPECT_TRUE(number == 0 || is_damage_error(number)) << what << ": " << number;
        ++(number == 0 ? whole : refused);
    }
    // A run where every copy is refused no longer reaches the tables; one where none is
    // refused no longer damages anything the reader checks.
    void expect_both() const {
        EXPECT_GT(whole, 0) << "no damaged copy was read to the end";
        EXPECT_GT(refused, 0) << "no damaged copy was refused";
    }
};

const char* const SMALL_FILES[] = {
    "jahlborn-jackcess/V1997/testV1997.mdb",
    "jahlborn-jackcess/V1997/overflowTestV1997.mdb",
    "jahlborn-jackcess/V2000/fixedNumericTestV2000.mdb",
    "jahlborn-jackcess/V2003/test2V2003.mdb",
    "jahlborn-jackcess/V2010/calcFieldTestV2010.accdb",
};

}   // namespace

TEST(JetCorruptFiles, TruncationAtEveryPageBoundaryIsAClearError) {
    JET_REQUIRE_TESTDATA();
    for (const char* relative : {"jahlborn-jackcess/V1997/overflowTestV1997.mdb",
                                 "jahlborn-jackcess/V2003/test2V2003.mdb"}) {
        std::string bytes = jet_read_test_file(jet_testdata(relative));
        std::size_t page_size = bytes[0x14] == 0 ? 2048 : 4096;
        jet_scratch_file file("truncated");
        std::size_t errors = 0;
        for (std::size_t pages = 0; pages * page_size < bytes.size(); ++pages) {
            file.write(bytes.substr(0, pages * page_size));
            int number = read_everything(file.path.string());
            if (number != 0) ++errors;
            EXPECT_TRUE(number == 0 || number == JET_ERR_CORRUPT
                        || number == JET_ERR_NOT_A_DATABASE)
                << relative << " cut at page " << pages << ": " << number;
        }
        EXPECT_GT(errors, 0u) << relative;
    }
}

TEST(JetCorruptFiles, RandomByteFlipsNeverCrash) {
    JET_REQUIRE_TESTDATA();
    std::mt19937 random(20261207);
    jet_scratch_file file("flipped");
    read_outcomes outcomes;
    for (const char* relative : SMALL_FILES) {
        std::string original = jet_read_test_file(jet_testdata(relative));
        ASSERT_FALSE(original.empty()) << relative;
        std::uniform_int_distribution<std::size_t> position(0, original.size() - 1);
        std::uniform_int_distribution<int> byte(0, 255);
        for (int round = 0; round < 60; ++round) {
            std::string bytes = original;
            int flips = 1 + round % 16;
            for (int flip = 0; flip < flips; ++flip) bytes[position(random)] = char(byte(random));
            file.write(bytes);
            outcomes.add(read_everything(file.path.string()), relative);
        }
    }
    outcomes.expect_both();
}

// Flips confined to the structures the engine trusts most: the catalogue's definition page
// and the first data pages, where offsets and counts live.
TEST(JetCorruptFiles, FlipsInDefinitionAndDataPagesNeverCrash) {
    JET_REQUIRE_TESTDATA();
    std::mt19937 random(7);
    jet_scratch_file file("structures");
    read_outcomes outcomes;
    for (const char* relative : SMALL_FILES) {
        std::string original = jet_read_test_file(jet_testdata(relative));
        std::size_t page_size = original[0x14] == 0 ? 2048 : 4096;
        std::size_t pages = original.size() / page_size;
        std::uniform_int_distribution<std::size_t> page(1, std::min<std::size_t>(pages - 1, 40));
        std::uniform_int_distribution<std::size_t> offset(0, 63);
        std::uniform_int_distribution<int> byte(0, 255);
        for (int round = 0; round < 80; ++round) {
            std::string bytes = original;
            std::size_t in_page = round % 2 ? offset(random) : page_size - 1 - offset(random);
            std::size_t at = page(random) * page_size + in_page;
            bytes[at] = char(byte(random));
            file.write(bytes);
            outcomes.add(read_everything(file.path.string()),
                         std::string(relative) + " byte " + std::to_string(at));
        }
    }
    outcomes.expect_both();
}
