#pragma once
// daostub_statement.hpp - the rows of a query's SQL text. Three statements the Access side
// sends itself are answered directly by the engine: "SELECT * FROM [table]" (streamed from
// the table, never loaded whole), the relationship catalogue's fixed SELECT and
// "select count(*) from (...)" around either. Everything else goes to the query engine
// (daostub_query_rows), which a build may lack: then it is DAO's syntax error 3141.
// Failures are jet_error with DAO's numbers.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dao/daostub_rows.hpp"

std::unique_ptr<daostub_rows> daostub_open_statement(std::shared_ptr<const jet_database> database,
                                                     std::u16string_view sql);

// The table of "SELECT * FROM [name]" (with "]]" read as "]"), if the text is exactly that.
std::optional<std::u16string> daostub_whole_table_name(std::u16string_view sql);

// A statement for the query engine; defined by the engine's adapter or by its stand-in.
std::unique_ptr<daostub_rows> daostub_query_rows(std::shared_ptr<const jet_database> database,
                                                 std::u16string_view sql);
