// e2e_files_test.cpp - every database of the shared test data goes through vantrelagent on
// both load paths, and every table, row and value in the destination is the source as the
// Jet engine reads it (vantreldump), read back by freebcp; complex columns become child
// tables, counted here and compared item by item in e2e_complex_test. Prescribed
// differences come from e2e_expectations.txt, value by value.
#include <algorithm>
#include <cctype>
#include <map>
#include <strings.h>

#include "e2e/e2e_case.hpp"
#include "e2e/e2e_compare.hpp"
#include "e2e/e2e_files.hpp"

namespace {

// The destination name of a source table: the name itself when SQL Server takes it as it is
// (first character a letter or '_'), else the first free of _N, 1_N, _1_N, 2_1_N, ...
std::string safe_name(const std::string& name, std::vector<std::string>& taken) {
    auto is_taken = [&](const std::string& candidate) {
        return std::any_of(taken.begin(), taken.end(), [&](const std::string& other) {
            return strcasecmp(other.c_str(), candidate.c_str()) == 0;
        });
    };
    unsigned char first = static_cast<unsigned char>(name.empty() ? ' ' : name[0]);
    if (std::isalpha(first) || first == '_' || first >= 0x80) return name;
    static const char* const PREFIXES[] = {"_", "1", "_", "2", "_", "3"};
    std::string candidate = name;
    for (int round = 0; is_taken(candidate); ++round) candidate = PREFIXES[round % 6] + candidate;
    taken.push_back(candidate);
    return candidate;
}

// A table without its complex columns (DAO types 101 dbAttachment to 109 dbComplexText):
// their items arrive as child tables, checked item by item in e2e_complex_test.
e2e_table without_complex_columns(const e2e_table& table, std::size_t& removed) {
    e2e_table kept = table;
    kept.columns.clear();
    for (e2e_row& row : kept.rows) row.clear();
    for (std::size_t column_idx = 0; column_idx < table.columns.size(); ++column_idx) {
        int dao_type = table.columns[column_idx].dao_type;
        if (dao_type >= 101 && dao_type <= 109) {
            ++removed;
            continue;
        }
        kept.columns.push_back(table.columns[column_idx]);
        for (std::size_t row_idx = 0; row_idx < table.rows.size(); ++row_idx)
            kept.rows[row_idx].push_back(table.rows[row_idx].at(column_idx));
    }
    return kept;
}

bool same_text(const std::string& left, const std::string& right) {
    return strcasecmp(left.c_str(), right.c_str()) == 0;
}

// An index's columns without the '-' of a descending one, in upper case, sorted.
std::vector<std::string> column_set(std::vector<std::string> columns) {
    for (std::string& column : columns) {
        if (!column.empty() && column.back() == '-') column.pop_back();
        for (char& c : column) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    std::sort(columns.begin(), columns.end());
    return columns;
}

// Whether a column of the index has a DAO type in [low, high].
bool has_column_typed(const e2e_table& table, const e2e_index& index, int low, int high) {
    for (const std::string& name : column_set(index.columns)) {
        for (const e2e_column& column : table.columns) {
            if (same_text(column.name, name) && column.dao_type >= low && column.dao_type <= high)
                return true;
        }
    }
    return false;
}

// SQL Server indexes no max column: no OLE (11) or Memo (12) column may be in a key.
bool has_unindexable_column(const e2e_table& table, const e2e_index& index) {
    return has_column_typed(table, index, 11, 12);
}

// Access's own index over a complex column's item ids (101 to 109): the items become a
// child table of their own.
bool has_complex_column(const e2e_table& table, const e2e_index& index) {
    return has_column_typed(table, index, 101, 109);
}

// What the run must report as not created: every index over a Memo or OLE column.
std::vector<std::string> lost_indexes(const e2e_source& source) {
    std::vector<std::string> lost;
    for (const e2e_table* table : source.user_tables()) {
        for (const e2e_index& index : table->indexes) {
            if (has_unindexable_column(*table, index)) {
                lost.push_back((index.b_primary ? "Primary key '" : "Index '") + index.name
                               + "' of table '" + table->name + "'");
            }
        }
    }
    return lost;
}

// Each primary key and unique index arrives unique over the same columns (a unique index
// over columns that allow NULL is filtered, but still unique), and each relationship Access
// enforces with cascading updates or deletes keeps them.
void expect_keys_kept(const e2e_client& client, const std::string& db, const e2e_table& table,
                      const std::string& dest_name, const e2e_source& source) {
    const std::vector<e2e_dest_index> dest = client.indexes(db, dest_name);
    for (const e2e_index& index : table.indexes) {
        if (!index.b_unique && !index.b_primary) continue;
        if (has_unindexable_column(table, index) || has_complex_column(table, index)) continue;
        const std::vector<std::string> wanted = column_set(index.columns);
        const bool kept = std::any_of(dest.begin(), dest.end(), [&](const e2e_dest_index& made) {
            return made.b_unique && column_set(made.columns) == wanted;
        });
        EXPECT_TRUE(kept) << "unique index " << index.name << " of " << table.name
                          << " is not unique on the server";
    }
    const std::vector<e2e_dest_key> keys = client.keys_of(db, dest_name);
    for (const e2e_relationship& rel : source.relationships) {
        if (!same_text(rel.table, table.name) || (rel.flags & 0x2) != 0) continue;
        const bool deletes = (rel.flags & 0x1000) != 0;
        const bool updates = (rel.flags & 0x100) != 0;
        const bool kept = std::any_of(keys.begin(), keys.end(), [&](const e2e_dest_key& key) {
            return same_text(key.referenced_table, rel.referenced_table)
                   && (key.delete_rule == 0) == deletes && (key.update_rule == 0) == updates;
        });
        EXPECT_TRUE(kept) << "relationship " << rel.name << " of " << table.name
                          << " lost its rules (cascading deletes " << deletes << ", updates "
                          << updates << ")";
    }
}

// Canonical rows of each destination table, by table name.
using e2e_contents = std::map<std::string, std::vector<std::string>>;

bool has_path_specific_expectation(const std::vector<e2e_expectation>& expectations,
                                   const std::string& file, const std::string& table) {
    return std::any_of(expectations.begin(), expectations.end(), [&](const auto& entry) {
        return entry.file == file && entry.table == table && entry.path != "both";
    });
}

class ConvertsFile : public E2eCase, public ::testing::WithParamInterface<e2e_file> {
protected:
    e2e_contents convert_and_check(const e2e_source& source, e2e_load_path path) {
        const e2e_file& file = GetParam();
        std::string db = e2e_unique_db(file.test_name + e2e_path_name(path));
        e2e_database_guard guard(*client, db);
        std::vector<std::string> args = agent_args(file.relative, db);
        if (!file.password.empty()) args.push_back("--accp=" + file.password);
        e2e_result run = e2e_run_agent(args, path);
        const std::vector<std::string> lost = lost_indexes(source);
        if (lost.empty()) {
            EXPECT_EQ(run.status, 0) << run.both();
            EXPECT_EQ(run.out.find("Error:"), std::string::npos) << run.out;
        } else {
            // SQL Server has no index over a max column: each is named, and the run fails.
            EXPECT_EQ(run.status, 1) << run.both();
            for (const std::string& context : lost)
                EXPECT_NE(run.out.find("Not created: " + context), std::string::npos) << run.out;
        }

        std::vector<std::string> dest_tables = client->tables(db);
        std::vector<std::string> taken;
        for (const e2e_table* table : source.user_tables()) taken.push_back(table->name);
        e2e_contents contents;
        std::size_t child_tables = 0;
        for (const e2e_table* whole : source.user_tables()) {
            e2e_table stripped = without_complex_columns(*whole, child_tables);
            const e2e_table* table = &stripped;
            std::string name = safe_name(table->name, taken);
            SCOPED_TRACE(std::string(e2e_path_name(path)) + " table " + name);
            if (std::find(dest_tables.begin(), dest_tables.end(), name) == dest_tables.end()) {
                ADD_FAILURE() << "table \"" << name << "\" was not created";
                continue;
            }
            e2e_table_data data = client->read_table(db, name);
            e2e_table_report report = e2e_compare_table(file.relative, *table, data, expectations,
                                                        e2e_path_name(path));
            for (const std::string& problem : report.problems) ADD_FAILURE() << problem;
            contents[table->name] = e2e_canonical_rows(*table, data);
            if (path == e2e_load_path::bulk) expect_keys_kept(*client, db, *whole, name, source);
        }
        EXPECT_EQ(dest_tables.size(), source.user_tables().size() + child_tables)
            << "the destination holds tables the source does not";
        return contents;
    }

    void expect_every_expectation_met(e2e_load_path path) {
        for (const e2e_expectation& entry : expectations)
            if (entry.file == GetParam().relative && entry.uses == 0
                && (entry.path == "both" || entry.path == e2e_path_name(path)))
                ADD_FAILURE() << "expected difference did not occur on " << e2e_path_name(path)
                              << ": " << entry.table << "." << entry.column << " " << entry.source
                              << " (" << entry.why << ")";
        for (const e2e_expectation& entry : expectations) entry.uses = 0;
    }

    // Where no value is listed per path, both paths must leave the same rows.
    void expect_same_contents(const e2e_contents& bulk, const e2e_contents& statements) {
        for (const auto& [table, rows] : bulk) {
            if (has_path_specific_expectation(expectations, GetParam().relative, table)) continue;
            auto other = statements.find(table);
            if (other == statements.end()) continue;   // reported as not created
            EXPECT_TRUE(rows == other->second) << "bulk load and statements differ in " << table;
        }
    }

    std::vector<e2e_expectation> expectations = e2e_default_expectations();
};

TEST_P(ConvertsFile, EveryValueArrivesOnBothLoadPaths) {
    const e2e_file& file = GetParam();
    e2e_source_options options;
    options.password = file.password;
    e2e_source source = read_source(file.relative, options);
    if (HasFailure()) return;
    e2e_contents bulk = convert_and_check(source, e2e_load_path::bulk);
    expect_every_expectation_met(e2e_load_path::bulk);
    e2e_contents statements = convert_and_check(source, e2e_load_path::statements);
    expect_every_expectation_met(e2e_load_path::statements);
    expect_same_contents(bulk, statements);
}

INSTANTIATE_TEST_SUITE_P(SharedData, ConvertsFile, ::testing::ValuesIn(e2e_manifest_files()),
                         [](const auto& test_info) { return test_info.param.test_name; });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ConvertsFile);

}   // namespace
