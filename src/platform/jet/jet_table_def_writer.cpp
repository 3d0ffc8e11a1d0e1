#include "platform/jet/jet_table_def_writer.hpp"

#include <span>

#include "platform/jet/jet_byte_writer.hpp"
#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_table_def_layout.hpp"

namespace {

constexpr jet_tdef_layout LAYOUT = JET4_TDEF_LAYOUT;
constexpr std::uint32_t TABLE_NUMBER = 0x0659;   // Access writes it; readers ignore it
constexpr std::uint8_t AUTONUMBER_FLAG = 0x01;
constexpr std::uint32_t NO_RELATED_INDEX = 0xFFFFFFFF;
constexpr std::uint16_t DEFINITION_END = 0xFFFF;
constexpr std::uint8_t COLUMN_FIXED = 0x01;
constexpr std::uint8_t COLUMN_NULLABLE = 0x02;
constexpr std::uint8_t COLUMN_AUTONUMBER = 0x04;
constexpr std::uint8_t COLUMN_UPDATABLE = 0x10;
constexpr std::uint8_t COLUMN_COMPRESSED = 0x01;   // extended flags
constexpr std::uint16_t SORT_GENERAL = 0x0409;
constexpr std::uint8_t INDEX_UNIQUE = 0x01;
constexpr std::uint8_t INDEX_IGNORE_NULLS = 0x02;
constexpr std::uint8_t INDEX_REQUIRED = 0x08;
constexpr std::uint8_t INDEX_ACCESS_2000 = 0x80;   // on every index Access 2000 and later write
constexpr std::uint8_t ORDER_DESCENDING = 0x00;    // readers test the ascending bit alone

std::uint16_t fixed_size(std::uint8_t type_code) {
    switch (type_code) {
    case JET_TYPE_BOOLEAN: return 0;   // the value is the null-mask bit
    case JET_TYPE_BYTE: return 1;
    case JET_TYPE_INT16: return 2;
    case JET_TYPE_INT32:
    case JET_TYPE_FLOAT32: return 4;
    case JET_TYPE_CURRENCY:
    case JET_TYPE_FLOAT64:
    case JET_TYPE_DATETIME: return 8;
    case JET_TYPE_GUID: return 16;
    case JET_TYPE_NUMERIC: return 17;
    default: return 0;
    }
}

bool is_variable(std::uint8_t type_code) {
    return type_code == JET_TYPE_TEXT || type_code == JET_TYPE_BINARY || type_code == JET_TYPE_MEMO
           || type_code == JET_TYPE_OLE;
}

bool is_text(std::uint8_t type_code) {
    return type_code == JET_TYPE_TEXT || type_code == JET_TYPE_MEMO;
}

void add_property(jet_column& column, std::u16string name, std::uint8_t type_code,
                  jet_value value) {
    column.properties.items.push_back(
        jet_property{std::move(name), type_code, true, std::move(value)});
}

}   // namespace

jet_column jet_lay_out_column(const jet_new_column& spec, std::uint16_t number) {
    jet_column column;
    column.name = spec.name;
    column.type_code = spec.type_code;
    column.column_number = number;
    column.bytes_per_char = 2;
    column.flags = COLUMN_UPDATABLE | (spec.is_required ? 0 : COLUMN_NULLABLE);
    if (spec.is_autonumber) column.flags |= COLUMN_AUTONUMBER;
    if (!is_variable(spec.type_code)) column.flags |= COLUMN_FIXED;
    if (is_text(spec.type_code)) {
        column.ext_flags = COLUMN_COMPRESSED;
        column.sort_order = SORT_GENERAL;
    }
    column.size_bytes = spec.type_code == JET_TYPE_TEXT     ? std::uint16_t(spec.length * 2)
                        : spec.type_code == JET_TYPE_BINARY ? spec.length
                                                            : fixed_size(spec.type_code);
    if (spec.type_code == JET_TYPE_NUMERIC) {
        column.precision = spec.precision;
        column.scale = spec.scale;
    }
    if (!spec.default_value.empty())
        add_property(column, u"DefaultValue", JET_TYPE_MEMO, jet_value(spec.default_value));
    if (spec.is_required) add_property(column, u"Required", JET_TYPE_BOOLEAN, jet_value(true));
    if (is_text(spec.type_code))
        add_property(column, u"AllowZeroLength", JET_TYPE_BOOLEAN,
                     jet_value(spec.allows_zero_length));
    return column;
}

