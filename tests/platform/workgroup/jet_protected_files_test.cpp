// Protected files read end to end through the engine with their passwords: table lists and
// values as mdb-reader 3.2.0 reads them, or, for the three files it cannot decrypt, as the
// tests of jackcessencrypt (the source of those files) expect them. Wrong, missing and
// truncated inputs fail with the engine's DAO numbers and leave nothing open.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_error.hpp"
#include "test_data.hpp"

namespace {

// One cell as text: numbers in decimal, text as is, null as "NULL".
std::string cell_text(const jet_value& value) {
    switch (value.kind()) {
    case jet_value_kind::null_value: return "NULL";
    case jet_value_kind::int32: return std::to_string(value.get<std::int32_t>());
    case jet_value_kind::int16: return std::to_string(value.get<std::int16_t>());
    case jet_value_kind::text: {
        std::string ascii;
        for (const char16_t unit : value.get<std::u16string>()) ascii.push_back(char(unit));
        return ascii;
    }
    default: return "?";
    }
}

std::string ascii_of(const std::u16string& text) { return {text.begin(), text.end()}; }

struct expected_file {
    const char* path;
    const char16_t* password;
    const char* table;
    std::vector<std::string> rows;   // cells joined by '|'
};

const expected_file EXPECTED[] = {
    {"jahlborn-jackcessencrypt/db97-enc.mdb", u"", "Table1", {"1|hello|0", "2|world|42"}},
    {"jahlborn-jackcessencrypt/db-enc.mdb", u"", "Table1", {"1|hello|0", "2|world|42"}},
    {"jahlborn-jackcessencrypt/db2013-enc.accdb",
     u"1234",
     "Customers",
     {"1|Test", "2|Test2", "3|a", "4|NULL", "5|c", "6|d", "7|f"}},
    {"andipaetzold-mdb-reader/password/V2010_with-password.accdb",
     u"password",
     "Table1",
     {"1|One", "2|Two", "3|Three"}},
    {"andipaetzold-mdb-reader/encryption/office-agile-4.2.accdb",
     u"password",
     "Table1",
     {"1|One", "2|Two", "3|Three"}},
    {"andipaetzold-mdb-reader/password/V2000_with-password.mdb",
     u"password",
     "Table1",
     {"1|One", "2|Two", "3|Three"}},
    {"andipaetzold-mdb-reader/password/V2003_with-password.mdb",
     u"password",
     "Table1",
     {"1|One", "2|Two", "3|Three"}},
    {"jahlborn-jackcessencrypt/db2007-enc.accdb", u"Test123", "Table1", {"1|foo"}},
    {"jahlborn-jackcessencrypt/db2007-oldenc.accdb", u"Test123", "Table1", {"1|foo"}},
    {"jahlborn-jackcessencrypt/db-nonstandard.accdb", u"password", "Table_One", {}},
};

std::string testdata(const std::string& relative) {
    return (std::filesystem::path(VANTREL_TESTDATA_DIR) / relative).string();
}

std::optional<int> open_error(const std::string& path, std::u16string_view password) {
    try {
        jet_database::open(path, password);
    } catch (const jet_error& error) {
        return error.dao_number();
    }
    return std::nullopt;
}

class JetProtectedFiles : public ::testing::Test {
protected:
    void SetUp() override {
        TEST_DATA_REQUIRE(std::filesystem::exists(testdata("MANIFEST.md")), testdata(""));
    }
};

}   // namespace

TEST_F(JetProtectedFiles, ReadTheSameTablesAndRowsAsTheIndependentReaders) {
    for (const expected_file& entry : EXPECTED) {
        SCOPED_TRACE(entry.path);
        const auto database = jet_database::open(testdata(entry.path), entry.password);
        std::vector<std::string> tables;
        for (const jet_catalog_entry& table : database->user_tables()) {
            tables.push_back(ascii_of(table.name));
        }
        EXPECT_EQ(tables, std::vector<std::string>{entry.table});
        if (entry.rows.empty()) {   // jackcessencrypt checks only that Table_One has an ID
            const std::u16string table(entry.table, entry.table + std::strlen(entry.table));
            EXPECT_NE(database->table_def(table).find_column(u"ID"), nullptr);
            continue;
        }
        const std::u16string table(entry.table, entry.table + std::strlen(entry.table));
        const auto cursor = database->open_cursor(table);
        std::vector<std::string> rows;
        while (cursor->next()) {
            std::string row;
            for (const jet_value& value : cursor->values()) {
                row += (row.empty() ? "" : "|") + cell_text(value);
            }
            rows.push_back(row);
        }
        EXPECT_EQ(rows, entry.rows);
    }
}

TEST_F(JetProtectedFiles, RefuseWrongAndMissingPasswordsWith3031) {
    for (const expected_file& entry : EXPECTED) {
        if (std::u16string_view(entry.password).empty()) continue;
        SCOPED_TRACE(entry.path);
        EXPECT_EQ(open_error(testdata(entry.path), u""), std::optional(3031));
        EXPECT_EQ(open_error(testdata(entry.path), u"WrongPassword"), std::optional(3031));
    }
}

TEST_F(JetProtectedFiles, RefuseTruncatedCopiesWithoutCrashing) {
    const std::filesystem::path scratch = std::filesystem::temp_directory_path()
                                          / "vantrel-protected-cut.accdb";
    for (const expected_file& entry : EXPECTED) {
        SCOPED_TRACE(entry.path);
        std::ifstream in(testdata(entry.path), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // Inside page 0, and a header with only a few pages after it.
        for (const std::size_t length : {std::size_t(700), std::size_t(3 * 4096 + 100)}) {
            std::ofstream(scratch, std::ios::binary | std::ios::trunc)
                << bytes.substr(0, std::min(length, bytes.size()));
            try {
                const auto database = jet_database::open(scratch.string(), entry.password);
                for (const jet_catalog_entry& table : database->user_tables()) {
                    const auto cursor = database->open_cursor(table.name);
                    while (cursor->next()) {}
                }
                ADD_FAILURE() << "a cut copy of " << length << " bytes read in full";
            } catch (const jet_error& error) {
                EXPECT_TRUE(error.dao_number() == 3343 || error.dao_number() == 3049)
                    << error.dao_number();
            }
        }
    }
    std::filesystem::remove(scratch);
}
