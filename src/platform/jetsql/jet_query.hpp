#pragma once
// jet_query.hpp - runs an Access-SQL SELECT over a Jet/ACE file: the statement is parsed into a
// tree, the tables it names are loaded into an in-memory SQLite database with their types, and
// SQL generated from the tree (every name ours, every literal bound) yields the rows. Result
// columns keep the source types: Text with its size, Long, Currency exact, Date as OLE date,
// Decimal exact, Boolean, binary.
//
//   auto query = jet_query::compile(*db, u"SELECT * FROM [Order Details] WHERE Quantity > 10");
//   for (const jet_column& column : query->columns()) ...
//   while (query->next()) use(query->values());
//
// UNION and UNION ALL join SELECTs (3307 when their widths differ); a saved query named in
// FROM or JOIN is rebuilt from the catalogue and expanded (3103 for a cycle, 3129 for an action
// or crosstab query). Errors are jet_error with
// DAO's numbers: 3075 / 3131 / 3141 for syntax, 3078 for an unknown table, 3061 "Too few
// parameters. Expected N." followed by the names when the statement has parameters (declared
// by PARAMETERS, or names that are no column: Access would ask for their values, and nothing
// gives values here).

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_schema.hpp"
#include "platform/jet/jet_value.hpp"

class jet_database;

// "Syntax error (missing operator) in query expression '%s'."
inline constexpr int JET_ERR_SYNTAX_EXPRESSION = 3075;
// "Syntax error in FROM clause."
inline constexpr int JET_ERR_SYNTAX_FROM = 3131;
// "The SELECT statement includes a reserved word or an argument name that is misspelled or
// missing, or the punctuation is incorrect."
inline constexpr int JET_ERR_SYNTAX_SELECT = 3141;
// "Too few parameters. Expected %d."
inline constexpr int JET_ERR_TOO_FEW_PARAMETERS = 3061;
// "Data type mismatch in criteria expression." (a value that cannot take the type it must)
inline constexpr int JET_ERR_TYPE_MISMATCH = 3464;

class jet_query_runner;

class jet_query {
public:
    // Parses, checks and prepares the statement; the database must outlive the query.
    // Throws jet_error (numbers above, 3049 for a corrupt table while loading).
    static std::unique_ptr<jet_query> compile(const jet_database& database,
                                              std::u16string_view access_sql);
    ~jet_query();
    jet_query(const jet_query&) = delete;
    jet_query& operator=(const jet_query&) = delete;

    // The result columns: name, type_code (JET_TYPE_*), size_bytes (Text: 2 per character),
    // precision and scale, nullable flag; dao_type() and dao_size() answer as for a table.
    const std::vector<jet_column>& columns() const { return result_columns; }

    // Moves to the next row; false after the last. Throws jet_error on a run-time failure.
    bool next();
    // Back before the first row.
    void rewind();
    // The current row, one value per column.
    const std::vector<jet_value>& values() const { return row; }

private:
    jet_query(std::unique_ptr<jet_query_runner> runner, std::vector<jet_column> columns);

    std::unique_ptr<jet_query_runner> runner;
    std::vector<jet_column> result_columns;
    std::vector<jet_value> row;
};
