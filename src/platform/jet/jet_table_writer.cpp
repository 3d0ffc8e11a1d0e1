#include "platform/jet/jet_table_writer.hpp"

#include <algorithm>
#include <optional>

#include "platform/jet/jet_byte_writer.hpp"
#include "platform/jet/jet_data_page_writer.hpp"
#include "platform/jet/jet_decimal_scale.hpp"
#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_index_key.hpp"
#include "platform/jet/jet_row_encoder.hpp"
#include "platform/jet/jet_table_def_layout.hpp"
#include "platform/jet/jet_text.hpp"
#include "platform/jet/jet_usage_map_writer.hpp"

namespace {

constexpr int JET_ERR_RECORD_TOO_LARGE = 3047;
constexpr int JET_ERR_NULL_IN_REQUIRED = 3314;
constexpr int JET_ERR_ZERO_LENGTH = 3315;
constexpr int JET_ERR_KEY_TOO_LONG = 3001;
constexpr jet_tdef_layout LAYOUT = JET4_TDEF_LAYOUT;

std::size_t definition_pages(std::size_t length, std::size_t page_size) {
    if (length <= page_size) return 1;
    std::size_t rest = length - page_size;
    std::size_t per_page = page_size - JET_TDEF_CONTINUATION_SKIP;
    return 1 + (rest + per_page - 1) / per_page;
}

// Spreads the definition over its pages: the first takes bytes 0..page size, each next one
// the following bytes from its offset 8.
void write_definition(jet_page_store& store, const std::vector<std::uint32_t>& pages,
                      const std::vector<std::uint8_t>& bytes) {
    std::size_t page_size = store.page_size();
    std::size_t from = 0;
    for (std::size_t page_idx = 0; page_idx < pages.size(); ++page_idx) {
        std::span<std::uint8_t> page = store.change(pages[page_idx], jet_page_role::definition);
        std::size_t at = page_idx == 0 ? 0 : JET_TDEF_CONTINUATION_SKIP;
        std::size_t take = std::min(page_size - at, bytes.size() - from);
        std::copy_n(bytes.begin() + std::ptrdiff_t(from), take, page.begin() + std::ptrdiff_t(at));
        if (page_idx == 0) std::fill_n(page.begin(), JET_TDEF_CONTINUATION_SKIP, std::uint8_t(0));
        from += take;
        jet_put_u8(page, JET_TDEF_PAGE_TYPE, JET_PAGE_TDEF);
        jet_put_u8(page, JET_TDEF_PAGE_MARK, 0x01);
        jet_put_u16(page, JET_TDEF_FREE_SPACE, std::uint16_t(page_size - at - take));
        jet_put_u32(page, JET_TDEF_NEXT_PAGE,
                    page_idx + 1 < pages.size() ? pages[page_idx + 1] : 0);
    }
}

std::uint32_t add_map_row(jet_page_store& store, std::uint32_t map_page) {
    std::span<std::uint8_t> page = store.change(map_page, jet_page_role::usage_map);
    return jet_row_pointer(map_page, *jet_add_row(page, jet_empty_usage_map()));
}

void check_required(const jet_table_def& def, const std::vector<jet_value>& values) {
    for (const jet_column& column : def.columns) {
        const jet_value& value = values[column.column_number];
        if (value.is_null() && !column.is_nullable() && column.type_code != JET_TYPE_BOOLEAN)
            throw jet_error(JET_ERR_NULL_IN_REQUIRED,
                            "The field '" + jet_utf8(def.name) + "." + jet_utf8(column.name)
                                + "' cannot contain a Null value because the Required property "
                                  "for this field is set to True.");
        if (value.kind() == jet_value_kind::text && value.get<std::u16string>().empty()
            && !column.properties.flag(u"AllowZeroLength", true))
            throw jet_error(JET_ERR_ZERO_LENGTH, "Field '" + jet_utf8(def.name) + "."
                                                     + jet_utf8(column.name)
                                                     + "' cannot be a zero-length string.");
    }
}

}   // namespace

jet_table_writer jet_create_table_pages(jet_page_store& store, jet_table_def def,
                                        jet_page_role data_role, jet_format format) {
    jet_table_storage storage;
    storage.index_map_rows.resize(def.indexes.size());
    storage.index_root_pages.resize(def.indexes.size());
    std::size_t length = jet_encode_table_def(def, storage).size();
    std::vector<std::uint32_t> pages;
    for (std::size_t page_idx = 0; page_idx < definition_pages(length, store.page_size());
         ++page_idx)
        pages.push_back(store.allocate(jet_page_role::definition));
    def.tdef_page = pages.front();
    std::uint32_t map_page = store.allocate(jet_page_role::usage_map);
    jet_init_data_page(store.change(map_page, jet_page_role::usage_map), def.tdef_page);
    storage.owned_map_row = add_map_row(store, map_page);
    storage.free_map_row = add_map_row(store, map_page);
    def.owned_pages_row = storage.owned_map_row;
    for (std::size_t index_idx = 0; index_idx < def.indexes.size(); ++index_idx) {
        std::uint32_t map_row = add_map_row(store, map_page);
        std::uint32_t root = jet_create_index_root(store, def.tdef_page);
        jet_usage_map_add(store, map_row, root);
        storage.index_map_rows[index_idx] = map_row;
        storage.index_root_pages[index_idx] = root;
    }
    write_definition(store, pages, jet_encode_table_def(def, storage));
    return jet_table_writer(store, std::move(def), std::move(storage), data_role, format);
}

