#include "platform/jet/jet_property_blob_writer.hpp"

#include <algorithm>

#include "platform/jet/jet_byte_writer.hpp"

namespace {

constexpr std::uint16_t CHUNK_NAMES = 0x80;
constexpr std::uint16_t CHUNK_COLUMN = 0x01;
constexpr std::size_t CHUNK_HEADER = 6;
constexpr std::size_t ENTRY_HEADER = 8;

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

void close_chunk(jet_byte_buffer& out, std::size_t chunk_start) {
    jet_put_u32(out.data(), chunk_start, std::uint32_t(out.size() - chunk_start));
}

}  // namespace

std::vector<std::uint8_t> jet_encode_property_blob(const jet_table_def& def) {
    std::vector<std::u16string> names;
    for (const jet_column& column : def.columns)
        for (const jet_property& property : column.properties.items)
            if (std::find(names.begin(), names.end(), property.name) == names.end())
                names.push_back(property.name);
    if (names.empty()) return {};
    jet_byte_buffer out;
    for (char magic : {'M', 'R', '2', '\0'}) out.u8(std::uint8_t(magic));
    std::size_t chunk_start = out.size();
    out.u32(0);
    out.u16(CHUNK_NAMES);
    for (const std::u16string& name : names) {
        out.u16(std::uint16_t(name.size() * 2));
        out.append(utf16le(name));
    }
    close_chunk(out, chunk_start);
    for (const jet_column& column : def.columns) {
        if (column.properties.items.empty()) continue;
        chunk_start = out.size();
        out.u32(0);
        out.u16(CHUNK_COLUMN);
        std::vector<std::uint8_t> owner = utf16le(column.name);
        out.u32(std::uint32_t(CHUNK_HEADER + owner.size()));
        out.u16(std::uint16_t(owner.size()));
        out.append(owner);
        for (const jet_property& property : column.properties.items) {
            std::vector<std::uint8_t> value = value_bytes(property);
            auto slot = std::find(names.begin(), names.end(), property.name) - names.begin();
            out.u16(std::uint16_t(ENTRY_HEADER + value.size()));
            out.u8(0);
            out.u8(property.type_code);
            out.u16(std::uint16_t(slot));
            out.u16(std::uint16_t(value.size()));
            out.append(value);
        }
        close_chunk(out, chunk_start);
    }
    return out.data();
}
