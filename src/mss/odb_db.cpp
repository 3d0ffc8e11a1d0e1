// odb_db.cpp - table creation, dropping and statements of a destination database.

#include "mss/odb_db.hpp"

#include "mss/mss_default.hpp"
#include "mss/mss_engi.hpp"
#include "mss/mss_lit.hpp"
#include "mss/mss_name.hpp"
#include "mss/odb_cmd.hpp"
#include "mss/odb_exce.hpp"
#include "mss/odb_rec.hpp"
#include "mss/odb_recs.hpp"
#include "platform/oledb/oledb_data_source.hpp"
#include "platform/oledb/oledb_rowset.hpp"
#include "platform/oledb/oledb_session.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"
#include "udb/udb_name.hpp"
#include "udb/udb_rule.hpp"

namespace {

constexpr std::uint32_t LONG_COLUMN_REQUEST = 8001;
constexpr std::uint32_t MAX_INDEXABLE_SIZE = 8000;
// numeric holds 38 digits; a float for a wider decimal would keep only about 15 of them.
constexpr std::uint8_t MAX_EXACT_PRECISION = 38;
constexpr std::uint8_t DEFAULT_PRECISION = 18;   // SQL Server's numeric without a precision
constexpr std::uint32_t MAX_CLUSTERED_KEY_BYTES = 900;

bool is_identity(const t_ftd& field, int version_code) {
    if (!field.b_autoincrement) return false;
    switch (field.vartype) {
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
    case VT_BOOL: return true;
    case VT_UI4:
    case VT_I8:
    case VT_UINT: return mss_has_bigint(version_code);
    default: return false;
    }
}

void set_decimal(const t_ftd& field, oledb_column_desc& column) {
    std::uint8_t precision = static_cast<std::uint8_t>((field.reserved >> 8) & 0xFF);
    const std::uint8_t scale = static_cast<std::uint8_t>(field.reserved & 0xFF);
    tk_trace::write(2, "Scale/precision for decimal column: (%d, %d)", scale, precision);
    // A decimal without a precision would be refused as numeric(0,0), losing the table.
    if (precision == 0) precision = std::max<std::uint8_t>(DEFAULT_PRECISION, scale);
    if (precision <= MAX_EXACT_PRECISION) {
        column.precision = precision;
        column.scale = scale;
    } else {
        column.type = DBTYPE_R8;
    }
}

const t_ftd* find_column(const udb_schema& schema, const std::u16string& name) {
    for (std::size_t column_idx = 0; column_idx < schema.size(); ++column_idx) {
        if (udb_same_name(schema[column_idx].name, name)) return &schema[column_idx];
    }
    return nullptr;
}

// The most bytes a key column takes in an index entry.
std::uint32_t key_bytes(const oledb_column_desc& column) {
    switch (column.type) {
    case DBTYPE_WSTR: return 2 * column.column_size;
    case DBTYPE_STR:
    case DBTYPE_BYTES: return column.column_size;
    case DBTYPE_BOOL:
    case DBTYPE_UI1: return 1;
    case DBTYPE_I2: return 2;
    case DBTYPE_I4:
    case DBTYPE_R4: return 4;
    case DBTYPE_NUMERIC: return 17;
    case DBTYPE_GUID: return 16;
    default: return 8;
    }
}

const oledb_column_desc* find_desc(const std::vector<oledb_column_desc>& columns,
                                   const std::string& name) {
    for (const oledb_column_desc& column : columns) {
        if (udb_same_name(tk_utf8_to_utf16(column.name), tk_utf8_to_utf16(name))) return &column;
    }
    return nullptr;
}

}   // namespace

