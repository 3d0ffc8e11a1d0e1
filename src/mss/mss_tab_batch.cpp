// mss_tab_batch.cpp - the bulk batches of a destination table. Every row sent by bulk load is
// kept until its batch commits: the server refuses a batch as a whole (one duplicate key rolls
// back up to a thousand good rows), so a refused batch is sent again one statement per row and
// only the rows the server refuses are lost, each reported with its record number. A lost
// connection is not a refusal: the batch is gone with the table's remaining rows.
//   1. A batch ends at ROWS_PER_BATCH rows or once its kept rows hold BATCH_BYTES, so a table
//      of large OLE objects keeps memory bounded.
//   2. Substitutions count only for rows that arrived: a batch's counts are added when it
//      commits; a row sent again counts what its statement changed.

#include "mss/mss_tab.hpp"

#include "mss/mss_lit.hpp"
#include "mss/odb_cmd.hpp"
#include "mss/odb_exce.hpp"
#include "platform/oledb/oledb_session.hpp"
#include "tk/tk_mail.hpp"
#include "tk/tk_trace.hpp"

#include <utility>

namespace {

constexpr std::size_t ROWS_PER_BATCH = 1000;
constexpr std::size_t BATCH_BYTES = std::size_t{16} << 20;
constexpr std::size_t FIXED_VALUE_BYTES = 16;
// Committed copies are refilled only from batches of small rows: pooled copies of long values
// would hold another batch's worth of memory, and their cost is in the values anyway.
constexpr std::size_t SPARE_ROW_BYTES = 512;

// About what a kept copy of the record holds: long values dominate, so they are counted.
std::size_t bytes_of(const udb_record& record) {
    std::size_t bytes = 0;
    for (std::size_t field_idx = 0; field_idx < record.size(); ++field_idx) {
        const udb_field& field = record[field_idx];
        bytes += FIXED_VALUE_BYTES;
        if (field.type() == VT_BSTR) {
            bytes += SysStringLen(field.value.bstrVal) * sizeof(char16_t);
        } else if (field.type() == VT_BINARY_ARRAY) {
            bytes += field.get_bytes(nullptr);
        }
    }
    return bytes;
}

// A bulk-load row written by statement keeps the bulk rule for early dates (1899-12-30 with
// the time) rather than the statement rule (9999-12-30), so its row reads as bulk rows do.
void with_bulk_dates(udb_record& record, udb_substitution_counts& changed) {
    for (std::size_t field_idx = 0; field_idx < record.size(); ++field_idx) {
        udb_field& field = record[field_idx];
        if (field.type() != VT_DATE) continue;
        SYSTEMTIME time = field.date_value;
        if (!mss_replace_early_date(time)) continue;
        static_cast<ole_variant&>(field) = ole_variant(time);
        changed.add(udb_substitution::EARLY_DATE);
    }
}

}   // namespace

std::unique_ptr<udb_record> mss_table::copy_of(const udb_record& record) {
    auto copy = std::make_unique<udb_record>();
    for (std::size_t field_idx = 0; field_idx < record.size(); ++field_idx) {
        copy->append(std::make_unique<udb_field>(record[field_idx]));
    }
    return copy;
}

std::int32_t mss_table::current_record_number() const {
    return load_report != nullptr ? load_report->record_number() : appended;
}

void mss_table::fast_append(const udb_record& record) {
    tk_trace::write(1, "mss_table::fast_append");
    kept_row kept{nullptr, current_record_number(), {}};
    bulk_row.clear();
    for (std::size_t column_idx = 0; column_idx < schema.size(); ++column_idx) {
        bulk_row.push_back(bulk_value(record[column_idx], column_idx, kept.changed));
    }
    kept.record = kept_copy(record);
    if (!oledb_fast_load::can_send(bulk_row)) {
        // Its substitutions are counted when its statement is built.
        kept.changed = udb_substitution_counts();
        kept_for_statements.push_back(std::move(kept));
        return;
    }
    batch_bytes += bytes_of(*kept.record);
    batch.push_back(std::move(kept));
    send_bulk_row(bulk_row);
    if (batch.size() >= ROWS_PER_BATCH || batch_bytes >= BATCH_BYTES) commit_batch();
}

