// dbl_database.cpp - SQLite storage of one database and its catalogue.
#include "dbl_database.hpp"

#include "dbl_text.hpp"

#include <cstdio>

namespace {

const char* const CATALOGUE_SQL =
    "CREATE TABLE dbl_meta(key TEXT PRIMARY KEY, value TEXT);"
    "CREATE TABLE dbl_tables(object_id INTEGER PRIMARY KEY, schema_name TEXT, name TEXT,"
    " identity_current INTEGER, identity_used INTEGER, next_key_id INTEGER);"
    "CREATE TABLE dbl_columns(object_id INTEGER, ordinal INTEGER, name TEXT, kind INTEGER,"
    " length INTEGER, precision INTEGER, scale INTEGER, nullable INTEGER, is_identity INTEGER,"
    " seed INTEGER, increment INTEGER, default_text TEXT, default_name TEXT,"
    " PRIMARY KEY(object_id, ordinal));"
    "CREATE TABLE dbl_keys(object_id INTEGER, key_id INTEGER, name TEXT, kind INTEGER,"
    " is_unique INTEGER, is_clustered INTEGER, columns TEXT, descending TEXT,"
    " ref_object_id INTEGER, ref_columns TEXT, on_delete TEXT, on_update TEXT,"
    " trusted INTEGER, disabled INTEGER, PRIMARY KEY(object_id, key_id));";

// Columns added to the catalogue after files were first written: added to older files when
// they are opened, so a data directory outlives the double that wrote it.
const char* const LATER_COLUMNS[][3] = {
    {"dbl_keys", "filter", "TEXT NOT NULL DEFAULT ''"},
    {"dbl_columns", "trims_trailing", "INTEGER NOT NULL DEFAULT 0"},
};

std::string join_ints(const std::vector<int>& numbers) {
    std::string text;
    for (int n : numbers) text += (text.empty() ? "" : ",") + std::to_string(n);
    return text;
}

std::vector<int> split_ints(const std::string& text) {
    std::vector<int> numbers;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t comma = text.find(',', at);
        if (comma == std::string::npos) comma = text.size();
        numbers.push_back(std::stoi(text.substr(at, comma - at)));
        at = comma + 1;
    }
    return numbers;
}

std::string storage_type(const dbl_type& type) {
    if (type.kind == dbl_kind::DECIMAL || type.kind == dbl_kind::NUMERIC) return "TEXT";
    if (type.kind == dbl_kind::REAL || type.kind == dbl_kind::FLOAT) return "REAL";
    if (type.is_text() || type.is_binary() || type.kind == dbl_kind::GUID) return "BLOB";
    return "INTEGER";
}

std::string column_name(int index) { return "c" + std::to_string(index + 1); }

// "<lead>c1 IS NOT NULL AND c2 IS NOT NULL", or nothing for no columns.
std::string not_null_condition(const std::vector<int>& columns, const std::string& lead) {
    std::string text;
    for (int column : columns) {
        text += (text.empty() ? lead : std::string(" AND ")) + column_name(column) + " IS NOT NULL";
    }
    return text;
}

// "dbl_key(<left>, <class>) = dbl_key(<right>, <class>)": both sides compare as keys of one
// column type, as the constraint's index orders them.
std::string key_match(const std::string& left, const std::string& right, const dbl_type& type) {
    const std::string key_class = std::to_string(dbl_key_class(type));
    return "dbl_key(" + left + ", " + key_class + ") = dbl_key(" + right + ", " + key_class + ")";
}

bool is_rowid_key(const dbl_table& table, const std::vector<int>& columns) {
    return columns.size() == 1 && columns[0] == table.rowid_column;
}

bool can_be_rowid(const dbl_table& table, const dbl_key& key) {
    if (key.kind != dbl_key_kind::PRIMARY_KEY || !key.b_clustered || key.columns.size() != 1)
        return false;
    const dbl_type& type = table.columns[std::size_t(key.columns[0])].type;
    return type.is_integer() && table.rowid_column < 0;
}

std::string storage_columns(const dbl_table& table) {
    std::string sql;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        sql += (i ? ", " : "") + column_name(int(i)) + " "
               + (int(i) == table.rowid_column ? "INTEGER PRIMARY KEY"
                                               : storage_type(table.columns[i].type));
    }
    return sql;
}

}   // namespace

