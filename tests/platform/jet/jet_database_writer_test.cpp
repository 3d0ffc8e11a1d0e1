// Files written by jet_database_writer, judged by readers we did not write (mdb-reader and
// mdbtools) and by our own reader: every table, column definition, index and value must
// read back as written, for Jet 4 (.mdb) and ACE 12 (.accdb). The expected values are the
// values handed to the writer; the readers' text forms are those of tests/dump.
#include "platform/jet/jet_database_writer.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <optional>
#include <unistd.h>

#include "dump/dump_readers.hpp"
#include "platform/jet/jet_text.hpp"
#include "platform/jet/jet_value_text.hpp"

namespace {

jet_new_column column(std::u16string name, std::uint8_t type_code, std::uint16_t length = 0) {
    return jet_make_column(std::move(name), type_code, length);
}

const char* const SCRIPT = VANTREL_SOURCE_DIR "/tests/dump/mdb_reader_dump.mjs";

// A file in the build's scratch folder, removed with its test.
class scratch_file {
public:
    explicit scratch_file(const std::string& name)
        : path(std::string(VANTREL_BUILD_DIR) + "/tests/writer-" + std::to_string(::getpid()) + "-"
               + name) {
        std::filesystem::remove(path);
    }
    ~scratch_file() { std::filesystem::remove(path); }
    std::string path;
};

enum every_type_column {
    ID,
    FLAG,
    SMALL,
    SHORT,
    WHOLE,
    MONEY,
    REAL,
    DOUBLE,
    WHEN,
    NAME,
    NOTES,
    PHOTO,
    RAW,
    KEY,
    AMOUNT,
    CODE,
    COLUMN_COUNT
};

jet_new_table every_type_table() {
    jet_new_table table;
    table.name = u"Every Type";
    table.columns = {column(u"Id", JET_TYPE_INT32),       column(u"Flag", JET_TYPE_BOOLEAN),
                     column(u"Small", JET_TYPE_BYTE),     column(u"Short", JET_TYPE_INT16),
                     column(u"Whole", JET_TYPE_INT32),    column(u"Money", JET_TYPE_CURRENCY),
                     column(u"Real", JET_TYPE_FLOAT32),   column(u"Double", JET_TYPE_FLOAT64),
                     column(u"When", JET_TYPE_DATETIME),  column(u"Name", JET_TYPE_TEXT, 40),
                     column(u"Notes", JET_TYPE_MEMO),     column(u"Photo", JET_TYPE_OLE),
                     column(u"Raw", JET_TYPE_BINARY, 16), column(u"Key", JET_TYPE_GUID),
                     column(u"Amount", JET_TYPE_NUMERIC), column(u"Code", JET_TYPE_TEXT, 10)};
    table.columns[ID].is_autonumber = true;
    table.columns[NAME].default_value = u"\"none\"";
    table.columns[CODE].is_required = true;
    table.columns[AMOUNT].precision = 18;
    table.columns[AMOUNT].scale = 4;
    jet_new_index primary{u"PrimaryKey", {{u"Id", true}}, true, true, false};
    jet_new_index by_name{u"ByNameWhen", {{u"Name", true}, {u"When", false}}, false, false, false};
    jet_new_index by_code{u"UniqueCode", {{u"Code", true}}, false, true, false};
    jet_new_index by_amount{u"ByAmountDown", {{u"Amount", false}}, false, false, false};
    jet_new_index by_raw{u"ByRaw", {{u"Raw", true}}, false, false, false};
    table.indexes = {primary, by_name, by_code, by_amount, by_raw};
    return table;
}

jet_decimal decimal(std::uint64_t magnitude, bool negative) {
    return jet_decimal{
        std::uint32_t(magnitude), std::uint32_t(magnitude >> 32), 0, 4, 18, negative};
}

std::vector<std::uint8_t> pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t at = 0; at < size; ++at) bytes[at] = std::uint8_t(at * 7 % 251);
    return bytes;
}

