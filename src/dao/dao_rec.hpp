// dao_rec.hpp - one row of an Access recordset: dao_record holds a dao_field per field of
// the row's Fields collection, in order, complex fields excepted (dao_child_table);
// dao_field is the value with its column's attributes. Reading map (DAO type -> VARIANT type): 1
// BOOL, 2 UI1, 3 I2, 4 I4, 5 CY, 6 R4, 7 and 21 R8, 8 and 22 DATE, 10 and 12 BSTR, 19 and 20
// DECIMAL, 16 I8, 26 BSTR, every other type BLOB. Decimal, BigInt and Date/Time Extended keep their
// exact values rather than travelling as doubles or opaque bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ole/ole_ptr.hpp"
#include "udb/udb_db.hpp"

class DAOField;
class DAOFields;

// The VARIANT type of a DAO field type code (reading map).
std::uint16_t dao_vartype_of(int dao_type);

class dao_field : public udb_field {
public:
    explicit dao_field(ole_com_ptr<DAOField> field);
    ~dao_field() override;

    std::string to_string() const override;
    std::u16string to_wstring() const override;
    std::uint16_t get_vartype() const override;

    int get_dao_type() const { return dao_type; }
    // Decimal columns: precision * 256 + scale, as the destination reads it.
    std::uint32_t get_decimal_shape() const { return decimal_shape; }

    // The writing map: the DAO type of a column of that descriptor. ole_type_exception for a
    // type Access has no column for.
    static int get_native_type(const t_ftd& descriptor);

    // Takes the field's value on the recordset's current row again: a DAO Field follows its
    // recordset, so a record walks the rows without asking for its attributes each time.
    void read_value();

private:
    ole_com_ptr<DAOField> field;
    int dao_type = 0;
    std::uint32_t decimal_shape = 0;
};

class dao_record : public udb_record {
public:
    explicit dao_record(ole_com_ptr<DAOFields> fields);

    // Every field's value on the recordset's current row (see dao_field::read_value).
    void read_values();

private:
    ole_com_ptr<DAOFields> fields;
    std::vector<dao_field*> own_fields;   // the udb_record's fields, as the type they are
};

// The value in a type Access can store: VT_I1 to VT_I2, VT_UI2 to VT_I4, VT_UI4, VT_I8 and
// VT_UI8 to VT_R8; any other type unchanged.
ole_variant dao_get_valid_variant(const ole_variant& value);
// Whether dao_get_valid_variant changes a value of that type.
bool dao_needs_valid_variant(VARTYPE type);
