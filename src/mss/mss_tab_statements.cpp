// mss_tab_statements.cpp - the statement path of a destination table: rows travel many to a
// round trip, as one INSERT with a multi-row VALUES list. A statement is all or nothing on
// the server, so a refused one loses no row by itself: it is sent again one statement per
// row (send_again), and only the rows the server refuses are lost, each reported with its
// record number. A lost connection is not a refusal: the table is given up. Also the plain
// indexes of a new table, created once the rows are in.
//   1. A statement holds at most ROWS_PER_STATEMENT rows (SQL Server refuses more with
//      10738) and about STATEMENT_CHARS characters of values, so long values keep memory
//      bounded.
//   2. A row's values are made into literals when it is appended, so a value no literal can
//      hold fails that record alone, as before; substitutions count once its statement ran.

#include "mss/mss_tab.hpp"

#include "mss/mss_name.hpp"
#include "mss/odb_cmd.hpp"
#include "mss/odb_db.hpp"
#include "mss/odb_exce.hpp"
#include "platform/oledb/oledb_session.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

#include <utility>

namespace {

constexpr std::size_t ROWS_PER_STATEMENT = 1000;
constexpr std::size_t STATEMENT_CHARS = std::size_t{1} << 21;

}   // namespace

void mss_table::statement_append(const udb_record& record) {
    kept_row kept{nullptr, current_record_number(), {}};
    std::u16string values = values_row(record, kept.changed);
    if (schema.empty()) return;
    kept.record = copy_of(record);
    if (!statement_rows.empty()) statement_values += u", ";
    statement_values += values;
    statement_rows.push_back(std::move(kept));
    const bool b_full = statement_rows.size() >= ROWS_PER_STATEMENT
                        || statement_values.size() >= STATEMENT_CHARS;
    if (b_full) send_statements();
}

void mss_table::send_statements() {
    if (statement_rows.empty()) return;
    std::vector<kept_row> rows = std::exchange(statement_rows, {});
    const std::u16string statement = session_prologue() + insert_head()
                                     + std::exchange(statement_values, {}) + session_epilogue();
    tk_trace::write(2, "Run SQL query of %d rows", static_cast<int>(rows.size()));
    try {
        odb_command(session).execute(statement);
    } catch (const odb_exception& failure) {
        if (session.is_dead()) throw_connection_lost();
        tk_trace::write(3, "The server refused a statement of %d rows: %s",
                        static_cast<int>(rows.size()), failure.what());
        send_again(std::move(rows), false);
        return;
    }
    inserted += static_cast<std::int64_t>(rows.size());
    for (const kept_row& row : rows) substitutions.add(row.changed);
}

void mss_table::create_after_rows(std::vector<oledb_index_desc> new_indexes,
                                  mss_failure_reporter reporter) {
    indexes_after_rows = std::move(new_indexes);
    index_reporter = std::move(reporter);
}

// An index that cannot be built (duplicate name, too long a key) costs only itself: the
// rows are in, and the table is usable without it.
void mss_table::create_indexes_after_rows() {
    std::vector<oledb_index_desc> pending = std::exchange(indexes_after_rows, {});
    if (pending.empty() || database == nullptr) return;
    std::u16string table;
    std::u16string owner;
    if (!mss_split_tab_name(table_name, table, owner)) table = table_name;
    for (const oledb_index_desc& index : pending) {
        tk_trace::write(2, "Creating index '%s' after the rows", index.name.c_str());
        try {
            database->create_index(tk_utf16_to_utf8(table_name), index);
        } catch (const tk_exception& failure) {
            if (failure.level() != ERROR_LEVEL_RECOVERABLE) throw;
            const std::u16string context = u"Index '" + tk_utf8_to_utf16(index.name)
                                           + u"' of table '" + table + u"'";
            tk_trace::write(3, u"%s", context);
            tk_trace::write(3, "%s", failure.what());
            if (index_reporter) {
                index_reporter(context, failure);
            } else if (!unreported) {
                unreported = std::current_exception();
            }
        }
    }
}
