// dao_default.hpp - a column's DefaultValue as Access stores it (an expression, "=" optional)
// read into the neutral model: a value of the column's type, a computed default
// (udb_default_function), nothing (Null), or the expression kept as unmapped text.
#pragma once

#include <cstdint>
#include <string>

#include "ole/ole_var.hpp"
#include "udb/udb_sche.hpp"

struct dao_default {
    ole_variant value;   // VT_EMPTY for none
    udb_default_function function = udb_default_function::NONE;
    std::u16string unmapped;   // the stored text
};

// dao_type is the DAO field type (dbDate 8, dbText 10, dbGUID 15, ...), vartype the column's.
dao_default dao_read_default(int dao_type, std::uint16_t vartype, const std::u16string& stored);

// A column default as Access stores it, made ready to convert: Date defaults lose the
// enclosing '#' pair, Text defaults the enclosing '"' pair.
std::u16string dao_strip_default(int dao_type, const std::u16string& stored);
