// conv_fakes.hpp - in-memory stand-ins for the two engines and their databases, so the run
// can be driven without Access or SQL Server. A table is a schema and rows of values; a
// source recordset walks the rows, a destination recordset appends to them. Faults are
// planted by value: a destination refuses any row holding REFUSED_VALUE with an OLE DB code;
// a table can refuse its final commit, and a foreign key can meet orphans.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "conv/conv_engines.hpp"
#include "udb/udb_db.hpp"
#include "udb/udb_vali.hpp"

inline constexpr std::int32_t REFUSED_VALUE = -999;
inline constexpr std::int32_t TABLE_MISSING_CODE = 0x80E37;    // OLE DB "table does not exist"
inline constexpr std::int32_t UNMAPPED_OLEDB_CODE = 0x8FFFF;   // OLE DB side, no message map text

struct fake_table {
    udb_schema schema;
    udb_indexes indexes;
    std::vector<std::vector<std::int32_t>> rows;
    bool b_system = false;   // the source answers no recordset, as for system tables
    std::function<void(std::size_t row_idx)> on_read;   // told of each row the source reads
};

// A whole database: tables by name plus what the run asked of it.
struct fake_store {
    std::map<std::u16string, fake_table> tables;
    std::vector<std::u16string> catalogue_order;
    std::vector<std::u16string> created;   // create_table calls in order
    std::vector<std::u16string> deleted;   // delete_tab calls in order
    udb_relationships relationships;       // what the database reports when opened
    std::vector<udb_relationships> relationship_calls;
    std::vector<std::u16string> orphan_keys;       // foreign keys reported as failed, not thrown
    std::vector<std::u16string> finished;          // finish_table calls in order
    std::vector<std::u16string> refused_commits;   // tables whose final commit throws
    std::uint32_t open_mode = 0;
    std::map<std::u16string, std::vector<std::u16string>> children;   // child_tables answers

    void add_table(const std::u16string& name, int column_count,
                   std::vector<std::vector<std::int32_t>> rows);
};

class fake_database : public udb_database {
public:
    fake_database(std::u16string name, fake_store& store, std::uint32_t open_mode);

    std::unique_ptr<udb_recordset> create_table(const std::u16string& table_name,
                                                const udb_schema& schema,
                                                const udb_indexes& indexes) override;
    bool delete_tab(const std::u16string& table_name) override;
    std::unique_ptr<udb_recordset> get_table(const std::u16string& table_name,
                                             std::uint32_t open_flags) override;
    std::unique_ptr<udb_recordset> get_query(const std::u16string& query_name,
                                             const std::u16string& sql,
                                             std::uint32_t open_flags) override;
    bool test_query(const std::u16string& sql) override;
    void create_relationships(const udb_relationships& list) override;
    std::vector<std::u16string> child_tables(const std::u16string& table_name) const override;

    conv_mssql_engine::failure_report report;

private:
    fake_store& store;
};

// The SQL Server table-name rules: a name must start with a letter or '_'; a taken name gets
// prefixes from the cycle _ 1 _ 2 _ 3 until it is free.
class fake_tn_validator : public udb_validator {
public:
    fake_tn_validator(const std::vector<std::u16string>& first,
                      const std::vector<std::u16string>& second);
    bool is_acceptable(const std::u16string& name) const override;
    std::u16string get_safe_name(const std::u16string& name) const override;
};

struct fake_world {
    fake_store source;
    fake_store destination;
    bool b_destination_exists = true;
    bool b_access_loads = true;
    int access_fatal_level = -1;         // >= 0: opening the source throws at that level
    std::vector<std::u16string> calls;   // engine calls in order, for the checks and the run
};

// Engines over a fake_world; the world must outlive the converter.
conv_engines make_fake_engines(fake_world& world);
