// oledb_schema.cpp - catalogue procedures to OLE DB schema rowsets. Source columns are found
// by name, not position, so an extra column in a server's answer moves nothing.

#include "platform/oledb/oledb_schema.hpp"

#include "platform/oledb/oledb_sql_text.hpp"

#include <initializer_list>

namespace {

constexpr std::size_t NO_COLUMN = static_cast<std::size_t>(-1);

char ascii_upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

std::size_t column_named(const oledb_result_set& source, const std::string& name) {
    for (std::size_t column_idx = 0; column_idx < source.columns.size(); ++column_idx) {
        const std::string& candidate = source.columns[column_idx].name;
        if (candidate.size() != name.size()) continue;
        bool same = true;
        for (std::size_t char_idx = 0; char_idx < name.size() && same; ++char_idx) {
            same = ascii_upper(candidate[char_idx]) == ascii_upper(name[char_idx]);
        }
        if (same) return column_idx;
    }
    return NO_COLUMN;
}

oledb_cell text_cell(const std::string& text) { return oledb_cell{false, text}; }
oledb_cell bool_cell(bool value) { return text_cell(value ? "True" : "False"); }

oledb_cell copied(const oledb_result_set& source, const oledb_row& row, const char* name) {
    const std::size_t column_idx = column_named(source, name);
    if (column_idx == NO_COLUMN || column_idx >= row.size()) return oledb_cell{};
    return row[column_idx];
}

std::string text_of(const oledb_result_set& source, const oledb_row& row, const char* name) {
    const oledb_cell cell = copied(source, row, name);
    return cell.b_null ? std::string() : cell.data;
}

struct shaped_column {
    const char* name;
    oledb_dbtype type;
};

std::vector<oledb_column_info> columns_of(std::initializer_list<shaped_column> list) {
    std::vector<oledb_column_info> columns;
    std::uint32_t ordinal = 1;
    for (const shaped_column& column : list) {
        oledb_column_info info;
        info.name = column.name;
        info.ordinal = ordinal++;
        info.type = column.type;
        info.column_size = column.type == DBTYPE_WSTR ? 128 : 4;
        info.flags = DBCOLUMNFLAGS_ISNULLABLE;
        columns.push_back(info);
    }
    return columns;
}

std::string restricted_call(const char* procedure, const char* table_param, const char* owner_param,
                            const oledb_schema_restrictions& where) {
    std::string sql = std::string("EXEC ") + procedure + " " + table_param + " = "
                      + oledb_unicode_literal(where.table);
    if (!where.schema.empty()) {
        sql += std::string(", ") + owner_param + " = " + oledb_unicode_literal(where.schema);
    }
    return sql;
}

oledb_result_set shape_tables(const oledb_result_set& source) {
    oledb_result_set shaped;
    shaped.columns = columns_of({{"TABLE_CATALOG", DBTYPE_WSTR},
                                 {"TABLE_SCHEMA", DBTYPE_WSTR},
                                 {"TABLE_NAME", DBTYPE_WSTR},
                                 {"TABLE_TYPE", DBTYPE_WSTR}});
    for (const oledb_row& row : source.rows) {
        shaped.rows.push_back({copied(source, row, "TABLE_CATALOG"),
                               copied(source, row, "TABLE_SCHEMA"),
                               copied(source, row, "TABLE_NAME"), text_cell("TABLE")});
    }
    return shaped;
}

oledb_result_set shape_primary_keys(const oledb_result_set& source) {
    oledb_result_set shaped;
    shaped.columns = columns_of({{"TABLE_CATALOG", DBTYPE_WSTR},
                                 {"TABLE_SCHEMA", DBTYPE_WSTR},
                                 {"TABLE_NAME", DBTYPE_WSTR},
                                 {"COLUMN_NAME", DBTYPE_WSTR},
                                 {"COLUMN_GUID", DBTYPE_GUID},
                                 {"COLUMN_PROPID", DBTYPE_I4},
                                 {"ORDINAL", DBTYPE_I4},
                                 {"PK_NAME", DBTYPE_WSTR}});
    for (const oledb_row& row : source.rows) {
        shaped.rows.push_back(
            {copied(source, row, "TABLE_QUALIFIER"), copied(source, row, "TABLE_OWNER"),
             copied(source, row, "TABLE_NAME"), copied(source, row, "COLUMN_NAME"), oledb_cell{},
             oledb_cell{}, copied(source, row, "KEY_SEQ"), copied(source, row, "PK_NAME")});
    }
    return shaped;
}

oledb_result_set shape_foreign_keys(const oledb_result_set& source) {
    oledb_result_set shaped;
    shaped.columns = columns_of({{"PK_TABLE_CATALOG", DBTYPE_WSTR},
                                 {"PK_TABLE_SCHEMA", DBTYPE_WSTR},
                                 {"PK_TABLE_NAME", DBTYPE_WSTR},
                                 {"PK_COLUMN_NAME", DBTYPE_WSTR},
                                 {"PK_COLUMN_GUID", DBTYPE_GUID},
                                 {"PK_COLUMN_PROPID", DBTYPE_I4},
                                 {"FK_TABLE_CATALOG", DBTYPE_WSTR},
                                 {"FK_TABLE_SCHEMA", DBTYPE_WSTR},
                                 {"FK_TABLE_NAME", DBTYPE_WSTR},
                                 {"FK_COLUMN_NAME", DBTYPE_WSTR},
                                 {"FK_COLUMN_GUID", DBTYPE_GUID},
                                 {"FK_COLUMN_PROPID", DBTYPE_I4},
                                 {"ORDINAL", DBTYPE_I4},
                                 {"UPDATE_RULE", DBTYPE_WSTR},
                                 {"DELETE_RULE", DBTYPE_WSTR},
                                 {"PK_NAME", DBTYPE_WSTR},
                                 {"FK_NAME", DBTYPE_WSTR},
                                 {"DEFERRABILITY", DBTYPE_I2}});
    const auto rule_text = [&](const oledb_row& row, const char* name) {
        const std::string code = text_of(source, row, name);   // 0 cascade, 1 no action
        return code == "0" ? text_cell("CASCADE") : text_cell("NO ACTION");
    };
    for (const oledb_row& row : source.rows) {
        shaped.rows.push_back(
            {copied(source, row, "PKTABLE_QUALIFIER"), copied(source, row, "PKTABLE_OWNER"),
             copied(source, row, "PKTABLE_NAME"), copied(source, row, "PKCOLUMN_NAME"),
             oledb_cell{}, oledb_cell{}, copied(source, row, "FKTABLE_QUALIFIER"),
             copied(source, row, "FKTABLE_OWNER"), copied(source, row, "FKTABLE_NAME"),
             copied(source, row, "FKCOLUMN_NAME"), oledb_cell{}, oledb_cell{},
             copied(source, row, "KEY_SEQ"), rule_text(row, "UPDATE_RULE"),
             rule_text(row, "DELETE_RULE"), copied(source, row, "PK_NAME"),
             copied(source, row, "FK_NAME"), copied(source, row, "DEFERRABILITY")});
    }
    return shaped;
}

// sp_statistics has no primary-key flag; the key's name comes from sp_pkeys in the same batch.
oledb_result_set shape_indexes(const oledb_result_set& statistics, const std::string& pk_name) {
    constexpr std::size_t INDEX_COLUMN_COUNT = 25;
    oledb_result_set shaped;
    shaped.columns = columns_of({{"TABLE_CATALOG", DBTYPE_WSTR},
                                 {"TABLE_SCHEMA", DBTYPE_WSTR},
                                 {"TABLE_NAME", DBTYPE_WSTR},
                                 {"INDEX_CATALOG", DBTYPE_WSTR},
                                 {"INDEX_SCHEMA", DBTYPE_WSTR},
                                 {"INDEX_NAME", DBTYPE_WSTR},
                                 {"PRIMARY_KEY", DBTYPE_BOOL},
                                 {"UNIQUE", DBTYPE_BOOL},
                                 {"CLUSTERED", DBTYPE_BOOL},
                                 {"TYPE", DBTYPE_UI2},
                                 {"FILL_FACTOR", DBTYPE_I4},
                                 {"INITIAL_SIZE", DBTYPE_I4},
                                 {"NULLS", DBTYPE_I4},
                                 {"SORT_BOOKMARKS", DBTYPE_BOOL},
                                 {"AUTO_UPDATE", DBTYPE_BOOL},
                                 {"NULL_COLLATION", DBTYPE_I4},
                                 {"ORDINAL_POSITION", DBTYPE_UI4},
                                 {"COLUMN_NAME", DBTYPE_WSTR},
                                 {"COLUMN_GUID", DBTYPE_GUID},
                                 {"COLUMN_PROPID", DBTYPE_UI4},
                                 {"COLLATION", DBTYPE_I2},
                                 {"CARDINALITY", DBTYPE_UI8},
                                 {"PAGES", DBTYPE_I4},
                                 {"FILTER_CONDITION", DBTYPE_WSTR},
                                 {"INTEGRATED", DBTYPE_BOOL}});
    for (const oledb_row& row : statistics.rows) {
        const std::string type = text_of(statistics, row, "TYPE");
        if (type == "0") continue;   // the table's own statistics row, not an index
        const std::string index_name = text_of(statistics, row, "INDEX_NAME");
        oledb_row shaped_row(INDEX_COLUMN_COUNT);
        shaped_row[0] = copied(statistics, row, "TABLE_QUALIFIER");
        shaped_row[1] = copied(statistics, row, "TABLE_OWNER");
        shaped_row[2] = copied(statistics, row, "TABLE_NAME");
        shaped_row[3] = copied(statistics, row, "TABLE_QUALIFIER");
        shaped_row[4] = copied(statistics, row, "TABLE_OWNER");
        shaped_row[5] = text_cell(index_name);
        shaped_row[6] = bool_cell(!pk_name.empty() && index_name == pk_name);
        shaped_row[7] = bool_cell(text_of(statistics, row, "NON_UNIQUE") == "0");
        shaped_row[8] = bool_cell(type == "1");
        shaped_row[9] = text_cell("1");
        shaped_row[16] = copied(statistics, row, "SEQ_IN_INDEX");
        shaped_row[17] = copied(statistics, row, "COLUMN_NAME");
        shaped.rows.push_back(std::move(shaped_row));
    }
    return shaped;
}

}   // namespace

