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
    case VT_UINT: return version_code == 3;
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
// later; version code 1 is a server after 2008 here, as older ones than 7.0 cannot be reached),
// or made non-unique on older servers, so no row is refused for an index.
oledb_index_desc odb_database::describe_index(const udb_index& index,
                                              const std::u16string& table_name,
                                              const std::vector<oledb_column_desc>& columns,
                                              int version_code) {
    oledb_index_desc desc;
    desc.name = tk_utf16_to_utf8(index.b_primary ? u"PK_" + table_name : index.name);
    for (const std::u16string& column : index.columns) {
        desc.columns.push_back(tk_utf16_to_utf8(column));
    }
    desc.b_primary_key = index.b_primary;
    desc.b_unique = !index.b_primary && index.b_unique;
    if (!desc.b_unique) return desc;
    for (const std::string& name : desc.columns) {
        const oledb_column_desc* column = find_desc(columns, name);
        if (column == nullptr || column->b_nullable) desc.not_null_filter.push_back(name);
    }
    if (desc.not_null_filter.empty()) return desc;
    if (version_code == 5 || version_code == 1) return desc;
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

bool odb_database::is_indexable(const udb_index& index, const udb_schema& schema) {
    for (std::size_t field_idx = 0; field_idx < index.columns.size(); ++field_idx) {
        const std::u16string& name = index.columns[field_idx];
        tk_trace::write(2, u"Process field #%d - '%s'", static_cast<int>(field_idx), name);
        const t_ftd* field = find_column(schema, name);
        if (field == nullptr) return false;   // the index names a column the table lacks
        tk_trace::write(2, "vt=%08X, size=%d", field->vartype, static_cast<int>(field->size));
        const bool is_long_text = field->vartype == VT_BLOB_OBJECT || field->vartype == VT_BLOB
                                  || field->vartype == VT_BSTR;
        if (field->vartype == VT_BOOL
            || (is_long_text && (field->size == 0 || field->size > MAX_INDEXABLE_SIZE))) {
            return false;
        }
    }
    return true;
}

std::vector<oledb_index_desc> odb_database::create_odb_table(const std::u16string& table_name,
                                                             const udb_schema& schema,
                                                             const udb_indexes& indexes) {
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
    std::vector<oledb_index_desc> plain_indexes;
    for (const udb_index& index : indexes) {
        tk_trace::write(2, u"Creating index '%s'", index.name);
        if (!is_indexable(index, schema)) {
            tk_trace::write(2, u"Index '%s' has been skipped", index.name);
            tk_trace::write(2, u"Skip index '%s'", index.name);
            continue;
        }
        oledb_index_desc desc = describe_index(index, table_name, columns, engine.version_code());
        if (desc.b_primary_key || desc.b_unique) {
            create_index(table_id_utf8, desc);
        } else {
            tk_trace::write(2, u"Index '%s' follows the rows", index.name);
            plain_indexes.push_back(std::move(desc));
        }
    }
    return plain_indexes;
}

void odb_database::create_index(const std::string& table_id, const oledb_index_desc& desc) {
    const oledb_hresult created = own_session->create_index(table_id, desc);
    if (oledb_failed(created) && !desc.not_null_filter.empty()) {
        // A server that refuses the filter still gets the index, without uniqueness.
        tk_trace::write(2, "Filtered index '%s' refused; created non-unique", desc.name.c_str());
        oledb_index_desc plain = desc;
        plain.b_unique = false;
        plain.not_null_filter.clear();
        odb_check(own_session->create_index(table_id, plain), "creating index " + desc.name);
    } else {
        odb_check(created, "creating index " + desc.name);
    }
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
