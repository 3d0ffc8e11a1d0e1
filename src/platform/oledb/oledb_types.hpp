#pragma once
// oledb_types.hpp - the OLE DB names the destination uses: column type codes (DBTYPE_*),
// column flags, status words and the result codes of the SQL Server provider, at the values
// the platform publishes, plus the plain descriptions our provider stand-in exchanges
// (column information, column and index descriptions).

#include <cstdint>
#include <string>
#include <vector>

using oledb_hresult = std::int32_t;

constexpr oledb_hresult oledb_code(std::uint32_t bits) { return static_cast<oledb_hresult>(bits); }
constexpr bool oledb_failed(oledb_hresult hr) { return hr < 0; }
constexpr bool oledb_succeeded(oledb_hresult hr) { return hr >= 0; }

// Result codes, as the SQL Server OLE DB provider reports them.
inline constexpr oledb_hresult OLEDB_S_OK = 0;
inline constexpr oledb_hresult OLEDB_S_FALSE = 1;
inline constexpr oledb_hresult OLEDB_E_FAIL = oledb_code(0x80004005u);
inline constexpr oledb_hresult OLEDB_E_INVALIDARG = oledb_code(0x80070057u);
inline constexpr oledb_hresult OLEDB_E_UNEXPECTED = oledb_code(0x8000FFFFu);
inline constexpr oledb_hresult DB_E_BADACCESSORHANDLE = oledb_code(0x80040E00u);
inline constexpr oledb_hresult DB_E_SCHEMAVIOLATION = oledb_code(0x80040E03u);
inline constexpr oledb_hresult DB_E_CANTCONVERTVALUE = oledb_code(0x80040E07u);
inline constexpr oledb_hresult DB_E_NOTABLE_PRIV = oledb_code(0x80040E09u);
inline constexpr oledb_hresult DB_E_BADCOLUMNID = oledb_code(0x80040E11u);
inline constexpr oledb_hresult DB_E_ERRORSINCOMMAND = oledb_code(0x80040E14u);
inline constexpr oledb_hresult DB_E_ALREADYINITIALIZED = oledb_code(0x80040E17u);
inline constexpr oledb_hresult DB_E_UNSUPPORTEDCONVERSION = oledb_code(0x80040E1Du);
inline constexpr oledb_hresult DB_E_ERRORSOCCURRED = oledb_code(0x80040E21u);
inline constexpr oledb_hresult DB_E_INTEGRITYVIOLATION = oledb_code(0x80040E2Fu);
inline constexpr oledb_hresult DB_E_BADTYPENAME = oledb_code(0x80040E30u);
inline constexpr oledb_hresult DB_E_DUPLICATEINDEXID = oledb_code(0x80040E34u);
inline constexpr oledb_hresult DB_E_NOINDEX = oledb_code(0x80040E35u);
inline constexpr oledb_hresult DB_E_NOTABLE = oledb_code(0x80040E37u);
inline constexpr oledb_hresult DB_E_BADPRECISION = oledb_code(0x80040E3Au);
inline constexpr oledb_hresult DB_E_BADSCALE = oledb_code(0x80040E3Bu);
inline constexpr oledb_hresult DB_E_BADTABLEID = oledb_code(0x80040E3Cu);
inline constexpr oledb_hresult DB_E_BADTYPE = oledb_code(0x80040E3Du);
inline constexpr oledb_hresult DB_E_DUPLICATECOLUMNID = oledb_code(0x80040E3Eu);
inline constexpr oledb_hresult DB_E_DUPLICATETABLEID = oledb_code(0x80040E3Fu);
inline constexpr oledb_hresult DB_SEC_E_AUTH_FAILED = oledb_code(0x80040E4Du);
inline constexpr oledb_hresult DB_E_NOCOLUMN = oledb_code(0x80040E55u);
inline constexpr oledb_hresult DB_E_DATAOVERFLOW = oledb_code(0x80040E57u);
inline constexpr oledb_hresult DB_E_NOTSUPPORTED = oledb_code(0x80040E53u);

