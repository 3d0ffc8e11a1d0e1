#pragma once
// jet_schema.hpp - what a table definition holds: columns, indexes, properties, and the
// relationships between tables. Plain data, filled by the engine, read by the DAO stand-in.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/jet/jet_value.hpp"

// Column type codes as stored in a table definition.
inline constexpr std::uint8_t JET_TYPE_BOOLEAN = 0x01;
inline constexpr std::uint8_t JET_TYPE_BYTE = 0x02;
inline constexpr std::uint8_t JET_TYPE_INT16 = 0x03;
inline constexpr std::uint8_t JET_TYPE_INT32 = 0x04;
inline constexpr std::uint8_t JET_TYPE_CURRENCY = 0x05;
inline constexpr std::uint8_t JET_TYPE_FLOAT32 = 0x06;
inline constexpr std::uint8_t JET_TYPE_FLOAT64 = 0x07;
inline constexpr std::uint8_t JET_TYPE_DATETIME = 0x08;
inline constexpr std::uint8_t JET_TYPE_BINARY = 0x09;
inline constexpr std::uint8_t JET_TYPE_TEXT = 0x0A;
inline constexpr std::uint8_t JET_TYPE_OLE = 0x0B;
inline constexpr std::uint8_t JET_TYPE_MEMO = 0x0C;
inline constexpr std::uint8_t JET_TYPE_GUID = 0x0F;
inline constexpr std::uint8_t JET_TYPE_NUMERIC = 0x10;
inline constexpr std::uint8_t JET_TYPE_COMPLEX = 0x12;   // attachment, multi-value, history
inline constexpr std::uint8_t JET_TYPE_BIGINT = 0x13;
inline constexpr std::uint8_t JET_TYPE_DATETIME_EXT = 0x14;

// DAO field type codes (DataTypeEnum).
inline constexpr int DAO_TYPE_BOOLEAN = 1;
inline constexpr int DAO_TYPE_BYTE = 2;
inline constexpr int DAO_TYPE_INTEGER = 3;
inline constexpr int DAO_TYPE_LONG = 4;
inline constexpr int DAO_TYPE_CURRENCY = 5;
inline constexpr int DAO_TYPE_SINGLE = 6;
inline constexpr int DAO_TYPE_DOUBLE = 7;
inline constexpr int DAO_TYPE_DATE = 8;
inline constexpr int DAO_TYPE_BINARY = 9;
inline constexpr int DAO_TYPE_TEXT = 10;
inline constexpr int DAO_TYPE_LONG_BINARY = 11;
inline constexpr int DAO_TYPE_MEMO = 12;
inline constexpr int DAO_TYPE_GUID = 15;
inline constexpr int DAO_TYPE_BIGINT = 16;
inline constexpr int DAO_TYPE_DECIMAL = 20;
inline constexpr int DAO_TYPE_ATTACHMENT = 101;
inline constexpr int DAO_TYPE_COMPLEX_BYTE = 102;   // multi-value: dbComplexByte ...
inline constexpr int DAO_TYPE_COMPLEX_INTEGER = 103;
inline constexpr int DAO_TYPE_COMPLEX_LONG = 104;
inline constexpr int DAO_TYPE_COMPLEX_SINGLE = 105;
inline constexpr int DAO_TYPE_COMPLEX_DOUBLE = 106;
inline constexpr int DAO_TYPE_COMPLEX_GUID = 107;
inline constexpr int DAO_TYPE_COMPLEX_DECIMAL = 108;
inline constexpr int DAO_TYPE_COMPLEX_TEXT = 109;   // ... dbComplexText
inline constexpr int DAO_TYPE_DATETIME_EXT = 26;    // dbDateTimeExtended (Access 16.0.17)

// DAO Field.Attributes bits.
inline constexpr std::uint32_t DAO_FIELD_FIXED = 0x1;
inline constexpr std::uint32_t DAO_FIELD_VARIABLE = 0x2;
inline constexpr std::uint32_t DAO_FIELD_AUTO_INCREMENT = 0x10;
inline constexpr std::uint32_t DAO_FIELD_UPDATABLE = 0x20;
inline constexpr std::uint32_t DAO_FIELD_HYPERLINK = 0x8000;

// Names compare case-blind, by the simple case folding of the CompareStringW stand-in.
bool jet_same_name(std::u16string_view left, std::u16string_view right);

// One entry of a property blob: Access's design-time properties (DefaultValue, Required,
// AllowZeroLength, ValidationRule, Format, DecimalPlaces, Description, ...).
struct jet_property {
    std::u16string name;
    std::uint8_t type_code = 0;   // a JET_TYPE_* code
    bool is_ddl = false;          // set by DDL, not by the user interface
    jet_value value;
};

struct jet_properties {
    std::vector<jet_property> items;

    // Case-blind lookup; nullptr when absent.
    const jet_property* find(std::u16string_view name) const;
    // The property as text (Boolean as "True"/"False", numbers in decimal); empty if absent.
    std::u16string text(std::u16string_view name) const;
    // A Boolean property; fallback when absent.
    bool flag(std::u16string_view name, bool fallback) const;
};

