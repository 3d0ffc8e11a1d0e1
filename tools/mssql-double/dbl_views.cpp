// dbl_views.cpp - INFORMATION_SCHEMA.TABLES, INFORMATION_SCHEMA.COLUMNS, sys.databases and
// sys.foreign_keys, with SQL Server 2019's columns in order (sys.foreign_keys: its first
// columns that this double keeps, in their order).
#include "dbl_views.hpp"

#include "dbl_text.hpp"

namespace {

dbl_type sysname() { return dbl_make_type(dbl_kind::NVARCHAR, 128); }

dbl_value maybe(std::optional<int> number) {
    return number ? dbl_view_number(*number) : dbl_null();
}

std::vector<const dbl_table*> sorted_tables(dbl_database& database) { return database.tables(); }

dbl_rowset information_tables(dbl_database& database) {
    dbl_rowset rowset;
    rowset.columns = {dbl_view_column("TABLE_CATALOG", sysname()),
                      dbl_view_column("TABLE_SCHEMA", sysname()),
                      dbl_view_column("TABLE_NAME", sysname(), false),
                      dbl_view_column("TABLE_TYPE", dbl_make_type(dbl_kind::VARCHAR, 10))};
    for (const dbl_table* table : sorted_tables(database))
        rowset.rows.push_back({dbl_view_text(database.name()), dbl_view_text(table->schema),
                               dbl_view_text(table->name), dbl_view_narrow("BASE TABLE")});
    return rowset;
}

dbl_value datetime_precision(const dbl_type& type) {
    if (type.kind == dbl_kind::DATETIME) return dbl_view_number(3);
    if (type.kind == dbl_kind::DATETIME2) return dbl_view_number(type.scale);
    return dbl_null();
}

dbl_rowset information_columns(dbl_database& database) {
    dbl_rowset rowset;
    dbl_type int_type = dbl_make_type(dbl_kind::INT);
    rowset.columns = {dbl_view_column("TABLE_CATALOG", sysname()),
                      dbl_view_column("TABLE_SCHEMA", sysname()),
                      dbl_view_column("TABLE_NAME", sysname(), false),
                      dbl_view_column("COLUMN_NAME", sysname()),
                      dbl_view_column("ORDINAL_POSITION", int_type),
                      dbl_view_column("COLUMN_DEFAULT", dbl_make_type(dbl_kind::NVARCHAR, 4000)),
                      dbl_view_column("IS_NULLABLE", dbl_make_type(dbl_kind::VARCHAR, 3)),
                      dbl_view_column("DATA_TYPE", sysname()),
                      dbl_view_column("CHARACTER_MAXIMUM_LENGTH", int_type),
                      dbl_view_column("CHARACTER_OCTET_LENGTH", int_type),
                      dbl_view_column("NUMERIC_PRECISION", dbl_make_type(dbl_kind::TINYINT)),
                      dbl_view_column("NUMERIC_PRECISION_RADIX", dbl_make_type(dbl_kind::SMALLINT)),
                      dbl_view_column("NUMERIC_SCALE", int_type),
                      dbl_view_column("DATETIME_PRECISION", dbl_make_type(dbl_kind::SMALLINT)),
                      dbl_view_column("CHARACTER_SET_CATALOG", sysname()),
                      dbl_view_column("CHARACTER_SET_SCHEMA", sysname()),
                      dbl_view_column("CHARACTER_SET_NAME", sysname()),
                      dbl_view_column("COLLATION_CATALOG", sysname()),
                      dbl_view_column("COLLATION_SCHEMA", sysname()),
                      dbl_view_column("COLLATION_NAME", sysname()),
                      dbl_view_column("DOMAIN_CATALOG", sysname()),
                      dbl_view_column("DOMAIN_SCHEMA", sysname()),
                      dbl_view_column("DOMAIN_NAME", sysname())};
    for (const dbl_table* table : sorted_tables(database)) {
        int ordinal = 0;
        for (const dbl_column& column : table->columns) {
            const dbl_type& type = column.type;
            auto precision = dbl_numeric_precision(type);
            bool text = type.is_text();
            dbl_value radix = !precision ? dbl_null()
                                         : dbl_view_number(type.kind == dbl_kind::REAL
                                                                   || type.kind == dbl_kind::FLOAT
                                                               ? 2
                                                               : 10);
            rowset.rows.push_back(
                {dbl_view_text(database.name()),
                 dbl_view_text(table->schema),
                 dbl_view_text(table->name),
                 dbl_view_text(column.name),
                 dbl_view_number(++ordinal),
                 column.default_text.empty() ? dbl_null() : dbl_view_text(column.default_text),
                 dbl_view_narrow(column.b_nullable ? "YES" : "NO"),
                 dbl_view_text(type.base_name()),
                 maybe(dbl_char_length(type)),
                 maybe(dbl_octet_length(type)),
                 maybe(precision),
                 radix,
                 maybe(dbl_numeric_scale(type)),
                 datetime_precision(type),
                 dbl_null(),
                 dbl_null(),
                 text ? dbl_view_text(type.is_wide_text() ? "UNICODE" : "iso_1") : dbl_null(),
                 dbl_null(),
                 dbl_null(),
                 text ? dbl_view_text("SQL_Latin1_General_CP1_CI_AS") : dbl_null(),
                 dbl_null(),
                 dbl_null(),
                 dbl_null()});
        }
    }
    return rowset;
}

dbl_rowset sys_databases(dbl_executor& ex) {
    dbl_rowset rowset;
    rowset.columns = {
        dbl_view_column("name", sysname()),
        dbl_view_column("database_id", dbl_make_type(dbl_kind::INT), false),
        dbl_view_column("collation_name", sysname()),
        dbl_view_column("compatibility_level", dbl_make_type(dbl_kind::TINYINT), false),
        dbl_view_column("state_desc", dbl_make_type(dbl_kind::NVARCHAR, 60))};
    for (dbl_database* database : ex.server.databases())
        rowset.rows.push_back({dbl_view_text(database->name()), dbl_view_number(database->id()),
                               dbl_view_text("SQL_Latin1_General_CP1_CI_AS"), dbl_view_number(150),
                               dbl_view_text("ONLINE")});
    return rowset;
}

dbl_rowset sys_foreign_keys(dbl_database& database) {
    dbl_rowset rowset;
    const dbl_type int_type = dbl_make_type(dbl_kind::INT);
    const dbl_type bit_type = dbl_make_type(dbl_kind::BIT);
    rowset.columns = {dbl_view_column("name", sysname(), false),
                      dbl_view_column("parent_object_id", int_type, false),
                      dbl_view_column("referenced_object_id", int_type),
                      dbl_view_column("is_disabled", bit_type, false),
                      dbl_view_column("is_not_trusted", bit_type, false)};
    for (const dbl_table* table : sorted_tables(database)) {
        for (const dbl_key& key : table->keys) {
            if (key.kind != dbl_key_kind::FOREIGN_KEY) continue;
            dbl_value disabled = dbl_view_number(key.b_disabled ? 1 : 0);
            dbl_value not_trusted = dbl_view_number(key.b_trusted ? 0 : 1);
            rowset.rows.push_back({dbl_view_text(key.name), dbl_view_number(table->object_id),
                                   dbl_view_number(key.ref_object_id), disabled, not_trusted});
        }
    }
    return rowset;
}

}   // namespace