std::unique_ptr<udb_record> mss_table::kept_copy(const udb_record& record) {
    std::unique_ptr<udb_record> copy;
    if (!spare_records.empty() && spare_records.back()->size() == record.size()) {
        copy = std::move(spare_records.back());
        spare_records.pop_back();
        // A spare holds a row of this table: names and flags are the same, values alone differ.
        for (std::size_t field_idx = 0; field_idx < record.size(); ++field_idx) {
            static_cast<ole_variant&>((*copy)[field_idx]) = record[field_idx];
        }
        return copy;
    }
    return copy_of(record);
}

void mss_table::send_bulk_row(std::vector<oledb_bulk_value>& values) {
    try {
        if (!fast_load.is_opened()) {
            // Before the load starts: the bulk load owns the connection until it ends. Opened
            // at the first row it carries, so a table whose rows all go by statement never
            // starts (and never fails to end) a bulk load.
            odb_command(session).execute(session_prologue());
            fast_load.open_table(&session, table_name);
        }
        TK_ASSERT(fast_load.column_count() == values.size());
        for (std::size_t column_idx = 0; column_idx < values.size(); ++column_idx) {
            fast_load.bind_data(column_idx, std::move(values[column_idx]));
        }
        fast_load.insert_data();
    } catch (const odb_exception& failure) {
        tk_trace::write(3, "The bulk load refused a row: %s", failure.what());
        if (session.is_dead()) throw_connection_lost();
        send_again(std::move(batch), true);
        batch.clear();
        batch_bytes = 0;
    }
}

void mss_table::commit_batch() {
    try {
        fast_load.commit_batch();
    } catch (const odb_exception& failure) {
        tk_trace::write(3, "The bulk load could not commit %d rows: %s",
                        static_cast<int>(batch.size()), failure.what());
        if (session.is_dead()) throw_connection_lost();
        send_again(std::move(batch), true);
        batch.clear();
        batch_bytes = 0;
        return;
    }
    const bool b_keep_spares = batch_bytes <= batch.size() * SPARE_ROW_BYTES;
    for (kept_row& row : batch) {
        substitutions.add(row.changed);
        if (b_keep_spares) spare_records.push_back(std::move(row.record));
    }
    batch.clear();
    batch_bytes = 0;
}

void mss_table::send_again(std::vector<kept_row> rows, bool b_bulk_dates) {
    if (rows.empty()) return;
    tk_trace::write(3, "Sending %d rows again one by one", static_cast<int>(rows.size()));
    for (kept_row& row : rows) {
        if (session.is_dead()) throw_connection_lost();
        udb_substitution_counts changed;
        if (b_bulk_dates) with_bulk_dates(*row.record, changed);
        try {
            slow_record(*row.record, changed);
            substitutions.add(changed);
        } catch (const odb_exception& failure) {
            if (session.is_dead()) throw_connection_lost();
            if (load_report != nullptr) {
                load_report->record_rejected(row.number, *row.record, failure);
                continue;
            }
            tk_trace::write(3, "Record #%d refused: %s", static_cast<int>(row.number),
                            failure.what());
            if (!unreported) unreported = std::current_exception();
        }
    }
    // A refused statement may have skipped its own SET IDENTITY_INSERT OFF.
    restore_identity_insert();
}

void mss_table::restore_identity_insert() {
    if (!b_identity) return;
    try {
        odb_command(session).execute(session_epilogue().substr(2));
    } catch (const std::exception& failure) {
        tk_trace::write(2, "mss_table: IDENTITY_INSERT left on: %s", failure.what());
    }
}

void mss_table::finish_load() {
    send_statements();
    if (fast_load.is_opened()) {
        try {
            fast_load.finish_load();
            for (const kept_row& row : batch) substitutions.add(row.changed);
        } catch (const odb_exception& failure) {
            tk_trace::write(3, "The bulk load could not commit its last %d rows: %s",
                            static_cast<int>(batch.size()), failure.what());
            // A refused final commit must not leave IDENTITY_INSERT on for this table: the
            // session keeps it, and every later table with an identity column is refused.
            restore_identity_insert();
            if (session.is_dead()) throw_connection_lost();
            send_again(std::move(batch), true);
        }
        batch.clear();
        batch_bytes = 0;
        if (b_identity && !session.is_dead()) restore_identity_insert();
    }
    std::vector<kept_row> pending = std::move(kept_for_statements);
    kept_for_statements.clear();
    send_again(std::move(pending), true);
    create_indexes_after_rows();
    if (unreported) std::rethrow_exception(std::exchange(unreported, nullptr));
}

std::int64_t mss_table::count_rows() {
    if (session.is_dead()) return -1;
    return get_records_cnt();
}
