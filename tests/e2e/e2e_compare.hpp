#pragma once
// e2e_compare.hpp - source rows against destination rows, each value brought to one canonical
// text by the rules of tests/e2e/README.md, and the differences the design prescribes taken
// from the expectations file, value by value. A prescribed difference that no longer happens
// is reported as well: an expectation is a claim, not a licence.

#include <string>
#include <vector>

#include "e2e/e2e_server.hpp"
#include "e2e/e2e_source.hpp"

// Canonical text of a value: "NULL", or "=" followed by the value.
std::string e2e_canonical_source(int dao_type, const std::string& csv_field);
std::string e2e_canonical_dest(int dao_type, const std::string& text, bool b_null);

// One prescribed difference: in this file's table and column, the source value (canonical
// form without the "=") arrives as `expected` ("NULL" or "=..." canonical) on the given path.
struct e2e_expectation {
    std::string file;   // relative to the test data folder
    std::string table;
    std::string column;
    std::string source;     // canonical source text
    std::string path;       // "bulk", "statements" or "both"
    std::string expected;   // canonical destination text
    std::string why;
    mutable int uses = 0;
};

// Reads "file | table | column | source | path | expected | why" lines; '#' starts a comment.
// Throws std::runtime_error naming the bad line.
std::vector<e2e_expectation> e2e_read_expectations(const std::string& path);
std::vector<e2e_expectation> e2e_default_expectations();   // tests/e2e/e2e_expectations.txt

struct e2e_table_report {
    std::vector<std::string> problems;   // empty when the table arrived as expected
};

// Compares one table; `load_path` is "bulk" or "statements".
e2e_table_report e2e_compare_table(const std::string& file, const e2e_table& source,
                                   const e2e_table_data& dest,
                                   const std::vector<e2e_expectation>& expectations,
                                   const std::string& load_path);

// Canonical rows of a destination table, sorted: what "identical contents" compares.
std::vector<std::string> e2e_canonical_rows(const e2e_table& source, const e2e_table_data& dest);
