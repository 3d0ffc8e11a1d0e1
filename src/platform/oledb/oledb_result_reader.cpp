// oledb_result_reader.cpp - db-lib results to column information and cells. Server types are
// the TDS type codes of DBCOL2::ServerType; a nullable fixed type (intn, fltn, moneyn,
// datetimn, bitn) is told apart by its length.

#include "platform/oledb/oledb_result_reader.hpp"

#include "platform/oledb/oledb_text_format.hpp"

#include <array>
#include <cstring>

#define MSDBLIB 1
#include <sybfront.h>
#include <sybdb.h>

namespace {

// TDS server type codes (MS-TDS 2.2.5.4).
enum tds_server_type : int {
    TDS_IMAGE = 34, TDS_TEXT = 35, TDS_GUID = 36, TDS_VARBINARY_OLD = 37, TDS_INTN = 38,
    TDS_VARCHAR_OLD = 39, TDS_BINARY_OLD = 45, TDS_CHAR_OLD = 47, TDS_INT1 = 48, TDS_BIT = 50,
    TDS_INT2 = 52, TDS_INT4 = 56, TDS_DATETIME4 = 58, TDS_REAL = 59, TDS_MONEY = 60,
    TDS_DATETIME = 61, TDS_FLT8 = 62, TDS_NTEXT = 99, TDS_NVARCHAR_OLD = 103, TDS_BITN = 104,
    TDS_DECIMALN = 106, TDS_NUMERICN = 108, TDS_FLTN = 109, TDS_MONEYN = 110,
    TDS_DATETIMN = 111, TDS_MONEY4 = 122, TDS_INT8 = 127, TDS_BIGVARBINARY = 165,
    TDS_BIGVARCHAR = 167, TDS_BIGBINARY = 173, TDS_BIGCHAR = 175, TDS_NVARCHAR = 231,
    TDS_NCHAR = 239
};

// What the provider reports for a column without a length limit: 2^30 - 1 characters for
// ntext and nvarchar(max), 2^31 - 1 for the narrow and binary long types.
constexpr std::uint32_t LONG_WIDE_SIZE = 0x3FFFFFFF;
constexpr std::uint32_t LONG_NARROW_SIZE = 0x7FFFFFFF;
constexpr std::int32_t MAX_TYPE_WIRE_SIZE = 0x3FFFFFFF;   // (max) types arrive at least this

oledb_dbtype integer_type_by_length(int length) {
    switch (length) {
    case 1: return DBTYPE_UI1;
    case 2: return DBTYPE_I2;
    case 8: return DBTYPE_I8;
    default: return DBTYPE_I4;
    }
}

bool is_long(std::int32_t wire_size) { return wire_size <= 0 || wire_size >= MAX_TYPE_WIRE_SIZE; }

// Type and size of one column the way GetColumnInfo reports them.
void classify(int server_type, std::int32_t wire_size, oledb_column_info& info) {
    info.column_size = static_cast<std::uint32_t>(wire_size > 0 ? wire_size : 0);
    switch (server_type) {
    case TDS_INT1: case TDS_INT2: case TDS_INT4: case TDS_INT8: case TDS_INTN:
        info.type = integer_type_by_length(wire_size);
        break;
    case TDS_BIT: case TDS_BITN: info.type = DBTYPE_BOOL; info.column_size = 2; break;
    case TDS_REAL: info.type = DBTYPE_R4; break;
    case TDS_FLT8: info.type = DBTYPE_R8; break;
    case TDS_FLTN: info.type = wire_size == 4 ? DBTYPE_R4 : DBTYPE_R8; break;
    case TDS_MONEY: case TDS_MONEY4: case TDS_MONEYN: info.type = DBTYPE_CY; break;
    case TDS_DATETIME: case TDS_DATETIME4: case TDS_DATETIMN:
        info.type = DBTYPE_DBTIMESTAMP;
        info.column_size = 16;
        break;
    case TDS_DECIMALN: case TDS_NUMERICN: info.type = DBTYPE_NUMERIC; break;
    case TDS_GUID: info.type = DBTYPE_GUID; info.column_size = 16; break;
    case TDS_NVARCHAR: case TDS_NCHAR: case TDS_NVARCHAR_OLD:
        info.type = DBTYPE_WSTR;
        info.column_size = is_long(wire_size) ? LONG_WIDE_SIZE
                                              : static_cast<std::uint32_t>(wire_size / 2);
        break;
    case TDS_NTEXT: info.type = DBTYPE_WSTR; info.column_size = LONG_WIDE_SIZE; break;
    case TDS_BIGVARCHAR: case TDS_BIGCHAR: case TDS_VARCHAR_OLD: case TDS_CHAR_OLD:
        info.type = DBTYPE_STR;
        if (is_long(wire_size)) info.column_size = LONG_NARROW_SIZE;
        break;
    case TDS_TEXT: info.type = DBTYPE_STR; info.column_size = LONG_NARROW_SIZE; break;
    case TDS_BIGVARBINARY: case TDS_BIGBINARY: case TDS_VARBINARY_OLD: case TDS_BINARY_OLD:
        info.type = DBTYPE_BYTES;
        if (is_long(wire_size)) info.column_size = LONG_NARROW_SIZE;
        break;
    case TDS_IMAGE: info.type = DBTYPE_BYTES; info.column_size = LONG_NARROW_SIZE; break;
    default: info.type = DBTYPE_WSTR; break;   // xml, date, time, datetime2: read as text
    }
    if (info.type == DBTYPE_STR || info.type == DBTYPE_WSTR || info.type == DBTYPE_BYTES) {
        if (info.column_size >= LONG_WIDE_SIZE) info.flags |= DBCOLUMNFLAGS_ISLONG;
    }
}

oledb_column_info describe_column(DBPROCESS* dbproc, int column) {
    DBCOL2 col{};
    col.SizeOfStruct = sizeof(DBCOL2);
    oledb_column_info info;
    info.ordinal = static_cast<std::uint32_t>(column);
    if (dbcolinfo(dbproc, CI_REGULAR, column, 0, reinterpret_cast<DBCOL*>(&col)) != SUCCEED) {
        info.name = dbcolname(dbproc, column) != nullptr ? dbcolname(dbproc, column) : "";
        classify(dbcoltype(dbproc, column), dbcollen(dbproc, column), info);
        info.flags |= DBCOLUMNFLAGS_ISNULLABLE;
        return info;
    }
    info.name = col.Name;
    classify(col.ServerType, col.ServerMaxLength, info);
    info.precision = col.Precision;
    info.scale = col.Scale;
    if (col.Null) info.flags |= DBCOLUMNFLAGS_ISNULLABLE;
    return info;
}

template <class T>
T read_native(const BYTE* data) {
    T value{};
    std::memcpy(&value, data, sizeof value);
    return value;
}

std::string read_datetime(DBPROCESS* dbproc, int client_type, const BYTE* data) {
    DBDATEREC2 parts{};
    if (dbanydatecrack(dbproc, &parts, client_type, data) != SUCCEED) return "";
    return oledb_format_timestamp(parts.year, parts.month, parts.day, parts.hour, parts.minute,
                                  parts.second, parts.nanosecond / 1000000);
}

std::string read_by_conversion(DBPROCESS* dbproc, int client_type, const BYTE* data,
                               DBINT length) {
    char text[512];
    const DBINT written = dbconvert(dbproc, client_type, data, length, SYBCHAR,
                                    reinterpret_cast<BYTE*>(text), sizeof text);
    return written > 0 ? std::string(text, static_cast<std::size_t>(written)) : std::string();
}

// The cell of a fixed-size type, as text.
std::string read_fixed(DBPROCESS* dbproc, int client_type, const BYTE* data, DBINT length) {
    switch (client_type) {
    case SYBINT1: return std::to_string(static_cast<unsigned>(data[0]));
    case SYBINT2: return std::to_string(read_native<std::int16_t>(data));
    case SYBINT4: return std::to_string(read_native<std::int32_t>(data));
    case SYBINT8: return std::to_string(read_native<std::int64_t>(data));
    case SYBBIT: case SYBBITN: return data[0] != 0 ? "True" : "False";
    case SYBREAL: return oledb_format_float(read_native<float>(data));
    case SYBFLT8: return oledb_format_double(read_native<double>(data));
    case SYBMONEY4: return oledb_format_money(read_native<std::int32_t>(data));
    case SYBMONEY: {
        const auto money = read_native<DBMONEY>(data);
        const std::uint64_t bits = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(
                                        money.mnyhigh)) << 32) | money.mnylow;
        return oledb_format_money(static_cast<std::int64_t>(bits));
    }
    case SYBDATETIME: case SYBDATETIME4: return read_datetime(dbproc, client_type, data);
    case TDS_GUID: {
        std::array<std::uint8_t, 16> bytes{};
        if (length == 16) std::memcpy(bytes.data(), data, bytes.size());
        return oledb_format_guid(bytes);
    }
    default: return read_by_conversion(dbproc, client_type, data, length);
    }
}

