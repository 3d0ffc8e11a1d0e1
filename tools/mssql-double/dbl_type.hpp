#pragma once
// dbl_type.hpp - the SQL Server column types the double stores, and one value of them.
// A value's meaning depends on its type:
//   1. bit and integers, money (units of 1/10000), datetime (1/300 s since 1900-01-01,
//      days * 25920000 + ticks) and datetime2 (100 ns since 0001-01-01) live in `integer`;
//   2. decimal and numeric keep the unscaled digits in `decimal` at the type's scale;
//   3. real and float in `floating`; varchar, char and text as Windows-1252 bytes and
//      binary, varbinary, image and uniqueidentifier as bytes in `bytes`;
//   4. nchar, nvarchar and ntext as UTF-16 in `wide`, lone surrogates included.

#include <cstdint>
#include <string>

enum class dbl_kind {
    BIT,
    TINYINT,
    SMALLINT,
    INT,
    BIGINT,
    REAL,
    FLOAT,
    MONEY,
    DECIMAL,
    NUMERIC,
    DATETIME,
    DATETIME2,
    CHAR,
    VARCHAR,
    NCHAR,
    NVARCHAR,
    TEXT,
    NTEXT,
    BINARY,
    VARBINARY,
    IMAGE,
    GUID
};

constexpr int DBL_MAX_LENGTH = -1;   // the length of a (max) column

struct dbl_type {
    dbl_kind kind = dbl_kind::INT;
    int length = 0;      // characters for char types, bytes for binary; DBL_MAX_LENGTH
    int precision = 0;   // decimal, numeric; fractional digits of datetime2 in scale
    int scale = 0;

    bool is_integer() const;   // bit, tinyint .. bigint
    bool is_exact() const;     // integers, money, decimal, numeric
    bool is_numeric() const;   // exact or real/float
    bool is_narrow_text() const;
    bool is_wide_text() const;
    bool is_text() const { return is_narrow_text() || is_wide_text(); }
    bool is_binary() const;   // binary, varbinary, image
    bool is_date() const { return kind == dbl_kind::DATETIME || kind == dbl_kind::DATETIME2; }
    bool is_long() const;   // text, ntext, image and the (max) types
    bool is_fixed_length() const {
        return kind == dbl_kind::CHAR || kind == dbl_kind::NCHAR || kind == dbl_kind::BINARY;
    }
    std::string base_name() const;   // "varchar"
    std::string full_name() const;   // "varchar(10)", "decimal(18,2)", "nvarchar(max)"
    int max_bytes() const;           // bytes on the wire; -1 for long types
};

dbl_type dbl_make_type(dbl_kind kind, int length = 0, int precision = 0, int scale = 0);

struct dbl_value {
    bool b_null = true;
    std::int64_t integer = 0;
    __int128 decimal = 0;
    double floating = 0;
    std::string bytes;
    std::u16string wide;
};

struct dbl_typed {
    dbl_type type;
    dbl_value value;
};

dbl_value dbl_null();
dbl_value dbl_int(std::int64_t number);
dbl_value dbl_bytes_value(std::string bytes);
dbl_value dbl_wide_value(std::u16string text);
