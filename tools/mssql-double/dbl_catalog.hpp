#pragma once
// dbl_catalog.hpp - what SQL Server knows of a table and SQLite does not: column types with
// length, precision and scale, nullability, identity (seed, increment, current value),
// defaults as SQL Server shows them, and keys (primary, unique, foreign) and indexes.

#include "dbl_type.hpp"

#include <cstdint>
#include <string>
#include <vector>

struct dbl_column {
    std::string name;
    dbl_type type;
    bool b_nullable = true;
    bool b_identity = false;
    std::int64_t seed = 1;
    std::int64_t increment = 1;
    std::string default_text;   // ((0)), ('abc'), (getdate()); empty: no default
    std::string default_name;   // DF__t__c__1A2B3C4D style when not named
    // Made under SET ANSI_PADDING OFF: values lose trailing blanks (char types) or zeros
    // (binary types) when stored. Fixed when the column is created (dbl_padding.hpp).
    bool b_trims_trailing = false;
};

enum class dbl_key_kind { PRIMARY_KEY, UNIQUE, INDEX, FOREIGN_KEY };

struct dbl_key {
    int key_id = 0;
    std::string name;
    dbl_key_kind kind = dbl_key_kind::INDEX;
    bool b_unique = false;
    bool b_clustered = false;
    std::vector<int> columns;   // column ordinals, 0-based
    std::vector<bool> descending;
    std::int64_t ref_object_id = 0;   // FOREIGN_KEY: the referenced table
    std::vector<int> ref_columns;
    std::string on_delete = "NO ACTION";
    std::string on_update = "NO ACTION";
    bool b_trusted = true;     // false once a bulk load skipped the check
    bool b_disabled = false;   // NOCHECK CONSTRAINT: new rows are not checked
    // A filtered index covers only rows with values in these columns; such a table takes
    // rows only under the SET options filtered indexes need (1934).
    std::vector<int> not_null_filter;
};

struct dbl_table {
    std::int64_t object_id = 0;
    std::string schema = "dbo";
    std::string name;
    std::vector<dbl_column> columns;
    std::vector<dbl_key> keys;
    std::int64_t identity_current = 0;
    bool b_identity_used = false;   // false: the next value is the seed
    int next_key_id = 1;
    // Storage, not catalogue: the column whose values are SQLite's rowid (a clustered primary
    // key of one integer column, made so by CREATE TABLE), or -1 when rows have a rowid of
    // their own. Found again from the storage table when a file is reopened.
    int rowid_column = -1;

    int column_index(const std::string& column_name) const;   // -1 when missing
    int identity_index() const;
    bool has_filtered_index() const;
    const dbl_key* primary_key() const;
    const dbl_key* clustered_key() const;
    std::string storage_name() const { return "t" + std::to_string(object_id); }
};
