// Damaged copies of shared files that once read as good ones (tables or rows gone, exit 0),
// each kept with the exact error it must give now; and the undamaged files whose stored row
// counts differ from their rows, which must still read. Pages and offsets were found by
// filling every page (jet_damaged_pages_fuzz_test) and by reading the pages by hand.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/jet/jet_cursor.hpp"
#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_test_files.hpp"
#include "platform/jet/jet_text.hpp"

namespace {

constexpr const char* NORTHWIND_JET4 = "npsmith88-NorthwindDatabaseQueryTool/Northwind.mdb";
constexpr const char* NORTHWIND_JET3 = "mdbtools-mdbtestdata/nwind.mdb";
constexpr const char* NORTHWIND_ACE = "CirrusRedOrg-EntityFrameworkCore.Jet/Northwind.accdb";

std::size_t page_size_of(const std::string& bytes) { return bytes[0x14] == 0 ? 2048 : 4096; }

// A copy of a shared file with bytes replaced; removed at the end of the test.
class damaged_copy {
public:
    explicit damaged_copy(const char* relative)
        : original(jet_read_test_file(jet_testdata(relative))), file("damaged") {
        file.write(original);
    }
    void zero_page(std::uint32_t page_no) const {
        std::size_t page_size = page_size_of(original);
        file.patch(page_no * page_size, std::string(page_size, '\0'));
    }
    void set_bytes(std::size_t offset, const std::string& bytes) const {
        file.patch(offset, bytes);
    }
    std::size_t page_offset(std::uint32_t page_no) const {
        return page_no * page_size_of(original);
    }
    // Keeps the file's first length bytes.
    void cut(std::size_t length) const { file.write(original.substr(0, length)); }
    std::size_t size() const { return original.size(); }
    std::string path() const { return file.path.string(); }

private:
    std::string original;
    jet_scratch_file file;
};

// Opens the file and reads every user table to its end; the first error, or none.
std::optional<jet_error> read_user_tables(const std::string& path) {
    try {
        auto db = jet_database::open(path);
        for (const jet_catalog_entry& entry : db->user_tables()) {
            std::unique_ptr<jet_cursor> cursor = db->open_cursor(entry.name);
            while (cursor->next()) continue;
        }
    } catch (const jet_error& error) {
        return error;
    }
    return std::nullopt;
}

void expect_corrupt(const std::string& path, std::uint32_t page_no, const std::string& table,
                    const std::string& detail) {
    std::optional<jet_error> error = read_user_tables(path);
    ASSERT_TRUE(error.has_value()) << "read as a good file";
    EXPECT_EQ(error->dao_number(), JET_ERR_CORRUPT) << error->what();
    EXPECT_EQ(error->page_no(), page_no) << error->what();
    EXPECT_EQ(error->table_name(), table) << error->what();
    EXPECT_NE(std::string(error->what()).find(detail), std::string::npos) << error->what();
}

// The exact text a refusal must give; it names the page and, where known, the table.
void expect_refused(const std::string& path, const std::string& text) {
    std::optional<jet_error> error = read_user_tables(path);
    ASSERT_TRUE(error.has_value()) << "read as a good file";
    EXPECT_EQ(error->dao_number(), JET_ERR_CORRUPT) << error->what();
    EXPECT_EQ(error->what(), text);
}

std::uint32_t tdef_page_of(const char* relative, std::u16string_view table) {
    auto db = jet_database::open(jet_testdata(relative));
    return db->find_table(table)->tdef_page();
}

}   // namespace

TEST(JetDamagedUsageMap, ZeroedDataPageOfATableIsCorruptionNotFewerRows) {
    JET_REQUIRE_TESTDATA();
    const std::string not_data = "the table's usage map lists a page of type 0";
    damaged_copy jet4(NORTHWIND_JET4);
    jet4.zero_page(303);
    expect_corrupt(jet4.path(), 303, "Orders", not_data);
    damaged_copy jet3(NORTHWIND_JET3);
    jet3.zero_page(80);
    expect_corrupt(jet3.path(), 80, "Customers", not_data);
}

TEST(JetDamagedUsageMap, DataPageOfAnotherTableIsCorruption) {
    JET_REQUIRE_TESTDATA();
    damaged_copy jet4(NORTHWIND_JET4);
    std::uint32_t shippers = tdef_page_of(NORTHWIND_JET4, u"Shippers");
    std::string owner{char(shippers & 0xFF), char((shippers >> 8) & 0xFF), 0, 0};
    jet4.set_bytes(jet4.page_offset(303) + 4, owner);   // data page header: owner at 4
    expect_corrupt(jet4.path(), 303, "Orders",
                   "lists a data page of the table defined at page " + std::to_string(shippers));
}