std::u16string several_scripts() {
    return u"Gr\u00fc\u00dfe \u041f\u0440\u0438\u0432\u0435\u0442 \u65e5\u672c\u8a9e "
           u"\u0645\u0631\u062d\u0628\u0627 \u05e9\u05dc\u05d5\u05dd \U0001F600";
}

std::u16string long_memo(std::size_t characters) {
    std::u16string text;
    while (text.size() < characters) text += u"line " + several_scripts() + u"\r\n";
    return text.substr(0, characters);
}

// NULLs, extremes, empty texts, several scripts, long values over several pages.
std::vector<std::vector<jet_value>> every_type_rows() {
    std::vector<std::vector<jet_value>> rows(5, std::vector<jet_value>(COLUMN_COUNT));
    rows[0][FLAG] = jet_value(false);
    rows[0][CODE] = jet_value(std::u16string(u"null"));
    auto& typical = rows[1];
    typical[FLAG] = jet_value(true);
    typical[SMALL] = jet_value(std::uint8_t(42));
    typical[SHORT] = jet_value(std::int16_t(-1234));
    typical[WHOLE] = jet_value(std::int32_t(123456789));
    typical[MONEY] = jet_value(jet_currency{-123456789});
    typical[REAL] = jet_value(3.25f);
    typical[DOUBLE] = jet_value(-2.5e-10);
    typical[WHEN] = jet_value(jet_date{45000.75});   // 2023-03-15 18:00:00
    typical[NAME] = jet_value(several_scripts());
    typical[NOTES] = jet_value(std::u16string(u"short memo \u00e9"));
    typical[PHOTO] = jet_value(pattern(50));
    typical[RAW] = jet_value(std::vector<std::uint8_t>{0xDE, 0xAD, 0xBE, 0xEF});
    typical[KEY] = jet_value(jet_guid{{0x78, 0x56, 0x34, 0x12, 0x34, 0x12, 0x78, 0x56, 0x9A, 0xBC,
                                       0xDE, 0xF0, 0x12, 0x34, 0x56, 0x78}});
    typical[AMOUNT] = jet_value(decimal(123456789012345ull, true));
    typical[CODE] = jet_value(std::u16string(u"typical"));
    auto& extremes = rows[2];
    extremes[FLAG] = jet_value(true);
    extremes[SMALL] = jet_value(std::uint8_t(255));
    extremes[SHORT] = jet_value(std::int16_t(-32768));
    extremes[WHOLE] = jet_value(std::int32_t(INT_MIN));
    extremes[MONEY] = jet_value(jet_currency{9223372036854775807LL});
    extremes[REAL] = jet_value(-3.4e38f);
    extremes[DOUBLE] = jet_value(1.7976931348623157e308);
    extremes[WHEN] = jet_value(jet_date{-657434.0});   // 0100-01-01
    extremes[NAME] = jet_value(std::u16string(40, u'\u00ff'));
    extremes[AMOUNT] = jet_value(decimal(999999999999999999ull, false));
    extremes[CODE] = jet_value(std::u16string(u"\u65e5\u672c"));
    auto& long_values = rows[3];
    long_values[FLAG] = jet_value(false);
    long_values[NOTES] = jet_value(long_memo(20000));   // a chain of pages
    long_values[PHOTO] = jet_value(pattern(30000));     // binary, zeros included
    long_values[CODE] = jet_value(std::u16string(u"long"));
    auto& empty = rows[4];
    empty[FLAG] = jet_value(false);
    empty[NAME] = jet_value(std::u16string());
    empty[NOTES] = jet_value(long_memo(3000));   // one page of its own
    empty[RAW] = jet_value(std::vector<std::uint8_t>());
    empty[CODE] = jet_value(std::u16string());
    return rows;
}

// What the reader gives for a written row: AutoNumber filled in, Booleans never null.
std::vector<jet_value> as_read(std::vector<jet_value> row, std::int32_t id) {
    row[ID] = jet_value(id);
    return row;
}

