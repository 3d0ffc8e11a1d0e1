// mss_db.cpp - the destination database: table list, creation, opening and foreign keys.

#include "mss/mss_db.hpp"

#include "mss/mss_default.hpp"
#include "mss/mss_engi.hpp"
#include "mss/mss_name.hpp"
#include "mss/mss_tab.hpp"
#include "mss/odb_exce.hpp"
#include "mss/odb_mdat.hpp"
#include "platform/oledb/oledb_data_source.hpp"
#include "platform/oledb/oledb_session.hpp"
#include "platform/oledb/oledb_types.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_trim.hpp"
#include "tk/tk_utf.hpp"
#include "udb/udb_name.hpp"

#include <array>
#include <cstdlib>

namespace {

constexpr const char* MSS_DB_SOURCE = "mss_db";
constexpr int FAULT_CREATE_TABLE_READ_ONLY = 64;
constexpr int FAULT_CREATE_TABLE_EXISTING = 70;
constexpr std::uint32_t MSS_OPEN_APPEND_ONLY = 8;
constexpr std::int32_t INTEGRITY_LOW_WORD = 0x0E2F;
constexpr int CASCADE_PATHS_ERROR = 1785;      // cycles or multiple cascade paths
constexpr int NO_CANDIDATE_KEY_ERROR = 1776;   // no primary or unique key of those columns

constexpr const char* ORPHANS_TEXT =
    "There are orphaned records that prevent from creating foreign key. For more\n"
    "information see Troubleshooting article of the product documentation.";

constexpr std::array<std::u16string_view, 8> FK_PHRASES{
    u"ON DELETE NO ACTION", u"ON DELETE CASCADE", u"ON DELETE SET DEFAULT", u"ON DELETE SET NULL",
    u"ON UPDATE NO ACTION", u"ON UPDATE CASCADE", u"ON UPDATE SET DEFAULT", u"ON UPDATE SET NULL"};

std::u16string column_list(const std::vector<std::u16string>& columns, const udb_names_map& map,
                           const std::u16string& table) {
    std::u16string list;
    for (const std::u16string& column : columns) {
        if (!list.empty()) list += u", ";
        list += mss_bracket(map.get_fn_mapped_name(table, column, false));
    }
    return list;
}

}   // namespace

mss_database::mss_database(const std::u16string& db_name, std::unique_ptr<oledb_data_source> source,
                           std::unique_ptr<oledb_session> session, std::uint32_t open_mode)
    : odb_database(db_name, std::move(source), std::move(session)), mode(open_mode) {
    tk_trace::write(1, u"mss_database::ctor(%s)", db_name);
    odb_tl_meta_data listed(*own_session, mss_engine::instance().working_owner());
    for (listed.reset(); !listed.is_eof(); listed.next()) {
        const udb_record* row = listed.get_item();
        if (row == nullptr) break;
        const std::u16string table = (*row)[2].to_wstring();
        tk_trace::write(2, u"Got table: (%s, %s)", table, (*row)[1].to_wstring());
        tables.push_back(table);
    }
    tk_trace::write(2, "Tables count: %d", static_cast<int>(tables.size()));
}

mss_database::~mss_database() = default;

std::unique_ptr<udb_recordset> mss_database::create_table(const std::u16string& table_name,
                                                          const udb_schema& schema,
                                                          const udb_indexes& indexes) {
    tk_trace::write(1, u"mss_database::create_table(%s)", table_name);
    if ((mode & MSS_OPEN_READ_ONLY) != 0) {
        throw tk_mail_assertion(MSS_DB_SOURCE, FAULT_CREATE_TABLE_READ_ONLY);
    }
    const bool append_to_existing = (mode & MSS_OPEN_APPEND) != 0 && is_table_exist(table_name);
    // A table appended to keeps its indexes as they are: they were there before its rows.
    std::vector<oledb_index_desc> after_rows;
    if (!append_to_existing) {
        if (is_table_exist(table_name)) {
            throw tk_mail_assertion(MSS_DB_SOURCE, FAULT_CREATE_TABLE_EXISTING);
        }
        after_rows = create_odb_table(table_name, schema, indexes, report);
        tables.push_back(table_name);
        report_lost_defaults(table_name, schema);
    }
    std::unique_ptr<udb_recordset> table = get_table(table_name, MSS_OPEN_CREATE);
    table->clean_indexes();
    for (const udb_index& index : indexes) table->add_index(index);
    static_cast<mss_table&>(*table).create_after_rows(std::move(after_rows), report);
    return table;
}