dbl_result_column dbl_view_column(const std::string& name, dbl_type type, bool b_nullable) {
    dbl_result_column column;
    column.name = name;
    column.type = type;
    column.b_nullable = b_nullable;
    return column;
}

dbl_value dbl_view_text(const std::string& text) { return dbl_wide_value(dbl_utf16(text)); }
dbl_value dbl_view_narrow(const std::string& text) {
    return dbl_bytes_value(dbl_to_cp1252(dbl_utf16(text)));
}
dbl_value dbl_view_number(std::int64_t number) { return dbl_int(number); }

std::optional<int> dbl_char_length(const dbl_type& type) {
    if (type.kind == dbl_kind::TEXT || type.kind == dbl_kind::IMAGE) return 2147483647;
    if (type.kind == dbl_kind::NTEXT) return 1073741823;
    if (!type.is_text() && !type.is_binary()) return std::nullopt;
    return type.length == DBL_MAX_LENGTH ? -1 : type.length;
}

std::optional<int> dbl_octet_length(const dbl_type& type) {
    if (type.kind == dbl_kind::NTEXT) return 2147483646;
    auto chars = dbl_char_length(type);
    if (!chars || *chars < 0 || !type.is_wide_text()) return chars;
    return *chars * 2;
}

std::optional<int> dbl_numeric_precision(const dbl_type& type) {
    switch (type.kind) {
    case dbl_kind::TINYINT: return 3;
    case dbl_kind::SMALLINT: return 5;
    case dbl_kind::INT: return 10;
    case dbl_kind::BIGINT: return 19;
    case dbl_kind::REAL: return 24;
    case dbl_kind::FLOAT: return 53;
    case dbl_kind::MONEY: return 19;
    case dbl_kind::DECIMAL:
    case dbl_kind::NUMERIC: return type.precision;
    default: return std::nullopt;
    }
}

std::optional<int> dbl_numeric_scale(const dbl_type& type) {
    if (type.is_integer() && type.kind != dbl_kind::BIT) return 0;
    if (type.kind == dbl_kind::MONEY) return 4;
    if (type.kind == dbl_kind::DECIMAL || type.kind == dbl_kind::NUMERIC) return type.scale;
    return std::nullopt;
}

std::optional<dbl_rowset> dbl_catalog_view(dbl_executor& ex, const dbl_name& name) {
    std::size_t count = name.parts.size();
    if (count < 2) return std::nullopt;
    const std::string& schema = name.parts[count - 2];
    const std::string& view = name.parts[count - 1];
    if (dbl_same_name(schema, "sys") && dbl_same_name(view, "databases")) return sys_databases(ex);
    if (dbl_same_name(schema, "sys") && dbl_same_name(view, "foreign_keys"))
        return sys_foreign_keys(ex.database_of(name));
    if (!dbl_same_name(schema, "INFORMATION_SCHEMA")) return std::nullopt;
    dbl_database& database = ex.database_of(name);
    if (dbl_same_name(view, "TABLES")) return information_tables(database);
    if (dbl_same_name(view, "COLUMNS")) return information_columns(database);
    return std::nullopt;
}
