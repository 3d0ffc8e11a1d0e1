#pragma once
// daostub_written.hpp - what the writing calls share: the file CreateDatabase made (its
// writer flushed when the last object using it goes, a failure traced), the table a
// CreateTableDef builds before TableDefs.Append, DAO field types as the engine's column
// types, and VARIANT values as the engine's values for a column.

#include <memory>
#include <string>
#include <vector>

#include "platform/jet/jet_database_writer.hpp"
#include "platform/oleaut/oleaut.hpp"

class daostub_written_file {
public:
    explicit daostub_written_file(std::unique_ptr<jet_database_writer> new_file)
        : file(std::move(new_file)) {}
    ~daostub_written_file();
    daostub_written_file(const daostub_written_file&) = delete;
    daostub_written_file& operator=(const daostub_written_file&) = delete;

    jet_database_writer& writer() { return *file; }

private:
    std::unique_ptr<jet_database_writer> file;
};

// A table being defined: fields and indexes are shared with the Field and Index objects
// that made them, because DAO sets Required, DefaultValue, Primary ... on those objects
// after they were appended.
struct daostub_new_table {
    std::u16string name;
    std::vector<std::shared_ptr<jet_new_column>> columns;
    std::vector<std::shared_ptr<jet_new_index>> indexes;

    jet_new_table spec() const;
};

class daostub_rows;
// The rows a recordset opened to append to a written table starts with: none.
std::unique_ptr<daostub_rows> daostub_written_rows(std::vector<jet_column> columns);

// The engine's column type of a DAO field type; jet_error 3259 "Invalid field data type."
// for one the engine does not write. size: Text characters, Binary bytes.
jet_new_column daostub_new_column(std::u16string name, int dao_type, std::int32_t size);

// The value to store in that column; VT_EMPTY and VT_NULL are null. jet_error 3421 "Data
// type conversion error." when the value does not convert, as DAO reports it.
jet_value daostub_from_variant(const jet_column& column, const VARIANT& value);
