#pragma once
// jet_table_def_reader.hpp - reads a table definition (TDEF) chain: columns with their
// types and flags, real and logical indexes. Properties come from the catalogue and are
// added by the caller.

#include <cstdint>
#include <string>

#include "platform/jet/jet_schema.hpp"

class jet_pager;
class jet_text_decoder;

// 3049 naming the page and table when the chain or its contents are inconsistent.
jet_table_def jet_read_table_def(const jet_pager& pager, const jet_text_decoder& text,
                                 std::uint32_t tdef_page, const std::u16string& name);