TEST(JetDamagedCatalog, ZeroedCataloguePageRefusesTheOpen) {
    JET_REQUIRE_TESTDATA();
    // Page 18 lists 5 of the 8 user tables; skipped, it left them out without a word.
    damaged_copy jet4(NORTHWIND_JET4);
    jet4.zero_page(18);
    expect_corrupt(jet4.path(), 18, "MSysObjects", "a page of type 0");
    damaged_copy ace(NORTHWIND_ACE);
    ace.zero_page(17);
    expect_corrupt(ace.path(), 17, "MSysObjects", "a page of type 0");
}

// Page 0 shows a Jet file; its catalogue's definition zeroed was reported as a foreign file
// (3343) naming neither page nor table.
TEST(JetDamagedCatalog, ZeroedCatalogueDefinitionIsCorruptionNotAForeignFile) {
    JET_REQUIRE_TESTDATA();
    for (const char* relative : {NORTHWIND_JET3, NORTHWIND_JET4, NORTHWIND_ACE}) {
        damaged_copy copy(relative);
        copy.zero_page(2);
        expect_refused(copy.path(), "The database is corrupt: page 2 of table 'MSysObjects': a "
                                    "table definition page has type 0.");
    }
}

TEST(JetDamagedCatalog, SalvageKeepsEveryTableThatCanBeRead) {
    JET_REQUIRE_TESTDATA();
    damaged_copy jet4(NORTHWIND_JET4);
    jet4.zero_page(18);
    jet_open_options options;
    options.b_salvage_catalog = true;
    auto db = jet_database::open(jet4.path(), u"", options);
    ASSERT_TRUE(db->catalog_damage().has_value());
    EXPECT_EQ(db->catalog_damage()->dao_number(), JET_ERR_CORRUPT);
    EXPECT_EQ(db->catalog_damage()->page_no(), 18u);
    std::string names;
    for (const jet_catalog_entry& entry : db->user_tables()) names += jet_utf8(entry.name) + ",";
    EXPECT_EQ(names, "Products,Shippers,Suppliers,");
    auto undamaged = jet_database::open(jet_testdata(NORTHWIND_JET4), u"", options);
    EXPECT_FALSE(undamaged->catalog_damage().has_value());
}

TEST(JetDamagedCatalog, CatalogueColumnNameFlipIsCorruptionNotEmptyNames) {
    JET_REQUIRE_TESTDATA();
    // Every table came out with an empty name and a run converted nothing, exit 0.
    damaged_copy jet4(NORTHWIND_JET4);
    jet4.set_bytes(jet4.page_offset(2) + 688, "M");   // "Name" (UTF-16, after its length)
    expect_corrupt(jet4.path(), 2, "MSysObjects", "the catalogue has no column 'Name'");
}

TEST(JetDamagedCatalog, UndecodableObjectNameIsCorruption) {
    JET_REQUIRE_TESTDATA();
    damaged_copy jet3(NORTHWIND_JET3);   // "Shippers" on catalogue page 22, code page text
    jet3.set_bytes(jet3.page_offset(22) + 189, std::string(1, '\x01'));
    expect_corrupt(jet3.path(), 22, "MSysObjects", "an empty or undecodable name");
    damaged_copy jet4(NORTHWIND_JET4);   // "Shippers" on page 362, UTF-16
    jet4.set_bytes(jet4.page_offset(362) + 2169, std::string(1, '\0'));
    std::optional<jet_error> error = read_user_tables(jet4.path());
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->dao_number(), JET_ERR_CORRUPT);
    EXPECT_NE(std::string(error->what()).find("an empty or undecodable name"), std::string::npos)
        << error->what();
}

TEST(JetDamagedCatalog, MissingSystemTableIsCorruption) {
    JET_REQUIRE_TESTDATA();
    damaged_copy jet4(NORTHWIND_JET4);   // "MSysACEs" on catalogue page 14, UTF-16
    jet4.set_bytes(jet4.page_offset(14) + 3715 + 14, "t");   // MSysACEt
    expect_corrupt(jet4.path(), 2, "MSysObjects", "lists no system table 'MSysACEs'");
}

// A file cut inside its last page: Jet files are whole pages, and the cut page is named.
TEST(JetDamagedFileLength, FileEndingInsideAPageIsCorruption) {
    JET_REQUIRE_TESTDATA();
    damaged_copy jet3(NORTHWIND_JET3);   // 1,466 pages of 2,048 bytes
    jet3.cut(jet3.size() - 1);
    expect_refused(jet3.path(), "The database is corrupt: page 1465: the file ends 2047 bytes "
                                "into this page of 2048 bytes.");
    damaged_copy ace(NORTHWIND_ACE);   // 353 pages of 4,096 bytes
    ace.cut(ace.size() - 4000);
    expect_refused(ace.path(), "The database is corrupt: page 352: the file ends 96 bytes into "
                               "this page of 4096 bytes.");
}

