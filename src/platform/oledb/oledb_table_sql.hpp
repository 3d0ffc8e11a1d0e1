#pragma once
// oledb_table_sql.hpp - the T-SQL that ITableDefinition::CreateTable, DropTable and
// IIndexDefinition::CreateIndex send for a description, as SQL Server's own provider words
// them. Table identifiers arrive as the caller's DBID name ("[t]" or "[o].[t]", bracketed by
// the caller); column and index names arrive plain and are bracketed here.

#include "platform/oledb/oledb_types.hpp"

#include <string>
#include <vector>

// The column type of a description. `b_max_types` is false for servers before 2005, which
// know text/ntext/image instead of the (max) types. An unknown type gives an empty text.
std::string oledb_column_type_sql(const oledb_column_desc& column, bool b_max_types);

std::string oledb_create_table_sql(const std::string& table_id,
                                   const std::vector<oledb_column_desc>& columns, bool b_max_types);
std::string oledb_drop_table_sql(const std::string& table_id);
// A primary key becomes a clustered constraint added to the table; other indexes
// CREATE [UNIQUE] INDEX.
std::string oledb_create_index_sql(const std::string& table_id, const oledb_index_desc& index);
