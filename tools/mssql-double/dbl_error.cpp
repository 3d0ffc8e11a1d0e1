// dbl_error.cpp - SQL Server's message texts, numbers, states and classes for every error
// the double raises. Texts are SQL Server 2019's, with the names filled in.
#include "dbl_error.hpp"

dbl_sql_error dbl_with_constraint_note(dbl_sql_error error) {
    error.b_constraint_note = true;
    error.b_terminated_note = false;
    return error;
}

namespace dbl_err {
namespace {

dbl_sql_error make(int number, int state, int severity, const std::string& text,
                   dbl_scope scope = dbl_scope::STATEMENT) {
    return dbl_sql_error(number, std::uint8_t(state), std::uint8_t(severity), text, scope);
}

dbl_sql_error terminating(int number, int state, int severity, const std::string& text) {
    dbl_sql_error error = make(number, state, severity, text);
    error.b_terminated_note = true;
    return error;
}

std::string q(const std::string& name) { return "'" + name + "'"; }
std::string dq(const std::string& name) { return "\"" + name + "\""; }

}   // namespace

dbl_sql_error syntax(const std::string& near) {
    return make(102, 1, 15, "Incorrect syntax near " + q(near) + ".", dbl_scope::BATCH);
}
dbl_sql_error syntax_keyword(const std::string& keyword) {
    return make(156, 1, 15, "Incorrect syntax near the keyword " + q(keyword) + ".",
                dbl_scope::BATCH);
}
dbl_sql_error unclosed_quote(const std::string& rest) {
    return make(105, 1, 15, "Unclosed quotation mark after the character string " + q(rest) + ".",
                dbl_scope::BATCH);
}
dbl_sql_error invalid_object(const std::string& name) {
    return make(208, 1, 16, "Invalid object name " + q(name) + ".", dbl_scope::BATCH);
}
dbl_sql_error invalid_column(const std::string& name) {
    return make(207, 1, 16, "Invalid column name " + q(name) + ".", dbl_scope::BATCH);
}
dbl_sql_error object_exists(const std::string& name) {
    return make(2714, 6, 16, "There is already an object named " + q(name) + " in the database.");
}
dbl_sql_error database_exists(const std::string& name) {
    return make(1801, 3, 16,
                "Database " + q(name) + " already exists. Choose a different database name.");
}
dbl_sql_error database_missing(const std::string& name) {
    return make(911, 1, 16,
                "Database " + q(name)
                    + " does not exist. Make sure that the name is entered correctly.");
}
dbl_sql_error login_database(const std::string& name) {
    return make(4060, 1, 11,
                "Cannot open database " + dq(name) + " requested by the login. The login failed.");
}
dbl_sql_error drop_database_missing(const std::string& name) {
    return make(3701, 1, 11,
                "Cannot drop the database " + q(name)
                    + ", because it does not exist or you do not have permission.");
}
dbl_sql_error drop_table_missing(const std::string& name) {
    return make(3701, 5, 11,
                "Cannot drop the table " + q(name)
                    + ", because it does not exist or you do not have permission.");
}
dbl_sql_error database_in_use(const std::string& name) {
    return make(3702, 4, 16,
                "Cannot drop database " + dq(name) + " because it is currently in use.");
}
dbl_sql_error login_failed(const std::string& user) {
    return make(18456, 1, 14, "Login failed for user " + q(user) + ".");
}
dbl_sql_error null_into_not_null(const std::string& column, const std::string& table) {
    return terminating(515, 2, 16,
                       "Cannot insert the value NULL into column " + q(column) + ", table "
                           + q(table) + "; column does not allow nulls. INSERT fails.");
}
dbl_sql_error duplicate_constraint(const std::string& kind, const std::string& name,
                                   const std::string& table, const std::string& key) {
    return terminating(2627, 1, 14,
                       "Violation of " + kind + " constraint " + q(name)
                           + ". Cannot insert duplicate key in object " + q(table)
                           + ". The duplicate key value is " + key + ".");
}
dbl_sql_error duplicate_index(const std::string& table, const std::string& index,
                              const std::string& key) {
    return terminating(2601, 1, 14,
                       "Cannot insert duplicate key row in object " + q(table)
                           + " with unique index " + q(index) + ". The duplicate key value is "
                           + key + ".");
}
dbl_sql_error duplicate_on_create(const std::string& table, const std::string& index,
                                  const std::string& key) {
    return terminating(1505, 1, 16,
                       "The CREATE UNIQUE INDEX statement terminated because a "
                       "duplicate key was found for the object name "
                           + q(table) + " and the index name " + q(index)
                           + ". The duplicate key value is " + key + ".");
}
dbl_sql_error foreign_key_conflict(const std::string& verb, const std::string& fk,
                                   const std::string& database, const std::string& table,
                                   const std::string& column) {
    return terminating(547, 0, 16,
                       "The " + verb + " statement conflicted with the FOREIGN KEY constraint "
                           + dq(fk) + ". The conflict occurred in database " + dq(database)
                           + ", table " + dq(table) + ", column " + q(column) + ".");
}
dbl_sql_error truncated(const std::string& table, const std::string& column,
                        const std::string& value) {
    return terminating(2628, 1, 16,
                       "String or binary data would be truncated in table " + q(table) + ", column "
                           + q(column) + ". Truncated value: " + q(value) + ".");
}
dbl_sql_error overflow_for_type(const std::string& type, const std::string& value) {
    return terminating(
        220, 2, 16, "Arithmetic overflow error for data type " + type + ", value = " + value + ".");
}
dbl_sql_error overflow_converting(const std::string& from, const std::string& to) {
    return terminating(
        8115, 2, 16, "Arithmetic overflow error converting " + from + " to data type " + to + ".");
}
dbl_sql_error overflow_float(const std::string& type, const std::string& value) {
    return terminating(232, 2, 16,
                       "Arithmetic overflow error for type " + type + ", value = " + value + ".");
}
dbl_sql_error identity_insert_off(const std::string& table) {
    return make(544, 1, 16,
                "Cannot insert explicit value for identity column in table " + q(table)
                    + " when IDENTITY_INSERT is set to OFF.");
}
dbl_sql_error conversion_failed(const std::string& from, const std::string& value,
                                const std::string& to) {
    return make(245, 1, 16,
                "Conversion failed when converting the " + from + " value " + q(value)
                    + " to data type " + to + ".",
                dbl_scope::BATCH);
}
dbl_sql_error date_conversion() {
    return make(241, 1, 16,
                "Conversion failed when converting date and/or time from "
                "character string.",
                dbl_scope::BATCH);
}
dbl_sql_error date_out_of_range(const std::string& from) {
    return terminating(242, 3, 16,
                       "The conversion of a " + from
                           + " data type to a datetime "
                             "data type resulted in an out-of-range value.");
}
dbl_sql_error error_converting(const std::string& from, const std::string& to) {
    return make(8114, 5, 16, "Error converting data type " + from + " to " + to + ".",
                dbl_scope::BATCH);
}
dbl_sql_error money_syntax() {
    return make(235, 0, 16,
                "Cannot convert a char value to money. The char value has "
                "incorrect syntax.",
                dbl_scope::BATCH);
}
dbl_sql_error guid_conversion() {
    return make(8169, 2, 16,
                "Conversion failed when converting from a character string to "
                "uniqueidentifier.",
                dbl_scope::BATCH);
}
dbl_sql_error implicit_conversion(const std::string& from, const std::string& to) {
    return make(257, 3, 16,
                "Implicit conversion from data type " + from + " to " + to
                    + " is not allowed. Use the CONVERT function to run this query.",
                dbl_scope::BATCH);
}
dbl_sql_error operand_clash(const std::string& from, const std::string& to) {
    return make(206, 2, 16, "Operand type clash: " + from + " is incompatible with " + to,
                dbl_scope::BATCH);
}
dbl_sql_error precision_too_big(int column, int precision) {
    return make(2750, 1, 16,
                "Column or parameter #" + std::to_string(column) + ": Specified column precision "
                    + std::to_string(precision) + " is greater than the maximum precision of 38.");
}
dbl_sql_error scale_too_big(int column, int scale, int precision) {
    return make(2751, 1, 16,
                "Column or parameter #" + std::to_string(column) + ": Specified column scale "
                    + std::to_string(scale) + " is greater than the specified precision of "
                    + std::to_string(precision) + ".");
}
dbl_sql_error size_too_big(int size, const std::string& column, int max) {
    return make(131, 2, 15,
                "The size (" + std::to_string(size) + ") given to the column " + q(column)
                    + " exceeds the maximum allowed for any data type (" + std::to_string(max)
                    + ").");
}
dbl_sql_error unknown_type(int column, const std::string& type) {
    return make(2715, 6, 16,
                "Column, parameter, or variable #" + std::to_string(column)
                    + ": Cannot find data type " + type + ".");
}
dbl_sql_error column_twice(const std::string& column, const std::string& table) {
    return make(2705, 3, 16,
                "Column names in each table must be unique. Column name " + q(column) + " in table "
                    + q(table) + " is specified more than once.");
}
dbl_sql_error insert_column_twice(const std::string& column) {
    return make(264, 1, 16,
                "The column name " + q(column)
                    + " is specified more than once "
                      "in the SET clause or column list of an INSERT. A column cannot be assigned "
                      "more than one value in the same clause. Modify the clause to make sure that "
                      "a column is updated only once. If this statement updates or inserts columns "
                      "into a view, column aliasing can conceal the duplication in your code.");
}
dbl_sql_error more_columns_than_values() {
    return make(109, 1, 15,
                "There are more columns in the INSERT statement than values "
                "specified in the VALUES clause. The number of values in the VALUES clause "
                "must match the number of columns specified in the INSERT statement.");
}
dbl_sql_error more_values_than_columns() {
    return make(110, 1, 15,
                "There are fewer columns in the INSERT statement than values "
                "specified in the VALUES clause. The number of values in the VALUES clause "
                "must match the number of columns specified in the INSERT statement.");
}
dbl_sql_error too_many_row_values() {
    return make(10738, 1, 15,
                "The number of row value expressions in the INSERT statement "
                "exceeds the maximum allowed number of 1000 row values.");
}
dbl_sql_error multiple_identity(const std::string& table) {
    return make(2744, 2, 16,
                "Multiple identity columns specified for table " + q(table)
                    + ". Only one identity column per table is allowed.");
}
dbl_sql_error bad_identity_type(const std::string& column) {
    return make(2749, 2, 16,
                "Identity column " + q(column)
                    + " must be of data type int, "
                      "bigint, smallint, tinyint, or decimal or numeric with a scale of 0, and "
                      "constrained to be nonnullable.");
}
dbl_sql_error identity_insert_other(const std::string& on_table, const std::string& table) {
    return make(8107, 1, 16,
                "IDENTITY_INSERT is already ON for table " + q(on_table)
                    + ". Cannot perform SET operation for table " + q(table) + ".");
}
dbl_sql_error no_identity(const std::string& table) {
    return make(8106, 1, 16,
                "Table " + q(table)
                    + " does not have the identity property. Cannot perform SET operation.");
}
dbl_sql_error second_primary_key(const std::string& table) {
    return make(1779, 0, 16, "Table " + q(table) + " already has a primary key defined on it.");
}
dbl_sql_error index_exists(const std::string& index, const std::string& table) {
    return make(1913, 1, 16,
                "The operation failed because an index or statistics with name " + q(index)
                    + " already exists on table " + q(table) + ".");
}
dbl_sql_error key_column_missing(const std::string& column) {
    return make(1911, 1, 16,
                "Column name " + q(column) + " does not exist in the target table or view.");
}
dbl_sql_error invalid_key_type(const std::string& column, const std::string& table) {
    return make(1919, 1, 16,
                "Column " + q(column) + " in table " + q(table)
                    + " is of a type that is invalid for use as a key column in an index.");
}
dbl_sql_error fk_bad_table(const std::string& fk, const std::string& table) {
    return make(1767, 0, 16,
                "Foreign key " + q(fk) + " references invalid table " + q(table) + ".");
}
dbl_sql_error fk_no_candidate(const std::string& table, const std::string& fk) {
    return make(1776, 0, 16,
                "There are no primary or candidate keys in the referenced table " + q(table)
                    + " that match the referencing column list in the foreign key " + q(fk) + ".");
}
dbl_sql_error fk_column_missing(const std::string& fk, const std::string& column,
                                const std::string& table) {
    return make(1769, 1, 16,
                "Foreign key " + q(fk) + " references invalid column " + q(column)
                    + " in referencing table " + q(table) + ".");
}
dbl_sql_error constraint_failed() {
    return make(1750, 0, 16, "Could not create constraint or index. See previous errors.");
}
dbl_sql_error referenced_by_fk(const std::string& table) {
    return make(3726, 1, 16,
                "Could not drop object " + q(table)
                    + " because it is referenced by a FOREIGN KEY constraint.");
}
dbl_sql_error constraint_missing(const std::string& name) {
    dbl_sql_error error = make(4917, 0, 16, "Constraint " + q(name) + " does not exist.");
    error.b_enable_note = true;
    return error;
}
dbl_sql_error not_switchable(const std::string& name) {
    dbl_sql_error error = make(11415, 1, 16,
                               "Object " + q(name)
                                   + " cannot be disabled or "
                                     "enabled. This action applies only to foreign key and check "
                                     "constraints.");
    error.b_enable_note = true;
    return error;
}
dbl_sql_error missing_alter_object(const std::string& name) {
    return make(4902, 1, 16,
                "Cannot find the object " + dq(name)
                    + " because it does not exist or you do not have permissions.");
}
dbl_sql_error unknown_schema(const std::string& schema) {
    return make(2760, 1, 16,
                "The specified schema name " + dq(schema)
                    + " either does not exist or you do not have permission to use it.");
}
dbl_sql_error unknown_procedure(const std::string& name) {
    return make(2812, 62, 16, "Could not find stored procedure " + q(name) + ".");
}
dbl_sql_error missing_parameter(const std::string& proc, const std::string& param) {
    return make(201, 4, 16,
                "Procedure or function " + q(proc) + " expects parameter " + q(param)
                    + ", which was not supplied.");
}
dbl_sql_error not_a_parameter(const std::string& param, const std::string& proc) {
    return make(8145, 2, 16, param + " is not a parameter for procedure " + proc + ".");
}
dbl_sql_error unknown_function(const std::string& name) {
    return make(195, 10, 15, q(name) + " is not a recognized built-in function name.",
                dbl_scope::BATCH);
}
dbl_sql_error bulk_bad_length(int column) {
    return make(4815, 1, 16,
                "Received an invalid column length from the bcp client for colid "
                    + std::to_string(column) + ".");
}
dbl_sql_error bulk_bad_type(int column) {
    return make(4816, 1, 16,
                "Invalid column type from bcp client for colid " + std::to_string(column) + ".");
}
dbl_sql_error bulk_not_expected() {
    return make(4022, 1, 16,
                "Bulk load data was expected but not sent. The batch will be "
                "terminated.");
}
dbl_sql_error divide_by_zero() {
    return make(8134, 1, 16, "Divide by zero error encountered.", dbl_scope::BATCH);
}
dbl_sql_error arithmetic_warning(const dbl_sql_error& error) {
    if (error.number == 8134) return make(3607, 2, 10, "Division by zero occurred.");
    return make(3606, 2, 10, "Arithmetic overflow occurred.");
}
dbl_sql_error wrong_set_options(const std::string& statement, const std::string& options) {
    return make(1934, 1, 16,
                statement + " failed because the following SET options have incorrect settings: '"
                    + options
                    + "'. Verify that SET options are correct for use with indexed views and/or "
                      "indexes on computed columns and/or filtered indexes and/or query "
                      "notifications and/or XML data type methods and/or spatial index "
                      "operations.");
}

}   // namespace dbl_err

bool dbl_is_arithmetic_error(const dbl_sql_error& error) {
    return error.number == 220 || error.number == 232 || error.number == 8115
           || error.number == 8134;
}
