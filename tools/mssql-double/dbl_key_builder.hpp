#pragma once
// dbl_key_builder.hpp - primary keys, unique constraints, indexes and foreign keys: checked
// first (names, columns, key types, one primary key, one clustered index), then stored.
// Constraint errors come with 1750 as SQL Server reports them.

#include "dbl_executor.hpp"

bool dbl_object_exists(const dbl_database& database, const std::string& name);
// PK__t__0A1B2C3D4E5F6071 style names for constraints the statement did not name.
std::string dbl_generated_name(const std::string& prefix, const std::string& table,
                               const std::string& column);

class dbl_key_builder {
public:
    dbl_key_builder(dbl_executor& new_ex, dbl_database& new_database)
        : ex(new_ex), database(new_database) {}

    // Keys of CREATE TABLE; makes primary-key columns NOT NULL as SQL Server does.
    std::vector<dbl_key> plan_table_keys(dbl_table& table,
                                         const std::vector<dbl_constraint_def>& constraints);
    dbl_key plan_index(const dbl_table& table, const dbl_statement& st);
    dbl_key plan_added_key(const dbl_table& table, const dbl_constraint_def& def);
    void store(std::int64_t object_id, const dbl_key& key);
    void add_foreign_key(std::int64_t object_id, const dbl_constraint_def& def, bool b_check);

private:
    dbl_key key_from(const dbl_table& table, const dbl_constraint_def& def, bool b_constraint);
    void check_clustered(const dbl_table& table, const std::vector<dbl_key>& planned,
                         const dbl_key& key, bool b_constraint);

    dbl_executor& ex;
    dbl_database& database;
};
