#pragma once
// oledb_schema.hpp - the four schema rowsets the destination reads (IDBSchemaRowset::GetRowset
// for DBSCHEMA_TABLES, DBSCHEMA_PRIMARY_KEYS, DBSCHEMA_FOREIGN_KEYS, DBSCHEMA_INDEXES), built
// from the catalogue procedures and shaped in the OLE DB column order, so that callers find
// PK_NAME in the 8th column of a primary-key row, INDEX_NAME in the 6th and COLUMN_NAME in the
// 18th of an index row, FK_NAME in the 17th of a foreign-key row.

#include "platform/oledb/oledb_result_reader.hpp"

#include <string>

enum class oledb_schema_kind { TABLES, PRIMARY_KEYS, FOREIGN_KEYS, INDEXES };

// Restrictions as the destination passes them: a schema (owner) and a table name, either
// empty when not restricted. For FOREIGN_KEYS the table is the referenced (primary-key) table.
struct oledb_schema_restrictions {
    std::string schema;
    std::string table;
};

// The batch that reads the catalogue for a kind.
std::string oledb_schema_query(oledb_schema_kind kind, const oledb_schema_restrictions& where);

// Reshapes the catalogue's answer (the result sets of the batch above) into the schema rowset,
// keeping only the rows of the restricted table: a server may read the name as a LIKE
// pattern, where Order_Details also matches Order1Details.
oledb_result_set oledb_shape_schema(oledb_schema_kind kind,
                                    const std::vector<oledb_result_set>& answer,
                                    const oledb_schema_restrictions& where);
