#pragma once
// dbl_database.hpp - one database: a SQLite file (or memory) holding the rows of each table
// in t<object_id>(c1, c2, ...) and the catalogue in dbl_* tables beside them. Unique keys
// are SQLite unique indexes over dbl_key(); foreign keys are checked here, by lookups. A
// clustered primary key of one integer column, given while the table is empty, becomes the
// rowid instead: the rows then sit in one B-tree in key order, as in SQL Server's clustered
// index, and a row costs one B-tree insert instead of two.
// Callers hold the server lock; every change runs inside begin()/commit()/rollback(), and
// rollback() reloads the catalogue so memory never keeps half a statement.

#include "dbl_catalog.hpp"
#include "dbl_sqlite.hpp"

#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

using dbl_row = std::vector<dbl_value>;

// A unique index refused a row; key_id names the key of the table.
struct dbl_unique_violation {
    int key_id;
};

class dbl_database {
public:
    // path empty: in memory. Creates the catalogue when the file is new.
    dbl_database(const std::string& path, const std::string& name, int id);
    ~dbl_database();
    dbl_database(const dbl_database&) = delete;
    dbl_database& operator=(const dbl_database&) = delete;

    static std::unique_ptr<dbl_database> open_existing(const std::string& path);

    const std::string& name() const { return db_name; }
    int id() const { return db_id; }
    const std::string& path() const { return file_path; }

    dbl_table* find_table(const std::string& schema, const std::string& table_name);
    const dbl_table* table_by_id(std::int64_t object_id) const;
    std::vector<const dbl_table*> tables() const;

    void begin();
    void commit();
    void rollback();

    std::int64_t create_table(dbl_table table);
    void drop_table(std::int64_t object_id);
    // Adds a key or index; returns the row of a duplicate when a unique one cannot be built.
    std::optional<dbl_row> add_key(std::int64_t object_id, dbl_key key);
    void save_identity(const dbl_table& table);
    void mark_untrusted(const dbl_table& table);
    // NOCHECK / CHECK CONSTRAINT of one foreign key: disabled or enabled, and trusted or not.
    void switch_key(const dbl_table& table, int key_id, bool b_disabled, bool b_trusted);

    void insert_row(const dbl_table& table, const dbl_row& row);   // throws dbl_unique_violation
    // Several rows in one statement, as one: a failure stores none of them (SQLite's ABORT).
    void insert_rows(const dbl_table& table, std::span<const dbl_row> rows);
    std::vector<dbl_row> scan(const dbl_table& table);
    std::int64_t count_rows(const dbl_table& table);
    // Whether SQLite keeps an index on the table beside its row id.
    bool has_indexes(const dbl_table& table);
    bool has_parent(const dbl_table& parent, const std::vector<int>& columns,
                    const dbl_row& key_values);
    std::optional<dbl_row> find_orphan(const dbl_table& child, const dbl_key& fk);
    std::optional<dbl_row> find_duplicate(const dbl_table& table, const std::vector<int>& cols,
                                          const std::vector<int>& not_null_filter = {});

private:
    void create_catalogue();
    void add_later_columns();
    void load_catalogue();
    void save_table(const dbl_table& table);
    void save_key(const dbl_table& table, const dbl_key& key);
    void create_index(const dbl_table& table, const dbl_key& key);
    std::string key_expression(const dbl_table& table, const std::vector<int>& cols,
                               const std::string& prefix) const;
    void find_rowid_columns();
    void find_index_filters();
    void store_by_key(dbl_table& table, int column);
    dbl_stmt& insert_statement(const dbl_table& table, std::size_t rows);
    [[noreturn]] void throw_insert_failure(const dbl_table& table, const dbl_storage_error& error);

    sqlite3* db = nullptr;
    std::string file_path;
    std::string db_name;
    int db_id = 0;
    std::map<std::int64_t, dbl_table> tables_by_id;
    // object id -> rows a statement -> the INSERT, prepared
    std::map<std::int64_t, std::map<std::size_t, std::unique_ptr<dbl_stmt>>> insert_cache;
};
