#pragma once
// jet_property_blob.hpp - the LvProp blob of a catalogue row: Access's design properties of
// a table and of each of its columns. Layout: "KKD\0" (Jet 3) or "MR2\0", then chunks of
// length (4, inclusive) and type (2): 0x80 lists the property names; 0x00 (the object) and
// 0x01 (a column) hold a name block (length 4 inclusive, name) and entries of length (2,
// inclusive), DDL flag (1), type (1), name index (2), value length (2) and the value.

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/jet/jet_schema.hpp"

class jet_text_decoder;

struct jet_property_set {
    jet_properties object;                                          // the table itself
    std::vector<std::pair<std::u16string, jet_properties>> columns; // by column name
};

// An empty blob gives an empty set. 3049 (page 0: the blob has no page of its own) when the
// chunks contradict their lengths.
jet_property_set jet_read_property_blob(std::span<const std::uint8_t> blob,
                                        const jet_text_decoder& text);
