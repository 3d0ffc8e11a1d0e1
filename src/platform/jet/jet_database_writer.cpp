#include "platform/jet/jet_database_writer.hpp"

#include <unistd.h>

#include "platform/jet/jet_byte_writer.hpp"
#include "platform/jet/jet_data_page.hpp"
#include "platform/jet/jet_data_page_writer.hpp"
#include "platform/jet/jet_header_writer.hpp"
#include "platform/jet/jet_page_store.hpp"
#include "platform/jet/jet_property_blob_writer.hpp"
#include "platform/jet/jet_system_tables.hpp"
#include "platform/jet/jet_table_def_writer.hpp"
#include "platform/jet/jet_table_writer.hpp"
#include "platform/jet/jet_text.hpp"
#include "platform/jet/jet_usage_map_writer.hpp"
#include "tk/tk_byte_reader.hpp"

namespace {

constexpr std::uint32_t PAGE_SIZE = 4096;
// Page 1 is the global usage map.
constexpr std::uint32_t CATALOG_TDEF_PAGE = 2;
constexpr int JET_ERR_TABLE_EXISTS = 3010;
constexpr int JET_ERR_ITEM_NOT_FOUND = 3265;
constexpr std::size_t FLUSH_PENDING_PAGES = 512;   // about 2 MB held before writing
// Our reader skips a row by bit 0x8000, mdbtools and mdb-reader by 0x4000: a deleted row
// carries both, so no reader lists a deleted table (ADeletedTableIsGoneForEveryReader).
constexpr std::uint16_t DELETED_FLAGS = 0xC000;

bool has_extension(const std::string& path, std::string_view extension) {
    if (path.size() < extension.size()) return false;
    std::string_view tail = std::string_view(path).substr(path.size() - extension.size());
    for (std::size_t char_idx = 0; char_idx < tail.size(); ++char_idx)
        if (std::tolower(static_cast<unsigned char>(tail[char_idx])) != extension[char_idx])
            return false;
    return true;
}

}   // namespace

struct jet_database_writer::table_entry {
    std::unique_ptr<jet_table_writer> writer;
    std::uint32_t catalogue_row = 0;   // row pointer of its MSysObjects row
};

jet_database_writer::jet_database_writer(std::unique_ptr<jet_page_store> page_store,
                                         jet_format format)
    : store(std::move(page_store)), file_format(format), created(jet_now_ole_date()) {}

jet_database_writer::~jet_database_writer() = default;

const std::string& jet_database_writer::path() const { return store->path(); }

std::unique_ptr<jet_database_writer> jet_database_writer::create(const std::string& path) {
    jet_format format = has_extension(path, ".accdb") ? jet_format::ace12 : jet_format::jet4;
    auto store = std::make_unique<jet_page_store>(path, PAGE_SIZE);
    std::unique_ptr<jet_database_writer> writer(new jet_database_writer(std::move(store), format));
    try {
        writer->write_catalogue();
        writer->flush();
    } catch (...) {
        writer.reset();           // closes the file first
        ::unlink(path.c_str());   // the file is ours: O_EXCL made it
        throw;
    }
    return writer;
}

// Page 0 header, page 1 the database's map of free pages (none), page 2 MSysObjects.
void jet_database_writer::write_catalogue() {
    std::uint32_t header = store->allocate(jet_page_role::header);
    std::vector<std::uint8_t> header_bytes = jet_encode_header_page(file_format, created);
    std::span<std::uint8_t> page0 = store->change(header, jet_page_role::header);
    std::copy(header_bytes.begin(), header_bytes.end(), page0.begin());
    std::uint32_t global_map = store->allocate(jet_page_role::usage_map);
    std::span<std::uint8_t> page1 = store->change(global_map, jet_page_role::usage_map);
    jet_init_data_page(page1, 0);
    jet_add_row(page1, jet_empty_usage_map());
    jet_table_def catalogue_def = jet_lay_out_table(jet_catalog_table());
    catalogue = std::make_unique<jet_table_writer>(jet_create_table_pages(
        *store, std::move(catalogue_def), jet_page_role::catalogue, file_format));
    for (const jet_new_table& table : jet_system_tables()) add_table(table);
    catalogue->append(jet_catalog_values({CATALOG_TDEF_PAGE,
                                          JET_CONTAINER_TABLES,
                                          u"MSysObjects",
                                          JET_OBJECT_TABLE,
                                          JET_SYSTEM_OBJECT_FLAGS,
                                          {}},
                                         created));
    for (const auto& [id, name] : {std::pair{JET_CONTAINER_TABLES, u"Tables"},
                                   std::pair{JET_CONTAINER_DATABASES, u"Databases"},
                                   std::pair{JET_CONTAINER_RELATIONSHIPS, u"Relationships"}})
        catalogue->append(jet_catalog_values(
            {id, JET_CONTAINER_PARENT, name, JET_OBJECT_CONTAINER, 0, {}}, created));
    catalogue->append(jet_catalog_values(
        {JET_OBJECT_DATABASE_ID, JET_CONTAINER_DATABASES, u"MSysDb", JET_OBJECT_DATABASE, 0, {}},
        created));
}

