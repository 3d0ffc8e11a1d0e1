#pragma once
// make_options.hpp - vantrelmake's command line: the file to write and, per table, its
// columns, indexes and where its rows come from (generated, or a CSV file). Bad options
// raise std::invalid_argument with the reason.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/jet/jet_new_table.hpp"

struct make_table {
    jet_new_table table;
    std::uint64_t generated_rows = 0;   // --rows
    std::optional<std::string> csv;     // --csv
};

struct make_options {
    std::string file;   // .mdb: Jet 4, .accdb: ACE 12
    std::vector<make_table> tables;
};

make_options make_parse_options(const std::vector<std::string>& arguments);

extern const char* const MAKE_USAGE;
