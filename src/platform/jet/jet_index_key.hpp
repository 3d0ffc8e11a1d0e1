#pragma once
// jet_index_key.hpp - the bytes an index entry holds for a row's key, in the order Access
// sorts them (compared byte by byte). Per key column, ascending: 0x00 for NULL, else 0x7F
// and the value; descending: 0xFF for NULL, else 0x80 and the value with its bytes
// inverted. Values: integers and currency big-endian with the sign bit flipped; Byte as
// is; Single, Double and Date/Time big-endian with the sign bit flipped when positive and
// every bit inverted when negative; Decimal as a sign byte and the 16-byte magnitude at the
// column's scale, big-endian (put_decimal); Binary in 8-byte segments, each followed by
// 0x09 while more follow, the last padded with zeros and followed by its length; GUID as
// Binary, in text order; Yes/No one byte (0x00 Yes, 0xFF No, no flag); Text in General
// sort order codes (jet_sort_codes) ending 0x01 ... 0x00, its first 255 characters less
// trailing spaces.
// Memo, OLE and complex keys are not written (jet_index_key_supported). Both halves of a
// surrogate pair take no part in a text key, as in Access (jet_sort_codes).

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_schema.hpp"
#include "platform/jet/jet_value.hpp"

bool jet_index_key_supported(std::uint8_t type_code);

// values: one per column of def, in column order, Decimals at their column's scale.
// format: the file's, as Jet 4 and ACE order descending Decimal keys differently.
std::vector<std::uint8_t> jet_index_key(const jet_table_def& def, const jet_index& index,
                                        const std::vector<jet_value>& values, jet_format format);

// The part of a text its key spells: the first 255 characters less trailing spaces. Texts
// with the same part are one key to Access, "ab" and "ab " among them.
std::u16string_view jet_text_key_part(std::u16string_view text);

// The key bytes of one text value (without the 0x7F / 0x80 flag).
std::vector<std::uint8_t> jet_text_index_key(const std::u16string& text, bool ascending);
