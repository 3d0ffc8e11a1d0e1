#pragma once
// dbl_error.hpp - a SQL Server error as the double raises it: number, state, class and the
// text SQL Server 2019 writes. Statement errors end the statement and let the batch go on;
// batch errors (conversions, missing objects) end the batch, as SQL Server does.

#include <cstdint>
#include <stdexcept>
#include <string>

enum class dbl_scope { STATEMENT, BATCH };

struct dbl_sql_error : std::runtime_error {
    dbl_sql_error(std::int32_t new_number, std::uint8_t new_state, std::uint8_t new_severity,
                  const std::string& text, dbl_scope new_scope = dbl_scope::STATEMENT)
        : std::runtime_error(text), number(new_number), state(new_state), severity(new_severity),
          scope(new_scope) {}
    std::int32_t number;
    std::uint8_t state;
    std::uint8_t severity;
    dbl_scope scope;
    bool b_terminated_note = false;   // followed by 3621 "The statement has been terminated."
    bool b_constraint_note = false;   // followed by 1750 "Could not create constraint ..."
    bool b_enable_note = false;       // followed by 4916 "Could not enable or disable ..."
    int line = 0;                     // of a batch's text, for errors found while parsing
};

// Overflow (220, 232, 8115) and division by zero (8134): what SET ARITHABORT and
// SET ANSI_WARNINGS decide the fate of.
bool dbl_is_arithmetic_error(const dbl_sql_error& error);

// The same error followed by 1750, as SQL Server reports a constraint it could not add.
dbl_sql_error dbl_with_constraint_note(dbl_sql_error error);

// The messages, by number. Names are UTF-8 as written in the statement.
namespace dbl_err {
dbl_sql_error syntax(const std::string& near);                                           // 102
dbl_sql_error syntax_keyword(const std::string& keyword);                                // 156
dbl_sql_error unclosed_quote(const std::string& rest);                                   // 105
dbl_sql_error invalid_object(const std::string& name);                                   // 208
dbl_sql_error invalid_column(const std::string& name);                                   // 207
dbl_sql_error object_exists(const std::string& name);                                    // 2714
dbl_sql_error database_exists(const std::string& name);                                  // 1801
dbl_sql_error database_missing(const std::string& name);                                 // 911
dbl_sql_error login_database(const std::string& name);                                   // 4060
dbl_sql_error drop_database_missing(const std::string& name);                            // 3701
dbl_sql_error drop_table_missing(const std::string& name);                               // 3701
dbl_sql_error database_in_use(const std::string& name);                                  // 3702
dbl_sql_error login_failed(const std::string& user);                                     // 18456
dbl_sql_error null_into_not_null(const std::string& column, const std::string& table);   // 515
dbl_sql_error duplicate_constraint(const std::string& kind, const std::string& name,
                                   const std::string& table, const std::string& key);   // 2627
dbl_sql_error duplicate_index(const std::string& table, const std::string& index,
                              const std::string& key);   // 2601
dbl_sql_error duplicate_on_create(const std::string& table, const std::string& index,
                                  const std::string& key);   // 1505
dbl_sql_error foreign_key_conflict(const std::string& verb, const std::string& fk,
                                   const std::string& database, const std::string& table,
                                   const std::string& column);   // 547
dbl_sql_error truncated(const std::string& table, const std::string& column,
                        const std::string& value);                                    // 2628
dbl_sql_error overflow_for_type(const std::string& type, const std::string& value);   // 220
dbl_sql_error overflow_converting(const std::string& from, const std::string& to);    // 8115
dbl_sql_error overflow_float(const std::string& type, const std::string& value);      // 232
dbl_sql_error identity_insert_off(const std::string& table);                          // 544
dbl_sql_error conversion_failed(const std::string& from, const std::string& value,
                                const std::string& to);                              // 245
dbl_sql_error date_conversion();                                                     // 241
dbl_sql_error date_out_of_range(const std::string& from);                            // 242
dbl_sql_error error_converting(const std::string& from, const std::string& to);      // 8114
dbl_sql_error money_syntax();                                                        // 235
dbl_sql_error guid_conversion();                                                     // 8169
dbl_sql_error implicit_conversion(const std::string& from, const std::string& to);   // 257
dbl_sql_error operand_clash(const std::string& from, const std::string& to);         // 206
dbl_sql_error precision_too_big(int column, int precision);                          // 2750
dbl_sql_error scale_too_big(int column, int scale, int precision);                   // 2751
dbl_sql_error size_too_big(int size, const std::string& column, int max);            // 131
dbl_sql_error unknown_type(int column, const std::string& type);                     // 2715
dbl_sql_error column_twice(const std::string& column, const std::string& table);     // 2705
dbl_sql_error insert_column_twice(const std::string& column);                        // 264
dbl_sql_error more_columns_than_values();                                            // 109
dbl_sql_error more_values_than_columns();                                            // 110
dbl_sql_error too_many_row_values();                                                 // 10738
dbl_sql_error multiple_identity(const std::string& table);                           // 2744
dbl_sql_error bad_identity_type(const std::string& column);                          // 2749
dbl_sql_error identity_insert_other(const std::string& on_table,
                                    const std::string& table);                         // 8107
dbl_sql_error no_identity(const std::string& table);                                   // 8106
dbl_sql_error second_primary_key(const std::string& table);                            // 1779
dbl_sql_error index_exists(const std::string& index, const std::string& table);        // 1913
dbl_sql_error key_column_missing(const std::string& column);                           // 1911
dbl_sql_error invalid_key_type(const std::string& column, const std::string& table);   // 1919
dbl_sql_error fk_bad_table(const std::string& fk, const std::string& table);           // 1767
dbl_sql_error fk_no_candidate(const std::string& table, const std::string& fk);        // 1776
dbl_sql_error fk_column_missing(const std::string& fk, const std::string& column,
                                const std::string& table);     // 1769
dbl_sql_error constraint_failed();                             // 1750
dbl_sql_error referenced_by_fk(const std::string& table);      // 3726
dbl_sql_error constraint_missing(const std::string& name);     // 4917 + 4916
dbl_sql_error not_switchable(const std::string& name);         // 11415 + 4916
dbl_sql_error missing_alter_object(const std::string& name);   // 4902
dbl_sql_error unknown_schema(const std::string& schema);       // 2760
dbl_sql_error unknown_procedure(const std::string& name);      // 2812
dbl_sql_error missing_parameter(const std::string& proc, const std::string& param);   // 201
dbl_sql_error not_a_parameter(const std::string& param, const std::string& proc);     // 8145
dbl_sql_error unknown_function(const std::string& name);                              // 195
dbl_sql_error bulk_bad_length(int column);                                            // 4815
dbl_sql_error bulk_bad_type(int column);                                              // 4816
dbl_sql_error bulk_not_expected();                                                    // 4022
dbl_sql_error divide_by_zero();                                                       // 8134
// A statement on a table with a filtered index (or CREATE INDEX ... WHERE) under the wrong
// SET options: "INSERT", "CREATE INDEX"; the options as dbl_wrong_index_options lists them.
// The warning that replaces an arithmetic error whose result became NULL: 3607 for a
// division by zero, 3606 for an overflow (severity 10, the statement goes on).
dbl_sql_error arithmetic_warning(const dbl_sql_error& error);
dbl_sql_error wrong_set_options(const std::string& statement, const std::string& options);   // 1934
}   // namespace dbl_err
