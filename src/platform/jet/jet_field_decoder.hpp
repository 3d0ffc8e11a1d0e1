#pragma once
// jet_field_decoder.hpp - the stored bytes of one field to a jet_value, by column type.
// Calculated columns hold their last result behind a 23-byte wrapper (payload length at
// 16, payload at 20); it is unwrapped first. Unknown type codes come back as binary.

#include <span>

#include "platform/jet/jet_schema.hpp"
#include "platform/jet/jet_value.hpp"

class jet_pager;
class jet_reader;
class jet_text_decoder;

class jet_field_decoder {
public:
    jet_field_decoder(const jet_pager& new_pager, const jet_text_decoder& new_text)
        : pager(new_pager), text(new_text) {}

    // bytes: the field as found in the row (a Boolean's value comes from the null mask and
    // is not decoded here). 3049 naming the page when the bytes do not fit the type.
    jet_value decode(const jet_column& column, const jet_reader& bytes) const;

private:
    jet_value decode_plain(const jet_column& column, const jet_reader& bytes) const;
    jet_value decode_calculated(const jet_column& column, const jet_reader& bytes) const;
    jet_value decode_long(const jet_column& column, const jet_reader& bytes) const;

    const jet_pager& pager;
    const jet_text_decoder& text;
};

// A Numeric value from its 17 stored bytes: sign byte, then four little-endian 32-bit words,
// most significant first.
jet_decimal jet_decode_numeric(const jet_reader& bytes, std::uint8_t scale, std::uint8_t precision);