// Jet never counts NULLs as duplicates in a unique index, SQL Server allows one: a unique
// index over nullable columns is filtered to the rows that have all their values (2008 and
// later), or made non-unique on older servers, so no row is refused for an index; the caller
// reports that loss.
oledb_index_desc odb_database::describe_index(const udb_index& index,
                                              const std::u16string& table_name,
                                              const std::vector<oledb_column_desc>& columns,
                                              int version_code) {
    oledb_index_desc desc;
    desc.name = tk_utf16_to_utf8(index.b_primary ? udb_fit_name(u"PK_" + table_name) : index.name);
    for (const std::u16string& column : index.columns) {
        desc.columns.push_back(tk_utf16_to_utf8(column));
    }
    desc.b_primary_key = index.b_primary;
    desc.b_unique = !index.b_primary && index.b_unique;
    if (desc.b_primary_key) {
        // A clustered key holds 900 bytes at most, a nonclustered one 1,700 from SQL Server
        // 2016 on: a longer primary key (two Text(255) columns) is made nonclustered, so that
        // only keys over the larger limit are refused (1946), not every long one.
        std::uint32_t total = 0;
        for (const std::string& name : desc.columns) {
            const oledb_column_desc* column = find_desc(columns, name);
            total += column == nullptr ? 0 : key_bytes(*column);
        }
        desc.b_clustered = total <= MAX_CLUSTERED_KEY_BYTES;
    }
    if (!desc.b_unique) return desc;
    for (const std::string& name : desc.columns) {
        const oledb_column_desc* column = find_desc(columns, name);
        if (column == nullptr || column->b_nullable) desc.not_null_filter.push_back(name);
    }
    if (desc.not_null_filter.empty()) return desc;
    if (mss_has_filtered_indexes(version_code)) return desc;
    tk_trace::write(2, u"Index '%s' over nullable columns is created non-unique", index.name);
    desc.b_unique = false;
    desc.not_null_filter.clear();
    return desc;
}

odb_database::odb_database(std::u16string new_name, std::unique_ptr<oledb_data_source> source,
                           std::unique_ptr<oledb_session> session)
    : udb_database(std::move(new_name), 0, false), data_source(std::move(source)),
      own_session(std::move(session)) {}

odb_database::~odb_database() = default;

bool odb_database::set_def_value(const t_ftd& field, oledb_column_desc& column) {
    tk_trace::write(1, "odb_database::set_def_value");
    const std::u16string text = field.def_value.to_wstring();
    tk_trace::write(2, u"Got default value: %s", text);
    if (text.empty()) return false;
    ole_variant safe;
    try {
        // A default already of the column's type keeps every digit; text is read in that type.
        safe = mssql_get_safe_variant(field.def_value.type() == field.vartype
                                          ? field.def_value
                                          : ole_variant::from_wstring(text, field.vartype));
    } catch (const ole_type_exception&) {
        tk_trace::write(2, "Invalid default value");
        return false;
    }
    if (safe.type() == VT_EMPTY || safe.type() == VT_NULL) {
        tk_trace::write(2, "Invalid default value");
        return false;
    }
    const std::u16string sql = mss_sql_literal(safe);
    tk_trace::write(2, u"Got safe default value: %s", sql);
    column.b_has_default = true;
    column.default_sql = tk_utf16_to_utf8(sql);
    return true;
}

bool odb_database::set_function_default(const t_ftd& field, oledb_column_desc& column,
                                        int version_code) {
    const bool is_text = column.type == DBTYPE_WSTR || column.type == DBTYPE_STR;
    const std::u16string sql = mss_function_default(field.def_function, is_text, version_code);
    tk_trace::write(2, u"Got computed default: %s", sql);
    if (sql.empty()) return false;   // reported by the database that creates the table
    column.b_has_default = true;
    column.default_sql = tk_utf16_to_utf8(sql);
    return true;
}

