// udb_db.hpp - the abstract model the conversion run talks to: udb_record (one row of
// fields), udb_recordset (a table or query result), udb_database (a database's tables, names
// map and foreign keys) and udb_engine (creates, opens, tests and deletes databases). The
// Access and SQL Server sides derive from these; objects handed out are owned by the caller
// unless a comment says otherwise. Table names compare case-blind unless b_case_sensitive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "udb/udb_idx.hpp"
#include "udb/udb_load_report.hpp"
#include "udb/udb_nmap.hpp"
#include "udb/udb_rel.hpp"
#include "udb/udb_sche.hpp"

// One row: fields in column order, owned by the record.
class udb_record {
public:
    udb_record() = default;
    udb_record(const udb_record&) = delete;
    udb_record& operator=(const udb_record&) = delete;
    virtual ~udb_record() = default;

    void append(std::unique_ptr<udb_field> field);
    void clear() { fields.clear(); }
    std::size_t size() const { return fields.size(); }
    bool empty() const { return fields.empty(); }
    // Field in column order; a position past the end throws std::out_of_range.
    udb_field& operator[](std::size_t field_idx) { return *fields.at(field_idx); }
    const udb_field& operator[](std::size_t field_idx) const { return *fields.at(field_idx); }

    // Whether a field of that name (case-blind) is in the record.
    bool find_field(const std::u16string& name) const;
    // The field of that name; when there is none, an empty field owned by the record that
    // stays valid until the next lookup of a missing name.
    udb_field& field(const std::u16string& name);

private:
    std::vector<std::unique_ptr<udb_field>> fields;
    udb_field missing;
};

// A table or the result of a query.
class udb_recordset {
public:
    std::u16string name;
    std::u16string sql;   // the query's text; empty for a table
    std::int32_t records_count = 0;
    udb_schema schema;
    udb_indexes indexes;
    // Set by the run before appending; not owned. Receives the rows the table refuses.
    udb_load_report* load_report = nullptr;
    // How often a substitution rule changed a value of the rows this table loaded.
    udb_substitution_counts substitutions;

    explicit udb_recordset(std::u16string name);
    udb_recordset(std::u16string name, std::u16string sql);
    udb_recordset(const udb_recordset&) = delete;
    udb_recordset& operator=(const udb_recordset&) = delete;
    virtual ~udb_recordset();

    virtual void append_record(udb_record& record) = 0;
    // The current row, owned by the recordset and valid until the next call; null when the
    // recordset has no row.
    virtual udb_record* get_item();
    virtual bool is_eof();
    virtual bool is_query() const;
    virtual void next();
    virtual void prev();
    virtual void reset();
    // The rows the store holds now, counted by the store; -1 when it cannot count.
    virtual std::int64_t count_rows();

    // Changes each field's value in place to the type of the schema column at its position.
    void convert_record(udb_record& record) const;
    // Appends the index unless one of that name is already there (the first one stays).
    void add_index(const udb_index& index);
    void clean_indexes();
};

// A database as the conversion run sees it.
class udb_database {
public:
    std::uint32_t flags = 0;   // conversion flags (bits 5 and 6 matter to the Access side)
    std::u16string name;
    bool b_case_sensitive = false;
    std::vector<std::u16string> tables;   // in catalogue order
    udb_names_map names_map;
    udb_relationships relationships;

    udb_database(std::u16string name, std::uint32_t flags, bool b_case_sensitive);
    udb_database(const udb_database&) = delete;
    udb_database& operator=(const udb_database&) = delete;
    virtual ~udb_database();

    // The new table, opened for appending.
    virtual std::unique_ptr<udb_recordset> create_table(const std::u16string& table_name,
                                                        const udb_schema& schema,
                                                        const udb_indexes& indexes) = 0;
    // Drops the name from `tables`; the sides override it to drop the table first.
    virtual bool delete_tab(const std::u16string& table_name);
    virtual std::unique_ptr<udb_recordset> get_table(const std::u16string& table_name,
                                                     std::uint32_t open_flags) = 0;
    virtual std::unique_ptr<udb_recordset> get_query(const std::u16string& query_name,
                                                     const std::u16string& sql,
                                                     std::uint32_t open_flags) = 0;
    virtual bool test_query(const std::u16string& sql) = 0;
    // Only the SQL Server side runs arbitrary statements; here it is an assertion.
    virtual std::unique_ptr<udb_recordset> query(const std::u16string& sql);
    virtual void create_relationships(const udb_relationships& relationships);
    // Tables that hold parts of this one and go wherever it goes (the Access side's complex
    // columns); none by default.
    virtual std::vector<std::u16string> child_tables(const std::u16string& table_name) const;
    virtual bool is_table_exist(const std::u16string& table_name) const;
};

// An engine of one side: the Access engine works on files, the SQL Server one on databases
// of an instance.
class udb_engine {
public:
    udb_engine() = default;
    udb_engine(const udb_engine&) = delete;
    udb_engine& operator=(const udb_engine&) = delete;
    virtual ~udb_engine() = default;

    virtual std::unique_ptr<udb_database> create_db(const std::u16string& db_name) = 0;
    virtual std::unique_ptr<udb_database> open_db(const std::u16string& db_name, std::uint32_t mode,
                                                  const std::u16string& password) = 0;
    // Deletes the file of that name; failure raises tk_exception_ex with the system's text.
    virtual void delete_db(const std::u16string& db_name);
    // Whether a file of that name exists.
    virtual bool is_db_exist(const std::u16string& db_name);
};
