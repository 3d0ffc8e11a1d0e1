// e2e_complex_test.cpp - complex columns (attachments, multi-value lists, version histories)
// arrive as child tables <table>_<column> holding the owner's key and one row per item. Every
// item is compared with what the independent readers list (complex_items.mjs: mdb-reader for
// the items, mdb-export for each owner row's raw key, attachment data inflated by node's
// zlib); the owner keeps no column for them and a foreign key ties each child to its owner.
// A damaged attachment fails its row by table, column and row, and the run says so.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "e2e/e2e_case.hpp"
#include "e2e/e2e_compare.hpp"

namespace {

struct complex_file {
    const char* relative;
    const char* key_column;
    std::size_t child_count;
};

const complex_file FILES[] = {
    {"jahlborn-jackcess/V2007/complexDataTestV2007.accdb", "id", 3},
    {"jahlborn-jackcess/V2010/complexDataTestV2010.accdb", "id", 3},
    {"andipaetzold-mdb-reader/V2016/attachments.accdb", "ID", 1},
};

// One complex column as complex_items.mjs lists it.
struct item_section {
    std::string table;
    std::string column;
    std::string kind;
    std::vector<std::string> rows;   // canonical values joined by tabs
};

std::vector<item_section> parse_items(const std::string& output) {
    std::vector<item_section> sections;
    std::istringstream in(output);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("[items \"", 0) == 0) {
            item_section section;
            std::size_t table_end = line.find('"', 8);
            std::size_t column_start = line.find('"', table_end + 1) + 1;
            std::size_t column_end = line.find('"', column_start);
            section.table = line.substr(8, table_end - 8);
            section.column = line.substr(column_start, column_end - column_start);
            section.kind = line.substr(column_end + 2, line.size() - column_end - 3);
            sections.push_back(section);
        } else if (!sections.empty() && !line.empty()) {
            sections.back().rows.push_back(line);
        }
    }
    return sections;
}

// DAO types of the item columns after the key: how each destination value is read back.
std::vector<int> item_types(const std::string& kind) {
    if (kind == "attachment") return {10, 10, 8, 11};
    if (kind == "version_history") return {12, 8};
    return {10};   // the multi-value lists of these files hold text
}

bool has_mdb_reader() {
    return std::filesystem::exists(std::string(VANTREL_SOURCE_DIR)
                                   + "/tests/tools/node_modules/mdb-reader")
           && !e2e_find_program("node").empty() && !e2e_find_program("mdb-export").empty();
}

e2e_result list_items(const std::string& path, const std::string& key_column) {
    e2e_command command;
    command.args = {e2e_find_program("node"),
                    std::string(VANTREL_SOURCE_DIR) + "/tests/e2e/complex_items.mjs", path,
                    key_column};
    return e2e_run(command);
}

class ComplexColumns : public E2eCase, public ::testing::WithParamInterface<complex_file> {
protected:
    void SetUp() override {
        E2eCase::SetUp();
        if (IsSkipped()) return;
        if (!has_mdb_reader()) GTEST_SKIP() << "node, mdb-reader or mdb-export is missing";
    }

