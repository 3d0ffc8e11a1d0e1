#pragma once
// jet_new_table.hpp - what the writer is asked to create: a table's columns and indexes in
// DAO's terms (Text length in characters, defaults as Access stores them), before any page
// layout is chosen.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/jet/jet_schema.hpp"

struct jet_new_column {
    std::u16string name;
    std::uint8_t type_code = JET_TYPE_TEXT;   // a JET_TYPE_* code
    std::uint16_t length = 0;                 // Text: characters 1..255; Binary: bytes 1..255
    std::uint8_t precision = 18;              // Decimal only: 1..28
    std::uint8_t scale = 0;                   // Decimal only: 0..precision
    bool is_required = false;
    bool is_autonumber = false;   // Long only: the engine numbers new rows 1, 2, ...
    bool allows_zero_length = true;
    std::u16string default_value;   // an expression as Access stores it: "text", #date#, 12
};

// A column of that name and type, optional, no default.
jet_new_column jet_make_column(std::u16string name, std::uint8_t type_code,
                               std::uint16_t length = 0);

struct jet_new_index_column {
    std::u16string name;
    bool ascending = true;
};

struct jet_new_index {
    std::u16string name;
    std::vector<jet_new_index_column> columns;   // 1..10, in key order
    bool is_primary = false;
    bool is_unique = false;   // implied by is_primary
    bool ignores_nulls = false;
};

struct jet_new_table {
    std::u16string name;
    std::vector<jet_new_column> columns;
    std::vector<jet_new_index> indexes;
    bool is_system = false;   // the catalogue's own tables
};

// DAO's limits and rules for a definition; jet_error 3001 (the text says which), 3125 for
// a bad name, 3190 for more than 255 columns, 3191 for a repeated column, 3283 for a second
// primary key, 3284 for a repeated index name.
void jet_check_new_table(const jet_new_table& table);

// 3001 when a key column the table already has is of a type no index can hold, so that a
// caller adding indexes one by one hears it for that index and can still create the table.
void jet_check_index_key_types(const jet_new_table& table, const jet_new_index& index);
