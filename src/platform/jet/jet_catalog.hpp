#pragma once
// jet_catalog.hpp - one row of MSysObjects: tables, linked tables, queries and the rest.

#include <cstdint>
#include <string>
#include <string_view>

// MSysObjects.Type values.
inline constexpr std::int16_t JET_OBJECT_TABLE = 1;
inline constexpr std::int16_t JET_OBJECT_LINKED_ODBC = 4;
inline constexpr std::int16_t JET_OBJECT_QUERY = 5;
inline constexpr std::int16_t JET_OBJECT_LINKED_ACCESS = 6;

// DAO TableDef.Attributes bits.
inline constexpr std::uint32_t DAO_TABLE_SYSTEM = 0x80000002;
inline constexpr std::uint32_t DAO_TABLE_ATTACHED = 0x40000000;        // linked Access table
inline constexpr std::uint32_t DAO_TABLE_ATTACHED_ODBC = 0x20000000;   // linked ODBC table

// Names Access reserves for its own tables: the MSys and ~ prefixes, case-blind.
bool jet_is_system_name(std::u16string_view name);

struct jet_catalog_entry {
    std::u16string name;
    std::int32_t id = 0;
    std::int32_t parent_id = 0;
    std::int16_t type = 0;         // JET_OBJECT_*
    std::uint32_t flags = 0;       // MSysObjects.Flags
    std::u16string connect;        // linked tables: connect text
    std::u16string database;       // linked Access tables: the file
    std::u16string foreign_name;   // linked tables: the name at the source

    // Local tables: the page of their definition.
    std::uint32_t tdef_page() const { return std::uint32_t(id) & 0x00FFFFFFu; }
    bool is_table() const { return type == JET_OBJECT_TABLE || is_linked(); }
    bool is_linked() const {
        return type == JET_OBJECT_LINKED_ODBC || type == JET_OBJECT_LINKED_ACCESS;
    }
    // System objects by flag, and by the MSys and ~ name prefixes (MSysCompactError and
    // MSysAccessStorage carry no system flag).
    bool is_system() const;
    std::uint32_t dao_attributes() const;
};