oledb_column_desc odb_database::describe_column(const t_ftd& field, const udb_indexes& indexes,
                                                int version_code) {
    tk_trace::write(2, u"Creating column '%s', size=%d", field.name, static_cast<int>(field.size));
    oledb_column_desc column;
    column.name = tk_utf16_to_utf8(field.name);
    column.b_autoincrement = is_identity(field, version_code);
    if (indexes.is_idx_field(field.name, true)) {
        tk_trace::write(2, "Field is a part of Primary Key");
        column.b_nullable = false;
    } else {
        column.b_nullable = !column.b_autoincrement && !field.b_not_null;
    }
    if (udb_custom_conversion::ask_is_acceptable1(field)) {
        udb_column_desc desc;
        udb_custom_conversion::ask_handle1_1(field, desc);
        column.type = static_cast<oledb_dbtype>(desc.type);
        column.column_size = static_cast<std::uint32_t>(desc.column_size);
    } else {
        column.type = static_cast<oledb_dbtype>(
            odb_record::get_oledb_type(field.vartype, version_code));
        column.column_size = field.size;
        tk_trace::write(2, "Binding column #%d (%d, %d)", 0, static_cast<int>(column.type),
                        static_cast<int>(column.column_size));
    }
    if (field.vartype == VT_DECIMAL) set_decimal(field, column);
    const bool is_long = column.column_size == 0
                         && (column.type == DBTYPE_STR || column.type == DBTYPE_WSTR
                             || column.type == DBTYPE_BYTES);
    if (is_long) {
        tk_trace::write(2, "Got MEMO/BLOB field");
        column.column_size = LONG_COLUMN_REQUEST;
    } else if (!field.b_autoincrement && column.type != DBTYPE_BYTES) {
        if (field.def_function == udb_default_function::NONE) {
            set_def_value(field, column);
        } else {
            set_function_default(field, column, version_code);
        }
    }
    return column;
}

// SQL Server takes bit columns in keys (a Yes/No column may be part of a unique index), but
// no max type: a Memo or long binary column is named as the reason.
std::u16string odb_database::why_not_indexable(const udb_index& index, const udb_schema& schema) {
    for (std::size_t field_idx = 0; field_idx < index.columns.size(); ++field_idx) {
        const std::u16string& name = index.columns[field_idx];
        tk_trace::write(2, u"Process field #%d - '%s'", static_cast<int>(field_idx), name);
        const t_ftd* field = find_column(schema, name);
        if (field == nullptr) return u"the table has no column '" + name + u"'";
        tk_trace::write(2, "vt=%08X, size=%d", field->vartype, static_cast<int>(field->size));
        const bool is_long_text = field->vartype == VT_BLOB_OBJECT || field->vartype == VT_BLOB
                                  || field->vartype == VT_BSTR;
        if (is_long_text && (field->size == 0 || field->size > MAX_INDEXABLE_SIZE)) {
            return u"its column '" + name
                   + u"' is a Memo or long binary column, which SQL Server cannot index";
        }
    }
    return u"";
}

namespace {

std::u16string index_context(const udb_index& index, const std::u16string& table_name) {
    return (index.b_primary ? u"Primary key '" : u"Index '") + index.name + u"' of table '"
           + table_name + u"'";
}

}   // namespace

