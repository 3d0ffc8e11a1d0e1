// dbl_type.cpp - names and classes of the column types.
#include "dbl_type.hpp"

bool dbl_type::is_integer() const {
    return kind == dbl_kind::BIT || kind == dbl_kind::TINYINT || kind == dbl_kind::SMALLINT
           || kind == dbl_kind::INT || kind == dbl_kind::BIGINT;
}
bool dbl_type::is_exact() const {
    return is_integer() || kind == dbl_kind::MONEY || kind == dbl_kind::DECIMAL
           || kind == dbl_kind::NUMERIC;
}
bool dbl_type::is_numeric() const {
    return is_exact() || kind == dbl_kind::REAL || kind == dbl_kind::FLOAT;
}
bool dbl_type::is_narrow_text() const {
    return kind == dbl_kind::CHAR || kind == dbl_kind::VARCHAR || kind == dbl_kind::TEXT;
}
bool dbl_type::is_wide_text() const {
    return kind == dbl_kind::NCHAR || kind == dbl_kind::NVARCHAR || kind == dbl_kind::NTEXT;
}
bool dbl_type::is_binary() const {
    return kind == dbl_kind::BINARY || kind == dbl_kind::VARBINARY || kind == dbl_kind::IMAGE;
}
bool dbl_type::is_long() const {
    return kind == dbl_kind::TEXT || kind == dbl_kind::NTEXT || kind == dbl_kind::IMAGE
           || length == DBL_MAX_LENGTH;
}

std::string dbl_type::base_name() const {
    switch (kind) {
    case dbl_kind::BIT: return "bit";
    case dbl_kind::TINYINT: return "tinyint";
    case dbl_kind::SMALLINT: return "smallint";
    case dbl_kind::INT: return "int";
    case dbl_kind::BIGINT: return "bigint";
    case dbl_kind::REAL: return "real";
    case dbl_kind::FLOAT: return "float";
    case dbl_kind::MONEY: return "money";
    case dbl_kind::DECIMAL: return "decimal";
    case dbl_kind::NUMERIC: return "numeric";
    case dbl_kind::DATETIME: return "datetime";
    case dbl_kind::DATETIME2: return "datetime2";
    case dbl_kind::CHAR: return "char";
    case dbl_kind::VARCHAR: return "varchar";
    case dbl_kind::NCHAR: return "nchar";
    case dbl_kind::NVARCHAR: return "nvarchar";
    case dbl_kind::TEXT: return "text";
    case dbl_kind::NTEXT: return "ntext";
    case dbl_kind::BINARY: return "binary";
    case dbl_kind::VARBINARY: return "varbinary";
    case dbl_kind::IMAGE: return "image";
    case dbl_kind::GUID: return "uniqueidentifier";
    }
    return "sql_variant";
}

std::string dbl_type::full_name() const {
    std::string name = base_name();
    if (kind == dbl_kind::DECIMAL || kind == dbl_kind::NUMERIC)
        return name + "(" + std::to_string(precision) + "," + std::to_string(scale) + ")";
    if (kind == dbl_kind::DATETIME2) return name + "(" + std::to_string(scale) + ")";
    if (kind == dbl_kind::CHAR || kind == dbl_kind::VARCHAR || kind == dbl_kind::NCHAR
        || kind == dbl_kind::NVARCHAR || kind == dbl_kind::BINARY || kind == dbl_kind::VARBINARY)
        return name + "(" + (length == DBL_MAX_LENGTH ? "max" : std::to_string(length)) + ")";
    return name;
}

int dbl_type::max_bytes() const {
    switch (kind) {
    case dbl_kind::BIT:
    case dbl_kind::TINYINT: return 1;
    case dbl_kind::SMALLINT: return 2;
    case dbl_kind::INT:
    case dbl_kind::REAL: return 4;
    case dbl_kind::BIGINT:
    case dbl_kind::FLOAT:
    case dbl_kind::MONEY:
    case dbl_kind::DATETIME: return 8;
    case dbl_kind::DECIMAL:
    case dbl_kind::NUMERIC:
        return precision <= 9 ? 5 : precision <= 19 ? 9 : precision <= 28 ? 13 : 17;
    case dbl_kind::DATETIME2: return scale <= 2 ? 6 : scale <= 4 ? 7 : 8;
    case dbl_kind::GUID: return 16;
    case dbl_kind::NCHAR:
    case dbl_kind::NVARCHAR: return length == DBL_MAX_LENGTH ? -1 : length * 2;
    case dbl_kind::TEXT:
    case dbl_kind::NTEXT:
    case dbl_kind::IMAGE: return -1;
    default: return length == DBL_MAX_LENGTH ? -1 : length;
    }
}

dbl_type dbl_make_type(dbl_kind kind, int length, int precision, int scale) {
    dbl_type type;
    type.kind = kind;
    type.length = length;
    type.precision = precision;
    type.scale = scale;
    return type;
}

dbl_value dbl_null() { return dbl_value{}; }

dbl_value dbl_int(std::int64_t number) {
    dbl_value value;
    value.b_null = false;
    value.integer = number;
    return value;
}

dbl_value dbl_bytes_value(std::string bytes) {
    dbl_value value;
    value.b_null = false;
    value.bytes = std::move(bytes);
    return value;
}

dbl_value dbl_wide_value(std::u16string text) {
    dbl_value value;
    value.b_null = false;
    value.wide = std::move(text);
    return value;
}
