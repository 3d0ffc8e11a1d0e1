// Every readable test file against mdb-reader (npm, tests/tools): table lists, column
// definitions and every value, in the normalised form of platform/jet/jet_value_text.hpp.
//
// Known mdb-reader faults, compared elsewhere instead:
//  - tables named MSys* or ~* without the system flag (MSysCompactError, ~TMPCLP...) are user
//    tables to mdb-reader; the engine treats them as system tables (a mended fault);
//  - complex columns (attachment, multi-value, version history): mdb-reader returns objects
//    or fails ("Failed to read complex column"); mdbtools agrees with our raw keys;
//  - calculated columns: mdb-reader reads the 23-byte wrapper as the value; the results are
//    checked by hand in jet_database_test;
//  - tables with column types it does not know (0x46, 0x47) or complex columns it cannot
//    follow: it refuses the whole table; mdbtools reads them;
//  - times of days before 1899-12-30: it reads the OLE date as one signed number, so -1.25
//    becomes 1899-12-28 18:00 instead of 1899-12-29 06:00; such values are compared with
//    that reading;
//  - the five bytes Windows-1252 leaves undefined (81 8D 8F 90 9D) in Jet 3 text: it makes
//    them U+FFFD; the engine keeps them as the C1 controls Windows maps them to;
//  - rows moved to another page (overflow rows): it reads them where they now lie, after
//    the rest of the page that points to them, so rows are matched by their first column
//    when that column is unique.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "dump/dump_readers.hpp"
#include "platform/jet/jet_test_files.hpp"
#include "platform/jet/jet_text.hpp"
#include "platform/jet/jet_value_text.hpp"
#include "platform/winbase/win_codepage.hpp"

namespace {

const char* const SCRIPT = VANTREL_SOURCE_DIR "/tests/dump/mdb_reader_dump.mjs";

std::string reader_type_name(std::uint8_t type_code) {
    switch (type_code) {
    case JET_TYPE_BOOLEAN: return "boolean";
    case JET_TYPE_BYTE: return "byte";
    case JET_TYPE_INT16: return "integer";
    case JET_TYPE_INT32: return "long";
    case JET_TYPE_CURRENCY: return "currency";
    case JET_TYPE_FLOAT32: return "float";
    case JET_TYPE_FLOAT64: return "double";
    case JET_TYPE_DATETIME: return "datetime";
    case JET_TYPE_BINARY: return "binary";
    case JET_TYPE_TEXT: return "text";
    case JET_TYPE_OLE: return "ole";
    case JET_TYPE_MEMO: return "memo";
    case JET_TYPE_GUID: return "repid";
    case JET_TYPE_NUMERIC: return "numeric";
    case JET_TYPE_COMPLEX: return "complex";
    case JET_TYPE_BIGINT: return "bigint";
    case JET_TYPE_DATETIME_EXT: return "datetimextended";
    default: return "unknown";
    }
}

std::string reader_output(const std::string& mode, const std::string& path,
                          const std::vector<std::string>& tables) {
    std::string command = "node " + dump_shell_quote(SCRIPT) + " " + mode + " "
                          + dump_shell_quote(path);
    for (const std::string& table : tables) command += " " + dump_shell_quote(table);
    return dump_run(command + " 2>&1");
}

// mdb-reader's reading of an OLE date: days and time as one signed number of seconds.
std::string linear_date_text(double serial) {
    double seconds = std::round(serial * 86400.0);
    double days = std::floor(seconds / 86400.0);
    double fraction = (seconds - days * 86400.0) / 86400.0;
    return jet_date_text(days < 0 ? days - fraction : days + fraction);   // OLE: day, then time
}

bool table_is_unreadable_to_reader(const jet_table_def& def, const std::string& text) {
    if (text.rfind("error ", 0) != 0) return false;
    for (const jet_column& column : def.columns)
        if (column.is_complex() || reader_type_name(column.type_code) == "unknown") return true;
    return false;
}

bool numbers_equal(const std::string& ours, const std::string& theirs, bool single) {
    char* ours_end = nullptr;
    char* theirs_end = nullptr;
    double our_number = std::strtod(ours.c_str(), &ours_end);
    double their_number = std::strtod(theirs.c_str(), &theirs_end);
    if (*ours_end || *theirs_end || ours.empty() || theirs.empty()) return ours == theirs;
    return single ? float(our_number) == float(their_number) : our_number == their_number;
}

// Files the engine can open without a password, with the tables both readers list.
class MdbReaderComparison : public ::testing::Test {
protected:
    void SetUp() override {
        JET_REQUIRE_TESTDATA();
        if (!dump_has_program("node")) GTEST_SKIP() << "node is not installed";
    }

    template <class Check>
    void for_each_file(Check check) {
        std::size_t compared = dump_for_each_plain_file(
            [&](const jet_database& db, const std::string& path) {
                std::vector<std::string> tables;
                for (const jet_catalog_entry& entry : db.user_tables())
                    tables.push_back(jet_utf8(entry.name));
                check(db, path, tables);
            });
        EXPECT_GT(compared, 60u);
    }
};

}   // namespace

