#pragma once
// jet_sql_type.hpp - the Jet type an expression has in a query, and how its values sit in
// SQLite: integers (Boolean as -1/0), REAL for floats and OLE dates, Currency as its scaled
// 64-bit integer, Decimal as exact text, text as UTF-16/UTF-8 text, binary and GUID as blobs.
// type_code 0 is a type not yet known (Null); it takes the type of what it meets.

#include <cstdint>
#include <string>

#include "platform/jet/jet_schema.hpp"

struct jet_sql_type {
    std::uint8_t type_code = 0;   // JET_TYPE_*, 0 unknown
    std::uint16_t size_bytes = 0;
    std::uint8_t precision = 0;
    std::uint8_t scale = 0;

    static jet_sql_type of(std::uint8_t code);
    static jet_sql_type text(std::uint16_t characters = 255);
    static jet_sql_type of_column(const jet_column& column);

    bool is_unknown() const { return type_code == 0; }
    bool is_integer() const;   // Boolean, Byte, Integer, Long, BigInt
    bool is_text() const { return type_code == JET_TYPE_TEXT || type_code == JET_TYPE_MEMO; }
    bool is_currency() const { return type_code == JET_TYPE_CURRENCY; }
    bool is_decimal() const { return type_code == JET_TYPE_NUMERIC; }
    bool is_date() const { return type_code == JET_TYPE_DATETIME; }
    bool is_number() const;   // integers, floats, Currency, Decimal

    // The column a result of this type is described by (Text 255 for an unknown type).
    jet_column as_column(const std::u16string& name) const;
};

// The type of IIf's and Nz's result from its two branches.
jet_sql_type jet_sql_merge_types(const jet_sql_type& left, const jet_sql_type& right);

// The declared column type of a loaded table's column in SQLite.
const char* jet_sql_storage_declaration(const jet_sql_type& type);
