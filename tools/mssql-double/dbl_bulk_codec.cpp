// dbl_bulk_codec.cpp - reads the column descriptions and values a bcp client sends in a
// bulk-load message. Every length is checked against its type before the bytes are taken:
// a length the type cannot have is 4815, a type the double does not take 4816.
#include "dbl_tds.hpp"

#include "dbl_date.hpp"
#include "dbl_error.hpp"
#include "dbl_wire_types.hpp"

#include <cstring>

namespace {

int fixed_size(std::uint8_t code) {
    switch (code) {
    case W_INT1:
    case W_BIT: return 1;
    case W_INT2: return 2;
    case W_INT4:
    case W_FLT4: return 4;
    case W_MONEY:
    case W_DATETIME:
    case W_FLT8:
    case W_INT8: return 8;
    default: return 0;
    }
}

dbl_type fixed_type(std::uint8_t code, int size) {
    switch (code) {
    case W_INT1: return dbl_make_type(dbl_kind::TINYINT);
    case W_BIT:
    case W_BITN: return dbl_make_type(dbl_kind::BIT);
    case W_INT2: return dbl_make_type(dbl_kind::SMALLINT);
    case W_INT4: return dbl_make_type(dbl_kind::INT);
    case W_INT8: return dbl_make_type(dbl_kind::BIGINT);
    case W_FLT4: return dbl_make_type(dbl_kind::REAL);
    case W_FLT8: return dbl_make_type(dbl_kind::FLOAT);
    case W_MONEY: return dbl_make_type(dbl_kind::MONEY);
    case W_DATETIME: return dbl_make_type(dbl_kind::DATETIME);
    case W_INTN:
        return dbl_make_type(size == 1   ? dbl_kind::TINYINT
                             : size == 2 ? dbl_kind::SMALLINT
                             : size == 4 ? dbl_kind::INT
                                         : dbl_kind::BIGINT);
    case W_FLTN: return dbl_make_type(size == 4 ? dbl_kind::REAL : dbl_kind::FLOAT);
    case W_MONEYN: return dbl_make_type(dbl_kind::MONEY);
    case W_DATETIMN: return dbl_make_type(dbl_kind::DATETIME);
    default: return dbl_make_type(dbl_kind::GUID);
    }
}

bool valid_n_size(std::uint8_t code, int size) {
    switch (code) {
    case W_INTN: return size == 1 || size == 2 || size == 4 || size == 8;
    case W_BITN: return size == 1;
    case W_FLTN: return size == 4 || size == 8;
    case W_MONEYN:   // smallmoney is not taken
    case W_DATETIMN: return size == 8;
    case W_GUID: return size == 16;
    default: return false;
    }
}

// A length beyond the bytes at hand is 4815 at the end of the message; before it, the
// value goes on in the next packet.
void need_bytes(const dbl_reader& r, std::size_t size, int column_number) {
    if (size <= r.remaining()) return;
    if (r.is_partial()) throw dbl_short_input("value goes on in the next packet");
    throw dbl_err::bulk_bad_length(column_number);
}

// A bcp client names the table of a text, ntext or image column with one US_VARCHAR
// ("db.dbo.t"), not the part count of the server's COLMETADATA.
void read_table_name(dbl_reader& r) { r.utf16(r.u16_le()); }

dbl_type variable_type(std::uint8_t code, int length) {
    bool max = length == 0xFFFF;
    switch (code) {
    case W_BIGVARCHR: return dbl_make_type(dbl_kind::VARCHAR, max ? DBL_MAX_LENGTH : length);
    case W_BIGCHAR: return dbl_make_type(dbl_kind::CHAR, length);
    case W_NVARCHAR: return dbl_make_type(dbl_kind::NVARCHAR, max ? DBL_MAX_LENGTH : length / 2);
    case W_NCHAR: return dbl_make_type(dbl_kind::NCHAR, length / 2);
    case W_BIGVARBIN: return dbl_make_type(dbl_kind::VARBINARY, max ? DBL_MAX_LENGTH : length);
    default: return dbl_make_type(dbl_kind::BINARY, length);
    }
}

std::string read_plp(dbl_reader& r, bool& is_null, int column_number) {
    std::uint64_t total = r.u64_le();
    is_null = total == ~std::uint64_t(0);
    std::string payload;
    if (is_null) return payload;
    while (true) {
        std::uint32_t chunk = r.u32_le();
        if (chunk == 0) break;
        need_bytes(r, chunk, column_number);
        auto bytes = r.take(chunk);
        payload.append(bytes.begin(), bytes.end());
    }
    if (total != ~std::uint64_t(1) && total != payload.size())
        throw dbl_err::bulk_bad_length(column_number);
    return payload;
}

dbl_value from_payload(const dbl_type& type, const std::string& payload, int column_number) {
    if (!type.is_wide_text()) return dbl_bytes_value(payload);
    if (payload.size() % 2) throw dbl_err::bulk_bad_length(column_number);
    std::u16string text(payload.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = char16_t((unsigned char)payload[2 * i]
                           | ((unsigned char)payload[2 * i + 1] << 8));
    return dbl_wide_value(text);
}

std::int64_t little_signed(std::span<const std::uint8_t> bytes) {
    std::uint64_t bits = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) bits = (bits << 8) | bytes[i];
    int shift = int(64 - 8 * bytes.size());
    return shift > 0 ? std::int64_t(bits << shift) >> shift : std::int64_t(bits);
}

dbl_value read_fixed(std::span<const std::uint8_t> bytes, const dbl_type& type) {
    dbl_value value;
    value.b_null = false;
    switch (type.kind) {
    case dbl_kind::TINYINT:
    case dbl_kind::BIT:
        value.integer = bytes[0];
        if (type.kind == dbl_kind::BIT) value.integer = value.integer ? 1 : 0;
        break;
    case dbl_kind::REAL: {
        std::uint32_t bits = std::uint32_t(little_signed(bytes));
        float single;
        std::memcpy(&single, &bits, 4);
        value.floating = single;
        break;
    }
    case dbl_kind::FLOAT: {
        std::uint64_t bits = std::uint64_t(little_signed(bytes));
        std::memcpy(&value.floating, &bits, 8);
        break;
    }
    case dbl_kind::MONEY: {   // the high 32 bits come first
        std::uint64_t high = std::uint32_t(little_signed(bytes.subspan(0, 4)));
        std::uint64_t low = std::uint32_t(little_signed(bytes.subspan(4, 4)));
        value.integer = std::int64_t((high << 32) | low);
        break;
    }
    case dbl_kind::DATETIME:
        value.integer = std::int32_t(little_signed(bytes.subspan(0, 4))) * DBL_TICKS_PER_DAY
                        + std::uint32_t(little_signed(bytes.subspan(4, 4)));
        break;
    case dbl_kind::GUID: value.bytes.assign(bytes.begin(), bytes.end()); break;
    default: value.integer = little_signed(bytes); break;
    }
    return value;
}

dbl_value read_decimal(dbl_reader& r, int size, int column_number) {
    // FreeTDS sizes by precision (6 bytes for 10 digits), SQL Server by 4-byte words.
    if (size < 2 || size > 17) throw dbl_err::bulk_bad_length(column_number);
    std::uint8_t sign = r.u8();
    auto magnitude_bytes = r.take(std::size_t(size - 1));
    unsigned __int128 magnitude = 0;
    for (std::size_t i = magnitude_bytes.size(); i-- > 0;)
        magnitude = (magnitude << 8) | magnitude_bytes[i];
    if (magnitude >= (unsigned __int128)1 << 127) throw dbl_err::bulk_bad_length(column_number);
    dbl_value value;
    value.b_null = false;
    value.decimal = sign ? __int128(magnitude) : -__int128(magnitude);
    return value;
}

dbl_value read_datetime2(dbl_reader& r, const dbl_type& type, int size, int column_number) {
    if (size != type.max_bytes()) throw dbl_err::bulk_bad_length(column_number);
    auto bytes = r.take(std::size_t(size));
    std::int64_t time = 0;
    for (int i = size - 4; i >= 0; --i) time = (time << 8) | bytes[std::size_t(i)];
    std::int64_t days = bytes[std::size_t(size - 3)] | (bytes[std::size_t(size - 2)] << 8)
                        | (bytes[std::size_t(size - 1)] << 16);
    for (int i = type.scale; i < 7; ++i) time *= 10;
    if (time >= DBL_HNS_PER_DAY || days > 3652058) throw dbl_err::bulk_bad_length(column_number);
    return dbl_int(days * DBL_HNS_PER_DAY + time);
}

}   // namespace