void jet_database_writer::add_table(const jet_new_table& table) {
    jet_table_def def = jet_lay_out_table(table);
    std::vector<std::uint8_t> properties = jet_encode_property_blob(def);
    auto entry = std::make_unique<table_entry>();
    entry->writer = std::make_unique<jet_table_writer>(
        jet_create_table_pages(*store, std::move(def), jet_page_role::content, file_format));
    const jet_table_def& written = entry->writer->definition();
    jet_catalog_row row{std::int32_t(written.tdef_page),
                        JET_CONTAINER_TABLES,
                        written.name,
                        JET_OBJECT_TABLE,
                        table.is_system ? JET_SYSTEM_OBJECT_FLAGS : 0,
                        std::move(properties)};
    entry->catalogue_row = catalogue->append(jet_catalog_values(row, created));
    entries.push_back(std::move(entry));
}

void jet_database_writer::create_table(const jet_new_table& table) {
    for (const auto& entry : entries)
        if (jet_same_name(entry->writer->definition().name, table.name))
            throw jet_error(JET_ERR_TABLE_EXISTS,
                            "Table '" + jet_utf8(table.name) + "' already exists.");
    add_table(table);
}

jet_database_writer::table_entry& jet_database_writer::find(std::u16string_view name) const {
    for (const auto& entry : entries)
        if (jet_same_name(entry->writer->definition().name, name)) return *entry;
    throw jet_error(JET_ERR_ITEM_NOT_FOUND,
                    "Item not found in this collection (" + jet_utf8(std::u16string(name)) + ").");
}

void jet_database_writer::delete_table(std::u16string_view name) {
    table_entry& entry = find(name);
    std::uint32_t page_no = entry.catalogue_row >> 8;
    std::size_t slot_at = JET4_DATA_PAGE_ROW_OFFSETS + std::size_t(entry.catalogue_row & 0xFF) * 2;
    std::span<std::uint8_t> page = store->change(page_no, jet_page_role::catalogue);
    jet_put_u16(page, slot_at, std::uint16_t(TK_BYTE_VIEW(page).u16(slot_at) | DELETED_FLAGS));
    std::erase_if(entries, [&](const auto& held) { return held.get() == &entry; });
}

void jet_database_writer::append_row(std::u16string_view table, std::vector<jet_value> values) {
    find(table).writer->append(std::move(values));
    if (store->pending() >= FLUSH_PENDING_PAGES) flush();
}

const jet_table_def& jet_database_writer::table(std::u16string_view name) const {
    return find(name).writer->definition();
}

std::vector<std::u16string> jet_database_writer::table_names() const {
    std::vector<std::u16string> names;
    for (const auto& entry : entries) {
        const jet_table_def& def = entry->writer->definition();
        if (!def.is_system) names.push_back(def.name);
    }
    return names;
}

std::uint32_t jet_database_writer::row_count(std::u16string_view name) const {
    return find(name).writer->row_count();
}

void jet_database_writer::flush() {
    // Index pages first: the flush must not leave rows on disk that their indexes miss.
    catalogue->write_indexes();
    for (const auto& entry : entries) entry->writer->write_indexes();
    store->flush();
}
