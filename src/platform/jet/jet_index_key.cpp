#include "platform/jet/jet_index_key.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <span>
#include <string_view>

#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_sort_codes.hpp"
#include "platform/jet/jet_text.hpp"
#include "platform/oleaut/oleaut_guid.hpp"

namespace {

constexpr int JET_ERR_INVALID_ARGUMENT = 3001;
constexpr std::uint8_t START_ASCENDING = 0x7F;
constexpr std::uint8_t START_DESCENDING = 0x80;
constexpr std::uint8_t NULL_ASCENDING = 0x00;
constexpr std::uint8_t NULL_DESCENDING = 0xFF;
constexpr std::uint8_t YES_ASCENDING = 0x00;
constexpr std::uint8_t NO_ASCENDING = 0xFF;
constexpr std::size_t SEGMENT_BYTES = 8;
constexpr std::uint8_t SEGMENT_MORE = 0x09;       // after a segment that is not the last
constexpr std::uint8_t DECIMAL_POSITIVE = 0xFF;   // sign byte of a key, zero included
constexpr std::uint8_t DECIMAL_NEGATIVE = 0x00;
constexpr std::uint8_t TEXT_END = 0x01;
constexpr std::uint8_t TEXT_END_EXTRA = 0x00;
constexpr std::uint8_t ACCENT_NONE = 0x02;       // stands for a character without one
constexpr std::uint16_t UNPRINTABLE_FIRST = 7;   // position code of the first character
constexpr std::uint16_t UNPRINTABLE_STEP = 4;
constexpr std::uint16_t UNPRINTABLE_FLAG = 0x8000;
constexpr std::uint8_t UNPRINTABLE_MIDDLE = 0x06;
constexpr std::size_t MAX_TEXT_KEY_CHARS = 255;
constexpr char16_t TRAILING_SPACE = u' ';
constexpr std::uint8_t FLAGS_PREFIX = 0x80;
constexpr std::uint8_t FLAG_DEFAULT = 0x03;
constexpr std::array<std::uint8_t, 5> FLAGS_SUFFIX = {0xFF, 0x02, 0x80, 0xFF, 0x80};
constexpr std::uint8_t FLAGS_BEFORE_UNPRINTABLES = 0xFF;

void invert(std::vector<std::uint8_t>& bytes, std::size_t from) {
    for (std::size_t at = from; at < bytes.size(); ++at) bytes[at] = std::uint8_t(~bytes[at]);
}

void put_big_endian(std::vector<std::uint8_t>& out, std::uint64_t value, int size) {
    for (int shift = (size - 1) * 8; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(value >> shift));
}

// Two's complement integers: flipping the sign bit makes them sort as unsigned bytes.
void put_integer(std::vector<std::uint8_t>& out, std::int64_t value, int size) {
    std::size_t from = out.size();
    put_big_endian(out, std::uint64_t(value), size);
    out[from] ^= 0x80;
}

// IEEE floats: positive ones sort by their bits once the sign is set, negative ones by
// their inverted bits.
void put_float(std::vector<std::uint8_t>& out, std::uint64_t bits, int size) {
    std::size_t from = out.size();
    put_big_endian(out, bits, size);
    if (out[from] & 0x80) invert(out, from);
    else out[from] ^= 0x80;
}

// Binary values in segments of 8 bytes: each but the last followed by SEGMENT_MORE, the
// last padded with zeros and followed by its length, so a value sorts before any longer
// one it begins. Descending inverts every byte but the SEGMENT_MORE marks: those compare
// only against each other, at the same place. An empty value leaves only the flag.
void put_segments(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes,
                  bool ascending) {
    for (std::size_t at = 0; at < bytes.size(); at += SEGMENT_BYTES) {
        std::size_t length = std::min(SEGMENT_BYTES, bytes.size() - at);
        bool is_last = bytes.size() - at <= SEGMENT_BYTES;
        std::size_t from = out.size();
        out.insert(out.end(), bytes.begin() + std::ptrdiff_t(at),
                   bytes.begin() + std::ptrdiff_t(at + length));
        out.insert(out.end(), SEGMENT_BYTES - length, std::uint8_t(0));
        out.push_back(is_last ? std::uint8_t(length) : SEGMENT_MORE);
        if (!ascending) {
            invert(out, from);
            if (!is_last) out.back() = SEGMENT_MORE;
        }
    }
}

void put_guid(std::vector<std::uint8_t>& out, const jet_guid& guid, bool ascending) {
    // The key spells the GUID as its text does, not in the file's byte order.
    guid_bytes text_order = guid_to_text_order_bytes(guid_from_bytes(guid.bytes));
    put_segments(out, text_order, ascending);
}

// Decimal: a sign byte, then the magnitude as 16 bytes big-endian, inverted when the key
// must sort it backwards (negative ascending, positive descending). The sign byte is 0xFF
// before that inversion in ACE files, but 0xFF for positive and 0x00 for negative values
// after it in Jet 4 ones: there a descending index holds the negative values first, each
// half in descending order, which Microsoft corrected with Access 2007 (KB 837148).
void put_decimal(std::vector<std::uint8_t>& out, const jet_decimal& number, bool ascending,
                 jet_format format) {
    bool negative = number.negative && (number.lo | number.mid | number.hi) != 0;
    bool jet4_order = format == jet_format::jet3 || format == jet_format::jet4;
    std::size_t from = out.size();
    out.push_back(DECIMAL_POSITIVE);
    put_big_endian(out, 0, 4);   // the magnitude's top word: a Decimal holds 96 bits
    put_big_endian(out, number.hi, 4);
    put_big_endian(out, number.mid, 4);
    put_big_endian(out, number.lo, 4);
    if (negative == ascending) invert(out, from);
    if (jet4_order) out[from] = negative ? DECIMAL_NEGATIVE : DECIMAL_POSITIVE;
}

// The value of one key column, flag first, as it sorts ascending.
void put_value(std::vector<std::uint8_t>& out, const jet_value& value) {
    switch (value.kind()) {
    case jet_value_kind::byte: out.push_back(value.get<std::uint8_t>()); break;
    case jet_value_kind::int16: put_integer(out, value.get<std::int16_t>(), 2); break;
    case jet_value_kind::int32: put_integer(out, value.get<std::int32_t>(), 4); break;
    case jet_value_kind::int64: put_integer(out, value.get<std::int64_t>(), 8); break;
    case jet_value_kind::currency: put_integer(out, value.get<jet_currency>().units, 8); break;
    case jet_value_kind::float32:
        put_float(out, std::bit_cast<std::uint32_t>(value.get<float>()), 4);
        break;
    case jet_value_kind::float64:
        put_float(out, std::bit_cast<std::uint64_t>(value.get<double>()), 8);
        break;
    case jet_value_kind::date:
        put_float(out, std::bit_cast<std::uint64_t>(value.get<jet_date>().serial), 8);
        break;
    default: throw jet_error(JET_ERR_INVALID_ARGUMENT, "This data type cannot be an index key.");
    }
}

// The extra bytes of a text key, and the places they stand for: ACCENT_NONE fills the place
// of a character without extra bytes up to the last one with. Until the first extra byte
// every sort element counts a place (sharp s two); from then on every character counts one,
// or as many as its extra bytes. Index pages Access wrote show both: "Lebensmittelgro\u00DF
// m\u00E4rkte" puts the umlaut's byte 26 places in, while after accented letters sharp s,
// ae and thorn take one ACCENT_NONE each.
struct text_extras {
    std::vector<std::uint8_t> bytes;
    std::size_t places = 0;   // those not filled yet included
    std::size_t prefix = 0;   // a combining mark's byte before any place
    bool started = false;