std::string oledb_schema_query(oledb_schema_kind kind, const oledb_schema_restrictions& where) {
    switch (kind) {
    case oledb_schema_kind::TABLES: {
        std::string sql = "SELECT TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, TABLE_TYPE FROM "
                          "INFORMATION_SCHEMA.TABLES WHERE TABLE_TYPE = 'BASE TABLE'";
        if (!where.schema.empty())
            sql += " AND TABLE_SCHEMA = " + oledb_unicode_literal(where.schema);
        if (!where.table.empty()) sql += " AND TABLE_NAME = " + oledb_unicode_literal(where.table);
        return sql + " ORDER BY TABLE_SCHEMA, TABLE_NAME";
    }
    case oledb_schema_kind::PRIMARY_KEYS:
        return restricted_call("sp_pkeys", "@table_name", "@table_owner", where);
    case oledb_schema_kind::FOREIGN_KEYS:
        return restricted_call("sp_fkeys", "@pktable_name", "@pktable_owner", where);
    case oledb_schema_kind::INDEXES:
        return restricted_call("sp_statistics", "@table_name", "@table_owner", where) + "; "
               + restricted_call("sp_pkeys", "@table_name", "@table_owner", where);
    }
    return "";
}

namespace {

// Table names compare as the default collation does for the names a conversion makes: without
// regard to ASCII case.
bool is_same_table(const std::string& left, const std::string& right) {
    if (left.size() != right.size()) return false;
    for (std::size_t char_idx = 0; char_idx < left.size(); ++char_idx) {
        if (ascii_upper(left[char_idx]) != ascii_upper(right[char_idx])) return false;
    }
    return true;
}

// Every shaped rowset has its (referenced) table's name third.
oledb_result_set only_table(oledb_result_set shaped, const std::string& table) {
    constexpr std::size_t TABLE_NAME_COLUMN = 2;
    if (table.empty()) return shaped;
    std::erase_if(shaped.rows, [&table](const oledb_row& row) {
        return row.size() <= TABLE_NAME_COLUMN || row[TABLE_NAME_COLUMN].b_null
               || !is_same_table(row[TABLE_NAME_COLUMN].data, table);
    });
    return shaped;
}

std::string primary_key_name(const std::vector<oledb_result_set>& answer,
                             const std::string& table) {
    if (answer.size() < 2) return "";
    for (const oledb_row& row : answer[1].rows) {
        if (table.empty() || is_same_table(text_of(answer[1], row, "TABLE_NAME"), table)) {
            return text_of(answer[1], row, "PK_NAME");
        }
    }
    return "";
}

}   // namespace

oledb_result_set oledb_shape_schema(oledb_schema_kind kind,
                                    const std::vector<oledb_result_set>& answer,
                                    const oledb_schema_restrictions& where) {
    const oledb_result_set empty;
    const oledb_result_set& first = answer.empty() ? empty : answer.front();
    switch (kind) {
    case oledb_schema_kind::TABLES: return only_table(shape_tables(first), where.table);
    case oledb_schema_kind::PRIMARY_KEYS: return only_table(shape_primary_keys(first), where.table);
    case oledb_schema_kind::FOREIGN_KEYS: return only_table(shape_foreign_keys(first), where.table);
    case oledb_schema_kind::INDEXES:
        return only_table(shape_indexes(first, primary_key_name(answer, where.table)), where.table);
    }
    return {};
}