namespace {

jet_index lay_out_index(const jet_new_index& spec, const jet_table_def& def, std::uint32_t number) {
    jet_index index;
    index.name = spec.name;
    index.index_number = number;
    index.real_index = number;
    index.is_primary = spec.is_primary;
    index.flags = INDEX_ACCESS_2000 | (spec.is_primary || spec.is_unique ? INDEX_UNIQUE : 0)
                  | (spec.ignores_nulls ? INDEX_IGNORE_NULLS : 0)
                  | (spec.is_primary ? INDEX_REQUIRED : 0);
    for (const jet_new_index_column& key : spec.columns) {
        const jet_column* column = def.find_column(key.name);
        index.columns.push_back({column->name, column->column_number, key.ascending});
    }
    return index;
}

void put_name(jet_byte_buffer& out, const std::u16string& name) {
    out.u16(std::uint16_t(name.size() * 2));
    for (char16_t unit : name) out.u16(unit);
}

// Appends a zeroed entry of `size` bytes for its fields to be put at their offsets.
std::span<std::uint8_t> add_entry(jet_byte_buffer& out, std::size_t size) {
    out.zeros(size);
    return std::span(out.data()).last(size);
}

void put_column(jet_byte_buffer& out, const jet_column& column) {
    std::span<std::uint8_t> entry = add_entry(out, LAYOUT.column_entry);
    jet_put_u8(entry, JET_TDEF_COLUMN_TYPE, column.type_code);
    jet_put_u32(entry, JET4_TDEF_COLUMN_TABLE_NUMBER, TABLE_NUMBER);
    jet_put_u16(entry, LAYOUT.col_number, column.column_number);
    jet_put_u16(entry, LAYOUT.col_var_index, column.var_index);
    jet_put_u16(entry, JET4_TDEF_COLUMN_NUMBER_AGAIN, column.column_number);
    if (column.type_code == JET_TYPE_NUMERIC) {
        jet_put_u8(entry, JET_TDEF_COLUMN_PRECISION, column.precision);
        jet_put_u8(entry, JET_TDEF_COLUMN_SCALE, column.scale);
    } else {
        jet_put_u16(entry, LAYOUT.col_sort_order, column.sort_order);
    }
    // The sort order version stays 0: General (legacy).
    jet_put_u8(entry, LAYOUT.col_flags, column.flags);
    jet_put_u8(entry, LAYOUT.col_ext_flags, column.ext_flags);
    jet_put_u16(entry, LAYOUT.col_fixed_offset, column.fixed_offset);
    jet_put_u16(entry, LAYOUT.col_length, column.size_bytes);
}

void put_physical_index(jet_byte_buffer& out, const jet_index& index, std::uint32_t map_row,
                        std::uint32_t root_page) {
    std::span<std::uint8_t> entry = add_entry(out, LAYOUT.real_idx_def);
    jet_put_u32(entry, JET4_TDEF_ENTRY_TABLE_NUMBER, TABLE_NUMBER);
    std::span<std::uint8_t> fields = entry.subspan(LAYOUT.real_idx_def_skip);
    for (int slot = 0; slot < JET_INDEX_COLUMN_SLOTS; ++slot) {
        const std::size_t slot_at = std::size_t(slot) * JET_INDEX_COLUMN_SLOT_SIZE;
        if (std::size_t(slot) >= index.columns.size()) {
            jet_put_u16(fields, slot_at, JET_INDEX_NO_COLUMN);
            continue;
        }
        const jet_index_column& key = index.columns[std::size_t(slot)];
        jet_put_u16(fields, slot_at, key.column_number);
        jet_put_u8(fields, slot_at + JET_INDEX_SLOT_ORDER,
                   key.ascending ? JET_INDEX_ORDER_ASCENDING : ORDER_DESCENDING);
    }
    jet_put_u32(fields, JET_REAL_INDEX_USAGE_MAP, map_row);
    jet_put_u32(fields, JET_REAL_INDEX_FIRST_PAGE, root_page);
    jet_put_u8(fields, JET4_REAL_INDEX_FLAGS, index.flags);
}

void put_logical_index(jet_byte_buffer& out, const jet_index& index) {
    std::span<std::uint8_t> entry = add_entry(out, LAYOUT.logical_idx_entry);
    jet_put_u32(entry, JET4_TDEF_ENTRY_TABLE_NUMBER, TABLE_NUMBER);
    std::span<std::uint8_t> fields = entry.subspan(LAYOUT.logical_idx_skip);
    jet_put_u32(fields, JET_LOGICAL_INDEX_NUMBER, index.index_number);
    jet_put_u32(fields, JET_LOGICAL_INDEX_REAL_NUMBER, index.real_index);
    // No related table: its type, page and cascades stay 0.
    jet_put_u32(fields, JET_LOGICAL_INDEX_RELATED_INDEX, NO_RELATED_INDEX);
    jet_put_u8(fields, JET_LOGICAL_INDEX_TYPE, index.is_primary ? JET_INDEX_TYPE_PRIMARY : 0);
}

// The fixed part up to the physical index counts; page type, free space and next page are
// filled per page.
void put_header(jet_byte_buffer& out, const jet_table_def& def, const jet_table_storage& storage) {
    std::span<std::uint8_t> header = add_entry(out, LAYOUT.real_idx_start);
    const auto column_count = std::uint16_t(def.columns.size());
    const auto index_count = std::uint32_t(def.indexes.size());
    jet_put_u32(header, JET4_TDEF_TABLE_NUMBER, TABLE_NUMBER);
    jet_put_u32(header, LAYOUT.num_rows, storage.row_count);
    jet_put_u32(header, JET4_TDEF_AUTONUMBER, storage.last_autonumber);
    jet_put_u8(header, JET4_TDEF_AUTONUMBER_FLAG, AUTONUMBER_FLAG);
    jet_put_u8(header, LAYOUT.table_type,
               def.is_system ? JET_TABLE_TYPE_SYSTEM : JET_TABLE_TYPE_USER);
    jet_put_u16(header, JET4_TDEF_MAX_COLUMNS, column_count);
    jet_put_u16(header, LAYOUT.num_var_cols, def.var_column_count);
    jet_put_u16(header, LAYOUT.num_cols, column_count);
    jet_put_u32(header, LAYOUT.num_idx, index_count);
    jet_put_u32(header, LAYOUT.num_real_idx, index_count);
    jet_put_u32(header, LAYOUT.owned_pages, storage.owned_map_row);
    jet_put_u32(header, JET4_TDEF_FREE_PAGES, storage.free_map_row);
    for (std::uint32_t index_idx = 0; index_idx < index_count; ++index_idx) {
        std::span<std::uint8_t> count = add_entry(out, LAYOUT.real_idx_entry);
        jet_put_u32(count, JET4_TDEF_ENTRY_TABLE_NUMBER, TABLE_NUMBER);
        jet_put_u32(count, JET4_TDEF_INDEX_COUNT_ROWS, storage.row_count);
    }
}

}   // namespace

