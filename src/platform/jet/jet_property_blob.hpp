#pragma once
// jet_property_blob.hpp - the LvProp blob of a catalogue row: Access's design properties of
// a table and of each of its columns, read here and written by jet_property_blob_writer.
// Little-endian; every length counts its own bytes:
//   OFFSET  SIZE  MEANING
//        0     4  "KKD\0" (Jet 3) or "MR2\0"
//        4     .  chunks
// A chunk:
//        0     4  length
//        4     2  type: 0x80 the property names, 0x00 the object's values, 0x01 a column's
//        6     .  names: per name a 2-byte length and the text; values: a name block, then
//                 entries
// A name block, at 6 in a values chunk:
//        0     4  length
//        4     2  length of the name (empty for the object)
//        6     .  the name of the column
// An entry:
//        0     2  length
//        2     1  DDL flag (set by DDL, not by the user interface)
//        3     1  type code
//        4     2  index of its name in the names chunk
//        6     2  value length
//        8     .  value

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/jet/jet_schema.hpp"

inline constexpr std::size_t JET_PROPERTY_MAGIC_SIZE = 4;
inline constexpr std::size_t JET_PROPERTY_CHUNK_LENGTH = 0;
inline constexpr std::size_t JET_PROPERTY_CHUNK_TYPE = 4;
inline constexpr std::size_t JET_PROPERTY_CHUNK_DATA = 6;
inline constexpr std::uint16_t JET_PROPERTY_CHUNK_NAMES = 0x80;
inline constexpr std::uint16_t JET_PROPERTY_CHUNK_OBJECT = 0x00;
inline constexpr std::uint16_t JET_PROPERTY_CHUNK_COLUMN = 0x01;
inline constexpr std::size_t JET_PROPERTY_BLOCK_LENGTH = 0;
inline constexpr std::size_t JET_PROPERTY_BLOCK_NAME_LENGTH = 4;
inline constexpr std::size_t JET_PROPERTY_BLOCK_NAME = 6;
inline constexpr std::size_t JET_PROPERTY_ENTRY_LENGTH = 0;
inline constexpr std::size_t JET_PROPERTY_ENTRY_DDL = 2;
inline constexpr std::size_t JET_PROPERTY_ENTRY_TYPE = 3;
inline constexpr std::size_t JET_PROPERTY_ENTRY_NAME_INDEX = 4;
inline constexpr std::size_t JET_PROPERTY_ENTRY_VALUE_LENGTH = 6;
inline constexpr std::size_t JET_PROPERTY_ENTRY_VALUE = 8;

class jet_text_decoder;

struct jet_property_set {
    jet_properties object;                                            // the table itself
    std::vector<std::pair<std::u16string, jet_properties>> columns;   // by column name
};

// An empty blob gives an empty set. 3049 (page 0: the blob has no page of its own) when the
// chunks contradict their lengths.
jet_property_set jet_read_property_blob(std::span<const std::uint8_t> blob,
                                        const jet_text_decoder& text);
