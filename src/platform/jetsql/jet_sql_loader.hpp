#pragma once
// jet_sql_loader.hpp - copies a Jet table into the query's in-memory SQLite database under a
// name of ours ("t0", "t1", ...; columns "c0", "c1", ...), so no name from the file ever
// reaches SQL text. Each table is loaded once per query, whatever case the query spells it in.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/jet/jet_schema.hpp"

struct sqlite3;
class jet_database;

struct jet_sql_loaded_table {
    std::string sql_name;       // "t3"
    jet_table_def definition;   // columns in storage order; column k is "c<k>"
};

class jet_sql_loader {
public:
    jet_sql_loader(const jet_database& database, sqlite3* connection);

    // The loaded table; throws jet_error 3078 for a table the file does not have (or that
    // is linked), 3049 for a corrupt one.
    const jet_sql_loaded_table& load(std::u16string_view table_name);
    // The SQL of a saved query of that name when no table has it; nullopt otherwise.
    std::optional<std::u16string> saved_query_text(std::u16string_view name) const;

private:
    void copy_rows(const jet_sql_loaded_table& table);

    const jet_database& database;
    sqlite3* connection;
    std::vector<std::unique_ptr<jet_sql_loaded_table>> tables;
};