void write_every_type(const std::string& path) {
    auto file = jet_database_writer::create(path);
    file->create_table(every_type_table());
    for (const std::vector<jet_value>& row : every_type_rows())
        file->append_row(u"Every Type", row);
    file->flush();
}

std::vector<dump_record> expected_csv() {
    std::vector<dump_record> records;
    std::int32_t id = 0;
    for (const std::vector<jet_value>& row : every_type_rows()) {
        dump_record record;
        for (const jet_value& value : as_read(row, ++id)) record.push_back(jet_value_to_csv(value));
        records.push_back(record);
    }
    return records;
}

// mdbtools prints a character outside the BMP (four UTF-8 bytes) as "??".
std::string as_mdbtools_prints(const std::string& text) {
    std::string printed;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if ((std::uint8_t(text[at]) & 0xF8) == 0xF0) {
            printed += "??";
            at += 3;
        } else {
            printed += text[at];
        }
    }
    return printed;
}

class JetWriterFormats : public ::testing::TestWithParam<std::string> {};

INSTANTIATE_TEST_SUITE_P(JetDatabaseWriter, JetWriterFormats,
                         ::testing::Values(std::string(".mdb"), std::string(".accdb")),
                         [](const auto& test_info) { return test_info.param.substr(1); });

}   // namespace

TEST_P(JetWriterFormats, OwnReaderReadsEveryValueBack) {
    scratch_file file("every" + GetParam());
    write_every_type(file.path);
    auto db = jet_database::open(file.path);
    EXPECT_EQ(db->header().format, GetParam() == ".mdb" ? jet_format::jet4 : jet_format::ace12);
    ASSERT_EQ(db->user_tables().size(), 1u);
    auto cursor = db->open_cursor(u"Every Type");
    std::int32_t id = 0;
    for (const std::vector<jet_value>& row : every_type_rows()) {
        ASSERT_TRUE(cursor->next());
        std::vector<jet_value> expected = as_read(row, ++id);
        for (std::size_t column_idx = 0; column_idx < expected.size(); ++column_idx)
            EXPECT_EQ(cursor->values()[column_idx], expected[column_idx])
                << "row " << id << " column " << column_idx;
    }
    EXPECT_FALSE(cursor->next());
}

TEST_P(JetWriterFormats, OwnReaderReadsTheDefinitionBack) {
    scratch_file file("definition" + GetParam());
    write_every_type(file.path);
    jet_table_def def = jet_database::open(file.path)->table_def(u"every type");
    ASSERT_EQ(def.columns.size(), std::size_t(COLUMN_COUNT));
    EXPECT_EQ(def.columns[NAME].dao_size(), 40u);
    EXPECT_TRUE(def.columns[ID].is_autonumber());
    EXPECT_EQ(def.columns[NAME].default_value(), u"\"none\"");
    EXPECT_TRUE(def.columns[CODE].is_required());
    EXPECT_FALSE(def.columns[CODE].is_nullable());
    EXPECT_EQ(def.columns[AMOUNT].precision, 18);
    EXPECT_EQ(def.columns[AMOUNT].scale, 4);
    ASSERT_EQ(def.indexes.size(), 5u);
    EXPECT_TRUE(def.indexes[0].is_primary);
    EXPECT_FALSE(def.indexes[1].is_unique());
    ASSERT_EQ(def.indexes[1].columns.size(), 2u);
    EXPECT_FALSE(def.indexes[1].columns[1].ascending);
    EXPECT_TRUE(def.indexes[2].is_unique());
}

