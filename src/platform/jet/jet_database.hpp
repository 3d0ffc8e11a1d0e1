#pragma once
// jet_database.hpp - the Jet/ACE file engine: opens an .mdb/.accdb (Jet 3, Jet 4, ACE 12-17),
// reads its catalogue, table definitions, relationships and rows. Read-only. Every failure is
// a jet_error with the DAO error number (3024 missing file, 3343 not a database, 3031 wrong
// password, 3045 locked, 3049 corrupt, 3078 unknown table). One database and its cursors
// serve one thread at a time.
//
//   auto db = jet_database::open("nwind.mdb", u"");
//   for (const jet_catalog_entry& entry : db->catalog()) ...
//   jet_table_def def = db->table_def(u"Customers");
//   auto cursor = db->open_cursor(u"Customers");
//   while (cursor->next()) use(cursor->values());

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/jet/jet_catalog.hpp"
#include "platform/jet/jet_code_page.hpp"
#include "platform/jet/jet_cursor.hpp"
#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_schema.hpp"
#include "platform/jet/jet_value.hpp"

enum class jet_format : std::uint8_t { jet3, jet4, ace12, ace14, ace16, ace17 };

struct jet_header {
    jet_format format = jet_format::jet4;
    std::uint32_t version_code = 0;   // the byte at 0x14
    std::uint32_t page_size = 0;
    std::uint32_t page_count = 0;          // whole pages in the file
    std::uint16_t code_page = 0;           // the header's field; not reliable (jet_code_page.hpp)
    std::uint16_t text_code_page = 1252;   // Jet 3 text is decoded in this one, chosen at open
    std::uint32_t sort_order = 0;
    double creation_date = 0;    // OLE date; 0 in Jet 3
    bool is_encrypted = false;   // pages go through a codec
};

struct jet_open_options {
    bool exclusive = false;   // take the file lock exclusively; others' opens get 3045
    // Keep the catalogue rows that can be read, passing damaged ones, instead of failing the
    // open (3049); catalog_damage() then holds the first error. For listings only: a
    // conversion must fail.
    bool b_salvage_catalog = false;
    std::uint16_t code_page = 0;      // Jet 3 text: an explicit choice, 0 for none
    std::string code_page_origin{};   // who made it, for messages ("--codepage")
};

class jet_pager;

class jet_database {
public:
    // path: UTF-8. password: the database password (ignored when the file has none).
    static std::unique_ptr<jet_database> open(const std::string& path,
                                              std::u16string_view password = {},
                                              const jet_open_options& options = {});
    ~jet_database();
    jet_database(const jet_database&) = delete;
    jet_database& operator=(const jet_database&) = delete;

    const jet_header& header() const;
    // How the code page of Jet 3 text was chosen (jet_code_page.hpp); Jet 4 and ACE store
    // UTF-16 and ignore it.
    const jet_code_page_choice& code_page_choice() const { return text_code_page; }
    const std::string& path() const { return file_path; }

    // Every MSysObjects row, in catalogue order.
    const std::vector<jet_catalog_entry>& catalog() const { return entries; }
    // The first damage met in the catalogue; only ever set with b_salvage_catalog.
    const std::optional<jet_error>& catalog_damage() const { return damage; }
    // Tables (local and linked, system ones included), in catalogue order.
    std::vector<jet_catalog_entry> tables() const;
    // User tables: local, not system.
    std::vector<jet_catalog_entry> user_tables() const;
    // Case-blind; nullptr when absent.
    const jet_catalog_entry* find_table(std::u16string_view name) const;

    // A local table's definition with its properties. 3078 for an unknown or linked table.
    jet_table_def table_def(std::u16string_view name) const;
    // A forward cursor over the table's rows; memory does not grow with the table. The
    // cursor reads through this database and must not outlive it.
    std::unique_ptr<jet_cursor> open_cursor(std::u16string_view name) const;
    // The same for a definition already read with table_def.
    std::unique_ptr<jet_cursor> open_cursor(jet_table_def definition) const;
    // Rows counted by walking the table's pages (deleted rows excluded, unlike the stored
    // count). Their values are not decoded: a damaged row fails when it is read.
    std::uint64_t count_rows(std::u16string_view name) const;

    // User relationships (MSysRelationships), in stored order.
    std::vector<jet_relationship> relationships() const;

private:
    jet_database(std::string path, std::unique_ptr<jet_pager> pager);
    void load_catalog(bool b_salvage);
    void read_catalog_rows(const jet_table_def& def, bool b_salvage);
    void add_catalog_entry(const std::vector<jet_value>& row, const std::vector<int>& at);
    // Names the catalogue in a corruption error; keeps the first one when salvaging, else
    // (and for any other error) throws it.
    void keep_or_throw(jet_error& error, bool b_salvage);
    void check_system_tables() const;
    jet_table_def read_definition(const jet_catalog_entry& entry) const;

    std::string file_path;
    std::unique_ptr<jet_pager> pager;
    std::vector<jet_catalog_entry> entries;
    std::vector<std::vector<std::uint8_t>> property_blobs;   // LvProp, parallel to entries
    std::optional<jet_error> damage;
    jet_code_page_choice text_code_page;
};
