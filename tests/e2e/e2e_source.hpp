#pragma once
// e2e_source.hpp - the source as the Jet engine reads it: vantreldump's output parsed into
// tables, columns, rows and relationships. Every value keeps vantreldump's normalised CSV text
// (see platform/jet/jet_value_text.hpp): NULL is an empty field, text is quoted, so the two
// never meet.

#include <string>
#include <vector>

#include "e2e/e2e_process.hpp"

using e2e_row = std::vector<std::string>;

struct e2e_column {
    std::string name;
    int dao_type = 0;   // 1 Boolean ... 20 Decimal, as DAO numbers them
};

struct e2e_index {
    std::string name;
    bool b_primary = false;
    bool b_unique = false;
    std::vector<std::string> columns;   // a descending column ends in '-'
};

struct e2e_table {
    std::string name;
    bool b_local = true;
    bool b_system = false;
    std::vector<e2e_column> columns;
    std::vector<e2e_index> indexes;
    long row_count = 0;
    std::vector<e2e_row> rows;
};

struct e2e_relationship {
    std::string name;
    std::string table;
    std::vector<std::string> columns;
    std::string referenced_table;
    std::vector<std::string> referenced_columns;
    unsigned long flags = 0;   // 0x2 not enforced, 0x100 cascading updates, 0x1000 deletes
};

struct e2e_source {
    std::vector<e2e_table> tables;   // every catalogue entry; rows only for user tables
    std::vector<e2e_relationship> relationships;

    const e2e_table* find(const std::string& name) const;
    std::vector<const e2e_table*> user_tables() const;   // local, not system
};

// Splits one CSV record; quoted fields keep their quotes so that NULL ("") stays apart from
// an empty text ("\"\""). Throws std::runtime_error on an unterminated quote.
e2e_row e2e_split_record(const std::string& line);
// Removes the quotes of a quoted field and undoubles inner quotes.
std::string e2e_unquote(const std::string& field);

// Parses vantreldump's whole output; throws std::runtime_error naming the line it stops at.
e2e_source e2e_parse_dump(const std::string& output);

// Runs vantreldump on a file (with a database password, or a workgroup logon).
struct e2e_source_options {
    std::string password;
    std::string system_db;
    std::string user;
    std::string user_password;
};
e2e_result e2e_run_dump(const std::string& file, const e2e_source_options& options);
