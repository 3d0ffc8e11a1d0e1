#pragma once
// dbl_sqlite.hpp - a thin owner for SQLite statements and the mapping of column values to
// SQLite storage: integers (and money, dates) as INTEGER, real and float as REAL, decimals
// as TEXT at the column's scale, everything else as BLOB (UTF-16LE for n-types).

#include "dbl_type.hpp"

#include <sqlite3.h>

#include <stdexcept>
#include <string>

struct dbl_storage_error : std::runtime_error {
    dbl_storage_error(const std::string& what, int new_code)
        : std::runtime_error(what), code(new_code) {}
    int code;
};

class dbl_stmt {
public:
    dbl_stmt(sqlite3* db, const std::string& sql);
    ~dbl_stmt();
    dbl_stmt(const dbl_stmt&) = delete;
    dbl_stmt& operator=(const dbl_stmt&) = delete;

    bool step();   // true while a row is ready; throws dbl_storage_error
    // Ready to run again. The bindings stay: every caller binds each parameter anew, and
    // clearing them cost each bulk row more than a tenth of its own conversion.
    void reset();
    void bind_int(int index, std::int64_t number);
    void bind_text(int index, const std::string& text);
    void bind_value(int index, const dbl_type& type, const dbl_value& value);
    std::int64_t column_int(int index) const;
    std::string column_text(int index) const;
    dbl_value column_value(int index, const dbl_type& type) const;
    bool column_null(int index) const;

private:
    sqlite3* db;
    sqlite3_stmt* stmt = nullptr;
};

void dbl_exec_sql(sqlite3* db, const std::string& sql);
// Registers dbl_key(x, class): the comparison key of a unique index, folding case and
// trailing spaces as the case-insensitive collation does, and making NULL one value.
void dbl_register_functions(sqlite3* db);
int dbl_key_class(const dbl_type& type);