TEST_P(JetWriterFormats, MdbReaderReadsEveryValueAndDefinition) {
    if (!dump_has_program("node")) GTEST_SKIP() << "node is not installed";
    scratch_file file("reader" + GetParam());
    write_every_type(file.path);
    std::string output = dump_run("node " + dump_shell_quote(SCRIPT) + " "
                                  + dump_shell_quote(file.path) + " 2>&1");
    std::vector<dump_section> sections = dump_sections(output);
    ASSERT_EQ(sections.size(), 1u) << output;
    EXPECT_EQ(sections[0].name, "Every Type");
    std::vector<dump_record> records = dump_split_csv(sections[0].text);
    ASSERT_FALSE(records.empty());
    records.erase(records.begin());   // the header
    EXPECT_EQ(records, expected_csv());
    std::string schema = dump_run("node " + dump_shell_quote(SCRIPT) + " --schema "
                                  + dump_shell_quote(file.path) + " 'Every Type' 2>&1");
    // "name" type size fixed nullable auto_long auto_guid precision scale
    EXPECT_NE(schema.find("\"Id\" long 4 1 1 1 0"), std::string::npos) << schema;
    EXPECT_NE(schema.find("\"Name\" text 80 0 1 0 0"), std::string::npos) << schema;
    EXPECT_NE(schema.find("\"Code\" text 20 0 0 0 0"), std::string::npos) << schema;
    EXPECT_NE(schema.find("\"Amount\" numeric 17 1 1 0 0 18 4"), std::string::npos) << schema;
    EXPECT_NE(schema.find("\"Flag\" boolean"), std::string::npos) << schema;
}

TEST_P(JetWriterFormats, MdbtoolsReadsTablesValuesPropertiesAndIndexes) {
    if (!dump_has_program("mdb-export")) GTEST_SKIP() << "mdbtools is not installed";
    scratch_file file("mdbtools" + GetParam());
    write_every_type(file.path);
    std::string quoted = dump_shell_quote(file.path);
    EXPECT_EQ(dump_run("mdb-tables -1 " + quoted), "Every Type\n");
    std::vector<dump_record> exported = dump_split_csv(dump_run(
        "mdb-export -H -D '%Y-%m-%d %H:%M:%S' -T '%Y-%m-%d %H:%M:%S' " + quoted + " 'Every Type'"));
    std::vector<dump_record> expected = expected_csv();
    ASSERT_EQ(exported.size(), expected.size());
    for (std::size_t row_idx = 0; row_idx < expected.size(); ++row_idx) {
        // Numbers, dates and short texts; mdbtools cuts memo and binary values.
        for (int column_idx : {ID, SMALL, SHORT, WHOLE, WHEN, NAME, CODE}) {
            std::string theirs = exported[row_idx][std::size_t(column_idx)];
            if (column_idx == WHEN) theirs = dump_unquote(theirs);   // dates come quoted
            std::string ours = expected[row_idx][std::size_t(column_idx)];
            if (ours == "\"\"") ours.clear();   // mdbtools prints empty text as NULL
            if (row_idx == 2 && column_idx == WHEN) continue;   // it misprints years < 1900
            ours = as_mdbtools_prints(ours);
            EXPECT_EQ(theirs, ours) << "row " << row_idx << " column " << column_idx;
        }
    }
    std::string properties = dump_run("mdb-prop " + quoted + " 'Every Type'");
    EXPECT_NE(properties.find("DefaultValue: \"none\""), std::string::npos) << properties;
    EXPECT_NE(properties.find("Required: yes"), std::string::npos) << properties;
    std::string schema = dump_run("mdb-schema --indexes --no-relations " + quoted
                                  + " postgres 2>/dev/null");
    EXPECT_NE(schema.find("PRIMARY KEY (\"id\")"), std::string::npos) << schema;
    EXPECT_NE(schema.find("(\"name\", \"when\" DESC)"), std::string::npos) << schema;
    EXPECT_NE(schema.find("CREATE UNIQUE INDEX"), std::string::npos) << schema;
    EXPECT_NE(schema.find("(\"amount\" DESC)"), std::string::npos) << schema;
    EXPECT_NE(schema.find("(\"raw\")"), std::string::npos) << schema;
    EXPECT_NE(schema.find("\"code\"\t\t\tVARCHAR (10) NOT NULL"), std::string::npos) << schema;
}