    std::vector<std::string> dest_rows(const std::string& db, const std::string& table,
                                       int key_type, const std::vector<int>& types) {
        e2e_table_data data = client->read_table(db, table);
        std::vector<std::string> rows;
        for (std::size_t row_idx = 0; row_idx < data.rows.size(); ++row_idx) {
            std::string row;
            for (std::size_t column_idx = 0; column_idx < data.columns.size(); ++column_idx) {
                int type = column_idx == 0 ? key_type : types.at(column_idx - 1);
                if (column_idx > 0) row += '\t';
                row += e2e_canonical_dest(type, data.rows[row_idx][column_idx],
                                          data.nulls[row_idx][column_idx]);
            }
            rows.push_back(row);
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }
};

TEST_P(ComplexColumns, EveryItemArrivesInItsChildTable) {
    const complex_file& file = GetParam();
    e2e_result listed = list_items(e2e_paths::testdata(file.relative), file.key_column);
    ASSERT_EQ(listed.status, 0) << listed.both();
    std::vector<item_section> sections = parse_items(listed.out);
    ASSERT_EQ(sections.size(), file.child_count) << listed.out;
    e2e_source source = read_source(file.relative);
    ASSERT_FALSE(HasFailure());

    std::string db = e2e_unique_db("complex");
    e2e_database_guard guard(*client, db);
    e2e_result run = e2e_run_agent(agent_args(file.relative, db), e2e_load_path::bulk);
    EXPECT_EQ(run.status, 0) << run.both();

    std::vector<std::string> foreign_keys = client->foreign_keys(db);
    for (const item_section& section : sections) {
        std::string child = section.table + "_" + section.column;
        SCOPED_TRACE(child);
        const e2e_table* owner = source.find(section.table);
        ASSERT_NE(owner, nullptr);
        int key_type = 0;
        for (const e2e_column& column : owner->columns)
            if (column.name == file.key_column) key_type = column.dao_type;
        e2e_table_data data = client->read_table(db, child);
        ASSERT_EQ(data.columns.size(), 1 + item_types(section.kind).size());
        EXPECT_EQ(data.columns[0], file.key_column);
        std::vector<std::string> wanted = section.rows;
        std::sort(wanted.begin(), wanted.end());
        EXPECT_EQ(dest_rows(db, child, key_type, item_types(section.kind)), wanted);
        auto is_childs = [&](const std::string& key) { return key.rfind(child + ".", 0) == 0; };
        EXPECT_TRUE(std::any_of(foreign_keys.begin(), foreign_keys.end(), is_childs))
            << "no foreign key from " << child;
        // The owner keeps every column but the complex ones (a history's Memo stays: it
        // holds the current text).
        std::vector<std::string> kept;
        for (const e2e_column& column : owner->columns)
            if (column.dao_type < 101 || column.dao_type > 109) kept.push_back(column.name);
        EXPECT_EQ(client->read_table(db, section.table).columns, kept);
    }
}

INSTANTIATE_TEST_SUITE_P(
    SharedData, ComplexColumns, ::testing::ValuesIn(FILES), [](const auto& test_info) {
        std::string name = std::filesystem::path(test_info.param.relative).stem();
        name.erase(
            std::remove_if(name.begin(), name.end(), [](char ch) { return !std::isalnum(ch); }),
            name.end());
        return name;
    });

// The first attachment of complexDataTestV2007 (test_data.txt of row2) with a broken deflate
// stream: its stored bytes start with kind 1 and length 58, then the zlib header 78 5E.
TEST_F(E2eCase, DamagedAttachmentFailsItsRowByName) {
    const std::string relative = "jahlborn-jackcess/V2007/complexDataTestV2007.accdb";
    std::ifstream in(e2e_paths::testdata(relative), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string stored("\x01\x00\x00\x00\x3a\x00\x00\x00\x78\x5e", 10);
    std::size_t at = bytes.find(stored);
    ASSERT_NE(at, std::string::npos);
    bytes[at + stored.size()] = '\xff';   // a deflate block type that does not exist
    e2e_scratch scratch("complex");
    std::string damaged = scratch.path + "/damaged.accdb";
    std::ofstream(damaged, std::ios::binary) << bytes;

    std::string db = e2e_unique_db("damaged");
    e2e_database_guard guard(*client, db);
    e2e_result run = e2e_run_agent(e2e_agent_args(*target, damaged, db), e2e_load_path::bulk);
    EXPECT_NE(run.status, 0) << run.both();
    EXPECT_NE(run.both().find("attach-data"), std::string::npos) << run.both();
    EXPECT_NE(run.both().find("row2"), std::string::npos) << run.both();
    EXPECT_NE(run.both().find("test_data.txt"), std::string::npos) << run.both();
    EXPECT_NE(run.both().find("bad deflate stream"), std::string::npos) << run.both();
    // Only the damaged item is lost: the other two attachments and every list item arrive.
    EXPECT_EQ(client->count(db, "Table1_attach-data"), 2);
    EXPECT_EQ(client->count(db, "Table1_multi-value-data"), 6);
}

}   // namespace