std::vector<oledb_index_desc> odb_database::create_odb_table(const std::u16string& table_name,
                                                             const udb_schema& schema,
                                                             const udb_indexes& indexes,
                                                             const odb_index_reporter& reporter) {
    tk_trace::write(1, u"odb_database::create_table(%s)", table_name);
    const mss_engine& engine = mss_engine::instance();
    const std::u16string table_id = engine.get_safe_tname(table_name);
    tk_trace::write(2, u"Got safe table name: %s", table_id);
    tk_trace::write(2, "Schema size=%d", static_cast<int>(schema.size()));
    std::vector<oledb_column_desc> columns;
    for (std::size_t column_idx = 0; column_idx < schema.size(); ++column_idx) {
        columns.push_back(describe_column(schema[column_idx], indexes, engine.version_code()));
    }
    tk_trace::write(2, "Right before creating the table");
    const std::string table_id_utf8 = tk_utf16_to_utf8(table_id);
    odb_check(own_session->create_table(table_id_utf8, columns), "creating table " + table_id_utf8);
    const auto report = [&](const udb_index& index, const tk_exception& failure,
                            const std::u16string& what = u"") {
        const std::u16string context = what.empty() ? index_context(index, table_name)
                                                    : what + index.name + u"' of table '"
                                                          + table_name + u"'";
        tk_trace::write(3, u"%s: %s", context, tk_utf8_to_utf16(failure.what()));
        if (reporter) reporter(context, failure);
    };
    std::vector<oledb_index_desc> plain_indexes;
    for (const udb_index& index : indexes) {
        tk_trace::write(2, u"Creating index '%s'", index.name);
        const std::u16string why_not = why_not_indexable(index, schema);
        if (!why_not.empty()) {
            tk_trace::write(2, u"Skip index '%s'", index.name);
            report(index, tk_exception("It is not created: " + tk_utf16_to_utf8(why_not) + ".",
                                       ERROR_LEVEL_RECOVERABLE));
            continue;
        }
        oledb_index_desc desc = describe_index(index, table_name, columns, engine.version_code());
        if (index.b_unique && !index.b_primary && !desc.b_unique) {
            report(index,
                   tk_exception("The index is created non-unique: this server has no filtered "
                                "indexes, and SQL Server counts NULLs as equal keys.",
                                ERROR_LEVEL_RECOVERABLE),
                   u"Uniqueness of index '");
        }
        if (!desc.b_primary_key && !desc.b_unique) {
            tk_trace::write(2, u"Index '%s' follows the rows", index.name);
            plain_indexes.push_back(std::move(desc));
            continue;
        }
        // A key the server refuses costs only itself: the table and its rows go on without it.
        try {
            create_index(table_id_utf8, desc);
        } catch (const tk_exception& failure) {
            if (failure.level() != ERROR_LEVEL_RECOVERABLE) throw;
            report(index, failure);
            continue;
        }
        if (!desc.not_null_filter.empty()) remember_filtered(table_name, desc);
    }
    return plain_indexes;
}

void odb_database::remember_filtered(const std::u16string& table_name,
                                     const oledb_index_desc& desc) {
    filtered_key key{table_name, tk_utf8_to_utf16(desc.name), {}, {}};
    for (const std::string& column : desc.columns) key.columns.push_back(tk_utf8_to_utf16(column));
    for (const std::string& column : desc.not_null_filter) {
        key.filter_columns.push_back(tk_utf8_to_utf16(column));
    }
    filtered_keys.push_back(std::move(key));
}

// A foreign key names the columns of its key in any order.
const odb_database::filtered_key* odb_database::find_filtered_key(
    const std::u16string& table_name, const std::vector<std::u16string>& columns) const {
    for (const filtered_key& key : filtered_keys) {
        if (!udb_same_name(key.table_name, table_name) || key.columns.size() != columns.size()) {
            continue;
        }
        bool all_found = true;
        for (const std::u16string& column : columns) {
            bool found = false;
            for (const std::u16string& key_column : key.columns) {
                found = found || udb_same_name(key_column, column);
            }
            all_found = all_found && found;
        }
        if (all_found) return &key;
    }
    return nullptr;
}

void odb_database::create_index(const std::string& table_id, const oledb_index_desc& desc) {
    odb_check(own_session->create_index(table_id, desc), "creating index " + desc.name);
}

bool odb_database::delete_tab(const std::u16string& table_name) {
    tk_trace::write(1, u"odb_database::delete_tab(%s)", table_name);
    const std::u16string table_id = mss_engine::instance().get_safe_tname(table_name);
    odb_check(own_session->drop_table(tk_utf16_to_utf8(table_id)),
              "dropping table " + tk_utf16_to_utf8(table_id));
    return udb_database::delete_tab(table_name);
}

bool odb_database::test_query(const std::u16string& sql) {
    tk_trace::write(1, u"odb_database::test_query(%s)", sql);
    try {
        odb_command(*own_session).execute(sql);
    } catch (const tk_exception& failure) {
        tk_trace::write(2, "Test query failed: %s", failure.what());
        return false;
    }
    return true;
}

std::unique_ptr<udb_recordset> odb_database::query(const std::u16string& sql) {
    tk_trace::write(1, u"odb_database::query(%s)", sql);
    std::unique_ptr<oledb_rowset> result;
    odb_command(*own_session).execute(sql, &result);
    return std::make_unique<odb_recordset>(u"query", std::move(result));
}