namespace {

constexpr std::int32_t LARGE_ROWS = 100000;

jet_new_table large_table() {
    jet_new_table table;
    table.name = u"Large";
    table.columns = {column(u"Id", JET_TYPE_INT32), column(u"Label", JET_TYPE_TEXT, 20),
                     column(u"Value", JET_TYPE_FLOAT64)};
    table.columns[0].is_autonumber = true;
    return table;
}

std::vector<jet_value> large_row(std::int32_t row_no) {
    std::string label = "row " + std::to_string(row_no);
    return {jet_value(), jet_value(std::u16string(label.begin(), label.end())),
            jet_value(row_no * 0.5)};
}

std::string count_lines(const std::string& command) {
    std::string output = dump_run(command + " | wc -l");
    return output.substr(0, output.find_first_of(" \n"));
}

}   // namespace

// 100,000 rows take some 1,500 data pages: the usage map turns indirect on the way.
TEST(JetDatabaseWriterLarge, EveryReaderCountsAndReadsAHundredThousandRows) {
    scratch_file file("large.accdb");
    {
        auto writer = jet_database_writer::create(file.path);
        writer->create_table(large_table());
        for (std::int32_t row_no = 1; row_no <= LARGE_ROWS; ++row_no)
            writer->append_row(u"Large", large_row(row_no));
        writer->flush();
    }
    auto db = jet_database::open(file.path);
    auto cursor = db->open_cursor(u"Large");
    std::int32_t seen = 0;
    while (cursor->next()) {
        ++seen;
        std::vector<jet_value> expected = large_row(seen);
        expected[0] = jet_value(seen);
        ASSERT_EQ(cursor->values(), expected) << "row " << seen;
    }
    EXPECT_EQ(seen, LARGE_ROWS);
    std::string quoted = dump_shell_quote(file.path);
    if (dump_has_program("mdb-export")) {
        EXPECT_EQ(count_lines("mdb-export -H " + quoted + " Large"), "100000");
    }
    if (dump_has_program("node")) {
        std::string last = dump_run("node " + dump_shell_quote(SCRIPT) + " " + quoted
                                    + " Large | tail -1");
        EXPECT_EQ(last, "100000,\"row 100000\",50000\n");
        EXPECT_EQ(count_lines("node " + dump_shell_quote(SCRIPT) + " " + quoted + " Large"),
                  "100002");   // the section line and the header
    }
}

TEST(JetDatabaseWriterFailures, RefusesToCreateOverAnExistingFile) {
    scratch_file file("exists.mdb");
    { std::ofstream(file.path) << "not a database"; }
    try {
        jet_database_writer::create(file.path);
        FAIL() << "an existing file was overwritten";
    } catch (const jet_error& error) {
        EXPECT_EQ(error.dao_number(), 3204);
    }
    std::ifstream kept(file.path);
    std::string text;
    std::getline(kept, text);
    EXPECT_EQ(text, "not a database");
}

TEST(JetDatabaseWriterFailures, ARefusedRowLeavesTheRowsBeforeAndAfterIntact) {
    scratch_file file("refused.mdb");
    {
        auto writer = jet_database_writer::create(file.path);
        writer->create_table(every_type_table());
        std::vector<std::vector<jet_value>> rows = every_type_rows();
        writer->append_row(u"Every Type", rows[1]);
        auto expect_refused = [&](std::vector<jet_value> row, int number) {
            try {
                writer->append_row(u"Every Type", std::move(row));
                ADD_FAILURE() << "row accepted, expected " << number;
            } catch (const jet_error& error) {
                EXPECT_EQ(error.dao_number(), number);
            }
        };
        std::vector<jet_value> null_code = rows[1];
        null_code[CODE] = jet_value();
        expect_refused(null_code, 3314);   // NULL into a required column
        std::vector<jet_value> long_name = rows[1];
        long_name[NAME] = jet_value(std::u16string(41, u'x'));
        expect_refused(long_name, 3163);   // longer than the column
        std::vector<jet_value> wrong_kind = rows[1];
        wrong_kind[WHOLE] = jet_value(std::u16string(u"12"));
        expect_refused(wrong_kind, 3421);
        writer->append_row(u"Every Type", rows[2]);
        writer->flush();
    }
    auto db = jet_database::open(file.path);
    auto cursor = db->open_cursor(u"Every Type");
    ASSERT_TRUE(cursor->next());
    EXPECT_EQ(cursor->values()[CODE], jet_value(std::u16string(u"typical")));
    ASSERT_TRUE(cursor->next());
    // Refused rows used no AutoNumber: the next row is number 2.
    EXPECT_EQ(cursor->values()[ID], jet_value(std::int32_t(2)));
    EXPECT_FALSE(cursor->next());
}