// Column types (DBTYPE_*), the values of oledb.h.
enum oledb_dbtype : std::uint16_t {
    DBTYPE_EMPTY = 0,
    DBTYPE_NULL = 1,
    DBTYPE_I2 = 2,
    DBTYPE_I4 = 3,
    DBTYPE_R4 = 4,
    DBTYPE_R8 = 5,
    DBTYPE_CY = 6,
    DBTYPE_DATE = 7,
    DBTYPE_BSTR = 8,
    DBTYPE_IDISPATCH = 9,
    DBTYPE_ERROR = 10,
    DBTYPE_BOOL = 11,
    DBTYPE_VARIANT = 12,
    DBTYPE_IUNKNOWN = 13,
    DBTYPE_DECIMAL = 14,
    DBTYPE_I1 = 16,
    DBTYPE_UI1 = 17,
    DBTYPE_UI2 = 18,
    DBTYPE_UI4 = 19,
    DBTYPE_I8 = 20,
    DBTYPE_UI8 = 21,
    DBTYPE_GUID = 72,
    DBTYPE_BYTES = 128,
    DBTYPE_STR = 129,
    DBTYPE_WSTR = 130,
    DBTYPE_NUMERIC = 131,
    DBTYPE_DBDATE = 133,
    DBTYPE_DBTIME = 134,
    DBTYPE_DBTIMESTAMP = 135
};

inline constexpr std::uint32_t DBCOLUMNFLAGS_ISNULLABLE = 0x20;
inline constexpr std::uint32_t DBCOLUMNFLAGS_ISLONG = 0x80;

// Status words of a bound column.
inline constexpr std::uint32_t DBSTATUS_S_OK = 0;
inline constexpr std::uint32_t DBSTATUS_S_TRUNCATED = 2;
inline constexpr std::uint32_t DBSTATUS_S_ISNULL = 3;

// The size the provider reports for text and binary columns without a limit
// (text/ntext/image and the (max) types).
inline constexpr std::uint32_t OLEDB_LONG_COLUMN_SIZE = 0x7FFFFFFF;
// A column description of this size asks for the unlimited form of the type.
inline constexpr std::uint32_t OLEDB_MAX_SIZE_REQUEST = 8001;

// What GetColumnInfo reports for one column.
struct oledb_column_info {
    std::string name;            // UTF-8
    std::uint32_t ordinal = 0;   // 1-based
    oledb_dbtype type = DBTYPE_EMPTY;
    std::uint32_t column_size = 0;   // characters for text, bytes for binary
    std::uint8_t precision = 0;
    std::uint8_t scale = 0;
    std::uint32_t flags = 0;   // DBCOLUMNFLAGS_*
    bool is_nullable() const { return (flags & DBCOLUMNFLAGS_ISNULLABLE) != 0; }
};

// One column of ITableDefinition::CreateTable: what the DBCOLUMNDESC and its
// DBPROPSET_COLUMN properties carry.
struct oledb_column_desc {
    std::string name;   // plain name; the stand-in brackets it
    oledb_dbtype type = DBTYPE_STR;
    std::uint32_t column_size = 0;
    std::uint8_t precision = 0;
    std::uint8_t scale = 0;
    bool b_autoincrement = false;   // DBPROP_COL_AUTOINCREMENT
    bool b_nullable = true;         // DBPROP_COL_NULLABLE
    bool b_has_default = false;     // DBPROP_COL_DEFAULT present
    std::string default_sql;        // the default as SQL text (a literal or an expression)
};

// One index of IIndexDefinition::CreateIndex with its DBPROPSET_INDEX properties.
struct oledb_index_desc {
    std::string name;
    std::vector<std::string> columns;   // ascending order
    bool b_primary_key = false;         // DBPROP_INDEX_PRIMARYKEY
    bool b_clustered = false;           // DBPROP_INDEX_CLUSTERED
    bool b_unique = false;              // DBPROP_INDEX_UNIQUE
    // Columns a row must have values in to be indexed (a filtered index); empty for all rows.
    std::vector<std::string> not_null_filter;
};
