// oledb_table_sql.cpp - statements for table and index descriptions.

#include "platform/oledb/oledb_table_sql.hpp"

#include "platform/oledb/oledb_sql_text.hpp"

namespace {

constexpr std::uint32_t MAX_NARROW_LENGTH = 8000;   // varchar(n), varbinary(n)
constexpr std::uint32_t MAX_WIDE_LENGTH = 4000;     // nvarchar(n)

std::string sized(const char* type, std::uint32_t size, std::uint32_t limit, const char* long_type,
                  const char* old_long_type, bool b_max_types) {
    if (size == 0 || size > limit) return b_max_types ? long_type : old_long_type;
    return std::string(type) + "(" + std::to_string(size) + ")";
}

std::string column_sql(const oledb_column_desc& column, bool b_max_types) {
    std::string sql = oledb_bracket(column.name) + " " + oledb_column_type_sql(column, b_max_types);
    if (column.b_autoincrement) sql += " IDENTITY(1,1)";
    sql += column.b_nullable ? " NULL" : " NOT NULL";
    if (column.b_has_default) sql += " DEFAULT " + column.default_sql;
    return sql;
}

std::string joined_names(const std::vector<std::string>& names) {
    std::string sql;
    for (const std::string& name : names) {
        if (!sql.empty()) sql += ", ";
        sql += oledb_bracket(name);
    }
    return sql;
}

}   // namespace

std::string oledb_column_type_sql(const oledb_column_desc& column, bool b_max_types) {
    switch (column.type) {
    case DBTYPE_STR:
        return sized("varchar", column.column_size, MAX_NARROW_LENGTH, "varchar(max)", "text",
                     b_max_types);
    case DBTYPE_WSTR:
        return sized("nvarchar", column.column_size, MAX_WIDE_LENGTH, "nvarchar(max)", "ntext",
                     b_max_types);
    case DBTYPE_BYTES:
        return sized("varbinary", column.column_size, MAX_NARROW_LENGTH, "varbinary(max)", "image",
                     b_max_types);
    case DBTYPE_I1:
    case DBTYPE_I2: return "smallint";
    case DBTYPE_I4: return "int";
    case DBTYPE_I8: return "bigint";
    case DBTYPE_UI1: return "tinyint";
    case DBTYPE_R4: return "real";
    case DBTYPE_R8: return "float";
    case DBTYPE_CY: return "money";
    case DBTYPE_BOOL: return "bit";
    case DBTYPE_DBTIMESTAMP:
    case DBTYPE_DATE: return "datetime";
    case DBTYPE_GUID: return "uniqueidentifier";
    case DBTYPE_NUMERIC:
    case DBTYPE_DECIMAL:
        return "numeric(" + std::to_string(column.precision) + "," + std::to_string(column.scale)
               + ")";
    default: return "";
    }
}

std::string oledb_create_table_sql(const std::string& table_id,
                                   const std::vector<oledb_column_desc>& columns,
                                   bool b_max_types) {
    std::string sql = "CREATE TABLE " + table_id + " (";
    for (std::size_t column_idx = 0; column_idx < columns.size(); ++column_idx) {
        if (column_idx > 0) sql += ", ";
        sql += column_sql(columns[column_idx], b_max_types);
    }
    return sql + ")";
}

std::string oledb_drop_table_sql(const std::string& table_id) { return "DROP TABLE " + table_id; }

std::string oledb_create_index_sql(const std::string& table_id, const oledb_index_desc& index) {
    const std::string columns = "(" + joined_names(index.columns) + ")";
    if (index.b_primary_key) {
        return "ALTER TABLE " + table_id + " ADD CONSTRAINT " + oledb_bracket(index.name)
               + (index.b_clustered ? " PRIMARY KEY CLUSTERED " : " PRIMARY KEY NONCLUSTERED ")
               + columns;
    }
    std::string sql = std::string("CREATE ") + (index.b_unique ? "UNIQUE " : "")
                      + "NONCLUSTERED INDEX " + oledb_bracket(index.name) + " ON " + table_id + " "
                      + columns;
    for (std::size_t column_idx = 0; column_idx < index.not_null_filter.size(); ++column_idx) {
        sql += column_idx == 0 ? " WHERE " : " AND ";
        sql += oledb_bracket(index.not_null_filter[column_idx]) + " IS NOT NULL";
    }
    return sql;
}