TEST(JetDatabaseWriterFailures, ARowTooLargeForAPageIsRefused) {
    scratch_file file("too-large.mdb");
    auto writer = jet_database_writer::create(file.path);
    jet_new_table table;
    table.name = u"Wide";
    for (int column_idx = 0; column_idx < 20; ++column_idx)
        table.columns.push_back(
            column(u"T" + std::u16string(1, char16_t(u'a' + column_idx)), JET_TYPE_TEXT, 255));
    writer->create_table(table);
    std::vector<jet_value> row(20, jet_value(std::u16string(255, u'\u65e5')));
    try {
        writer->append_row(u"Wide", row);
        FAIL() << "a row of 10 KB was accepted";
    } catch (const jet_error& error) {
        EXPECT_EQ(error.dao_number(), 3047);
    }
}

// What a failed run leaves: rows written before the last flush, each whole; nothing after.
TEST(JetDatabaseWriterFailures, AWriterDroppedWithoutFlushLeavesTheLastFlushedRows) {
    scratch_file file("dropped.mdb");
    {
        auto writer = jet_database_writer::create(file.path);
        writer->create_table(large_table());
        for (std::int32_t row_no = 1; row_no <= 10; ++row_no)
            writer->append_row(u"Large", large_row(row_no));
        writer->flush();
        for (std::int32_t row_no = 11; row_no <= 20; ++row_no)
            writer->append_row(u"Large", large_row(row_no));
    }
    EXPECT_EQ(jet_database::open(file.path)->count_rows(u"Large"), 10u);
    if (dump_has_program("mdb-export")) {
        EXPECT_EQ(count_lines("mdb-export -H " + dump_shell_quote(file.path) + " Large"), "10");
    }
}

