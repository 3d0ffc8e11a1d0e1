#pragma once
// mss_tab.hpp - mss_table, a destination table opened for loading. It completes its schema
// from sp_columns (defaults, identity, decimal precision and scale) and reads its indexes and
// the foreign keys that reference it; append_record converts a row to the column types and
// loads it by bulk load or by one INSERT statement, both making every value acceptable first.
// A row that bulk load cannot carry (an empty text or binary value) is written by statement
// once the bulk load has ended, so no value is lost. The rows of a bulk batch are kept until
// the batch commits: a batch the server refuses is sent again one statement per row, so only
// the rows the server refuses are lost, each reported to the load report with its number.
// Statements carry up to a thousand rows each (one multi-row INSERT) under the same rule.
// A table this run created gets its plain indexes once its rows are in (finish_load).

#include "mss/mss_floa.hpp"
#include "mss/odb_recs.hpp"

#include "udb/udb_load_report.hpp"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class tk_exception;

// Receives a failure the destination reports and goes on from, with the object it belongs
// to ("Foreign key 'x'", "Index 'x' of table 't'").
using mss_failure_reporter =
    std::function<void(const std::u16string& context, const tk_exception& failure)>;

class mss_table : public odb_table {
public:
    mss_table(const std::u16string& full_name, const std::u16string& sql, oledb_session& session,
              std::uint32_t open_mode, odb_database* owner);
    ~mss_table() override;

    void append_record(udb_record& record) override;
    // Ends the bulk load and writes the rows kept for statements, then creates the indexes
    // left for after the rows. Refused rows go to the load report; without one, the first
    // refusal is thrown once every row was tried.
    void finish_load();
    // Plain indexes to create once the rows are in; each failure goes to `reporter` (without
    // one it is thrown, after the other indexes were tried) and the next index follows.
    void create_after_rows(std::vector<oledb_index_desc> indexes, mss_failure_reporter reporter);
    std::int64_t count_rows() override;

    static ole_variant get_def_value(VARTYPE vartype, const std::u16string& text);
    // With `changed`, each substitution the literal makes is counted there.
    // What a NULL in a NOT NULL column becomes on both load paths: the column's default
    // when it converts to the column's type, else the type's zero (0, the empty text,
    // 1899-12-30); nothing for a type without one (binary, GUID), so the server refuses it.
    static std::optional<ole_variant> required_substitute(const t_ftd& column);
    static std::u16string get_fld_append_str(const ole_variant& value, const t_ftd& field,
                                             udb_substitution_counts* changed = nullptr);

    bool has_identity() const { return b_identity; }
    bool has_primary_key() const { return b_primary_key; }
    std::int64_t statements_inserted() const { return inserted; }

private:
    void init_schema();
    void init_indexes(const std::u16string& table, const std::u16string& owner);
    void read_primary_key(const std::u16string& table, const std::u16string& owner);
    void read_indexes(const std::u16string& table, const std::u16string& owner);
    void read_foreign_keys(const std::u16string& table, const std::u16string& owner);
    // A row of the bulk batch or one left for statements, with its record number and the
    // substitutions its bulk values made.
    struct kept_row {
        std::unique_ptr<udb_record> record;
        std::int32_t number = 0;
        udb_substitution_counts changed;
    };

    static std::unique_ptr<udb_record> copy_of(const udb_record& record);
    void check_structure(const udb_record& record) const;
    [[noreturn]] void throw_connection_lost() const;
    void slow_record(const udb_record& record, udb_substitution_counts& changed);
    // One row's values as "( v1, v2)"; the statement head "INSERT INTO t([c1], [c2]) VALUES".
    std::u16string values_row(const udb_record& record, udb_substitution_counts& changed) const;
    const std::u16string& insert_head();
    void statement_append(const udb_record& record);
    void send_statements();
    void create_indexes_after_rows();
    void fast_append(const udb_record& record);
    std::unique_ptr<udb_record> kept_copy(const udb_record& record);
    // Hands the values on to the bulk load, leaving them moved from.
    void send_bulk_row(std::vector<oledb_bulk_value>& values);
    void commit_batch();
    void send_again(std::vector<kept_row> rows, bool b_bulk_dates);
    std::int32_t current_record_number() const;
    oledb_bulk_value bulk_value(const udb_field& value, std::size_t column_idx,
                                udb_substitution_counts& changed) const;
    std::u16string session_prologue() const;
    std::u16string session_epilogue() const;
    void restore_identity_insert();   // after a failed load; a failure is only traced

    bool b_identity = false;
    bool b_primary_key = false;
    mss_fast_load fast_load;
    std::vector<oledb_bulk_value> bulk_row;   // the row being sent, reused row to row
    std::vector<kept_row> batch;              // sent by bulk load since the last commit
    std::size_t batch_bytes = 0;              // about what `batch` holds
    std::vector<kept_row> kept_for_statements;
    std::vector<kept_row> statement_rows;   // waiting for the next multi-row INSERT
    std::u16string statement_values;        // their values, "( .. ), ( .. )"
    std::u16string head;                    // insert_head(), built once
    std::vector<oledb_index_desc> indexes_after_rows;
    mss_failure_reporter index_reporter;
    // Copies of committed rows, refilled by the next rows instead of allocated per field.
    std::vector<std::unique_ptr<udb_record>> spare_records;
    std::vector<bool> unicode_columns;   // by schema position: nchar, nvarchar, ntext
    std::int64_t inserted = 0;
    std::int32_t appended = 0;       // records given, numbering them without a report
    std::exception_ptr unreported;   // the first refusal when there is no report
};