// A default the source has and the new table lacks is named by column, never dropped unseen.
void mss_database::report_lost_defaults(const std::u16string& table_name,
                                        const udb_schema& schema) {
    const int version_code = mss_engine::instance().version_code();
    for (std::size_t column_idx = 0; column_idx < schema.size(); ++column_idx) {
        const t_ftd& field = schema[column_idx];
        const std::u16string reason = mss_lost_default(field, version_code);
        if (reason.empty()) continue;
        const std::u16string context = u"Default value of column '" + table_name + u"." + field.name
                                       + u"'";
        const tk_exception lost(tk_utf16_to_utf8(reason), ERROR_LEVEL_RECOVERABLE);
        tk_trace::write(3, u"%s: %s", context, reason);
        if (report) report(context, lost);
    }
}

std::unique_ptr<udb_recordset> mss_database::get_table(const std::u16string& table_name,
                                                       std::uint32_t open_flags) {
    tk_trace::write(1, u"mss_database::get_table(%s)", table_name);
    return std::make_unique<mss_table>(mss_engine::instance().get_safe_tname(table_name), u"",
                                       *own_session, open_flags, this);
}

std::unique_ptr<udb_recordset> mss_database::get_query(const std::u16string& query_name,
                                                       const std::u16string& sql,
                                                       std::uint32_t open_flags) {
    tk_trace::write(1, u"mss_database::get_table(%s: %s)", query_name, sql);
    return std::make_unique<mss_table>(query_name, sql, *own_session, open_flags, this);
}

bool mss_database::is_valid_fk_props(const std::u16string& text) {
    tk_trace::write(1, u"mss_database::is_valid_fk_props(%s)", text);
    for (const std::u16string_view phrase : FK_PHRASES) {
        if (udb_same_name(text, phrase)) return true;
    }
    return false;
}

bool mss_database::is_valid_fk_rules(const std::u16string& text) {
    if (is_valid_fk_props(text)) return true;
    constexpr std::u16string_view UPDATE_WORDS = u" ON UPDATE ";
    for (std::size_t split = 0; split + UPDATE_WORDS.size() <= text.size(); ++split) {
        const std::u16string_view candidate(text.data() + split, UPDATE_WORDS.size());
        if (!udb_same_name(candidate, UPDATE_WORDS)) continue;
        const std::u16string deletes = text.substr(0, split);
        return is_valid_fk_props(deletes) && is_valid_fk_props(text.substr(split + 1))
               && udb_same_name(std::u16string_view(deletes).substr(0, 9), u"ON DELETE");
    }
    return false;
}

std::u16string mss_database::foreign_key_sql(const udb_relationship& relationship,
                                             bool b_without_rules) const {
    const std::u16string source = names_map.get_tn_mapped_name(relationship.src_table, false);
    const std::u16string target = names_map.get_tn_mapped_name(relationship.dest_table, false);
    const mss_engine& engine = mss_engine::instance();
    // WITH NOCHECK: the rows of a relationship Access does not enforce are not checked.
    const std::u16string check = relationship.b_enforced ? u"" : u" WITH NOCHECK";
    std::u16string sql = u"ALTER TABLE " + engine.get_safe_tname(source) + check
                         + u" ADD CONSTRAINT " + mss_bracket(relationship.name) + u" FOREIGN KEY ("
                         + column_list(relationship.src_columns, names_map, source)
                         + u") REFERENCES " + engine.get_safe_tname(target) + u"("
                         + column_list(relationship.dest_columns, names_map, target) + u")";
    const std::u16string props = tk_trim(std::u16string_view(relationship.fk_props));
    if (!b_without_rules && !props.empty() && is_valid_fk_rules(props)
        && mss_has_key_actions(engine.version_code())) {
        // Only the eight fixed phrases pass, so the text cannot carry other SQL.
        sql += u" " + props;
    }
    return sql;
}

std::u16string mss_database::disable_key_sql(const udb_relationship& relationship) const {
    const std::u16string source = names_map.get_tn_mapped_name(relationship.src_table, false);
    return u"ALTER TABLE " + mss_engine::instance().get_safe_tname(source) + u" NOCHECK CONSTRAINT "
           + mss_bracket(relationship.name);
}

