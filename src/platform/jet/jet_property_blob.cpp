#include "platform/jet/jet_property_blob.hpp"

#include <string>

#include "platform/jet/jet_reader.hpp"
#include "platform/jet/jet_text.hpp"

namespace {

class blob_parser {
public:
    blob_parser(std::span<const std::uint8_t> blob, const jet_text_decoder& decoder)
        : reader(blob, 0), text(decoder) {}

    jet_property_set parse() {
        jet_property_set set;
        if (reader.size() == 0) return set;
        std::span<const std::uint8_t> magic = reader.span(0, JET_PROPERTY_MAGIC_SIZE);
        bool known = (magic[0] == 'K' && magic[1] == 'K' && magic[2] == 'D')
                     || (magic[0] == 'M' && magic[1] == 'R' && magic[2] == '2');
        if (!known || magic[3] != 0) reader.corrupt("a property blob has no known signature");
        std::size_t at = JET_PROPERTY_MAGIC_SIZE;
        while (at + JET_PROPERTY_CHUNK_DATA <= reader.size()) {
            std::size_t length = reader.u32(at + JET_PROPERTY_CHUNK_LENGTH);
            std::uint16_t type = reader.u16(at + JET_PROPERTY_CHUNK_TYPE);
            if (length < JET_PROPERTY_CHUNK_DATA) reader.corrupt("a property chunk is too short");
            jet_reader chunk = reader.sub(at, length);
            if (type == JET_PROPERTY_CHUNK_NAMES) {
                read_names(chunk);
            } else if (type == JET_PROPERTY_CHUNK_OBJECT || type == JET_PROPERTY_CHUNK_COLUMN) {
                read_values(chunk, set);
            }
            at += length;
        }
        return set;
    }

private:
    std::u16string read_text(const jet_reader& chunk, std::size_t at, std::size_t length) {
        return text.decode(chunk.span(at, length));
    }

    void read_names(const jet_reader& chunk) {
        std::size_t at = JET_PROPERTY_CHUNK_DATA;
        while (at + 2 <= chunk.size()) {
            std::size_t length = chunk.u16(at);
            names.push_back(read_text(chunk, at + 2, length));
            at += 2 + length;
        }
    }

    void read_values(const jet_reader& chunk, jet_property_set& set) {
        const std::size_t block_at = JET_PROPERTY_CHUNK_DATA;
        std::size_t block = chunk.u32(block_at + JET_PROPERTY_BLOCK_LENGTH);
        std::size_t name_length = chunk.u16(block_at + JET_PROPERTY_BLOCK_NAME_LENGTH);
        std::u16string owner = read_text(chunk, block_at + JET_PROPERTY_BLOCK_NAME, name_length);
        jet_properties properties;
        std::size_t at = block_at + block;
        while (at + JET_PROPERTY_ENTRY_VALUE <= chunk.size()) {
            std::size_t length = chunk.u16(at + JET_PROPERTY_ENTRY_LENGTH);
            if (length < JET_PROPERTY_ENTRY_VALUE) chunk.corrupt("a property entry is too short");
            jet_reader entry = chunk.sub(at, length);
            properties.items.push_back(read_entry(entry));
            at += length;
        }
        if (owner.empty() && set.object.items.empty()) {
            set.object = std::move(properties);
        } else {
            set.columns.emplace_back(std::move(owner), std::move(properties));
        }
    }

    jet_property read_entry(const jet_reader& entry) {
        jet_property property;
        property.is_ddl = entry.u8(JET_PROPERTY_ENTRY_DDL) != 0;
        property.type_code = entry.u8(JET_PROPERTY_ENTRY_TYPE);
        std::size_t name_idx = entry.u16(JET_PROPERTY_ENTRY_NAME_INDEX);
        if (name_idx >= names.size()) entry.corrupt("a property names a missing name slot");
        property.name = names[name_idx];
        std::size_t length = entry.u16(JET_PROPERTY_ENTRY_VALUE_LENGTH);
        property.value = read_value(entry.sub(JET_PROPERTY_ENTRY_VALUE, length),
                                    property.type_code);
        return property;
    }

    jet_value read_value(const jet_reader& value, std::uint8_t type_code) {
        switch (type_code) {
        case JET_TYPE_BOOLEAN: return jet_value(value.size() > 0 && value.u8(0) != 0);
        case JET_TYPE_BYTE: return value.size() >= 1 ? jet_value(value.u8(0)) : jet_value();
        case JET_TYPE_INT16: return value.size() >= 2 ? jet_value(value.i16(0)) : jet_value();
        case JET_TYPE_INT32: return value.size() >= 4 ? jet_value(value.i32(0)) : jet_value();
        case JET_TYPE_FLOAT64: return value.size() >= 8 ? jet_value(value.f64(0)) : jet_value();
        case JET_TYPE_DATETIME:
            return value.size() >= 8 ? jet_value(jet_date{value.f64(0)}) : jet_value();
        case JET_TYPE_TEXT:
        case JET_TYPE_MEMO: return jet_value(read_text(value, 0, value.size()));
        default: {
            std::span<const std::uint8_t> bytes = value.span(0, value.size());
            return jet_value(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        }
        }
    }

    jet_reader reader;
    const jet_text_decoder& text;
    std::vector<std::u16string> names;
};

}   // namespace

jet_property_set jet_read_property_blob(std::span<const std::uint8_t> blob,
                                        const jet_text_decoder& text) {
    return blob_parser(blob, text).parse();
}
