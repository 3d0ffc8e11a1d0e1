// udb_decimal_shape.hpp - the narrowest numeric(p,s) column that holds a set of decimal
// values. A calculated Access column of result type Decimal declares no precision or scale:
// each value carries its own scale (0..28), so its column is sized from the values themselves
// before the destination table is made. Trailing fraction zeros carry no value and widen
// nothing: 12.3400 needs numeric(4,2).
// Invariants: (1) precision() >= 1 and scale() <= precision(); (2) a column is numeric only
// while precision() <= UDB_MAX_NUMERIC_PRECISION, else its values travel as exact text.
#pragma once

#include <cstdint>

#include "ole/ole_var.hpp"
#include "udb/udb_sche.hpp"

class udb_recordset;

inline constexpr int UDB_MAX_NUMERIC_PRECISION = 38;   // SQL Server's widest numeric
// The longest text of a DECIMAL: sign, 29 digits and a point, or "-0." and 28 digits.
inline constexpr std::uint32_t UDB_DECIMAL_TEXT_SIZE = 31;

class udb_decimal_shape {
public:
    // Widens the shape to hold the value; values of any other type (NULL) change nothing.
    void widen(const ole_variant& value);
    bool is_measured() const { return b_seen; }
    int scale() const { return max_scale; }
    int precision() const;
    bool fits_numeric() const { return precision() <= UDB_MAX_NUMERIC_PRECISION; }

private:
    bool b_seen = false;
    int max_integer_digits = 0;
    int max_scale = 0;
};

// A decimal column whose precision is not declared (the reserved word holds no shape).
bool udb_is_undeclared_decimal(const t_ftd& column);
// Gives the column the shape measured from its values: precision * 256 + scale in the
// reserved word, or a text column of UDB_DECIMAL_TEXT_SIZE characters when no numeric holds
// them. A column without values keeps its undeclared shape.
void udb_apply_decimal_shape(t_ftd& column, const udb_decimal_shape& shape);
// The table's schema with every undeclared decimal column shaped by one pass over its rows;
// the table is read from its start and left at its end. Without such a column nothing is read.
udb_schema udb_measured_schema(udb_recordset& table);
