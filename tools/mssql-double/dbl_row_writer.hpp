#pragma once
// dbl_row_writer.hpp - stores rows into a table with SQL Server's rules, for INSERT and bulk
// load alike, in this order: identity (544 unless allowed; generated values advance the
// table's current value), defaults for missing columns, conversion to the column type,
// NOT NULL (515), foreign keys (547), unique keys (2627 for constraints, 2601 for indexes).
// The caller's transaction makes a failing statement or bulk batch leave nothing behind.

#include "dbl_convert.hpp"
#include "dbl_executor.hpp"

struct dbl_write_rules {
    bool b_identity_allowed = false;     // explicit identity values are kept
    bool b_identity_ignored = false;     // bulk without KEEPIDENTITY: given values are replaced
    bool b_defaults_for_nulls = false;   // bulk without KEEP_NULLS
    bool b_check_foreign_keys = true;
    // Bulk load into a table without indexes: rows are stored several to a statement,
    // SQLite's cost being mostly per statement. Each row is still checked as it comes, and a
    // failure still names its row.
    bool b_rows_together = false;
    // INSERT under SET ANSI_WARNINGS OFF: a value too long for its column is cut to fit.
    bool b_truncate_silently = false;
    // INSERT under SET ANSI_WARNINGS OFF: ARITHABORT OFF stores NULL for a value that
    // overflows or divides by zero, after warning 3606 or 3607; ARITHABORT ON ends the batch.
    bool b_arithmetic_errors_null = false;
    bool b_arithmetic_ends_batch = false;
};

// The rules INSERT keeps under the session's SET options (SET ANSI_WARNINGS, SET ARITHABORT).
dbl_write_rules dbl_insert_rules(const dbl_set_options& options);
// An arithmetic error met while computing a value to store: returns when `rules` make the
// value NULL (the warning sent), throws it, ending the batch or the statement, otherwise.
void dbl_settle_arithmetic_error(dbl_executor& ex, const dbl_write_rules& rules,
                                 const dbl_sql_error& error);

class dbl_row_writer {
public:
    dbl_row_writer(dbl_executor& ex, dbl_table_ref ref, dbl_write_rules rules);
    // `columns` are table ordinals; `values` the matching values, in any source type.
    void write(const std::vector<int>& columns, const std::vector<dbl_typed>& values);
    void finish();   // stores the rows still held; keeps the identity's current value
    // Stores the rows held so far, so that a failure of theirs is reported before one the
    // caller found after them, as row by row.
    void store_held();

    // Rows held for one statement; SQLite allows 999 parameters in any build.
    static constexpr std::size_t MAX_ROWS_TOGETHER = 50;
    static constexpr std::size_t MAX_PARAMETERS = 999;

private:
    dbl_value identity_value(const std::vector<int>& columns, const std::vector<dbl_typed>& values,
                             int identity_index);
    dbl_value default_value(std::size_t column_index);
    dbl_value given_value(const dbl_typed& value, std::size_t column_index);
    void build_row(dbl_row& row, const std::vector<int>& columns,
                   const std::vector<dbl_typed>& values);
    void check_foreign_keys(const dbl_row& row);
    void store(const dbl_row& row);
    [[noreturn]] void report_duplicate(int key_id, const dbl_row& row);

    dbl_executor& ex;
    dbl_table_ref ref;
    dbl_write_rules rules;
    bool b_identity_changed = false;
    // Made once per statement or bulk batch, not per row: the names in conversion errors,
    // the identity column, each default parsed when first needed (evaluated per row, so
    // getdate() and newid() differ row to row), and the row being built with which of its
    // columns were given.
    std::vector<dbl_target> targets;
    int identity_column = -1;
    std::vector<std::vector<dbl_statement>> parsed_defaults;
    // Keys whose declared length passes the server's limit: each row is measured (1946).
    std::vector<const dbl_key*> long_keys;
    dbl_row row_buffer;
    std::vector<char> given_columns;   // not vector<bool>: its bit access cost 200 a row
    // With b_rows_together: rows built but not yet stored, refilled from statement to
    // statement. A foreign key to the table itself must see the rows before, so checked
    // foreign keys keep one row a statement.
    std::vector<dbl_row> held;
    std::size_t held_count = 0;
};

// "(1, abc)": a key's values as SQL Server quotes them in duplicate-key messages.
std::string dbl_key_text(const dbl_table& table, const std::vector<int>& columns,
                         const dbl_row& row);
