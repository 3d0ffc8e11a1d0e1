#pragma once
// odb_recs.hpp - odb_recordset, a udb_recordset over an OLE DB rowset read through a cache of
// at most five rows, and odb_table, a table (or a SELECT query) opened on a session. A table
// the provider does not find under its owner is tried once more under [dbo].

#include "mss/odb_acc.hpp"
#include "platform/oledb/oledb_rowset.hpp"
#include "udb/udb_db.hpp"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class oledb_session;
class odb_database;

inline constexpr std::uint32_t ODB_OPEN_READ_ONLY = 1;

class odb_recordset : public udb_recordset {
public:
    static constexpr std::size_t CACHE_ROWS = 5;

    odb_recordset(std::u16string name, std::unique_ptr<oledb_rowset> rowset);
    ~odb_recordset() override;

    udb_record* get_item() override;
    bool is_eof() override;
    void next() override;
    void reset() override;
    void append_record(udb_record& record) override;

protected:
    odb_recordset(std::u16string name, std::u16string sql);
    // Builds the schema from the rowset's columns and binds them.
    void initialize();
    void set_rowset(std::unique_ptr<oledb_rowset> new_rowset) { rowset = std::move(new_rowset); }
    std::int64_t global_position() const { return global_pos; }

private:
    void fill_cache();

    std::unique_ptr<oledb_rowset> rowset;
    odb_accessor accessor;
    std::vector<std::unique_ptr<udb_record>> cache;
    std::size_t local_pos = 0;
    std::int64_t global_pos = 0;
};

class odb_table : public odb_recordset {
public:
    // `full_name` is "[owner].[table]"; a non-empty `sql` makes this the query's result.
    odb_table(const std::u16string& full_name, const std::u16string& sql, oledb_session& session,
              std::uint32_t open_mode, odb_database* owner);
    ~odb_table() override;

    bool is_eof() override;
    std::int32_t get_records_cnt();
    const std::u16string& full_name() const { return table_name; }

protected:
    oledb_session& session;
    odb_database* database;
    std::u16string table_name;

private:
    void internal_initialize(std::uint32_t open_mode);
};
