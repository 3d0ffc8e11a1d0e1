// mss_tab.cpp - opening a destination table: its schema from sp_columns and its indexes and
// referencing foreign keys from the schema rowsets.

#include "mss/mss_tab.hpp"

#include "mss/mss_lit.hpp"
#include "mss/mss_name.hpp"
#include "mss/odb_cmd.hpp"
#include "mss/odb_db.hpp"
#include "mss/odb_exce.hpp"
#include "mss/odb_mdat.hpp"
#include "ole/ole_date.hpp"
#include "platform/oledb/oledb_rowset.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"
#include "udb/udb_name.hpp"

namespace {

constexpr const char* MSS_TAB_SOURCE = "mss_tab";
constexpr int FAULT_TWO_PRIMARY_KEYS = 121;
constexpr std::uint32_t SKIP_INDEXES_MODE = 0x60;
constexpr std::uint32_t LONG_COLUMN_SIZE = 0x3FFFFFFF;

// sp_columns result columns (0-based).
constexpr std::size_t SPC_TABLE_NAME = 2;
constexpr std::size_t SPC_COLUMN_NAME = 3;
constexpr std::size_t SPC_TYPE_NAME = 5;
constexpr std::size_t SPC_PRECISION = 6;
constexpr std::size_t SPC_SCALE = 8;
constexpr std::size_t SPC_COLUMN_DEF = 12;

// OLE DB schema rowset columns (0-based).
constexpr std::size_t PK_COLUMN_NAME = 3;
constexpr std::size_t PK_PK_NAME = 7;
constexpr std::size_t IX_INDEX_NAME = 5;
constexpr std::size_t IX_PRIMARY_KEY = 6;
constexpr std::size_t IX_UNIQUE = 7;
constexpr std::size_t IX_COLUMN_NAME = 17;
constexpr std::size_t FK_PK_TABLE_NAME = 2;
constexpr std::size_t FK_PK_COLUMN_NAME = 3;
constexpr std::size_t FK_FK_TABLE_NAME = 8;
constexpr std::size_t FK_FK_COLUMN_NAME = 9;
constexpr std::size_t FK_PK_NAME = 15;
constexpr std::size_t FK_FK_NAME = 16;

std::u16string text_at(const udb_record& row, std::size_t column_idx) {
    if (column_idx >= row.size()) return u"";
    const udb_field& field = row[column_idx];
    if (field.type() == VT_NULL || field.type() == VT_EMPTY) return u"";
    return field.to_wstring();
}

bool is_true_text(const std::u16string& text) { return text == u"True" || text == u"1"; }

bool ends_with(const std::u16string& text, std::u16string_view suffix) {
    return text.size() >= suffix.size()
           && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

constexpr std::size_t NOT_FOUND = static_cast<std::size_t>(-1);

std::size_t find_column(const udb_schema& schema, const std::u16string& name) {
    for (std::size_t column_idx = 0; column_idx < schema.size(); ++column_idx) {
        if (udb_same_name(schema[column_idx].name, name)) return column_idx;
    }
    return NOT_FOUND;
}

// Walks every row of a recordset.
template <class Visit>
void for_each_row(odb_recordset& rows, Visit visit) {
    for (rows.reset(); !rows.is_eof(); rows.next()) {
        const udb_record* row = rows.get_item();
        if (row == nullptr) break;
        visit(*row);
    }
}

std::u16string replaced_doubled_quotes(std::u16string text) {
    for (std::size_t at = text.find(u"''"); at != std::u16string::npos;
         at = text.find(u"''", at + 1)) {
        text.erase(at, 1);
    }
    return text;
}

}   // namespace

mss_table::mss_table(const std::u16string& full_name, const std::u16string& new_sql,
                     oledb_session& on_session, std::uint32_t open_mode, odb_database* owner)
    : odb_table(full_name, new_sql, on_session, open_mode, owner) {
    tk_trace::write(1, u"mss_table::mss_table(%s)", full_name);
    if (!is_query()) {
        init_schema();
        std::u16string table;
        std::u16string table_owner;
        mss_split_tab_name(table_name, table, table_owner);
        if ((open_mode & SKIP_INDEXES_MODE) != SKIP_INDEXES_MODE) init_indexes(table, table_owner);
    }
    if ((open_mode & ODB_OPEN_READ_ONLY) == 0) {
        for (std::size_t column_idx = 0; column_idx < schema.size(); ++column_idx) {
            if (schema[column_idx].b_autoincrement) b_identity = true;
        }
    }
    for (const udb_index& index : indexes) {
        if (index.b_primary) b_primary_key = true;
    }
}

mss_table::~mss_table() {
    try {
        finish_load();
    } catch (const tk_exception& failure) {
        // A destructor cannot throw: the loss is written where users read it.
        tk_trace::write(3, u"Error: the last rows of %s were not loaded", table_name);
        tk_trace::write(3, "%s", failure.what());
    } catch (const tk_exit_request& request) {
        // Reached while a fatal error unwinds to main, a second request would end the
        // process in std::terminate; the program ends with the first one's status anyway.
        tk_trace::write(3, u"Error: the last rows of %s were not loaded", table_name);
        tk_trace::write(2, "exit request %d while unwinding", request.status());
    } catch (const std::exception& failure) {
        // Anything else (memory) must not escape either: it would end the process unwritten.
        tk_trace::write(3, u"Error: the last rows of %s were not loaded", table_name);
        tk_trace::write(3, "%s", failure.what());
    }
}

void mss_table::init_schema() {
    tk_trace::write(1, "mss_table::init_schema");
    std::u16string table;
    std::u16string owner;
    if (!mss_split_tab_name(table_name, table, owner)) table = table_name;
    std::u16string local_sql = u"EXEC sp_columns @table_name = "
                               + mss_sql_literal(ole_variant(mss_like_escaped(table)));
    if (!owner.empty()) {
        local_sql += u", @table_owner = " + mss_sql_literal(ole_variant(mss_like_escaped(owner)));
    }
    std::unique_ptr<oledb_rowset> result;
    odb_command(session).execute(local_sql, &result);
    odb_recordset columns(u"sp_columns", std::move(result));
    unicode_columns.assign(schema.size(), false);
    std::size_t described = 0;
    for_each_row(columns, [&](const udb_record& row) {
        // sp_columns reads the name as a LIKE pattern: escaped, it matches this table alone,
        // and a row of any other table is dropped all the same, never taken for a column.
        if (!udb_same_name(text_at(row, SPC_TABLE_NAME), table)) return;
        ++described;
        const std::u16string local_name = text_at(row, SPC_COLUMN_NAME);
        const std::u16string type_name = text_at(row, SPC_TYPE_NAME);
        tk_trace::write(2, u"Got field name/type: %s/%s", local_name, type_name);
        const std::size_t column_idx = find_column(schema, local_name);
        if (column_idx == NOT_FOUND) return;
        t_ftd* field = &schema[column_idx];
        unicode_columns[column_idx] = !type_name.empty()
                                      && (type_name[0] == u'n' || type_name[0] == u'N');
        if (field->vartype == VT_BSTR && field->size < LONG_COLUMN_SIZE) {
            // db-lib reports text columns by their UTF-8 byte size; the catalogue knows
            // the declared characters.
            const int declared = std::atoi(tk_utf16_to_utf8(text_at(row, SPC_PRECISION)).c_str());
            if (declared > 0) field->size = static_cast<std::uint32_t>(declared);
        }
        const std::u16string def_text = text_at(row, SPC_COLUMN_DEF);
        if (!def_text.empty()) {
            tk_trace::write(2, u"Got default string: %s", def_text);
            const ole_variant def_value = get_def_value(field->vartype, def_text);
            const std::u16string shown = def_value.to_wstring();
            tk_trace::write(2, u"Got default variant: %s", shown);
            if (field->vartype == VT_BSTR && field->size < shown.size()) {
                tk_trace::write(2, u"Def.value '%s' is out of range", shown);
            } else {
                field->def_value = def_value;
            }
        }
        field->b_autoincrement = ends_with(type_name, u"identity");
        if (field->vartype == VT_DECIMAL) {
            // The declared precision (PRECISION), which the range checks expect; LENGTH is
            // the storage size in bytes.
            const std::uint32_t scale = static_cast<std::uint32_t>(
                std::atoi(tk_utf16_to_utf8(text_at(row, SPC_SCALE)).c_str()));
            const std::uint32_t precision = static_cast<std::uint32_t>(
                std::atoi(tk_utf16_to_utf8(text_at(row, SPC_PRECISION)).c_str()));
            field->reserved = (scale & 0xFF) | ((precision & 0xFF) << 8);
            tk_trace::write(2, ">>> reserved=%d", static_cast<int>(field->reserved));
        }
    });
    // Without its catalogue rows a table's text columns would be taken as narrow, and bulk
    // load would send UTF-8 bytes into nvarchar columns: refuse the table instead.
    if (described == 0 && !schema.empty()) {
        throw tk_exception("The server does not describe the columns of table '"
                               + tk_utf16_to_utf8(table) + "'.",
                           ERROR_LEVEL_RECOVERABLE);
    }
}

ole_variant mss_table::get_def_value(VARTYPE vartype, const std::u16string& source) {
    tk_trace::write(1, u"mss_table::get_def_value(type=0x%08X, src='%s')",
                    static_cast<unsigned>(vartype), source);
    std::u16string text = source;
    if (!text.empty() && text.front() == u'(') {
        std::size_t open_count = 0;
        while (open_count < text.size() && text[open_count] == u'(') ++open_count;
        tk_trace::write(2, "Before removing round brackets, pos0=%d, size=%d",
                        static_cast<int>(open_count), static_cast<int>(text.size()));
        text = text.size() >= 2 * open_count ? text.substr(open_count, text.size() - 2 * open_count)
                                             : std::u16string();
        tk_trace::write(2, u"mss_table::get_def_value - buf=[%s]", text);
    }
    const auto quoted = [](const std::u16string& value, std::size_t longer_than) {
        return value.size() > longer_than && value.front() == u'\'' && value.back() == u'\'';
    };
    // Unicode defaults (the ones this layer writes) are stored as (N'...').
    if (text.size() > 2 && text.front() == u'N' && quoted(text.substr(1), 1)) text.erase(0, 1);
    if (quoted(text, 2)) text = text.substr(1, text.size() - 2);
    if (vartype == VT_DATE) {
        if (quoted(text, 1)) text = text.substr(1, text.size() - 2);
        const ole_date date(text);
        return date.is_valid() ? date.to_variant() : ole_variant();
    }
    if (text.size() > 2) text = replaced_doubled_quotes(text);
    try {
        return ole_variant::from_wstring(text, vartype);
    } catch (const ole_type_exception&) {
        return ole_variant();
    }
}

void mss_table::init_indexes(const std::u16string& table, const std::u16string& owner) {
    tk_trace::write(1, u"odb_table::init_indexes(%s,%s)", table, owner);
    read_primary_key(table, owner);
    read_indexes(table, owner);
    read_foreign_keys(table, owner);
}

void mss_table::read_primary_key(const std::u16string& table, const std::u16string& owner) {
    odb_pk_meta_data keys(session, owner, table);
    udb_index key;
    key.b_primary = true;
    key.b_unique = true;
    for_each_row(keys, [&](const udb_record& row) {
        const std::u16string pk_name = text_at(row, PK_PK_NAME);
        if (!key.columns.empty() && pk_name != key.name) {
            throw tk_mail_assertion(MSS_TAB_SOURCE, FAULT_TWO_PRIMARY_KEYS);
        }
        key.name = pk_name;
        tk_trace::write(2, u"Got pr.key: %s", pk_name);
        key.columns.push_back(text_at(row, PK_COLUMN_NAME));
    });
    if (!key.columns.empty()) add_index(key);
}

void mss_table::read_indexes(const std::u16string& table, const std::u16string& owner) {
    odb_id_meta_data index_rows(session, owner, table);
    for_each_row(index_rows, [&](const udb_record& row) {
        const std::u16string local_name = text_at(row, IX_INDEX_NAME);
        const std::u16string column = text_at(row, IX_COLUMN_NAME);
        if (indexes.is_acceptable_name(local_name)) {
            tk_trace::write(2, u"Got index: %s", local_name);
            udb_index index;
            index.name = local_name;
            index.b_primary = is_true_text(text_at(row, IX_PRIMARY_KEY));
            index.b_unique = is_true_text(text_at(row, IX_UNIQUE));
            index.columns.push_back(column);
            add_index(index);
            return;
        }
        for (udb_index& existing : indexes) {
            if (!udb_same_name(existing.name, local_name)) continue;
            if (existing.b_primary) {
                tk_trace::write(2, "Skip Primary Key DoubleInitialization");
            } else {
                existing.columns.push_back(column);
            }
            break;
        }
    });
}

void mss_table::read_foreign_keys(const std::u16string& table, const std::u16string& owner) {
    if (database == nullptr) return;
    odb_fk_meta_data keys(session, owner, table);
    udb_relationships& known = database->relationships;
    for_each_row(keys, [&](const udb_record& row) {
        const std::u16string fk_name = text_at(row, FK_FK_NAME);
        for (udb_relationship& existing : known) {
            if (!udb_same_name(existing.name, fk_name)) continue;
            existing.dest_columns.push_back(text_at(row, FK_PK_COLUMN_NAME));
            existing.src_columns.push_back(text_at(row, FK_FK_COLUMN_NAME));
            return;
        }
        tk_trace::write(2, u"GOT FOREIGN KEY: %s", fk_name);
        udb_relationship relationship;
        relationship.name = fk_name;
        relationship.pk_name = text_at(row, FK_PK_NAME);
        relationship.src_table = text_at(row, FK_FK_TABLE_NAME);
        relationship.dest_table = text_at(row, FK_PK_TABLE_NAME);
        relationship.dest_columns.push_back(text_at(row, FK_PK_COLUMN_NAME));
        relationship.src_columns.push_back(text_at(row, FK_FK_COLUMN_NAME));
        known.add(relationship);
    });
}
