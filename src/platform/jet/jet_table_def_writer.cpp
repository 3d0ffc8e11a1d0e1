#include "platform/jet/jet_table_def_writer.hpp"

#include "platform/jet/jet_byte_writer.hpp"
#include "platform/jet/jet_error.hpp"

namespace {

constexpr std::uint32_t TABLE_NUMBER = 0x0659;   // Access writes it; readers ignore it
constexpr std::uint8_t TABLE_USER = 0x4E;
constexpr std::uint8_t TABLE_SYSTEM = 0x53;
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
constexpr std::uint8_t ORDER_ASCENDING = 0x01;
constexpr std::uint8_t ORDER_DESCENDING = 0x00;   // readers test the ascending bit alone
constexpr std::uint8_t LOGICAL_PRIMARY = 0x01;
constexpr int INDEX_COLUMN_SLOTS = 10;
constexpr std::uint16_t NO_COLUMN = 0xFFFF;

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
    return type_code == JET_TYPE_TEXT || type_code == JET_TYPE_BINARY ||
           type_code == JET_TYPE_MEMO || type_code == JET_TYPE_OLE;
}

bool is_text(std::uint8_t type_code) {
    return type_code == JET_TYPE_TEXT || type_code == JET_TYPE_MEMO;
}

void add_property(jet_column& column, std::u16string name, std::uint8_t type_code,
                  jet_value value) {
    column.properties.items.push_back(jet_property{std::move(name), type_code, true,
                                                   std::move(value)});
}

}  // namespace

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

jet_index lay_out_index(const jet_new_index& spec, const jet_table_def& def,
                        std::uint32_t number) {
    jet_index index;
    index.name = spec.name;
    index.index_number = number;
    index.real_index = number;
    index.is_primary = spec.is_primary;
    index.flags = INDEX_ACCESS_2000 | (spec.is_primary || spec.is_unique ? INDEX_UNIQUE : 0) |
                  (spec.ignores_nulls ? INDEX_IGNORE_NULLS : 0) |
                  (spec.is_primary ? INDEX_REQUIRED : 0);
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

void put_column(jet_byte_buffer& out, const jet_column& column) {
    out.u8(column.type_code);
    out.u32(TABLE_NUMBER);
    out.u16(column.column_number);
    out.u16(column.var_index);
    out.u16(column.column_number);
    if (column.type_code == JET_TYPE_NUMERIC) {
        out.u8(column.precision);
        out.u8(column.scale);
    } else {
        out.u16(column.sort_order);
    }
    out.u16(0);   // sort order version: General (legacy)
    out.u8(column.flags);
    out.u8(column.ext_flags);
    out.u32(0);
    out.u16(column.fixed_offset);
    out.u16(column.size_bytes);
}

void put_physical_index(jet_byte_buffer& out, const jet_index& index, std::uint32_t map_row,
                        std::uint32_t root_page) {
    out.u32(TABLE_NUMBER);
    for (int slot = 0; slot < INDEX_COLUMN_SLOTS; ++slot) {
        if (std::size_t(slot) < index.columns.size()) {
            out.u16(index.columns[std::size_t(slot)].column_number);
            out.u8(index.columns[std::size_t(slot)].ascending ? ORDER_ASCENDING
                                                                : ORDER_DESCENDING);
        } else {
            out.u16(NO_COLUMN);
            out.u8(0);
        }
    }
    out.u32(map_row);
    out.u32(root_page);
    out.u32(0);
    out.u8(index.flags);
    out.zeros(5);
}

void put_logical_index(jet_byte_buffer& out, const jet_index& index) {
    out.u32(TABLE_NUMBER);
    out.u32(index.index_number);
    out.u32(index.real_index);
    out.u8(0);             // no related table
    out.u32(0xFFFFFFFFu);  // no related index
    out.u32(0);
    out.u8(0);
    out.u8(0);
    out.u8(index.is_primary ? LOGICAL_PRIMARY : 0);
    out.u32(0);
}

}  // namespace

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
    out.zeros(8);   // page type, free space and next page: per page
    out.u32(0);     // length, filled below
    out.u32(TABLE_NUMBER);
    out.u32(storage.row_count);
    out.u32(storage.last_autonumber);
    out.u8(0x01);
    out.zeros(3);
    out.u32(0);
    out.zeros(8);
    out.u8(def.is_system ? TABLE_SYSTEM : TABLE_USER);
    out.u16(std::uint16_t(def.columns.size()));
    out.u16(def.var_column_count);
    out.u16(std::uint16_t(def.columns.size()));
    out.u32(std::uint32_t(def.indexes.size()));
    out.u32(std::uint32_t(def.indexes.size()));
    out.u32(storage.owned_map_row);
    out.u32(storage.free_map_row);
    for (std::size_t index_idx = 0; index_idx < def.indexes.size(); ++index_idx) {
        out.u32(TABLE_NUMBER);
        out.u32(storage.row_count);
        out.u32(0);
    }
    for (const jet_column& column : def.columns) put_column(out, column);
    for (const jet_column& column : def.columns) put_name(out, column.name);
    for (std::size_t index_idx = 0; index_idx < def.indexes.size(); ++index_idx)
        put_physical_index(out, def.indexes[index_idx], storage.index_map_rows[index_idx],
                           storage.index_root_pages[index_idx]);
    for (const jet_index& index : def.indexes) put_logical_index(out, index);
    for (const jet_index& index : def.indexes) put_name(out, index.name);
    out.u16(0xFFFF);
    jet_put_u32(out.data(), 8, std::uint32_t(out.size()));
    return out.data();
}
