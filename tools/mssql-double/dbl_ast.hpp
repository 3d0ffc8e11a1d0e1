#pragma once
// dbl_ast.hpp - the parsed form of the T-SQL the double accepts (see README.md for the list).

#include "dbl_error.hpp"
#include "dbl_type.hpp"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// A possibly qualified name: parts as written, last part is the object or column.
struct dbl_name {
    std::vector<std::string> parts;
    std::string last() const { return parts.empty() ? std::string() : parts.back(); }
    std::string written() const;   // "dbo.t"
};

struct dbl_expr;
using dbl_expr_ptr = std::unique_ptr<dbl_expr>;

enum class dbl_expr_kind {
    LITERAL,
    COLUMN,
    FUNCTION,
    VARIABLE,
    AGGREGATE,
    COMPARE,
    AND,
    OR,
    NOT,
    IS_NULL,
    IN_LIST,
    LIKE,
    ARITHMETIC,
    NEGATE
};

struct dbl_expr {
    dbl_expr_kind kind = dbl_expr_kind::LITERAL;
    dbl_typed literal;        // LITERAL
    dbl_name column;          // COLUMN
    std::string name;         // FUNCTION, VARIABLE, AGGREGATE; operator symbol
    bool b_negated = false;   // IS NOT NULL, NOT IN, NOT LIKE
    bool b_star = false;      // COUNT(*)
    std::vector<dbl_expr_ptr> args;
    std::string written;   // text as written, for default display and errors
    // CONVERT: the target type in literal.type, or "date" / "time", which this double has
    // no column types for, in date_part.
    std::string date_part;
};

struct dbl_select;

struct dbl_select_item {
    dbl_expr_ptr expr;   // null for * or t.*
    std::string alias;
    bool b_has_alias = false;
};

struct dbl_order_item {
    dbl_expr_ptr expr;
    bool b_descending = false;
};

struct dbl_source {
    dbl_name table;
    std::unique_ptr<dbl_select> subquery;
    std::string alias;
};

struct dbl_select {
    std::optional<std::int64_t> top;
    std::vector<dbl_select_item> items;
    std::optional<dbl_source> from;
    dbl_expr_ptr where;
    std::vector<dbl_order_item> order;
};

enum class dbl_constraint_kind { PRIMARY_KEY, UNIQUE, FOREIGN_KEY };

struct dbl_constraint_def {
    std::string name;   // empty: the double makes one as SQL Server does
    dbl_constraint_kind kind = dbl_constraint_kind::PRIMARY_KEY;
    bool b_clustered = false;
    bool b_clustered_given = false;
    std::vector<std::string> columns;
    std::vector<bool> descending;
    dbl_name ref_table;
    std::vector<std::string> ref_columns;
    std::string on_delete = "NO ACTION";
    std::string on_update = "NO ACTION";
};

struct dbl_column_def {
    std::string name;
    std::string type_written;   // for "Cannot find data type"
    dbl_type type;
    bool b_type_known = true;
    int length_given = 0;   // as written, for the size check
    bool b_nullable = true;
    bool b_identity = false;
    std::int64_t seed = 1;
    std::int64_t increment = 1;
    dbl_expr_ptr default_expr;
    std::string default_text;   // as SQL Server shows it: ((0)), ('abc'), (getdate())
    std::string default_name;
};

enum class dbl_statement_kind {
    SELECT,
    INSERT,
    CREATE_DATABASE,
    DROP_DATABASE,
    USE,
    CREATE_TABLE,
    DROP_TABLE,
    CREATE_INDEX,
    ALTER_ADD_CONSTRAINT,
    ALTER_SWITCH_CONSTRAINT,
    SET_OPTION,
    SET_IDENTITY_INSERT,
    EXEC,
    INSERT_BULK
};

struct dbl_exec_arg {
    std::string name;   // "@table_name", or empty for a positional argument
    dbl_expr_ptr value;
};

struct dbl_bulk_column {
    std::string name;
    dbl_type type;
};

struct dbl_statement {
    dbl_statement_kind kind = dbl_statement_kind::SELECT;
    int line = 1;
    // Found while compiling, sent before the batch runs (337: a float literal read as 0).
    std::vector<dbl_sql_error> warnings;
    dbl_name target;   // table, database, index table, procedure
    std::unique_ptr<dbl_select> select;
    // INSERT
    std::vector<std::string> columns;
    std::vector<std::vector<dbl_expr_ptr>> rows;
    // CREATE TABLE
    std::vector<dbl_column_def> column_defs;
    std::vector<dbl_constraint_def> constraints;
    // CREATE INDEX
    std::string index_name;
    std::vector<std::string> not_null_filter;   // CREATE INDEX ... WHERE c IS NOT NULL AND ...
    bool b_unique = false;
    bool b_clustered = false;
    // SET; ALTER TABLE ... [NO]CHECK CONSTRAINT: options holds the names ("ALL"), b_on CHECK
    std::vector<std::string> options;
    bool b_on = false;
    std::string set_value;
    // EXEC
    std::vector<dbl_exec_arg> args;
    // INSERT BULK
    std::vector<dbl_bulk_column> bulk_columns;
    std::vector<std::string> hints;
};