    void pass(const jet_sort_code& code) {
        places += started ? (code.inline_size != 0 ? 1 : 0) : code.elements;
    }
    void fill() {
        started = true;
        std::size_t filled = bytes.size() - prefix;
        if (filled < places) bytes.insert(bytes.end(), places - filled, ACCENT_NONE);
    }
    void add(std::string_view extra) {
        fill();
        bytes.insert(bytes.end(), extra.begin(), extra.end());
        places += extra.size();
    }
    // A combining mark changes the extra byte before it and takes no place.
    void modify(std::uint8_t change) {
        fill();
        if (!bytes.empty()) {
            bytes.back() = std::uint8_t(bytes.back() + change);
        } else {
            bytes.push_back(change);
            prefix = 1;
        }
    }
};

// `place`: where the unprintable character stands, counted as text_extras counts.
void put_unprintable(std::vector<std::uint8_t>& out, std::size_t place, std::string_view code) {
    std::uint16_t where = std::uint16_t((UNPRINTABLE_FIRST + UNPRINTABLE_STEP * place)
                                        | UNPRINTABLE_FLAG);
    out.push_back(std::uint8_t(where >> 8));
    out.push_back(std::uint8_t(where));
    out.push_back(UNPRINTABLE_MIDDLE);
    out.insert(out.end(), code.begin(), code.end());
}

// Flags of 2 bits, three to a byte under the prefix 0x80; trailing 3s are left out, the
// fixed suffix is written even when none is left.
void put_flags(std::vector<std::uint8_t>& out, std::vector<std::uint8_t> flags) {
    while (!flags.empty() && flags.back() == FLAG_DEFAULT) flags.pop_back();
    for (std::size_t from = 0; from < flags.size(); from += 3) {
        std::uint8_t packed = FLAGS_PREFIX;
        for (std::size_t at = from; at < std::min(from + 3, flags.size()); ++at)
            packed |= std::uint8_t(flags[at] << ((2 - (at - from)) * 2));
        out.push_back(packed);
    }
    out.insert(out.end(), FLAGS_SUFFIX.begin(), FLAGS_SUFFIX.end());
}

}   // namespace