TEST_F(MdbReaderComparison, TableListsAgree) {
    for_each_file(
        [](const jet_database&, const std::string& path, const std::vector<std::string>& ours) {
            std::set<std::string> theirs;
            std::string output = reader_output("--tables", path, {});
            for (const dump_record& line : dump_split_plain(output, '\0', '\n'))
                if (!line[0].empty() && !dump_is_system_name(line[0])) theirs.insert(line[0]);
            EXPECT_EQ(std::set<std::string>(ours.begin(), ours.end()), theirs);
        });
}

TEST_F(MdbReaderComparison, ColumnDefinitionsAgree) {
    for_each_file([](const jet_database& db, const std::string& path,
                     const std::vector<std::string>& tables) {
        std::string output = reader_output("--schema", path, tables);
        for (const dump_section& section : dump_sections(output)) {
            SCOPED_TRACE(section.name);
            if (section.text.rfind("error Unsupported column type", 0) == 0) continue;
            jet_table_def def = db.table_def(win_utf8_to_utf16(section.name));
            std::vector<std::string> expected;
            for (const jet_column& column : def.columns) {
                if (column.is_calculated()) continue;
                expected.push_back(
                    jet_quoted(column.name) + " " + reader_type_name(column.type_code) + " "
                    + std::to_string(column.type_code == JET_TYPE_BOOLEAN ? 0 : column.size_bytes)
                    + " " + std::to_string(column.is_fixed()) + " "
                    + std::to_string(column.is_nullable()) + " "
                    + std::to_string(column.is_autonumber()) + " "
                    + std::to_string(column.is_guid_autonumber()) + " "
                    + std::to_string(column.type_code == JET_TYPE_NUMERIC ? column.precision : 0)
                    + " "
                    + std::to_string(column.type_code == JET_TYPE_NUMERIC ? column.scale : 0));
            }
            std::vector<std::string> theirs;
            for (const dump_record& line : dump_split_plain(section.text, '\0', '\n')) {
                const jet_column* column = nullptr;
                for (const jet_column& candidate : def.columns)
                    if (line[0].rfind(jet_quoted(candidate.name) + " ", 0) == 0)
                        column = &candidate;
                if (column && column->is_calculated()) continue;
                theirs.push_back(line[0]);
            }
            EXPECT_EQ(expected, theirs);
        }
    });
}

std::string with_undefined_1252_replaced(std::string text) {
    for (const char* control : {"\xC2\x81", "\xC2\x8D", "\xC2\x8F", "\xC2\x90", "\xC2\x9D"}) {
        std::size_t at;
        while ((at = text.find(control)) != std::string::npos) text.replace(at, 2, "\xEF\xBF\xBD");
    }
    return text;
}

bool fields_agree(const jet_column& column, const jet_value& value, const std::string& ours,
                  const std::string& theirs) {
    if (value.kind() == jet_value_kind::text && ours != theirs)
        return with_undefined_1252_replaced(ours) == theirs;
    if (column.type_code == JET_TYPE_FLOAT32 || column.type_code == JET_TYPE_FLOAT64)
        return numbers_equal(ours, theirs, column.type_code == JET_TYPE_FLOAT32);
    if (ours == theirs) return true;
    return value.kind() == jet_value_kind::date && value.get<jet_date>().serial < 0
           && linear_date_text(value.get<jet_date>().serial) == theirs;
}

TEST_F(MdbReaderComparison, EveryValueAgrees) {
    for_each_file([](const jet_database& db, const std::string& path,
                     const std::vector<std::string>& tables) {
        for (const dump_section& section : dump_sections(reader_output("", path, tables))) {
            SCOPED_TRACE(section.name);
            std::u16string name = win_utf8_to_utf16(section.name);
            jet_table_def def = db.table_def(name);
            if (table_is_unreadable_to_reader(def, section.text)) continue;
            std::vector<dump_record> theirs = dump_split_csv(section.text);
            ASSERT_FALSE(theirs.empty()) << section.text.substr(0, 200);
            theirs.erase(theirs.begin());   // the header
            std::vector<std::vector<jet_value>> values;
            std::vector<dump_record> ours;
            auto cursor = db.open_cursor(name);
            while (cursor->next()) {
                values.push_back(cursor->values());
                ours.emplace_back();
                for (const jet_value& value : cursor->values())
                    ours.back().push_back(jet_value_to_csv(value));
            }
            ASSERT_EQ(ours.size(), theirs.size());
            theirs = dump_in_our_order(ours, theirs);
            for (std::size_t row_idx = 0; row_idx < ours.size(); ++row_idx) {
                ASSERT_EQ(ours[row_idx].size(), theirs[row_idx].size()) << "row " << row_idx;
                for (std::size_t column_idx = 0; column_idx < def.columns.size(); ++column_idx) {
                    const jet_column& column = def.columns[column_idx];
                    if (column.is_complex() || column.is_calculated()) continue;
                    const std::string& our_field = ours[row_idx][column_idx];
                    const std::string& their_field = theirs[row_idx][column_idx];
                    EXPECT_TRUE(
                        fields_agree(column, values[row_idx][column_idx], our_field, their_field))
                        << "row " << row_idx << " column " << jet_utf8(column.name) << ": ours "
                        << our_field.substr(0, 200) << " theirs " << their_field.substr(0, 200);
                }
            }
        }
    });
}
