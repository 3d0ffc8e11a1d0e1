#pragma once
// mss_tab.hpp - mss_table, a destination table opened for loading. It completes its schema
// from sp_columns (defaults, identity, decimal precision and scale) and reads its indexes and
// the foreign keys that reference it; append_record converts a row to the column types and
// loads it by bulk load or by one INSERT statement, both making every value acceptable first.
// A row that bulk load cannot carry (an empty text or binary value) is written by statement
// once the bulk load has ended, so no value is lost.

#include "mss/mss_floa.hpp"
#include "mss/odb_recs.hpp"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class mss_table : public odb_table {
public:
    mss_table(const std::u16string& full_name, const std::u16string& sql,
              oledb_session& session, std::uint32_t open_mode, odb_database* owner);
    ~mss_table() override;

    void append_record(udb_record& record) override;
    // Ends the bulk load and writes the rows kept for statements; throws what fails.
    void finish_load();

    static ole_variant get_def_value(VARTYPE vartype, const std::u16string& text);
    static std::u16string get_fld_append_str(const ole_variant& value, const t_ftd& field);

    bool has_identity() const { return b_identity; }
    bool has_primary_key() const { return b_primary_key; }
    std::int64_t statements_inserted() const { return inserted; }

private:
    void init_schema();
    void init_indexes(const std::u16string& table, const std::u16string& owner);
    void read_primary_key(const std::u16string& table, const std::u16string& owner);
    void read_indexes(const std::u16string& table, const std::u16string& owner);
    void read_foreign_keys(const std::u16string& table, const std::u16string& owner);
    void check_structure(const udb_record& record) const;
    void slow_record(const udb_record& record);
    void fast_append(const udb_record& record);
    oledb_bulk_value bulk_value(const udb_field& value, std::size_t column_idx) const;
    std::u16string session_prologue() const;
    std::u16string session_epilogue() const;
    void restore_identity_insert();   // after a failed load; a failure is only traced

    bool b_identity = false;
    bool b_primary_key = false;
    mss_fast_load fast_load;
    std::vector<std::unique_ptr<udb_record>> kept_for_statements;
    std::vector<bool> unicode_columns;   // by schema position: nchar, nvarchar, ntext
    std::int64_t inserted = 0;
};
