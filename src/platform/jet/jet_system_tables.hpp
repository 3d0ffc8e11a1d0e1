#pragma once
// jet_system_tables.hpp - the catalogue a new file starts with: MSysObjects (always at page
// 2, where every reader looks for it), MSysACEs, MSysQueries and MSysRelationships with the
// columns Access gives them, and the MSysObjects rows of the containers Access files hold
// (Tables, Databases, Relationships) and of the database object MSysDb.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/jet/jet_new_table.hpp"
#include "platform/jet/jet_value.hpp"

inline constexpr std::int32_t JET_CONTAINER_PARENT = 0x0F000000;
inline constexpr std::int32_t JET_CONTAINER_TABLES = 0x0F000001;
inline constexpr std::int32_t JET_CONTAINER_DATABASES = 0x0F000002;
inline constexpr std::int32_t JET_CONTAINER_RELATIONSHIPS = 0x0F000003;
inline constexpr std::int32_t JET_OBJECT_DATABASE_ID = 0x0F000004;
inline constexpr std::uint32_t JET_SYSTEM_OBJECT_FLAGS = 0x80000000u;
inline constexpr std::int16_t JET_OBJECT_CONTAINER = 3;
inline constexpr std::int16_t JET_OBJECT_DATABASE = 2;

jet_new_table jet_catalog_table();
// The other system tables, created after MSysObjects.
std::vector<jet_new_table> jet_system_tables();

// One MSysObjects row, in jet_catalog_table()'s column order.
struct jet_catalog_row {
    std::int32_t id = 0;
    std::int32_t parent_id = JET_CONTAINER_TABLES;
    std::u16string name;
    std::int16_t type = 1;
    std::uint32_t flags = 0;
    std::vector<std::uint8_t> properties;   // LvProp; empty for none
};
std::vector<jet_value> jet_catalog_values(const jet_catalog_row& row, double now);