jet_table_def jet_lay_out_table(const jet_new_table& table) {
    jet_check_new_table(table);
    jet_table_def def;
    def.name = table.name;
    def.is_system = table.is_system;
    std::uint16_t fixed_offset = 0;
    for (const jet_new_column& spec : table.columns) {
        jet_column column = jet_lay_out_column(spec, std::uint16_t(def.columns.size()));
        if (column.is_fixed()) {
            column.fixed_offset = fixed_offset;
            fixed_offset = std::uint16_t(fixed_offset + column.size_bytes);
        } else {
            column.var_index = def.var_column_count++;
        }
        def.columns.push_back(std::move(column));
    }
    for (const jet_new_index& spec : table.indexes)
        def.indexes.push_back(lay_out_index(spec, def, std::uint32_t(def.indexes.size())));
    return def;
}

std::vector<std::uint8_t> jet_encode_table_def(const jet_table_def& def,
                                               const jet_table_storage& storage) {
    jet_byte_buffer out;
    put_header(out, def, storage);
    for (const jet_column& column : def.columns) put_column(out, column);
    for (const jet_column& column : def.columns) put_name(out, column.name);
    for (std::size_t index_idx = 0; index_idx < def.indexes.size(); ++index_idx)
        put_physical_index(out, def.indexes[index_idx], storage.index_map_rows[index_idx],
                           storage.index_root_pages[index_idx]);
    for (const jet_index& index : def.indexes) put_logical_index(out, index);
    for (const jet_index& index : def.indexes) put_name(out, index.name);
    out.u16(DEFINITION_END);
    jet_put_u32(out.data(), JET4_TDEF_LENGTH, std::uint32_t(out.size()));
    return out.data();
}