TEST(JetStoredRowCount, RowsFallingShortOfTheStoredCountAreCorruption) {
    JET_REQUIRE_TESTDATA();
    std::uint32_t orders = tdef_page_of(NORTHWIND_JET4, u"Orders");
    damaged_copy jet4(NORTHWIND_JET4);
    jet4.set_bytes(jet4.page_offset(orders) + 16, std::string("\x84\x03\0\0", 4));   // 900
    expect_corrupt(jet4.path(), orders, "Orders",
                   "830 rows and 0 deleted rows were found where the table definition "
                   "counts 900 rows");
}

TEST(JetStoredRowCount, CountsAccessLeftInexactStillRead) {
    JET_REQUIRE_TESTDATA();
    struct inexact_count {
        const char* relative;
        std::u16string_view table;
        std::uint32_t stored, rows;   // mdb-count and mdb-export row counts
    };
    for (const inexact_count& known :
         {inexact_count{NORTHWIND_JET4, u"Customers", 92, 91},
          inexact_count{"jahlborn-jackcess/V2010/calcFieldTestV2010.accdb", u"Table1", 3, 4}}) {
        auto db = jet_database::open(jet_testdata(known.relative));
        EXPECT_EQ(db->table_def(known.table).stored_row_count, known.stored);
        EXPECT_EQ(db->count_rows(known.table), known.rows) << known.relative;
    }
}

// Counting walks the pages but decodes no row: a row whose own bytes are damaged is counted,
// and the reader that decodes it names the fault. Orders' first row on page 303 starts at
// 0xF72 (Jet 4 row offsets from byte 14 of the page) with its column count, 14.
TEST(JetRowCount, CountsADamagedRowAndLeavesItsFaultToTheRead) {
    JET_REQUIRE_TESTDATA();
    damaged_copy jet4(NORTHWIND_JET4);
    jet4.set_bytes(jet4.page_offset(303) + 0xF72, "\xFF\xFF");
    auto db = jet_database::open(jet4.path());
    EXPECT_EQ(db->count_rows(u"Orders"), 830u);
    expect_corrupt(jet4.path(), 303, "Orders", "declares 65535 columns");
}

// One byte of a data page's row count. Lowered on a catalogue page, the tables listed on the
// rest of the page vanished and the file read as good (Jet 3, Jet 4 and ACE below); raised on
// a table's page, rows were read from bytes that are none. The free space, written with the
// rows, no longer matches the offsets (invariant 2 of jet_data_page.hpp).
TEST(JetDamagedDataPage, ChangedRowCountIsCorruption) {
    JET_REQUIRE_TESTDATA();
    struct changed_count {
        const char* relative;
        std::uint32_t page_no;
        std::size_t row_count_at;   // 8 in Jet 3, 12 in Jet 4 / ACE
        char count;                 // the count written over the low byte
        const char* error;
    };
    for (const changed_count& damage :
         {changed_count{NORTHWIND_JET3, 22, 8, 0,   // 31 rows
                        "The database is corrupt: page 22 of table 'MSysObjects': a data "
                        "page with row count 0 records 82 bytes free where its row offsets "
                        "end at byte 10 and its rows start at byte 2048."},
          changed_count{NORTHWIND_JET4, 18, 12, 0,   // 38 rows
                        "The database is corrupt: page 18 of table 'MSysObjects': a data "
                        "page with row count 0 records 66 bytes free where its row offsets "
                        "end at byte 14 and its rows start at byte 4096."},
          changed_count{NORTHWIND_ACE, 17, 12, 14,   // 41 rows
                        "The database is corrupt: page 17 of table 'MSysObjects': a data "
                        "page with row count 14 records 62 bytes free where its row offsets "
                        "end at byte 42 and its rows start at byte 2774."},
          changed_count{NORTHWIND_JET4, 303, 12, char(142),   // 28 rows
                        "The database is corrupt: page 303 of table 'Orders': a data page "
                        "with row count 142 records 120 bytes free where its row offsets "
                        "end at byte 298 and its rows start at byte 0."}}) {
        damaged_copy copy(damage.relative);
        copy.set_bytes(copy.page_offset(damage.page_no) + damage.row_count_at,
                       std::string(1, damage.count));
        expect_refused(copy.path(), damage.error);
    }
}
