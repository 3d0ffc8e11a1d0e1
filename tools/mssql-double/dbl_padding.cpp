// dbl_padding.cpp - values stored into columns created under SET ANSI_PADDING OFF.
#include "dbl_padding.hpp"

bool dbl_trims_without_padding(const dbl_type& type, bool b_nullable) {
    switch (type.kind) {
    case dbl_kind::VARCHAR:
    case dbl_kind::VARBINARY: return type.length != DBL_MAX_LENGTH;
    case dbl_kind::CHAR:
    case dbl_kind::BINARY: return b_nullable;
    default: return false;
    }
}

void dbl_trim_trailing(dbl_value& value, const dbl_type& type) {
    if (value.b_null) return;
    // Narrow text and binary both keep their values in `bytes`; 0x20 is data in a binary.
    const char filler = type.is_binary() ? '\0' : ' ';
    std::string& bytes = value.bytes;
    while (!bytes.empty() && bytes.back() == filler) bytes.pop_back();
}