jet_table_writer::jet_table_writer(jet_page_store& page_store, jet_table_def definition,
                                   jet_table_storage table_storage, jet_page_role role,
                                   jet_format file_format)
    : store(page_store), def(std::move(definition)), storage(std::move(table_storage)),
      data_role(role), format(file_format), long_values(page_store), unique_keys(def) {
    for (std::size_t index_idx = 0; index_idx < def.indexes.size(); ++index_idx)
        index_pages.emplace_back(storage.index_root_pages[index_idx],
                                 storage.index_map_rows[index_idx]);
}

void jet_table_writer::number_autonumbers(std::vector<jet_value>& values) {
    for (const jet_column& column : def.columns)
        if (column.is_autonumber() && values[column.column_number].is_null())
            values[column.column_number] = jet_value(std::int32_t(storage.last_autonumber + 1));
}

// The row, its unique keys and its index keys all need the column's scale: 1.5 and 1.50
// are one value.
void jet_table_writer::scale_decimals(std::vector<jet_value>& values) const {
    for (const jet_column& column : def.columns) {
        jet_value& value = values[column.column_number];
        if (value.kind() == jet_value_kind::decimal)
            value = jet_value(jet_decimal_for_column(column, value.get<jet_decimal>()));
    }
}

std::uint32_t jet_table_writer::append(std::vector<jet_value> values) {
    values.resize(def.columns.size());
    for (const jet_column& column : def.columns)
        jet_check_value_kind(column, values[column.column_number]);
    scale_decimals(values);
    number_autonumbers(values);
    check_required(def, values);
    std::vector<std::uint8_t> row = jet_encode_row(def, values, long_values);
    if (row.size() > jet_data_page_capacity(store.page_size()))
        throw jet_error(JET_ERR_RECORD_TOO_LARGE, "Record is too large.");
    unique_keys.check(values);
    std::vector<std::optional<std::vector<std::uint8_t>>> keys;
    for (const jet_index& index : def.indexes) {
        // An index that ignores NULLs has no entry for a row whose key is NULL throughout.
        bool all_null = std::all_of(index.columns.begin(), index.columns.end(),
                                    [&](auto& key) { return values[key.column_number].is_null(); });
        keys.emplace_back();
        if (index.ignores_nulls() && all_null) continue;
        keys.back() = jet_index_key(def, index, values, format);
        if (keys.back()->size() > JET_MAX_INDEX_KEY)
            throw jet_error(JET_ERR_KEY_TOO_LONG, "The key of index '" + jet_utf8(index.name)
                                                      + "' is too long for an index page.");
    }
    std::uint32_t pointer = place(row);
    unique_keys.add(values);
    for (std::size_t index_idx = 0; index_idx < keys.size(); ++index_idx)
        if (keys[index_idx]) index_pages[index_idx].add(std::move(*keys[index_idx]), pointer);
    ++storage.row_count;
    for (const jet_column& column : def.columns) {
        if (!column.is_autonumber()) continue;
        std::int32_t given = values[column.column_number].get<std::int32_t>();
        if (given > 0)
            storage.last_autonumber = std::max(storage.last_autonumber, std::uint32_t(given));
    }
    record_counts();
    return pointer;
}

std::uint32_t jet_table_writer::place(const std::vector<std::uint8_t>& row) {
    if (last_page != 0) {
        if (std::optional<std::uint16_t> row_no = jet_add_row(store.change(last_page, data_role),
                                                              row))
            return jet_row_pointer(last_page, *row_no);
    }
    std::uint32_t page_no = store.allocate(data_role);
    jet_init_data_page(store.change(page_no, data_role), def.tdef_page);
    std::uint16_t row_no = *jet_add_row(store.change(page_no, data_role), row);
    jet_usage_map_add(store, storage.owned_map_row, page_no);
    last_page = page_no;
    return jet_row_pointer(page_no, row_no);
}

void jet_table_writer::record_counts() {
    std::span<std::uint8_t> page = store.change(def.tdef_page, jet_page_role::definition);
    jet_put_u32(page, LAYOUT.num_rows, storage.row_count);
    jet_put_u32(page, JET4_TDEF_AUTONUMBER, storage.last_autonumber);
    for (std::size_t index_idx = 0; index_idx < def.indexes.size(); ++index_idx)
        jet_put_u32(page,
                    LAYOUT.real_idx_start + index_idx * LAYOUT.real_idx_entry
                        + JET4_TDEF_INDEX_COUNT_ROWS,
                    storage.row_count);
}

void jet_table_writer::write_indexes() {
    for (jet_index_pages& pages : index_pages) pages.write(store, def.tdef_page);
}