dbl_wire_column dbl_read_wire_column(dbl_reader& r, int column_number) {
    dbl_wire_column column;
    r.u32_le();   // user type
    std::uint16_t flags = r.u16_le();
    column.b_nullable = flags & 0x01;
    std::uint8_t code = r.u8();
    column.wire_type = code;
    if (int size = fixed_size(code); size > 0) {
        column.wire_length = size;
        column.type = fixed_type(code, size);
    } else {
        switch (code) {
        case W_INTN:
        case W_BITN:
        case W_FLTN:
        case W_MONEYN:
        case W_DATETIMN:
        case W_GUID:
            column.wire_length = r.u8();
            if (!valid_n_size(code, column.wire_length))
                throw dbl_err::bulk_bad_type(column_number);
            column.type = fixed_type(code, column.wire_length);
            break;
        case W_DECIMALN:
        case W_NUMERICN:
            column.wire_length = r.u8();
            column.type.kind = code == W_DECIMALN ? dbl_kind::DECIMAL : dbl_kind::NUMERIC;
            column.type.precision = r.u8();
            column.type.scale = r.u8();
            if (column.type.precision < 1 || column.type.precision > 38
                || column.type.scale > column.type.precision)
                throw dbl_err::bulk_bad_type(column_number);
            break;
        case W_DATETIME2N:
            column.type = dbl_make_type(dbl_kind::DATETIME2, 0, 0, r.u8());
            if (column.type.scale > 7) throw dbl_err::bulk_bad_type(column_number);
            break;
        case W_BIGVARCHR:
        case W_BIGCHAR:
        case W_NVARCHAR:
        case W_NCHAR:
        case W_BIGVARBIN:
        case W_BIGBINARY:
            column.wire_length = r.u16_le();
            if (code == W_BIGVARCHR || code == W_BIGCHAR || code == W_NVARCHAR || code == W_NCHAR)
                r.skip(5);   // collation
            column.type = variable_type(code, column.wire_length);
            break;
        case W_TEXT:
        case W_NTEXT:
        case W_IMAGE:
            column.wire_length = int(r.u32_le() & 0x7FFFFFFF);
            if (code != W_IMAGE) r.skip(5);
            read_table_name(r);
            column.type = dbl_make_type(code == W_TEXT    ? dbl_kind::TEXT
                                        : code == W_NTEXT ? dbl_kind::NTEXT
                                                          : dbl_kind::IMAGE);
            break;
        default: throw dbl_err::bulk_bad_type(column_number);
        }
    }
    column.name = r.utf16(r.u8());
    return column;
}

