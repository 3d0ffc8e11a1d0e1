#pragma once
// jet_database_writer.hpp - writes a new Access file: Jet 4 for ".mdb", ACE 12 for ".accdb"
// (by extension, any case). Creates the file with its catalogue, then tables, rows and
// deletions of tables. Not thread-safe. The file stays locked exclusively until the writer
// is destroyed. Changes reach the disk at flush() (and, to bound memory, as rows arrive):
// destroying the writer without flush() drops what came after the last one, so a run that
// fails leaves the file as of its last flush, readable, never half-written (see
// jet_page_store for the write order).
//
//   auto file = jet_database_writer::create("out.mdb");
//   file->create_table(table);                    // jet_new_table
//   file->append_row(u"Customers", values);       // one jet_value per column
//   file->flush();

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_new_table.hpp"

class jet_page_store;
class jet_table_writer;

class jet_database_writer {
public:
    // 3204 when the file exists. A file this call created is removed when it fails.
    static std::unique_ptr<jet_database_writer> create(const std::string& path);
    ~jet_database_writer();
    jet_database_writer(const jet_database_writer&) = delete;
    jet_database_writer& operator=(const jet_database_writer&) = delete;

    jet_format format() const { return file_format; }
    const std::string& path() const;

    // 3010 when a table of that name (case-blind) exists; jet_check_new_table's errors.
    void create_table(const jet_new_table& table);
    // 3265 for an unknown table. The catalogue row goes; the table's pages stay unused.
    void delete_table(std::u16string_view name);
    // values: one per column (fewer: the rest are null). 3265 for an unknown table; the
    // row's own errors come from jet_table_writer.
    void append_row(std::u16string_view table, std::vector<jet_value> values);
    // The definition of a table created here; 3265 when there is none.
    const jet_table_def& table(std::u16string_view name) const;
    std::vector<std::u16string> table_names() const;   // user tables, in creation order
    std::uint32_t row_count(std::u16string_view name) const;
    void flush();

private:
    struct table_entry;

    jet_database_writer(std::unique_ptr<jet_page_store> store, jet_format format);
    void write_catalogue();
    void add_table(const jet_new_table& table);
    table_entry& find(std::u16string_view name) const;

    std::unique_ptr<jet_page_store> store;
    jet_format file_format;
    double created = 0;
    std::unique_ptr<jet_table_writer> catalogue;
    std::vector<std::unique_ptr<table_entry>> entries;
};
