#pragma once
// dump_options.hpp - the command line of vantreldump:
//   vantreldump FILE [--accp=PASSWORD] [--sysdb=MDW --uglu=USER --uglp=PASSWORD]
//               [--table=NAME] [--schema-only] [--tables] [--counts] [--codepage=N]

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct dump_options {
    std::string file;
    std::string database_password;   // --accp
    std::string system_db;           // --sysdb
    std::string user;                // --uglu
    std::string user_password;       // --uglp
    std::optional<std::string> table;
    bool b_schema_only = false;
    bool b_table_names = false;   // --tables
    bool b_counts = false;
    std::uint16_t code_page = 0;   // --codepage: Jet 3 text's code page, 0 to let the file say
};

// Throws std::invalid_argument with a usage message; the message never holds a password.
dump_options dump_parse_options(const std::vector<std::string>& arguments);

extern const char* const DUMP_USAGE;