oledb_cell read_cell(DBPROCESS* dbproc, int column, const oledb_column_info& info) {
    oledb_cell cell;
    const BYTE* data = dbdata(dbproc, column);
    const DBINT length = dbdatlen(dbproc, column);
    if (data == nullptr) return cell;   // NULL; an empty value comes as a pointer, length 0
    cell.b_null = false;
    const int client_type = dbcoltype(dbproc, column);
    const bool is_raw = info.type == DBTYPE_BYTES || info.type == DBTYPE_STR
                        || (info.type == DBTYPE_WSTR && (client_type == SYBCHAR
                            || client_type == SYBVARCHAR || client_type == SYBTEXT));
    if (is_raw) {
        cell.data.assign(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
        return cell;
    }
    cell.data = read_fixed(dbproc, client_type, data, length);
    return cell;
}

// Reads the rows of the current result set.
bool read_rows(DBPROCESS* dbproc, oledb_result_set& result) {
    const int column_count = static_cast<int>(result.columns.size());
    for (;;) {
        const STATUS status = dbnextrow(dbproc);
        if (status == NO_MORE_ROWS) return true;
        if (status == FAIL) return false;
        if (status != REG_ROW) continue;   // compute rows: none of our statements make them
        oledb_row row;
        row.reserve(result.columns.size());
        for (int column = 1; column <= column_count; ++column) {
            row.push_back(read_cell(dbproc, column, result.columns[column - 1]));
        }
        result.rows.push_back(std::move(row));
    }
}

}  // namespace

oledb_hresult oledb_run_batch(tds_dblib_dbprocess* dbproc, oledb_message_sink& sink,
                              const std::string& batch, std::vector<oledb_result_set>& out) {
    sink.clear();
    bool failed = dbcmd(dbproc, batch.c_str()) != SUCCEED || dbsqlexec(dbproc) != SUCCEED;
    if (!failed) {
        for (;;) {
            const RETCODE status = dbresults(dbproc);
            if (status == NO_MORE_RESULTS) break;
            if (status == FAIL) {
                failed = true;
                if (dbdead(dbproc)) break;
                continue;
            }
            const int column_count = dbnumcols(dbproc);
            if (column_count <= 0) continue;
            oledb_result_set result;
            for (int column = 1; column <= column_count; ++column) {
                result.columns.push_back(describe_column(dbproc, column));
            }
            if (!read_rows(dbproc, result)) failed = true;
            out.push_back(std::move(result));
        }
    }
    if (failed && !dbdead(dbproc)) dbcancel(dbproc);
    if (failed || !sink.errors.empty()) return sink.publish("The statement failed.");
    return OLEDB_S_OK;
}
