// odb_recs.cpp - the five-row cursor over a rowset and the opening of tables and queries.

#include "mss/odb_recs.hpp"

#include "mss/mss_name.hpp"
#include "mss/odb_cmd.hpp"
#include "mss/odb_exce.hpp"
#include "mss/odb_rec.hpp"
#include "platform/oledb/oledb_rowset.hpp"
#include "platform/oledb/oledb_session.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

#include <cstdlib>

namespace {

constexpr const char* ODB_RECS_SOURCE = "odb_recs";
constexpr int FAULT_APPEND_TO_SERVER_RECORDSET = 118;

}   // namespace

odb_recordset::odb_recordset(std::u16string new_name, std::unique_ptr<oledb_rowset> source)
    : udb_recordset(std::move(new_name)), rowset(std::move(source)) {
    initialize();
}

odb_recordset::odb_recordset(std::u16string new_name, std::u16string new_sql)
    : udb_recordset(std::move(new_name), std::move(new_sql)) {}

odb_recordset::~odb_recordset() = default;

void odb_recordset::append_record(udb_record&) {
    throw tk_mail_assertion(ODB_RECS_SOURCE, FAULT_APPEND_TO_SERVER_RECORDSET);
}

void odb_recordset::initialize() {
    cache.clear();
    local_pos = 0;
    schema.clear();
    if (!rowset) {
        tk_trace::write(2, "Rowset isn't defined");
        return;
    }
    const std::vector<oledb_column_info>& columns = rowset->column_info();
    tk_trace::write(2, "*** Got %d columns ***", static_cast<int>(columns.size()));
    for (std::size_t column_idx = 0; column_idx < columns.size(); ++column_idx) {
        const oledb_column_info& column = columns[column_idx];
        tk_trace::write(2, "Column #%d has type=%d,size=%08X", static_cast<int>(column_idx),
                        static_cast<int>(column.type), column.column_size);
        const std::uint16_t vartype = odb_record::get_vartype(column.type);
        const std::uint32_t size = vartype == VT_BLOB ? 0 : column.column_size;
        std::uint32_t reserved = 0;
        if (vartype == VT_DATE || (vartype == VT_BLOB && column.type == DBTYPE_GUID)) reserved = 1;
        const std::u16string local_name = tk_utf8_to_utf16(column.name);
        tk_trace::write(2, u"Field '%s' has type %d", local_name, static_cast<int>(vartype));
        if (vartype == VT_DECIMAL) {
            reserved = column.scale + 256u * column.precision;
            tk_trace::write(2, u"Scale/precision for decimal column '%s': (%d, %d)", local_name,
                            static_cast<int>(column.scale), static_cast<int>(column.precision));
        }
        tk_trace::write(2, ">>> reserved=%d", static_cast<int>(reserved));
        schema.append(std::make_unique<t_ftd>(size, local_name, vartype, !column.is_nullable(),
                                              false, ole_variant(), reserved));
    }
    accessor.bind(columns);
}

void odb_recordset::fill_cache() {
    cache.clear();
    std::vector<std::size_t> handles;
    odb_check(rowset->get_next_rows(CACHE_ROWS, handles), "reading rows");
    tk_trace::write(2, "GetNextRows extracts %d records", static_cast<int>(handles.size()));
    for (const std::size_t handle : handles) cache.push_back(accessor.get_record(*rowset, handle));
    tk_trace::write(2, "End of odb_recordset::fill_cache");
}

void odb_recordset::reset() {
    if (!rowset) return;
    if (global_pos != 0 || local_pos != 0) rowset->restart_position();
    global_pos = 0;
    local_pos = 0;
    fill_cache();
}

void odb_recordset::next() {
    if (!rowset) return;
    if (!cache.empty() && local_pos + 1 < cache.size()) {
        ++local_pos;
    } else {
        fill_cache();
        local_pos = 0;
    }
    ++global_pos;
}

udb_record* odb_recordset::get_item() {
    if (local_pos >= cache.size()) return nullptr;
    return cache[local_pos].get();
}

bool odb_recordset::is_eof() { return !rowset || cache.empty(); }

odb_table::odb_table(const std::u16string& full_name, const std::u16string& new_sql,
                     oledb_session& on_session, std::uint32_t open_mode, odb_database* owner)
    : odb_recordset(full_name, new_sql), session(on_session), database(owner),
      table_name(full_name) {
    tk_trace::write(1, u"odb_table::odb_table(%s)", full_name);
    try {
        internal_initialize(open_mode);
    } catch (const odb_exception& failure) {
        if (!odb_is_missing_table(failure)) throw;
        tk_trace::write(2, "Got table_not_exists error");
        std::u16string table;
        std::u16string table_owner;
        if (!mss_split_tab_name(table_name, table, table_owner)) throw;
        table_name = u"[dbo]." + mss_bracket(table);
        tk_trace::write(2, u"Creating %s", table_name);
        internal_initialize(open_mode);
    }
    records_count = get_records_cnt();
    tk_trace::write(2, "Got %d records", static_cast<int>(records_count));
}

odb_table::~odb_table() = default;

void odb_table::internal_initialize(std::uint32_t open_mode) {
    std::unique_ptr<oledb_rowset> opened;
    if (is_query()) {
        odb_command(session).execute(sql, &opened);
    } else {
        if ((open_mode & ODB_OPEN_READ_ONLY) != 0) {
            tk_trace::write(2, "Open rowset in read_only mode");
        } else {
            tk_trace::write(2, "Open rowset in create/append mode");
        }
        odb_check(session.open_rowset(tk_utf16_to_utf8(table_name), opened),
                  "opening table " + tk_utf16_to_utf8(table_name));
    }
    set_rowset(std::move(opened));
    initialize();
}

bool odb_table::is_eof() { return global_position() >= records_count; }

std::int32_t odb_table::get_records_cnt() {
    const std::u16string count_sql = is_query() ? u"SELECT COUNT(*) FROM (" + sql + u") as query"
                                                : u"SELECT COUNT(*) FROM " + table_name;
    std::unique_ptr<oledb_rowset> result;
    odb_command(session).execute(count_sql, &result);
    odb_recordset counted(u"count", std::move(result));
    counted.reset();
    const udb_record* row = counted.get_item();
    if (row == nullptr || row->empty()) return 0;
    return static_cast<std::int32_t>(std::atol((*row)[0].to_string().c_str()));
}
