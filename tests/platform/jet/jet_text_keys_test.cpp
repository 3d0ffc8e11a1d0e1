// Text keys against the index pages Access wrote: every row of every text index in the shared
// Access 2000-2007 files (General legacy order) must give the key Access stored for it, byte
// for byte. The hand-worked cases follow the rules those pages show: a letter Access spells
// as two (sharp s as ss) takes two places until the first extra byte and one after it, and
// trailing spaces take no part in a key.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "jet_index_entries.hpp"
#include "jet_test_files.hpp"
#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_index_key.hpp"

namespace {

std::vector<std::uint8_t> bytes(std::initializer_list<int> list) {
    return {list.begin(), list.end()};
}

std::vector<std::uint8_t> key(const std::u16string& text, bool ascending = true) {
    return jet_text_index_key(text, ascending);
}

std::string hex(const std::vector<std::uint8_t>& data) {
    std::string out;
    for (std::uint8_t byte : data) {
        char two[4];
        std::snprintf(two, sizeof two, "%02X ", byte);
        out += two;
    }
    return out;
}

std::string ascii(const std::u16string& text) {
    return std::string(text.begin(), text.end());   // names in the shared files are ASCII
}

bool is_text_index(const jet_table_def& def, const jet_index& index) {
    bool text = false;
    for (const jet_index_column& column : index.columns) {
        const jet_column* spec = def.find_column(column.name);
        if (spec == nullptr || !jet_index_key_supported(spec->type_code)) return false;
        text = text || spec->type_code == JET_TYPE_TEXT;
    }
    return text;
}

// Compares the keys of one table's text indexes with the entries of its index pages, found
// by the row each entry points to; counts them in `compared` by "file table.index".
void compare_table(const std::string& file, const jet_database& access,
                   const jet_catalog_entry& table, std::map<std::string, std::size_t>& compared) {
    jet_table_def def = access.table_def(table.name);
    std::vector<jet_test_index> pages =
        jet_test_index_reader(jet_testdata(file)).indexes(def.tdef_page);
    for (const jet_index& index : def.indexes) {
        if (!is_text_index(def, index)) continue;
        std::string name = file + " " + ascii(def.name) + "." + ascii(index.name);
        std::map<std::uint32_t, std::vector<std::uint8_t>> theirs;
        for (const jet_test_index_entry& entry : pages.at(index.real_index).entries)
            theirs[entry.page << 8 | entry.row] = entry.key;
        std::size_t& count = compared[name];
        auto cursor = access.open_cursor(def);
        while (cursor->next()) {
            jet_row_position at = cursor->position();
            auto found = theirs.find(at.page << 8 | at.row);
            if (found == theirs.end() && index.ignores_nulls()) continue;   // a NULL left out
            std::vector<std::uint8_t> ours = jet_index_key(def, index, cursor->values(),
                                                           access.header().format);
            ASSERT_NE(found, theirs.end())
                << name << ": no entry for row " << at.page << ":" << at.row;
            EXPECT_EQ(hex(ours), hex(found->second)) << name;
            ++count;
        }
    }
}

TEST(JetTextKeys, EveryTextKeyOfTheSharedFilesIsTheOneAccessWrote) {
    if (!jet_has_testdata()) GTEST_SKIP() << "shared test files absent";
    std::map<std::string, std::size_t> compared;
    for (const std::string& file : jet_all_test_databases()) {
        std::unique_ptr<jet_database> access;
        try {
            access = jet_database::open(jet_testdata(file), u"");
        } catch (const jet_error&) {
            continue;   // a password we do not know
        }
        // Access 2010 and later sort by the newer General order; Jet 3 by its own.
        jet_format format = access->header().format;
        if (access->header().is_encrypted
            || (format != jet_format::jet4 && format != jet_format::ace12))
            continue;
        SCOPED_TRACE(file);
        for (const jet_catalog_entry& table : access->user_tables())
            compare_table(file, *access, table, compared);
    }
    // The keys that once differed: a sharp s before a hyphen, before an umlaut, and a city
    // with a trailing space.
    const std::string ours = "npsmith88-NorthwindDatabaseQueryTool/Northwind.mdb ";
    const std::string theirs = "CirrusRedOrg-EntityFrameworkCore.Jet/Northwind.accdb ";
    EXPECT_EQ(compared[ours + "Products.ProductName"], 77u);
    EXPECT_EQ(compared[theirs + "Products.ProductName"], 77u);
    EXPECT_EQ(compared[ours + "Suppliers.CompanyName"], 29u);
    EXPECT_EQ(compared[theirs + "Suppliers.CompanyName"], 29u);
    EXPECT_EQ(compared[ours + "Customers.City"], 91u);
    std::size_t total = 0;
    for (const auto& [name, count] : compared) total += count;
    EXPECT_GT(total, 7000u);
}

TEST(JetTextKeys, ALetterSpelledAsTwoTakesTwoPlacesUntilTheFirstExtraByte) {
    // Sharp s (ss) before a hyphen: the hyphen stands at place 2 (7 + 4 * 2 = 0x0F).
    EXPECT_EQ(key(u"\u00df-"),
              bytes({0x6B, 0x6B, 0x01, 0x01, 0x01, 0x01, 0x80, 0x0F, 0x06, 0x82, 0x00}));
    // ... and before e-acute (extra byte 0x0E): two placeholders.
    EXPECT_EQ(key(u"\u00df\u00e9"), bytes({0x6B, 0x6B, 0x51, 0x01, 0x02, 0x02, 0x0E, 0x00}));
    // The ffi ligature counts three, the ae ligature two.
    EXPECT_EQ(key(u"\ufb03\u00e9"),
              bytes({0x53, 0x53, 0x59, 0x51, 0x01, 0x02, 0x02, 0x02, 0x0E, 0x00}));
    EXPECT_EQ(key(u"\u00e6-"), key(u"ae-"));
    // Once an extra byte was written, the same letters take one placeholder each.
    EXPECT_EQ(key(u"\u00e9\u00df\u00e9"),
              bytes({0x51, 0x6B, 0x6B, 0x51, 0x01, 0x0E, 0x02, 0x0E, 0x00}));
    EXPECT_EQ(key(u"\u00e9\u00df-"), bytes({0x51, 0x6B, 0x6B, 0x01, 0x0E, 0x01, 0x01, 0x01, 0x80,
                                            0x0F, 0x06, 0x82, 0x00}));
    // A two-byte element (a kana, an ideograph) is one place, as a Latin letter is.
    EXPECT_EQ(key(u"\u4e00\u00e9"), bytes({0x9F, 0x02, 0x51, 0x01, 0x02, 0x0E, 0x00}));
}

TEST(JetTextKeys, TrailingSpacesTakeNoPart) {
    EXPECT_EQ(key(u"Frankfurt a.M. "), key(u"Frankfurt a.M."));
    EXPECT_EQ(key(u"ab   "), key(u"ab"));
    EXPECT_EQ(key(u"ab ", false), key(u"ab", false));
    EXPECT_EQ(key(u"   "), key(u""));
    EXPECT_EQ(key(u"a- "), key(u"a-"));
    // Spaces inside and in front still count.
    EXPECT_NE(key(u"a b"), key(u"ab"));
    EXPECT_NE(key(u" ab"), key(u"ab"));
}

}   // namespace