bool jet_index_key_supported(std::uint8_t type_code) {
    switch (type_code) {
    case JET_TYPE_BOOLEAN:
    case JET_TYPE_BYTE:
    case JET_TYPE_INT16:
    case JET_TYPE_INT32:
    case JET_TYPE_CURRENCY:
    case JET_TYPE_FLOAT32:
    case JET_TYPE_FLOAT64:
    case JET_TYPE_DATETIME:
    case JET_TYPE_TEXT:
    case JET_TYPE_GUID:
    case JET_TYPE_BIGINT:
    case JET_TYPE_NUMERIC:
    case JET_TYPE_BINARY: return true;
    default: return false;
    }
}

std::u16string_view jet_text_key_part(std::u16string_view text) {
    // Access leaves trailing spaces out of a key (its pages hold "Frankfurt a.M. " as if
    // without).
    std::size_t end = std::min(text.size(), MAX_TEXT_KEY_CHARS);
    while (end > 0 && text[end - 1] == TRAILING_SPACE) --end;
    return text.substr(0, end);
}

std::vector<std::uint8_t> jet_text_index_key(const std::u16string& text, bool ascending) {
    std::vector<std::uint8_t> out;
    text_extras extras;
    std::vector<std::uint8_t> unprintables;
    std::vector<std::uint8_t> flags;
    for (char16_t unit : jet_text_key_part(text)) {
        jet_sort_code code = jet_general_sort_code(unit);
        std::span<const std::uint8_t> inline_bytes = code.inline_view();
        out.insert(out.end(), inline_bytes.begin(), inline_bytes.end());
        if (code.kind == jet_sort_kind::flagged) flags.push_back(code.flag);
        if (code.kind == jet_sort_kind::modifier) {
            extras.modify(std::uint8_t(code.extra.front()));
        } else if (code.kind == jet_sort_kind::unprintable) {
            put_unprintable(unprintables, extras.places, code.extra);
        } else if (!code.extra.empty()) {
            extras.add(code.extra);
        } else {
            extras.pass(code);
        }
    }
    out.push_back(TEXT_END);
    std::vector<std::uint8_t>& accents = extras.bytes;
    while (!accents.empty() && accents.back() <= ACCENT_NONE) accents.pop_back();
    out.insert(out.end(), accents.begin(), accents.end());
    if (!unprintables.empty() || !flags.empty()) {
        out.insert(out.end(), {TEXT_END, TEXT_END});
        if (!flags.empty()) {
            put_flags(out, flags);
            if (!unprintables.empty()) out.push_back(FLAGS_BEFORE_UNPRINTABLES);
        }
        if (!unprintables.empty()) {
            out.push_back(TEXT_END);
            out.insert(out.end(), unprintables.begin(), unprintables.end());
        }
    }
    if (!ascending) {
        out.push_back(TEXT_END_EXTRA);
        invert(out, 0);
    }
    out.push_back(TEXT_END_EXTRA);
    return out;
}

std::vector<std::uint8_t> jet_index_key(const jet_table_def& def, const jet_index& index,
                                        const std::vector<jet_value>& values, jet_format format) {
    std::vector<std::uint8_t> key;
    for (const jet_index_column& column : index.columns) {
        const jet_value& value = values[column.column_number];
        const jet_column* spec = def.find_column(column.name);
        if (spec != nullptr && spec->type_code == JET_TYPE_BOOLEAN) {
            bool yes = !value.is_null() && value.get<bool>();
            key.push_back((yes == column.ascending) ? YES_ASCENDING : NO_ASCENDING);
            continue;
        }
        if (value.is_null()) {
            key.push_back(column.ascending ? NULL_ASCENDING : NULL_DESCENDING);
            continue;
        }
        key.push_back(column.ascending ? START_ASCENDING : START_DESCENDING);
        if (value.kind() == jet_value_kind::text) {
            std::vector<std::uint8_t> text = jet_text_index_key(value.get<std::u16string>(),
                                                                column.ascending);
            key.insert(key.end(), text.begin(), text.end());
        } else if (value.kind() == jet_value_kind::guid) {
            put_guid(key, value.get<jet_guid>(), column.ascending);
        } else if (value.kind() == jet_value_kind::binary) {
            put_segments(key, value.get<std::vector<std::uint8_t>>(), column.ascending);
        } else if (value.kind() == jet_value_kind::decimal) {
            put_decimal(key, value.get<jet_decimal>(), column.ascending, format);
        } else {
            std::size_t from = key.size();
            put_value(key, value);
            if (!column.ascending) invert(key, from);
        }
    }
    return key;
}