dbl_value dbl_read_value(dbl_reader& r, const dbl_wire_column& column, int column_number) {
    const std::uint8_t code = column.wire_type;
    if (int size = fixed_size(code); size > 0)
        return read_fixed(r.take(std::size_t(size)), column.type);
    switch (code) {
    case W_INTN:
    case W_BITN:
    case W_FLTN:
    case W_MONEYN:
    case W_DATETIMN:
    case W_GUID: {
        int size = r.u8();
        if (size == 0) return dbl_null();
        if (size != column.wire_length) throw dbl_err::bulk_bad_length(column_number);
        return read_fixed(r.take(std::size_t(size)), column.type);
    }
    case W_DECIMALN:
    case W_NUMERICN: {
        int size = r.u8();
        if (size == 0) return dbl_null();
        return read_decimal(r, size, column_number);
    }
    case W_DATETIME2N: {
        int size = r.u8();
        if (size == 0) return dbl_null();
        return read_datetime2(r, column.type, size, column_number);
    }
    case W_TEXT:
    case W_NTEXT:
    case W_IMAGE: {
        int pointer = r.u8();
        if (pointer == 0) return dbl_null();
        r.skip(std::size_t(pointer) + 8);
        std::uint32_t size = r.u32_le();
        need_bytes(r, size, column_number);
        auto bytes = r.take(size);
        return from_payload(column.type, std::string(bytes.begin(), bytes.end()), column_number);
    }
    default: break;
    }
    if (column.wire_length == 0xFFFF) {
        bool is_null = false;
        std::string payload = read_plp(r, is_null, column_number);
        return is_null ? dbl_null() : from_payload(column.type, payload, column_number);
    }
    std::uint16_t size = r.u16_le();
    if (size == 0xFFFF) return dbl_null();
    if (size > column.wire_length) throw dbl_err::bulk_bad_length(column_number);
    auto bytes = r.take(size);
    return from_payload(column.type, std::string(bytes.begin(), bytes.end()), column_number);
}
