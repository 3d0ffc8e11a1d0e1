#pragma once
// odb_db.hpp - odb_database, the OLE DB half of a destination database: a data source and a
// session of its own, table creation from a neutral schema and index list (columns with
// identity, nullability, type, precision and default; then the primary key and the unique
// indexes, which decide the rows the table accepts), dropping tables, and running
// statements. mss_database gives the table-opening operations.

#include "udb/udb_db.hpp"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class oledb_data_source;
class oledb_session;
class tk_exception;
struct oledb_column_desc;
struct oledb_index_desc;

// Receives an index or key that is not created as the source has it, with its object
// ("Index 'x' of table 't'") and why; the table goes on without it.
using odb_index_reporter =
    std::function<void(const std::u16string& context, const tk_exception& failure)>;

class odb_database : public udb_database {
public:
    odb_database(std::u16string name, std::unique_ptr<oledb_data_source> data_source,
                 std::unique_ptr<oledb_session> session);
    ~odb_database() override;

    // Creates the table with its primary key and unique indexes. The plain indexes come back
    // described, for after the rows: a server builds one over loaded rows far faster than it
    // keeps it up row by row. An index that cannot be created as the source has it goes to
    // `reporter`, never silently left out or weakened.
    std::vector<oledb_index_desc> create_odb_table(const std::u16string& table_name,
                                                   const udb_schema& schema,
                                                   const udb_indexes& indexes,
                                                   const odb_index_reporter& reporter);
    // Creates one index of a table (`table_id` as get_safe_tname gives it).
    void create_index(const std::string& table_id, const oledb_index_desc& desc);
    bool delete_tab(const std::u16string& table_name) override;
    bool test_query(const std::u16string& sql) override;
    std::unique_ptr<udb_recordset> query(const std::u16string& sql) override;

    // The default of a column as SQL text: N'..' for text, '..' for dates, the number
    // otherwise; false when the column has none or it does not convert.
    static bool set_def_value(const t_ftd& field, oledb_column_desc& column);
    // A computed default (Now(), Date(), ...) as this server's expression; false when it
    // has none.
    static bool set_function_default(const t_ftd& field, oledb_column_desc& column,
                                     int version_code);
    // The column description of one field (identity, nullability, type, size, default).
    static oledb_column_desc describe_column(const t_ftd& field, const udb_indexes& indexes,
                                             int version_code);
    // The description of one index; `columns` are the table's, as created.
    static oledb_index_desc describe_index(const udb_index& index, const std::u16string& table_name,
                                           const std::vector<oledb_column_desc>& columns,
                                           int version_code);
    // Why an index cannot be created (a memo or long binary column, which SQL Server cannot
    // take in a key; a column the table lacks), or empty when it can.
    static std::u16string why_not_indexable(const udb_index& index, const udb_schema& schema);

    oledb_session& session() { return *own_session; }

    // A unique index this run created filtered to rows with values, by table.
    struct filtered_key {
        std::u16string table_name;
        std::u16string index_name;
        std::vector<std::u16string> columns;
        std::vector<std::u16string> filter_columns;
    };
    const filtered_key* find_filtered_key(const std::u16string& table_name,
                                          const std::vector<std::u16string>& columns) const;

protected:
    void remember_filtered(const std::u16string& table_name, const oledb_index_desc& desc);

    std::vector<filtered_key> filtered_keys;
    std::unique_ptr<oledb_data_source> data_source;
    std::unique_ptr<oledb_session> own_session;
};
