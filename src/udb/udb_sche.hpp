// udb_sche.hpp - field type descriptors (t_ftd), field values (udb_field) and table schemas
// (udb_schema): the neutral description of a table's columns that both sides speak. Types
// are VARIANT type codes. The schema owns its descriptors; copying a schema copies them.
// Invariants: (1) a name lookup that finds nothing is a programming error and raises
// tk_mail_assertion; (2) conform_to never throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ole/ole_var.hpp"

class udb_field;

// A default the source computes when a row is added, which each destination writes in its
// own words: Access's Now(), Date(), Time() and GenGUID().
enum class udb_default_function : std::uint8_t { NONE, NOW, TODAY, TIME_OF_DAY, NEW_GUID };

// Field type descriptor of one column.
struct t_ftd {
    std::uint32_t size = 0;   // chars (text), bytes (binary), else as reported; 0 unlimited
    std::u16string name;
    std::uint16_t vartype = 0;   // VT_ code of the column's values
    bool b_autoincrement = false;
    bool b_not_null = false;
    ole_variant def_value;        // VT_EMPTY when the column has no default
    std::uint32_t reserved = 0;   // 1 date/GUID; precision * 256 + scale for OLE DB decimals
    // Set instead of def_value for a computed default.
    udb_default_function def_function = udb_default_function::NONE;
    // The source's default expression when it is neither a value nor a function above: no
    // destination can take it, so it is reported rather than silently dropped.
    std::u16string def_unmapped;

    t_ftd(const udb_field& field, const ole_variant& def_value, std::uint32_t reserved);
    t_ftd(std::uint32_t size, std::u16string name, std::uint16_t vartype, bool b_not_null,
          bool b_autoincrement, const ole_variant& def_value, std::uint32_t reserved);

    bool operator==(const t_ftd& other) const;
    // Whether values of this (source) column can be stored in the destination column.
    bool conform_to(const t_ftd& dest) const;
    bool is_numeric() const;
    bool is_binary() const;
};

// A field of a record: the value (the ole_variant base) with its column's attributes.
class udb_field : public ole_variant {
public:
    std::uint32_t size = 0;
    std::u16string name;
    bool b_not_null = false;
    bool b_autoincrement = false;

    udb_field();
    udb_field(std::u16string name, std::uint32_t size, const ole_variant& value, bool b_not_null,
              bool b_autoincrement);
    udb_field(const udb_field&) = default;
    udb_field& operator=(const udb_field&) = default;
    ~udb_field() override = default;

    // The column's VARIANT type: the held value's type here; a source field answers its
    // column's type even when the value is NULL.
    virtual std::uint16_t get_vartype() const;
};

// The ordered columns of a table.
class udb_schema {
public:
    udb_schema() = default;
    udb_schema(const udb_schema& other);
    udb_schema& operator=(const udb_schema& other);
    udb_schema(udb_schema&&) noexcept = default;
    udb_schema& operator=(udb_schema&&) noexcept = default;
    virtual ~udb_schema() = default;

    void append(std::unique_ptr<t_ftd> field);
    void clear() { fields.clear(); }
    std::size_t size() const { return fields.size(); }
    bool empty() const { return fields.empty(); }
    // Column in column order; a position past the end throws std::out_of_range.
    t_ftd& operator[](std::size_t column_idx) { return *fields.at(column_idx); }
    const t_ftd& operator[](std::size_t column_idx) const { return *fields.at(column_idx); }

    // Case-blind lookups; the first matching column wins, none is an assertion.
    t_ftd& find_field(const std::u16string& name);
    const t_ftd& find_field(const std::u16string& name) const;
    std::uint32_t get_field_size(const std::u16string& name) const;
    std::uint16_t get_field_type(const std::u16string& name) const;

    // Same column count and every source column conforming to the destination column at
    // the same position; names are not compared.
    bool conform_to(const udb_schema& dest) const;

private:
    std::vector<std::unique_ptr<t_ftd>> fields;
};
