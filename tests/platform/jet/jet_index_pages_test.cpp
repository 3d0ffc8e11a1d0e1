// Index pages of written files. Expected keys come from outside the writer: index pages
// Access itself wrote (the shared test files: the same rows written again must give the
// same leaf entries), the order Access documents for its sorts (case-blind, accents after
// the plain letter, hyphens and apostrophes skipped, numbers by value, NULL first), and
// mdbtools' index walk (libmdb) for the order of a written index.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <tuple>
#include <unistd.h>

#include "platform/jet/jet_cursor.hpp"
#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_database_writer.hpp"
#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_index_entries.hpp"
#include "platform/jet/jet_index_key.hpp"
#include "test_data.hpp"

namespace {

namespace fs = std::filesystem;

std::string scratch(const std::string& name) {
    std::string path = std::string(VANTREL_BUILD_DIR) + "/tests/index-" + std::to_string(::getpid())
                       + "-" + name;
    fs::remove(path);
    return path;
}

std::vector<std::uint8_t> bytes(std::initializer_list<int> list) {
    return {list.begin(), list.end()};
}

std::string run(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::array<char, 4096> chunk{};
    while (std::size_t got = std::fread(chunk.data(), 1, chunk.size(), pipe.get()))
        out.append(chunk.data(), got);
    return out;
}

// One key column's key, as an index on that column alone holds it.
std::vector<std::uint8_t> key_of(jet_value value, std::uint8_t type_code, bool ascending = true,
                                 jet_format format = jet_format::ace12) {
    jet_table_def def;
    jet_column column;
    column.name = u"C";
    column.type_code = type_code;
    def.columns.push_back(column);
    jet_index index;
    index.columns.push_back({u"C", 0, ascending});
    return jet_index_key(def, index, {std::move(value)}, format);
}

std::vector<std::uint8_t> text_key(const std::u16string& text, bool ascending = true) {
    return key_of(jet_value(text), JET_TYPE_TEXT, ascending);
}

TEST(JetIndexKeys, TextKeysAreThoseAccessWrote) {
    // From index pages of Access 2000 files (testIndexPropertiesV2000, fixedTextTestV2000).
    EXPECT_EQ(text_key(u"row10"), bytes({0x7F, 0x69, 0x64, 0x73, 0x38, 0x36, 0x01, 0x00}));
    EXPECT_EQ(text_key(u"CORE USER"),
              bytes({0x7F, 0x4D, 0x64, 0x69, 0x51, 0x07, 0x6F, 0x6B, 0x51, 0x69, 0x01, 0x00}));
    // '-' leaves the order and goes to the key's tail with its place.
    EXPECT_EQ(text_key(u"-1"),
              bytes({0x7F, 0x38, 0x01, 0x01, 0x01, 0x01, 0x80, 0x07, 0x06, 0x82, 0x00}));
}

TEST(JetIndexKeys, TextSortsAsAccessSortsIt) {
    EXPECT_EQ(text_key(u"Smith"), text_key(u"SMITH"));   // case-blind
    std::vector<std::u16string> ordered = {u"",      u"a", u"\u00e4", u"\u00e4a",
                                           u"ab",    u"b", u"coop",   u"co-op",
                                           u"coopb", u"e", u"\u00e9", u"f"};
    for (std::size_t at = 1; at < ordered.size(); ++at) {
        EXPECT_LT(text_key(ordered[at - 1]), text_key(ordered[at])) << at;
        EXPECT_GT(text_key(ordered[at - 1], false), text_key(ordered[at], false)) << at;
    }
    // Greek and Cyrillic compare case-blind too, each alphabet in its own order.
    EXPECT_EQ(text_key(u"\u03a9\u03bc\u03ad\u03b3\u03b1"),
              text_key(u"\u03c9\u039c\u0388\u0393\u0391"));
    EXPECT_LT(text_key(u"\u0430\u0431"), text_key(u"\u042f"));
    EXPECT_LT(text_key(u"\u03b1"), text_key(u"\u03c9"));
}

TEST(JetIndexKeys, NumbersSortByValueAndNullFirst) {
    struct typed {
        std::uint8_t type_code;
        std::vector<jet_value> ascending;   // NULL, then increasing values
    };
    std::vector<typed> cases = {
        {JET_TYPE_BYTE, {jet_value(), jet_value(std::uint8_t(0)), jet_value(std::uint8_t(200))}},
        {JET_TYPE_INT16,
         {jet_value(), jet_value(std::int16_t(-300)), jet_value(std::int16_t(-1)),
          jet_value(std::int16_t(0)), jet_value(std::int16_t(7))}},
        {JET_TYPE_INT32,
         {jet_value(), jet_value(std::int32_t(-70000)), jet_value(std::int32_t(-1)),
          jet_value(std::int32_t(0)), jet_value(std::int32_t(65536))}},
        {JET_TYPE_CURRENCY,
         {jet_value(), jet_value(jet_currency{-1}), jet_value(jet_currency{0}),
          jet_value(jet_currency{123456789})}},
        {JET_TYPE_FLOAT32,
         {jet_value(), jet_value(-2.5f), jet_value(-0.25f), jet_value(0.0f), jet_value(0.5f),
          jet_value(1e30f)}},
        {JET_TYPE_FLOAT64,
         {jet_value(), jet_value(-1e300), jet_value(-2.0), jet_value(-0.5), jet_value(0.0),
          jet_value(3.25)}},
        {JET_TYPE_DATETIME,
         {jet_value(), jet_value(jet_date{-700.5}), jet_value(jet_date{0.0}),
          jet_value(jet_date{36526.75})}},
        {JET_TYPE_BOOLEAN, {jet_value(true), jet_value(false)}},   // Yes (-1) before No (0)
    };
    for (const typed& each : cases)
        for (std::size_t at = 1; at < each.ascending.size(); ++at) {
            EXPECT_LT(key_of(each.ascending[at - 1], each.type_code),
                      key_of(each.ascending[at], each.type_code))
                << int(each.type_code) << " " << at;
            EXPECT_GT(key_of(each.ascending[at - 1], each.type_code, false),
                      key_of(each.ascending[at], each.type_code, false))
                << int(each.type_code) << " " << at;
        }
    // A date Access indexed in fixedTextTestV2000 (2009-10-22 03:57:13).
    EXPECT_EQ(key_of(jet_value(jet_date{40108.164733796296}), JET_TYPE_DATETIME),
              bytes({0x7F, 0xC0, 0xE3, 0x95, 0x85, 0x45, 0x7F, 0xCF, 0x74}));
}

TEST(JetIndexKeys, GuidKeysSpellTheGuidInTextOrder) {
    // {00112233-4455-6677-8899-AABBCCDDEEFF}, stored with its first three parts reversed.
    jet_guid guid;
    guid.bytes = {0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                  0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(key_of(jet_value(guid), JET_TYPE_GUID),
              bytes({0x7F, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x09, 0x88, 0x99, 0xAA,
                     0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x08}));
}

// Decimal keys: the start flag, a sign byte, then the magnitude at the column's scale as 16
// bytes big-endian; negative magnitudes inverted. 10^28 - 1 is 0x204FCE5E3E2502610FFFFFFF.
jet_value decimal(std::uint64_t low, bool negative, std::uint32_t high = 0) {
    return jet_value(
        jet_decimal{std::uint32_t(low), std::uint32_t(low >> 32), high, 2, 28, negative});
}

std::vector<std::uint8_t> decimal_key(jet_value value, bool ascending, jet_format format) {
    return key_of(std::move(value), JET_TYPE_NUMERIC, ascending, format);
}

std::vector<std::uint8_t> flag_sign_magnitude(int flag, int sign, int fill, int last) {
    std::vector<std::uint8_t> key = bytes({flag, sign});
    key.insert(key.end(), 15, std::uint8_t(fill));
    key.push_back(std::uint8_t(last));
    return key;
}

TEST(JetIndexKeys, DecimalKeysAreASignByteAndTheMagnitude) {
    for (jet_format format : {jet_format::jet4, jet_format::ace12}) {
        SCOPED_TRACE(int(format));
        EXPECT_EQ(decimal_key(decimal(15, false), true, format),
                  flag_sign_magnitude(0x7F, 0xFF, 0x00, 0x0F));
        EXPECT_EQ(decimal_key(decimal(15, true), true, format),
                  flag_sign_magnitude(0x7F, 0x00, 0xFF, 0xF0));
        EXPECT_EQ(decimal_key(decimal(0, false), true, format),
                  flag_sign_magnitude(0x7F, 0xFF, 0x00, 0x00));
        // A zero kept with its sign is still zero.
        EXPECT_EQ(decimal_key(decimal(0, true), true, format),
                  decimal_key(decimal(0, false), true, format));
        EXPECT_EQ(decimal_key(decimal(0x3E2502610FFFFFFFull, false, 0x204FCE5E), true, format),
                  bytes({0x7F, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x20, 0x4F, 0xCE, 0x5E, 0x3E, 0x25,
                         0x02, 0x61, 0x0F, 0xFF, 0xFF, 0xFF}));
    }
    // Descending: ACE inverts positive keys whole; Jet 4 sets the sign byte after
    // inverting, so its positive keys begin 0xFF and its negative ones 0x00.
    EXPECT_EQ(decimal_key(decimal(15, false), false, jet_format::ace12),
              flag_sign_magnitude(0x80, 0x00, 0xFF, 0xF0));
    EXPECT_EQ(decimal_key(decimal(15, true), false, jet_format::ace12),
              flag_sign_magnitude(0x80, 0xFF, 0x00, 0x0F));
    EXPECT_EQ(decimal_key(decimal(15, false), false, jet_format::jet4),
              flag_sign_magnitude(0x80, 0xFF, 0xFF, 0xF0));
    EXPECT_EQ(decimal_key(decimal(15, true), false, jet_format::jet4),
              flag_sign_magnitude(0x80, 0x00, 0x00, 0x0F));
}

std::vector<std::uint8_t> binary_key(std::vector<std::uint8_t> value, bool ascending = true) {
    return key_of(jet_value(std::move(value)), JET_TYPE_BINARY, ascending);
}

TEST(JetIndexKeys, BinaryKeysAreSegmentsOfEightBytes) {
    EXPECT_EQ(binary_key({1, 2, 3}), bytes({0x7F, 1, 2, 3, 0, 0, 0, 0, 0, 3}));
    EXPECT_EQ(binary_key({1, 2, 3, 4, 5, 6, 7, 8}), bytes({0x7F, 1, 2, 3, 4, 5, 6, 7, 8, 8}));
    EXPECT_EQ(binary_key({1, 2, 3, 4, 5, 6, 7, 8, 9}),
              bytes({0x7F, 1, 2, 3, 4, 5, 6, 7, 8, 0x09, 9, 0, 0, 0, 0, 0, 0, 0, 1}));
    // Descending inverts all but the marks between segments.
    EXPECT_EQ(binary_key({1, 2, 3, 4, 5, 6, 7, 8, 9}, false),
              bytes({0x80, 0xFE, 0xFD, 0xFC, 0xFB, 0xFA, 0xF9, 0xF8, 0xF7, 0x09, 0xF6, 0xFF, 0xFF,
                     0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE}));
    EXPECT_EQ(binary_key({}), bytes({0x7F}));
    EXPECT_EQ(key_of(jet_value(), JET_TYPE_BINARY), bytes({0x00}));
    // A value sorts before the longer ones it begins, zeros included.
    std::vector<std::vector<std::uint8_t>> ascending = {{0},
                                                        {0, 0},
                                                        {1},
                                                        {1, 2, 3},
                                                        {1, 2, 3, 4, 5, 6, 7, 8},
                                                        {1, 2, 3, 4, 5, 6, 7, 8, 0},
                                                        {1, 2, 3, 4, 5, 6, 7, 8, 9},
                                                        {0xFF}};
    for (std::size_t at = 1; at < ascending.size(); ++at) {
        EXPECT_LT(binary_key(ascending[at - 1]), binary_key(ascending[at])) << at;
        EXPECT_GT(binary_key(ascending[at - 1], false), binary_key(ascending[at], false)) << at;
    }
}

// The table as our reader reads it, written again: same columns, indexes and rows.
jet_new_table copy_of(const jet_table_def& def) {
    jet_new_table table{def.name, {}, {}, false};
    for (const jet_column& column : def.columns)
        table.columns.push_back(
            jet_make_column(column.name, column.type_code,
                            std::uint16_t(column.type_code == JET_TYPE_TEXT ? column.size_bytes / 2
                                                                            : column.size_bytes)));
    for (const jet_index& index : def.indexes) {
        if (index.is_foreign_key) continue;
        jet_new_index copy{
            index.name, {}, index.is_primary, index.is_unique(), index.ignores_nulls()};
        for (const jet_index_column& key : index.columns)
            copy.columns.push_back({key.name, key.ascending});
        table.indexes.push_back(std::move(copy));
    }
    return table;
}

std::vector<std::vector<std::uint8_t>> keys(const jet_test_index& index) {
    std::vector<std::vector<std::uint8_t>> found;
    for (const jet_test_index_entry& entry : index.entries) found.push_back(entry.key);
    return found;
}

TEST(JetIndexPages, LeafEntriesEqualThoseAccessWrote) {
    fs::path shared = fs::path(VANTREL_TESTDATA_DIR) / "jahlborn-jackcess";
    TEST_DATA_REQUIRE(fs::exists(shared), shared);
    struct original {
        std::string file;
        std::u16string table;
    };
    std::size_t compared = 0;
    for (const original& each :
         {original{"V2000/testIndexPropertiesV2000.mdb", u"TableIgnoreNulls1"},
          original{"V2000/testIndexPropertiesV2000.mdb", u"TableIgnoreNulls2"},
          original{"V2000/testIndexPropertiesV2000.mdb", u"TableUnique2_temp"},
          original{"V2003/compIndexTestV2003.mdb", u"Table1"},
          original{"V2000/indexTestV2000.mdb", u"Table1"},
          original{"V2007/indexTestV2007.accdb", u"Table1"},
          original{"V2010/binIdxTestV2010.accdb", u"Test"}}) {
        SCOPED_TRACE(each.file);
        std::string source = (shared / each.file).string();
        auto access = jet_database::open(source, u"");
        jet_table_def def = access->table_def(each.table);
        std::string path = scratch("copy" + fs::path(each.file).extension().string());
        {
            auto writer = jet_database_writer::create(path);
            writer->create_table(copy_of(def));
            auto cursor = access->open_cursor(each.table);
            while (cursor->next()) writer->append_row(each.table, cursor->values());
            writer->flush();
        }
        std::vector<jet_test_index> theirs = jet_test_index_reader(source).indexes(def.tdef_page);
        jet_table_def written = jet_database::open(path, u"")->table_def(each.table);
        std::vector<jet_test_index> ours = jet_test_index_reader(path).indexes(written.tdef_page);
        for (const jet_index& index : def.indexes) {
            if (index.is_foreign_key) continue;
            SCOPED_TRACE(std::string(index.name.begin(), index.name.end()));
            auto same_name = [&](const jet_index& other) { return other.name == index.name; };
            const jet_index& mine = *std::find_if(written.indexes.begin(), written.indexes.end(),
                                                  same_name);
            EXPECT_EQ(keys(ours.at(mine.real_index)), keys(theirs.at(index.real_index)));
            EXPECT_EQ(int(mine.flags), int(index.flags));
            compared += theirs.at(index.real_index).entries.size();
        }
        fs::remove(path);
    }
    EXPECT_GT(compared, 780u);   // compIndexTestV2003 512 entries, binIdxTestV2010 210
}

TEST(JetIndexPages, AnIndexOverManyPagesHoldsEveryRowInOrder) {
    std::string path = scratch("many.accdb");
    constexpr int ROWS = 20000;
    {
        auto writer = jet_database_writer::create(path);
        jet_new_table table{u"Many",
                            {jet_make_column(u"Id", JET_TYPE_INT32),
                             jet_make_column(u"Name", JET_TYPE_TEXT, 120),
                             jet_make_column(u"Seq", JET_TYPE_INT32)},
                            {{u"PK", {{u"Id", true}}, true, true, false},
                             {u"ByName", {{u"Name", false}}, false, false, false},
                             {u"BySeq", {{u"Seq", true}}, false, false, false}},
                            false};
        writer->create_table(table);
        for (int row = 0; row < ROWS; ++row) {
            // Ids arrive out of order; names long enough for three levels of pages.
            std::int32_t id = (row * 7919) % ROWS;
            std::u16string name(100, u'x');
            std::string number = std::to_string(id);
            name.replace(0, number.size(), std::u16string(number.begin(), number.end()));
            writer->append_row(u"Many", {jet_value(id), jet_value(name), jet_value(row)});
            // Each flush lays the indexes out again: BySeq's keys only ever grow, so its
            // earlier leaves stay as they were written.
            if (row % 5000 == 4999) writer->flush();
        }
        writer->flush();
    }
    jet_table_def def = jet_database::open(path, u"")->table_def(u"Many");
    std::vector<jet_test_index> indexes = jet_test_index_reader(path).indexes(def.tdef_page);
    ASSERT_EQ(indexes.size(), 3u);
    for (const jet_test_index& index : indexes) {
        EXPECT_EQ(index.entries.size(), std::size_t(ROWS));
        EXPECT_EQ(index.linked_leaves, index.leaves);
        std::vector<std::vector<std::uint8_t>> found = keys(index);
        EXPECT_TRUE(std::is_sorted(found.begin(), found.end()));
        std::vector<std::uint32_t> rows;
        for (const jet_test_index_entry& entry : index.entries)
            rows.push_back(entry.page << 8 | entry.row);
        std::sort(rows.begin(), rows.end());
        EXPECT_EQ(std::adjacent_find(rows.begin(), rows.end()), rows.end());
    }
    EXPECT_GE(indexes[1].depth, 3);
    // Ids 0..ROWS-1 in value order: the key of the n-th entry is n's.
    for (int id : {0, 1, ROWS / 2, ROWS - 1})
        for (std::size_t index_no : {0u, 2u})
            EXPECT_EQ(indexes[index_no].entries[std::size_t(id)].key,
                      key_of(jet_value(std::int32_t(id)), JET_TYPE_INT32));
    fs::remove(path);
}

TEST(JetIndexPages, ARowWhoseKeyOutgrowsAPageIsRefusedWhole) {
    std::string path = scratch("long.mdb");
    auto writer = jet_database_writer::create(path);
    jet_new_table table{u"Wide", {}, {{u"All", {}, false, false, false}}, false};
    for (char16_t letter : std::u16string(u"ABCD")) {
        table.columns.push_back(jet_make_column(std::u16string(1, letter), JET_TYPE_TEXT, 255));
        table.indexes[0].columns.push_back({std::u16string(1, letter), true});
    }
    writer->create_table(table);
    // Each accented letter takes an order byte and an accent byte: about 2 KB of key.
    jet_value accented(std::u16string(255, u'\u00e9'));
    try {
        writer->append_row(u"Wide", {accented, accented, accented, accented});
        ADD_FAILURE() << "a key longer than half a page was written";
    } catch (const jet_error& refused) {
        EXPECT_EQ(refused.dao_number(), 3001);
    }
    writer->append_row(u"Wide", {accented, jet_value(), jet_value(), jet_value()});
    writer->flush();
    EXPECT_EQ(writer->row_count(u"Wide"), 1u);
    writer.reset();
    jet_table_def def = jet_database::open(path, u"")->table_def(u"Wide");
    EXPECT_EQ(jet_test_index_reader(path).indexes(def.tdef_page).at(0).entries.size(), 1u);
    fs::remove(path);
}

jet_new_column amount_column() {
    jet_new_column amount = jet_make_column(u"Amount", JET_TYPE_NUMERIC);
    amount.precision = 28;
    amount.scale = 2;
    return amount;
}

// 1.5 handed over at scale 1 is 1.50 in a column of scale 2: stored and kept unique as that
// value, not as 0.15 (its place in an index: MdbtoolsWalksDecimalAndBinaryIndexes...).
TEST(JetIndexPages, DecimalsAreKeyedAtTheColumnsScale) {
    std::string path = scratch("scale.accdb");
    {
        auto writer = jet_database_writer::create(path);
        writer->create_table({u"Prices",
                              {amount_column()},
                              {{u"PK", {{u"Amount", true}}, true, true, false}},
                              false});
        writer->append_row(u"Prices", {jet_value(jet_decimal{15, 0, 0, 1, 28, false})});
        writer->append_row(u"Prices", {decimal(149, false)});
        try {
            writer->append_row(u"Prices", {decimal(150, false)});
            ADD_FAILURE() << "1.50 was taken twice by a primary key";
        } catch (const jet_error& refused) {
            EXPECT_EQ(refused.dao_number(), 3022);
        }
        writer->flush();
    }
    auto file = jet_database::open(path, u"");
    auto cursor = file->open_cursor(u"Prices");
    ASSERT_TRUE(cursor->next());
    EXPECT_EQ(cursor->values()[0], decimal(150, false));
    fs::remove(path);
}

#ifdef VANTREL_MDB_INDEX_WALK
TEST(JetIndexPages, MdbtoolsWalksAWrittenIndexInAccessOrder) {
    std::string path = scratch("walk.mdb");
    std::vector<std::u16string> names = {u"f", u"coop",   u"\u00e9", u"B",   u"co-op", u"\u00c4",
                                         u"a", u"\u03a9", u"\u0430", u"Zoe", u"e",     u"A"};
    {
        auto writer = jet_database_writer::create(path);
        writer->create_table({u"Words",
                              {jet_make_column(u"Word", JET_TYPE_TEXT, 20)},
                              {{u"ByWord", {{u"Word", true}}, false, false, false},
                               {u"ByWordDown", {{u"Word", false}}, false, false, false}},
                              false});
        for (const std::u16string& name : names) writer->append_row(u"Words", {jet_value(name)});
        writer->append_row(u"Words", {jet_value()});
        writer->flush();
    }
    // NULL first; A and a equal (the earlier row first); accents after the plain letter;
    // the hyphen skipped; Greek, then Cyrillic after the Latin letters.
    std::string ascending = "\na\nA\n\xc3\x84\nB\ncoop\nco-op\ne\n\xc3\xa9\nf\nZoe\n"
                            "\xce\xa9\n\xd0\xb0\n";
    EXPECT_EQ(run(std::string(VANTREL_MDB_INDEX_WALK) + " " + path + " Words ByWord Word"),
              ascending);
    std::string descending = "\xd0\xb0\n\xce\xa9\nZoe\nf\n\xc3\xa9\ne\nco-op\ncoop\nB\n"
                             "\xc3\x84\na\nA\n\n";
    EXPECT_EQ(run(std::string(VANTREL_MDB_INDEX_WALK) + " " + path + " Words ByWordDown Word"),
              descending);
    fs::remove(path);
}

std::string lines(const std::vector<std::string>& labels) {
    std::string joined;
    for (const std::string& label : labels) joined += label + "\n";
    return joined;
}

// Each row's label names its Amount; its Raw values order the rows another way. Rows arrive
// out of order; 1.5 at scale 1 must land between 1.49 and max.
TEST(JetIndexPages, MdbtoolsWalksDecimalAndBinaryIndexesInAccessOrder) {
    auto raw = [](std::initializer_list<int> list) {
        return jet_value(std::vector<std::uint8_t>(list.begin(), list.end()));
    };
    std::vector<std::tuple<std::string, jet_value, jet_value>> rows = {
        {"0.01", decimal(1, false), raw({0, 0})},
        {"max", decimal(0x3E2502610FFFFFFFull, false, 0x204FCE5E), raw({0x7F})},
        {"-1", decimal(100, true), raw({0})},
        {"null", jet_value(), jet_value()},
        {"1.5", jet_value(jet_decimal{15, 0, 0, 1, 28, false}), raw({1, 2, 3, 4, 5, 6, 7, 8})},
        {"-big", decimal(0x6D797A91BE38F34Eull, true, 0x03FD35EB),   // 28 digits
         raw({1, 2, 3, 4, 5, 6, 7, 8, 9})},
        {"0", decimal(0, false), raw({1})},
        {"1.49", decimal(149, false), raw({1, 2, 3})},
        {"-0.01", decimal(1, true), raw({0xFF})}};
    // Jet 4's descending Decimal order is Access 2000's: negative values first, each half
    // descending (KB 837148).
    std::vector<std::string> amount_ascending = {"null", "-big", "-1",  "-0.01", "0",
                                                 "0.01", "1.49", "1.5", "max"};
    std::vector<std::string> amount_descending_ace(amount_ascending.rbegin(),
                                                   amount_ascending.rend());
    std::vector<std::string> amount_descending_jet4 = {"-0.01", "-1",   "-big", "max", "1.5",
                                                       "1.49",  "0.01", "0",    "null"};
    std::vector<std::string> raw_ascending = {"null", "-1",   "0.01", "0",    "1.49",
                                              "1.5",  "-big", "max",  "-0.01"};
    std::vector<std::string> raw_descending(raw_ascending.rbegin(), raw_ascending.rend());
    for (const std::string extension : {".mdb", ".accdb"}) {
        SCOPED_TRACE(extension);
        std::string path = scratch("numbers" + extension);
        {
            auto writer = jet_database_writer::create(path);
            writer->create_table({u"Keys",
                                  {jet_make_column(u"Label", JET_TYPE_TEXT, 10), amount_column(),
                                   jet_make_column(u"Raw", JET_TYPE_BINARY, 12)},
                                  {{u"ByAmount", {{u"Amount", true}}, false, false, false},
                                   {u"ByAmountDown", {{u"Amount", false}}, false, false, false},
                                   {u"ByRaw", {{u"Raw", true}}, false, false, false},
                                   {u"ByRawDown", {{u"Raw", false}}, false, false, false}},
                                  false});
            for (const auto& [label, amount, bytes] : rows)
                writer->append_row(u"Keys", {jet_value(std::u16string(label.begin(), label.end())),
                                             amount, bytes});
            writer->flush();
        }
        auto walk = [&](const std::string& index) {
            return run(std::string(VANTREL_MDB_INDEX_WALK) + " " + path + " Keys " + index
                       + " Label");
        };
        EXPECT_EQ(walk("ByAmount"), lines(amount_ascending));
        EXPECT_EQ(walk("ByAmountDown"),
                  lines(extension == ".mdb" ? amount_descending_jet4 : amount_descending_ace));
        EXPECT_EQ(walk("ByRaw"), lines(raw_ascending));
        EXPECT_EQ(walk("ByRawDown"), lines(raw_descending));
        fs::remove(path);
    }
}
#endif

}   // namespace
