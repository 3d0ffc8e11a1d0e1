#include "platform/jet/jet_property_blob_writer.hpp"

#include <algorithm>
#include <span>

#include "platform/jet/jet_byte_writer.hpp"
#include "platform/jet/jet_property_blob.hpp"

namespace {

std::vector<std::uint8_t> utf16le(const std::u16string& text) {
    jet_byte_buffer out;
    for (char16_t unit : text) out.u16(unit);
    return out.data();
}

std::vector<std::uint8_t> value_bytes(const jet_property& property) {
    jet_byte_buffer out;
    switch (property.value.kind()) {
    case jet_value_kind::boolean: out.u8(property.value.get<bool>() ? 0xFF : 0x00); break;
    case jet_value_kind::text: return utf16le(property.value.get<std::u16string>());
    default: break;   // the writer sets no other kinds
    }
    return out.data();
}

// Starts a chunk of that type; close_chunk gives it its length once its data is in.
std::size_t open_chunk(jet_byte_buffer& out, std::uint16_t type) {
    std::size_t chunk_start = out.size();
    out.zeros(JET_PROPERTY_CHUNK_DATA);
    jet_put_u16(out.data(), chunk_start + JET_PROPERTY_CHUNK_TYPE, type);
    return chunk_start;
}

void close_chunk(jet_byte_buffer& out, std::size_t chunk_start) {
    jet_put_u32(out.data(), chunk_start + JET_PROPERTY_CHUNK_LENGTH,
                std::uint32_t(out.size() - chunk_start));
}

void put_entry(jet_byte_buffer& out, const jet_property& property, std::size_t name_slot) {
    std::vector<std::uint8_t> value = value_bytes(property);
    std::size_t entry_start = out.size();
    out.zeros(JET_PROPERTY_ENTRY_VALUE);
    std::span<std::uint8_t> entry = std::span(out.data()).subspan(entry_start);
    jet_put_u16(entry, JET_PROPERTY_ENTRY_LENGTH,
                std::uint16_t(JET_PROPERTY_ENTRY_VALUE + value.size()));
    jet_put_u8(entry, JET_PROPERTY_ENTRY_TYPE, property.type_code);   // DDL flag: 0
    jet_put_u16(entry, JET_PROPERTY_ENTRY_NAME_INDEX, std::uint16_t(name_slot));
    jet_put_u16(entry, JET_PROPERTY_ENTRY_VALUE_LENGTH, std::uint16_t(value.size()));
    out.append(value);
}

}   // namespace

std::vector<std::uint8_t> jet_encode_property_blob(const jet_table_def& def) {
    std::vector<std::u16string> names;
    for (const jet_column& column : def.columns)
        for (const jet_property& property : column.properties.items)
            if (std::find(names.begin(), names.end(), property.name) == names.end())
                names.push_back(property.name);
    if (names.empty()) return {};
    jet_byte_buffer out;
    for (char magic : {'M', 'R', '2', '\0'}) out.u8(std::uint8_t(magic));
    std::size_t chunk_start = open_chunk(out, JET_PROPERTY_CHUNK_NAMES);
    for (const std::u16string& name : names) {
        out.u16(std::uint16_t(name.size() * 2));
        out.append(utf16le(name));
    }
    close_chunk(out, chunk_start);
    for (const jet_column& column : def.columns) {
        if (column.properties.items.empty()) continue;
        chunk_start = open_chunk(out, JET_PROPERTY_CHUNK_COLUMN);
        std::vector<std::uint8_t> owner = utf16le(column.name);
        out.u32(std::uint32_t(JET_PROPERTY_BLOCK_NAME + owner.size()));   // the name block
        out.u16(std::uint16_t(owner.size()));
        out.append(owner);
        for (const jet_property& property : column.properties.items) {
            auto slot = std::find(names.begin(), names.end(), property.name) - names.begin();
            put_entry(out, property, std::size_t(slot));
        }
        close_chunk(out, chunk_start);
    }
    return out.data();
}