dbl_database::dbl_database(const std::string& path, const std::string& name, int id)
    : file_path(path), db_name(name), db_id(id) {
    std::string target = path.empty() ? ":memory:" : path;
    // Every caller holds the server lock, so SQLite's own mutexes only cost time: a bulk
    // load took one lock and release per value bound and per cursor.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(target.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        std::string message = db ? sqlite3_errmsg(db) : "cannot open";
        sqlite3_close(db);
        throw dbl_storage_error("cannot open database file: " + message, 0);
    }
    dbl_register_functions(db);
    // The files must outlive a restart of the double, not a power cut: the WAL keeps a
    // killed double's files whole without waiting for the disk at each checkpoint.
    dbl_exec_sql(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=OFF;");
    dbl_stmt probe(db, "SELECT count(*) FROM sqlite_master WHERE name = 'dbl_meta'");
    probe.step();
    if (probe.column_int(0) == 0) create_catalogue();
    add_later_columns();
    load_catalogue();
}

dbl_database::~dbl_database() {
    insert_cache.clear();
    sqlite3_close(db);
}

std::unique_ptr<dbl_database> dbl_database::open_existing(const std::string& path) {
    sqlite3* probe_db = nullptr;
    std::string name;
    int id = 0;
    if (sqlite3_open_v2(path.c_str(), &probe_db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        try {
            dbl_stmt read(probe_db, "SELECT key, value FROM dbl_meta");
            while (read.step()) {
                if (read.column_text(0) == "name") name = read.column_text(1);
                if (read.column_text(0) == "id") id = std::stoi(read.column_text(1));
            }
        } catch (const dbl_storage_error&) {
            name.clear();   // not one of ours: left alone
        }
    }
    sqlite3_close(probe_db);
    if (name.empty() || id == 0) return nullptr;
    return std::make_unique<dbl_database>(path, name, id);
}

void dbl_database::create_catalogue() {
    dbl_exec_sql(db, CATALOGUE_SQL);
    dbl_stmt meta(db, "INSERT INTO dbl_meta VALUES (?, ?)");
    meta.bind_text(1, "name");
    meta.bind_text(2, db_name);
    meta.step();
    meta.reset();
    meta.bind_text(1, "id");
    meta.bind_text(2, std::to_string(db_id));
    meta.step();
}

void dbl_database::add_later_columns() {
    for (const auto& [table, column, type] : LATER_COLUMNS) {
        dbl_stmt probe(db, std::string("SELECT count(*) FROM pragma_table_info('") + table
                               + "') WHERE name = '" + column + "'");
        probe.step();
        if (probe.column_int(0) == 0)
            dbl_exec_sql(db, std::string("ALTER TABLE ") + table + " ADD COLUMN " + column + " "
                                 + type);
    }
}

void dbl_database::load_catalogue() {
    insert_cache.clear();
    tables_by_id.clear();
    dbl_stmt read_tables(db, "SELECT object_id, schema_name, name, identity_current,"
                             " identity_used, next_key_id FROM dbl_tables");
    while (read_tables.step()) {
        dbl_table table;
        table.object_id = read_tables.column_int(0);
        table.schema = read_tables.column_text(1);
        table.name = read_tables.column_text(2);
        table.identity_current = read_tables.column_int(3);
        table.b_identity_used = read_tables.column_int(4) != 0;
        table.next_key_id = int(read_tables.column_int(5));
        tables_by_id[table.object_id] = table;
    }
    dbl_stmt read_columns(db, "SELECT object_id, name, kind, length, precision, scale,"
                              " nullable, is_identity, seed, increment, default_text,"
                              " default_name, trims_trailing FROM dbl_columns"
                              " ORDER BY object_id, ordinal");
    while (read_columns.step()) {
        dbl_column column;
        column.name = read_columns.column_text(1);
        column.type = dbl_make_type(
            dbl_kind(read_columns.column_int(2)), int(read_columns.column_int(3)),
            int(read_columns.column_int(4)), int(read_columns.column_int(5)));
        column.b_nullable = read_columns.column_int(6) != 0;
        column.b_identity = read_columns.column_int(7) != 0;
        column.seed = read_columns.column_int(8);
        column.increment = read_columns.column_int(9);
        column.default_text = read_columns.column_text(10);
        column.default_name = read_columns.column_text(11);
        column.b_trims_trailing = read_columns.column_int(12) != 0;
        tables_by_id[read_columns.column_int(0)].columns.push_back(column);
    }
    dbl_stmt read_keys(db, "SELECT object_id, key_id, name, kind, is_unique, is_clustered,"
                           " columns, descending, ref_object_id, ref_columns, on_delete,"
                           " on_update, trusted, disabled, filter FROM dbl_keys"
                           " ORDER BY object_id, key_id");
    while (read_keys.step()) {
        dbl_key key;
        key.key_id = int(read_keys.column_int(1));
        key.name = read_keys.column_text(2);
        key.kind = dbl_key_kind(read_keys.column_int(3));
        key.b_unique = read_keys.column_int(4) != 0;
        key.b_clustered = read_keys.column_int(5) != 0;
        key.columns = split_ints(read_keys.column_text(6));
        for (char flag : read_keys.column_text(7)) key.descending.push_back(flag == '1');
        key.ref_object_id = read_keys.column_int(8);
        key.ref_columns = split_ints(read_keys.column_text(9));
        key.on_delete = read_keys.column_text(10);
        key.on_update = read_keys.column_text(11);
        key.b_trusted = read_keys.column_int(12) != 0;
        key.b_disabled = read_keys.column_int(13) != 0;
        key.not_null_filter = split_ints(read_keys.column_text(14));
        tables_by_id[read_keys.column_int(0)].keys.push_back(key);
    }
    find_rowid_columns();
    find_index_filters();
}

// A filtered index keeps its filter only in its storage index, "... WHERE c2 IS NOT NULL AND
// c3 IS NOT NULL": read back, since a foreign key may not reference it (1776).
void dbl_database::find_index_filters() {
    dbl_stmt read(db, "SELECT name, substr(sql, instr(sql, ' WHERE ') + 7) FROM sqlite_master"
                      " WHERE type = 'index' AND name GLOB 'k[0-9]*_[0-9]*'"
                      " AND instr(sql, ' WHERE ') > 0");
    while (read.step()) {
        const std::string name = read.column_text(0);
        const std::size_t underscore = name.find('_');
        auto found = tables_by_id.find(std::stoll(name.substr(1, underscore - 1)));
        if (found == tables_by_id.end()) continue;
        const int key_id = std::stoi(name.substr(underscore + 1));
        const std::string condition = read.column_text(1);
        for (dbl_key& key : found->second.keys) {
            if (key.key_id != key_id) continue;
            for (std::size_t at = 0; at != std::string::npos;) {
                key.not_null_filter.push_back(std::stoi(condition.substr(at + 1)) - 1);
                at = condition.find(" AND ", at);
                if (at != std::string::npos) at += 5;
            }
        }
    }
}

// Our storage tables have no SQLite primary key but for the rowid column, so the storage
// says which tables were made with one.
void dbl_database::find_rowid_columns() {
    dbl_stmt read(db, "SELECT m.name, p.cid FROM sqlite_master m, pragma_table_info(m.name) p"
                      " WHERE m.type = 'table' AND m.name GLOB 't[0-9]*' AND p.pk = 1");
    while (read.step()) {
        auto found = tables_by_id.find(std::stoll(read.column_text(0).substr(1)));
        if (found != tables_by_id.end()) found->second.rowid_column = int(read.column_int(1));
    }
}

dbl_table* dbl_database::find_table(const std::string& schema, const std::string& table_name) {
    std::string folded = dbl_fold_name(table_name);
    std::string folded_schema = dbl_fold_name(schema.empty() ? "dbo" : schema);
    for (auto& [id, table] : tables_by_id)
        if (dbl_fold_name(table.name) == folded && dbl_fold_name(table.schema) == folded_schema)
            return &table;
    return nullptr;
}

const dbl_table* dbl_database::table_by_id(std::int64_t object_id) const {
    auto found = tables_by_id.find(object_id);
    return found == tables_by_id.end() ? nullptr : &found->second;
}

std::vector<const dbl_table*> dbl_database::tables() const {
    std::vector<const dbl_table*> list;
    for (const auto& [id, table] : tables_by_id) list.push_back(&table);
    return list;
}

void dbl_database::begin() { dbl_exec_sql(db, "BEGIN IMMEDIATE"); }
void dbl_database::commit() { dbl_exec_sql(db, "COMMIT"); }

void dbl_database::rollback() {
    if (!sqlite3_get_autocommit(db)) dbl_exec_sql(db, "ROLLBACK");
    load_catalogue();
}

void dbl_database::save_table(const dbl_table& table) {
    dbl_stmt save(db, "INSERT OR REPLACE INTO dbl_tables VALUES (?, ?, ?, ?, ?, ?)");
    save.bind_int(1, table.object_id);
    save.bind_text(2, table.schema);
    save.bind_text(3, table.name);
    save.bind_int(4, table.identity_current);
    save.bind_int(5, table.b_identity_used ? 1 : 0);
    save.bind_int(6, table.next_key_id);
    save.step();
}

void dbl_database::save_key(const dbl_table& table, const dbl_key& key) {
    dbl_stmt save(db, "INSERT OR REPLACE INTO dbl_keys VALUES"
                      " (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    std::string descending;
    for (bool flag : key.descending) descending.push_back(flag ? '1' : '0');
    save.bind_int(1, table.object_id);
    save.bind_int(2, key.key_id);
    save.bind_text(3, key.name);
    save.bind_int(4, int(key.kind));
    save.bind_int(5, key.b_unique ? 1 : 0);
    save.bind_int(6, key.b_clustered ? 1 : 0);
    save.bind_text(7, join_ints(key.columns));
    save.bind_text(8, descending);
    save.bind_int(9, key.ref_object_id);
    save.bind_text(10, join_ints(key.ref_columns));
    save.bind_text(11, key.on_delete);
    save.bind_text(12, key.on_update);
    save.bind_int(13, key.b_trusted ? 1 : 0);
    save.bind_int(14, key.b_disabled ? 1 : 0);
    save.bind_text(15, join_ints(key.not_null_filter));
    save.step();
}

std::string dbl_database::key_expression(const dbl_table& table, const std::vector<int>& cols,
                                         const std::string& prefix) const {
    std::string text;
    for (int column : cols) {
        text += text.empty() ? "" : ", ";
        text += "dbl_key(" + prefix + column_name(column) + ", "
                + std::to_string(dbl_key_class(table.columns[std::size_t(column)].type)) + ")";
    }
    return text;
}

std::int64_t dbl_database::create_table(dbl_table table) {
    std::int64_t object_id = 0;
    {
        dbl_stmt next_id(db, "SELECT coalesce(max(object_id), 245575856) + 16000057"
                             " FROM dbl_tables");
        next_id.step();
        object_id = next_id.column_int(0);
    }
    table.object_id = object_id;
    dbl_exec_sql(db, "CREATE TABLE " + table.storage_name() + "(" + storage_columns(table) + ")");
    save_table(table);
    dbl_stmt save(db, "INSERT INTO dbl_columns VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        const dbl_column& column = table.columns[i];
        save.reset();
        save.bind_int(1, object_id);
        save.bind_int(2, std::int64_t(i));
        save.bind_text(3, column.name);
        save.bind_int(4, int(column.type.kind));
        save.bind_int(5, column.type.length);
        save.bind_int(6, column.type.precision);
        save.bind_int(7, column.type.scale);
        save.bind_int(8, column.b_nullable ? 1 : 0);
        save.bind_int(9, column.b_identity ? 1 : 0);
        save.bind_int(10, column.seed);
        save.bind_int(11, column.increment);
        save.bind_text(12, column.default_text);
        save.bind_text(13, column.default_name);
        save.bind_int(14, column.b_trims_trailing ? 1 : 0);
        save.step();
    }
    tables_by_id[object_id] = table;
    return object_id;
}

void dbl_database::drop_table(std::int64_t object_id) {
    auto found = tables_by_id.find(object_id);
    if (found == tables_by_id.end()) return;
    insert_cache.erase(object_id);
    dbl_exec_sql(db, "DROP TABLE " + found->second.storage_name());
    std::string id = std::to_string(object_id);
    dbl_exec_sql(db, "DELETE FROM dbl_tables WHERE object_id = " + id
                         + "; DELETE FROM dbl_columns WHERE object_id = " + id
                         + "; DELETE FROM dbl_keys WHERE object_id = " + id);
    tables_by_id.erase(found);
}

void dbl_database::create_index(const dbl_table& table, const dbl_key& key) {
    std::string index = "k" + std::to_string(table.object_id) + "_" + std::to_string(key.key_id);
    dbl_exec_sql(db, std::string("CREATE ") + (key.b_unique ? "UNIQUE " : "") + "INDEX " + index
                         + " ON " + table.storage_name() + "("
                         + key_expression(table, key.columns, "") + ")"
                         + not_null_condition(key.not_null_filter, " WHERE "));
}

std::optional<dbl_row> dbl_database::add_key(std::int64_t object_id, dbl_key key) {
    dbl_table& table = tables_by_id.at(object_id);
    key.key_id = table.next_key_id++;
    if (key.b_unique) {
        auto duplicate = find_duplicate(table, key.columns, key.not_null_filter);
        if (duplicate) return duplicate;
    }
    if (can_be_rowid(table, key) && count_rows(table) == 0) store_by_key(table, key.columns[0]);
    else create_index(table, key);
    table.keys.push_back(key);
    save_key(table, key);
    save_table(table);
    return std::nullopt;
}

// SQLite cannot give a table another rowid, so the empty table is made again; its indexes
// are made again from their own definitions, filters included.
void dbl_database::store_by_key(dbl_table& table, int column) {
    std::vector<std::string> indexes;
    {
        dbl_stmt read(db, "SELECT sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ?"
                          " AND sql IS NOT NULL");
        read.bind_text(1, table.storage_name());
        while (read.step()) indexes.push_back(read.column_text(0));
    }
    insert_cache.erase(table.object_id);
    dbl_exec_sql(db, "DROP TABLE " + table.storage_name());
    table.rowid_column = column;
    dbl_exec_sql(db, "CREATE TABLE " + table.storage_name() + "(" + storage_columns(table) + ")");
    for (const std::string& index : indexes) dbl_exec_sql(db, index);
}

void dbl_database::save_identity(const dbl_table& table) {
    dbl_stmt save(db, "UPDATE dbl_tables SET identity_current = ?, identity_used = ?"
                      " WHERE object_id = ?");
    save.bind_int(1, table.identity_current);
    save.bind_int(2, table.b_identity_used ? 1 : 0);
    save.bind_int(3, table.object_id);
    save.step();
    tables_by_id[table.object_id].identity_current = table.identity_current;
    tables_by_id[table.object_id].b_identity_used = table.b_identity_used;
}

void dbl_database::mark_untrusted(const dbl_table& table) {
    for (dbl_key& key : tables_by_id[table.object_id].keys) {
        if (key.kind != dbl_key_kind::FOREIGN_KEY || !key.b_trusted) continue;
        key.b_trusted = false;
        save_key(table, key);
    }
}

void dbl_database::switch_key(const dbl_table& table, int key_id, bool b_disabled, bool b_trusted) {
    for (dbl_key& key : tables_by_id[table.object_id].keys) {
        if (key.key_id != key_id) continue;
        key.b_disabled = b_disabled;
        key.b_trusted = b_trusted;
        save_key(table, key);
    }
}

dbl_stmt& dbl_database::insert_statement(const dbl_table& table, std::size_t rows) {
    auto& cached = insert_cache[table.object_id][rows];
    if (!cached) {
        std::string values = "(";
        for (std::size_t i = 0; i < table.columns.size(); ++i) values += i ? ", ?" : "?";
        values += ")";
        std::string sql = "INSERT INTO " + table.storage_name() + " VALUES " + values;
        for (std::size_t i = 1; i < rows; ++i) sql += ", " + values;
        cached = std::make_unique<dbl_stmt>(db, sql);
    }
    return *cached;
}

void dbl_database::insert_row(const dbl_table& table, const dbl_row& row) {
    insert_rows(table, std::span<const dbl_row>(&row, 1));
}

void dbl_database::insert_rows(const dbl_table& table, std::span<const dbl_row> rows) {
    dbl_stmt& insert = insert_statement(table, rows.size());
    insert.reset();
    int parameter = 1;
    for (const dbl_row& row : rows)
        for (std::size_t i = 0; i < table.columns.size(); ++i)
            insert.bind_value(parameter++, table.columns[i].type, row[i]);
    try {
        insert.step();
    } catch (const dbl_storage_error& error) {
        throw_insert_failure(table, error);
    }
}

void dbl_database::throw_insert_failure(const dbl_table& table, const dbl_storage_error& error) {
    const dbl_key* primary = table.primary_key();
    if (error.code == SQLITE_CONSTRAINT_PRIMARYKEY && primary)
        throw dbl_unique_violation{primary->key_id};
    if (error.code != SQLITE_CONSTRAINT_UNIQUE) throw error;
    std::string prefix = "index 'k" + std::to_string(table.object_id) + "_";
    std::size_t at = std::string(error.what()).find(prefix);
    if (at == std::string::npos) throw error;
    throw dbl_unique_violation{std::atoi(error.what() + at + prefix.size())};
}

std::vector<dbl_row> dbl_database::scan(const dbl_table& table) {
    dbl_stmt read(db, "SELECT * FROM " + table.storage_name() + " ORDER BY rowid");
    std::vector<dbl_row> rows;
    while (read.step()) {
        dbl_row row;
        row.reserve(table.columns.size());
        for (std::size_t i = 0; i < table.columns.size(); ++i)
            row.push_back(read.column_value(int(i), table.columns[i].type));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::int64_t dbl_database::count_rows(const dbl_table& table) {
    dbl_stmt count(db, "SELECT count(*) FROM " + table.storage_name());
    count.step();
    return count.column_int(0);
}

bool dbl_database::has_indexes(const dbl_table& table) {
    dbl_stmt count(db, "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND tbl_name = ?");
    count.bind_text(1, table.storage_name());
    count.step();
    return count.column_int(0) > 0;
}

bool dbl_database::has_parent(const dbl_table& parent, const std::vector<int>& columns,
                              const dbl_row& key_values) {
    std::string sql = "SELECT 1 FROM " + parent.storage_name() + " WHERE ";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i) sql += " AND ";
        sql += key_match(column_name(columns[i]), "?", parent.columns[columns[i]].type);
    }
    // A rowid is found by its value only; the function would read every parent row.
    if (is_rowid_key(parent, columns))
        sql = "SELECT 1 FROM " + parent.storage_name() + " WHERE " + column_name(columns[0])
              + " = ?";
    dbl_stmt lookup(db, sql + " LIMIT 1");
    for (std::size_t i = 0; i < columns.size(); ++i)
        lookup.bind_value(int(i + 1), parent.columns[columns[i]].type, key_values[i]);
    return lookup.step();
}

std::optional<dbl_row> dbl_database::find_orphan(const dbl_table& child, const dbl_key& fk) {
    const dbl_table* parent = table_by_id(fk.ref_object_id);
    if (!parent) return std::nullopt;
    std::string not_null, match;
    for (std::size_t i = 0; i < fk.columns.size(); ++i) {
        if (i) {
            not_null += " AND ";
            match += " AND ";
        }
        const std::string child_column = "c." + column_name(fk.columns[i]);
        not_null += child_column + " IS NOT NULL";
        match += key_match("p." + column_name(fk.ref_columns[i]), child_column,
                           child.columns[fk.columns[i]].type);
    }
    // A rowid is found by its value only; the function would read every parent row.
    if (is_rowid_key(*parent, fk.ref_columns))
        match = "p." + column_name(fk.ref_columns[0]) + " = c." + column_name(fk.columns[0]);
    dbl_stmt probe(db, "SELECT c.* FROM " + child.storage_name() + " c WHERE " + not_null
                           + " AND NOT EXISTS (SELECT 1 FROM " + parent->storage_name()
                           + " p WHERE " + match + ") LIMIT 1");
    if (!probe.step()) return std::nullopt;
    dbl_row row;
    for (std::size_t i = 0; i < child.columns.size(); ++i)
        row.push_back(probe.column_value(int(i), child.columns[i].type));
    return row;
}

std::optional<dbl_row> dbl_database::find_duplicate(const dbl_table& table,
                                                    const std::vector<int>& cols,
                                                    const std::vector<int>& not_null_filter) {
    std::string keys = key_expression(table, cols, "");
    dbl_stmt probe(db, "SELECT * FROM " + table.storage_name()
                           + " WHERE rowid IN (SELECT"
                             " max(rowid) FROM "
                           + table.storage_name() + not_null_condition(not_null_filter, " WHERE ")
                           + " GROUP BY " + keys + " HAVING count(*) > 1) LIMIT 1");
    if (!probe.step()) return std::nullopt;
    dbl_row row;
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        row.push_back(probe.column_value(int(i), table.columns[i].type));
    return row;
}