// Every cut of a written file is refused or read as rows that were written, never misread.
TEST(JetDatabaseWriterFailures, AFileCutShortIsRefusedOrReadUpToWholeRows) {
    scratch_file file("whole.mdb");
    {
        auto writer = jet_database_writer::create(file.path);
        writer->create_table(large_table());
        for (std::int32_t row_no = 1; row_no <= 3000; ++row_no)
            writer->append_row(u"Large", large_row(row_no));
        writer->flush();
    }
    scratch_file cut("cut.mdb");
    std::uintmax_t size = std::filesystem::file_size(file.path);
    std::size_t refused = 0;
    for (std::uintmax_t length = 0; length < size; length += 2048) {
        std::filesystem::copy_file(file.path, cut.path,
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::resize_file(cut.path, length);
        SCOPED_TRACE(length);
        try {
            auto db = jet_database::open(cut.path);
            auto cursor = db->open_cursor(u"Large");
            std::int32_t seen = 0;
            while (cursor->next()) {
                ++seen;
                std::vector<jet_value> expected = large_row(seen);
                expected[0] = jet_value(seen);
                ASSERT_EQ(cursor->values(), expected);
            }
        } catch (const jet_error&) {
            ++refused;
        }
    }
    EXPECT_GT(refused, 0u);
}

TEST(JetDatabaseWriterTables, ADeletedTableIsGoneForEveryReader) {
    scratch_file file("deleted.mdb");
    {
        auto writer = jet_database_writer::create(file.path);
        writer->create_table(large_table());
        jet_new_table kept = large_table();
        kept.name = u"Kept";
        writer->create_table(kept);
        writer->append_row(u"Large", large_row(1));
        writer->delete_table(u"LARGE");
        try {
            writer->create_table(kept);
            ADD_FAILURE() << "a second table Kept was made";
        } catch (const jet_error& error) {
            EXPECT_EQ(error.dao_number(), 3010);
        }
        writer->flush();
    }
    auto db = jet_database::open(file.path);
    ASSERT_EQ(db->user_tables().size(), 1u);
    EXPECT_EQ(db->user_tables()[0].name, u"Kept");
    if (dump_has_program("mdb-tables")) {
        EXPECT_EQ(dump_run("mdb-tables -1 " + dump_shell_quote(file.path)), "Kept\n");
    }
    if (dump_has_program("node")) {
        EXPECT_EQ(dump_run("node " + dump_shell_quote(SCRIPT) + " --tables "
                           + dump_shell_quote(file.path)),
                  "Kept\n");
    }
}

TEST(JetDatabaseWriterFailures, KeepsPrimaryKeysAndUniqueIndexesUnique) {
    scratch_file file("unique.mdb");
    {
        auto writer = jet_database_writer::create(file.path);
        jet_new_table table;
        table.name = u"Keys";
        table.columns = {column(u"Id", JET_TYPE_INT32), column(u"Code", JET_TYPE_TEXT, 10)};
        table.indexes = {jet_new_index{u"PrimaryKey", {{u"Id", true}}, true, true, false},
                         jet_new_index{u"ByCode", {{u"Code", true}}, false, true, false}};
        writer->create_table(table);
        auto row = [](std::optional<std::int32_t> id, std::optional<std::u16string> code) {
            return std::vector<jet_value>{id ? jet_value(*id) : jet_value(),
                                          code ? jet_value(*code) : jet_value()};
        };
        auto expect_refused = [&](std::vector<jet_value> values, int number) {
            try {
                writer->append_row(u"Keys", std::move(values));
                ADD_FAILURE() << "row accepted, expected " << number;
            } catch (const jet_error& error) {
                EXPECT_EQ(error.dao_number(), number);
            }
        };
        writer->append_row(u"Keys", row(1, u"abc"));
        expect_refused(row(1, u"other"), 3022);
        expect_refused(row(2, u"ABC"), 3022);                // texts compare case-blind
        expect_refused(row(2, u"abc  "), 3022);              // and as their keys spell them
        expect_refused(row(std::nullopt, u"x"), 3058);       // no NULL in a primary key
        writer->append_row(u"Keys", row(2, std::nullopt));   // a unique index takes NULLs
        writer->append_row(u"Keys", row(3, std::nullopt));
        writer->flush();
    }
    EXPECT_EQ(jet_database::open(file.path)->count_rows(u"Keys"), 3u);
}

// Access's Unicode compression is on for Text and Memo columns: a Latin text is stored as
// 0xFF 0xFE and one byte per character, a Chinese one as UTF-16 (jet_text_encoder_test
// works the bytes by hand).
TEST(JetDatabaseWriterTables, StoresTextCompressedAsAccessDoes) {
    scratch_file file("compressed.mdb");
    {
        auto writer = jet_database_writer::create(file.path);
        jet_new_table table;
        table.name = u"Texts";
        table.columns = {column(u"Short", JET_TYPE_TEXT, 50), column(u"Long", JET_TYPE_MEMO)};
        writer->create_table(table);
        writer->append_row(u"Texts", {jet_value(std::u16string(u"plain latin words")),
                                      jet_value(std::u16string(u"\u65e5\u672c\u8a9e"))});
        writer->flush();
    }
    std::ifstream in(file.path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(bytes.find("\xFF\xFE"
                         "plain latin words"),
              std::string::npos);
    EXPECT_NE(bytes.find("\xE5\x65\x2C\x67\x9E\x8A"), std::string::npos);
    auto db = jet_database::open(file.path);
    auto cursor = db->open_cursor(u"Texts");
    ASSERT_TRUE(cursor->next());
    EXPECT_EQ(cursor->values()[0], jet_value(std::u16string(u"plain latin words")));
}