void mss_database::create_relationships(const udb_relationships& given_relationships) {
    tk_trace::write(1, "mss_database::create_relationships");
    tk_trace::write(3, "Converting foreign keys");
    if (mode == MSS_OPEN_APPEND_ONLY) {
        tk_trace::write(3, "Foreign keys are not converted in append mode");
        return;
    }
    for (const udb_relationship& relationship : given_relationships) {
        tk_trace::write(2, u"Processing '%s'", relationship.name);
        const std::u16string context = relationship.name.empty()
                                           ? relationship.src_table
                                           : u"Foreign key '" + relationship.name + u"'";
        try {
            create_foreign_key(relationship, context);
        } catch (const tk_exception& failure) {
            if (failure.level() != ERROR_LEVEL_RECOVERABLE) throw;
            const bool orphans = dynamic_cast<const odb_exception*>(&failure) != nullptr
                                 && (failure.code() & 0xFFFF) == INTEGRITY_LOW_WORD;
            const tk_exception orphan_failure(ORPHANS_TEXT, ERROR_LEVEL_RECOVERABLE);
            report_failure(context, orphans ? orphan_failure : failure);
        }
    }
}

// Access lets cascades meet (two paths to one table, a table cascading to itself in a
// cycle); SQL Server refuses such a key with 1785. The key is kept without its rules, which
// is reported: the rows stay tied, but deletes no longer spread.
void mss_database::create_foreign_key(const udb_relationship& relationship,
                                      const std::u16string& context) {
    bool b_without_rules = false;
    bool b_unfiltered = false;
    for (;;) {
        try {
            query(foreign_key_sql(relationship, b_without_rules));
            break;
        } catch (const odb_exception& failure) {
            if (failure.native_error() == CASCADE_PATHS_ERROR && !b_without_rules) {
                b_without_rules = true;
            } else if (failure.native_error() == NO_CANDIDATE_KEY_ERROR && !b_unfiltered
                       && unfilter_key(relationship)) {
                b_unfiltered = true;
            } else {
                throw;
            }
        }
    }
    if (b_without_rules) {
        report_failure(u"Cascading rule of " + context,
                       tk_exception("SQL Server refuses its rule '"
                                        + tk_utf16_to_utf8(relationship.fk_props)
                                        + "' (cycles or multiple cascade paths); the "
                                          "key is created without it.",
                                    ERROR_LEVEL_RECOVERABLE));
    }
    if (!relationship.b_enforced) query(disable_key_sql(relationship));
}

// SQL Server takes no filtered index as the key a foreign key refers to (1776), and a unique
// index over nullable columns is filtered so that its rows with NULLs are all taken, as Jet
// takes them. Where the rows hold at most one key with a NULL, a unique constraint over all
// rows is made beside the index and serves the foreign key; from then on the table takes no
// second key with a NULL. With more such rows the foreign key is reported as not created.
bool mss_database::unfilter_key(const udb_relationship& relationship) {
    const std::u16string target = names_map.get_tn_mapped_name(relationship.dest_table, false);
    std::vector<std::u16string> columns;
    for (const std::u16string& column : relationship.dest_columns) {
        columns.push_back(names_map.get_fn_mapped_name(target, column, false));
    }
    const filtered_key* key = find_filtered_key(target, columns);
    if (key == nullptr) return false;
    const std::u16string table_id = mss_engine::instance().get_safe_tname(target);
    std::u16string with_null;
    for (const std::u16string& column : key->filter_columns) {
        with_null += (with_null.empty() ? u"" : u" OR ") + mss_bracket(column) + u" IS NULL";
    }
    std::unique_ptr<udb_recordset> counted = query(u"SELECT COUNT(*) FROM " + table_id + u" WHERE "
                                                   + with_null);
    counted->reset();
    const udb_record* row = counted->get_item();
    if (row == nullptr || row->empty() || std::atol((*row)[0].to_string().c_str()) > 1)
        return false;
    std::u16string key_columns;
    for (const std::u16string& column : key->columns) {
        key_columns += (key_columns.empty() ? u"" : u", ") + mss_bracket(column);
    }
    const std::u16string constraint = udb_fit_name(u"UQ_" + target + u"_" + key->index_name);
    query(u"ALTER TABLE " + table_id + u" ADD CONSTRAINT " + mss_bracket(constraint) + u" UNIQUE ("
          + key_columns + u")");
    tk_trace::write(3,
                    u"Index '%s' of table '%s' gets the unique constraint '%s' over all its "
                    u"rows: foreign key '%s' refers to it",
                    key->index_name, target, constraint, relationship.name);
    return true;
}

void mss_database::report_failure(const std::u16string& context, const tk_exception& failure) {
    tk_trace::write(3, u"%s", context);
    tk_trace::write(3, "%s", failure.what());
    if (report) report(context, failure);
}