// What a complex column holds, from MSysComplexColumns and the column layout of its type
// table (MSysComplexType_Attachment, MSysComplexType_Text, MSysComplexTypeVH_...).
enum class jet_complex_kind : std::uint8_t {
    none,              // not complex, or not yet read
    attachment,        // FileData, FileFlags, FileName, FileTimeStamp, FileType, FileURL
    multi_value,       // one value column of element_type
    version_history,   // an append-only Memo's past texts with their dates
    unknown,           // a type table of another shape: the row keeps its raw key
};

struct jet_complex_info {
    jet_complex_kind kind = jet_complex_kind::none;
    std::u16string flat_table;         // the hidden table holding every row's items
    std::u16string key_column;         // its Long column holding the owning row's key
    std::u16string item_key_column;    // its own auto-number, meaningless outside
    std::uint8_t element_type = 0;     // multi-value: the JET_TYPE_* of the value
    std::u16string versioned_column;   // version history: the Memo column it records
};

struct jet_column {
    std::u16string name;
    std::uint8_t type_code = 0;        // JET_TYPE_*, or an unknown code kept as stored
    std::uint16_t column_number = 0;   // position in rows, counting deleted columns
    std::uint16_t var_index = 0;       // slot in a row's variable-length table
    std::uint16_t fixed_offset = 0;    // offset in a row's fixed-length area
    std::uint16_t size_bytes = 0;      // stored length (Text: bytes, 2 per character in Jet 4)
    std::uint8_t precision = 0;        // Numeric only
    std::uint8_t scale = 0;            // Numeric only
    std::uint8_t flags = 0;            // column flag byte
    std::uint8_t ext_flags = 0;        // Jet 4+: compressed Unicode, calculated
    std::uint16_t sort_order = 0;      // text collation
    std::int32_t complex_id = 0;       // complex columns: id in MSysComplexColumns
    jet_complex_info complex;          // complex columns: filled when the table is read
    std::uint8_t bytes_per_char = 2;   // Text storage: 1 in Jet 3, 2 later
    jet_properties properties;

    bool is_fixed() const { return (flags & 0x01) != 0; }
    bool is_nullable() const { return (flags & 0x02) != 0; }
    bool is_autonumber() const { return (flags & 0x04) != 0; }
    bool is_guid_autonumber() const { return (flags & 0x40) != 0; }
    bool is_hyperlink() const { return (flags & 0x80) != 0; }
    bool is_compressed_unicode() const { return (ext_flags & 0x01) != 0; }
    bool is_calculated() const { return (ext_flags & 0xC0) != 0; }
    bool is_complex() const { return type_code == JET_TYPE_COMPLEX; }
    bool is_long_value() const { return type_code == JET_TYPE_MEMO || type_code == JET_TYPE_OLE; }

    // DAO's view of the column. Complex columns answer dbAttachment or dbComplex<element>
    // (version history dbComplexText); a complex column of unknown kind answers Long, its
    // raw key.
    int dao_type() const;
    std::uint32_t dao_size() const;         // Text: characters; Memo/OLE: 0; else bytes
    std::uint32_t dao_attributes() const;   // DAO_FIELD_* bits
    std::u16string default_value() const { return properties.text(u"DefaultValue"); }
    bool is_required() const { return properties.flag(u"Required", false); }
    bool allows_zero_length() const { return properties.flag(u"AllowZeroLength", false); }
};

struct jet_index_column {
    std::u16string name;
    std::uint16_t column_number = 0;
    bool ascending = true;
};

struct jet_index {
    std::u16string name;
    std::vector<jet_index_column> columns;   // in key order
    std::uint32_t index_number = 0;          // logical index number
    std::uint32_t real_index = 0;            // physical index backing it
    std::uint8_t flags = 0;                  // physical index flags
    bool is_primary = false;
    bool is_foreign_key = false;   // created by an enforced relationship

    bool is_unique() const { return is_primary || (flags & 0x01) != 0; }
    bool ignores_nulls() const { return (flags & 0x02) != 0; }
    bool is_required() const { return (flags & 0x08) != 0; }
};

struct jet_table_def {
    std::u16string name;
    std::uint32_t tdef_page = 0;
    std::uint32_t stored_row_count = 0;   // as the definition records it
    bool is_system = false;               // the definition's own system-table mark
    std::vector<jet_column> columns;      // in column_number order
    std::vector<jet_index> indexes;       // in logical index order
    jet_properties properties;            // table properties (Description, ...)
    // Storage details the row reader needs.
    std::uint32_t owned_pages_row = 0;    // row pointer of the table's page usage map
    std::uint16_t var_column_count = 0;   // variable-length columns in the definition

    // Case-blind; nullptr when absent.
    const jet_column* find_column(std::u16string_view name) const;
};

// A row of MSysRelationships, its column pairs gathered in icolumn order.
struct jet_relationship {
    std::u16string name;               // szRelationship
    std::u16string table;              // szObject: the foreign-key side
    std::u16string referenced_table;   // szReferencedObject
    std::vector<std::pair<std::u16string, std::u16string>> columns;   // column, referenced
    std::uint32_t flags = 0;   // grbit: 0x2 not enforced, 0x100 cascade update,
                               // 0x1000 cascade delete
};
