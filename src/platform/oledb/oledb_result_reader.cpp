// oledb_result_reader.cpp - db-lib results to column information and cells. db-lib describes
// a column by its client type (dbcolinfo's Type and MaxLength); the server's own type is not
// reported, so char and nchar columns both arrive as SYBCHAR in UTF-8 and are described as
// wide text (Vantrel creates only Unicode text columns), their size in UTF-8 bytes, which is
// never less than their characters. A nullable fixed type (intn, fltn, moneyn, datetimn)
// is told apart by its length.

#include "platform/oledb/oledb_result_reader.hpp"

#include "platform/oledb/oledb_text_format.hpp"

#include <array>
#include <cstring>

#define MSDBLIB 1
#include <sybdb.h>
#include <sybfront.h>

namespace {

constexpr int CLIENT_GUID = 36;   // SYBUNIQUE, which sybdb.h does not name

// What the provider reports for a column without a length limit: 2^30 - 1 characters for
// ntext and nvarchar(max), 2^31 - 1 for the binary long types.
constexpr std::uint32_t LONG_WIDE_SIZE = 0x3FFFFFFF;
constexpr std::uint32_t LONG_NARROW_SIZE = 0x7FFFFFFF;
constexpr std::int32_t MAX_TYPE_CLIENT_SIZE = 0x3FFFFFFF;   // (max) types arrive at least this

oledb_dbtype integer_type_by_length(int length) {
    switch (length) {
    case 1: return DBTYPE_UI1;
    case 2: return DBTYPE_I2;
    case 8: return DBTYPE_I8;
    default: return DBTYPE_I4;
    }
}

bool is_long(std::int32_t size) { return size <= 0 || size >= MAX_TYPE_CLIENT_SIZE; }

// Type and size of one column the way GetColumnInfo reports them.
void classify(int client_type, std::int32_t size, oledb_column_info& info) {
    info.column_size = static_cast<std::uint32_t>(size > 0 ? size : 0);
    switch (client_type) {
    case SYBINT1:
    case SYBINT2:
    case SYBINT4:
    case SYBINT8:
    case SYBINTN: info.type = integer_type_by_length(size); break;
    case SYBBIT:
    case SYBBITN:
        info.type = DBTYPE_BOOL;
        info.column_size = 2;
        break;
    case SYBREAL: info.type = DBTYPE_R4; break;
    case SYBFLT8: info.type = DBTYPE_R8; break;
    case SYBFLTN: info.type = size == 4 ? DBTYPE_R4 : DBTYPE_R8; break;
    case SYBMONEY:
    case SYBMONEY4:
    case SYBMONEYN: info.type = DBTYPE_CY; break;
    case SYBDATETIME:
    case SYBDATETIME4:
    case SYBDATETIMN:
        info.type = DBTYPE_DBTIMESTAMP;
        info.column_size = 16;
        break;
    case SYBDECIMAL:
    case SYBNUMERIC: info.type = DBTYPE_NUMERIC; break;
    case CLIENT_GUID:
        info.type = DBTYPE_GUID;
        info.column_size = 16;
        break;
    case SYBCHAR:
    case SYBVARCHAR:
    case SYBNVARCHAR:
        info.type = DBTYPE_WSTR;
        if (is_long(size)) info.column_size = LONG_WIDE_SIZE;
        break;
    case SYBTEXT:
    case SYBNTEXT:
        info.type = DBTYPE_WSTR;
        info.column_size = LONG_WIDE_SIZE;
        break;
    case SYBBINARY:
    case SYBVARBINARY:
        info.type = DBTYPE_BYTES;
        if (is_long(size)) info.column_size = LONG_NARROW_SIZE;
        break;
    case SYBIMAGE:
        info.type = DBTYPE_BYTES;
        info.column_size = LONG_NARROW_SIZE;
        break;
    default: info.type = DBTYPE_WSTR; break;   // date, time, datetime2, xml: read as text
    }
    if (info.type == DBTYPE_WSTR || info.type == DBTYPE_BYTES) {
        if (info.column_size >= LONG_WIDE_SIZE) info.flags |= DBCOLUMNFLAGS_ISLONG;
    }
}

oledb_column_info describe_column(DBPROCESS* dbproc, int column) {
    DBCOL col{};
    col.SizeOfStruct = sizeof(DBCOL);
    oledb_column_info info;
    info.ordinal = static_cast<std::uint32_t>(column);
    if (dbcolinfo(dbproc, CI_REGULAR, column, 0, &col) != SUCCEED) {
        const char* name = dbcolname(dbproc, column);
        info.name = name != nullptr ? name : "";
        classify(dbcoltype(dbproc, column), dbcollen(dbproc, column), info);
        info.flags |= DBCOLUMNFLAGS_ISNULLABLE;
        return info;
    }
    info.name = col.Name;
    classify(col.Type, col.MaxLength, info);
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

std::string read_by_conversion(DBPROCESS* dbproc, int client_type, const BYTE* data, DBINT length) {
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
    case SYBBIT:
    case SYBBITN: return data[0] != 0 ? "True" : "False";
    case SYBREAL: return oledb_format_float(read_native<float>(data));
    case SYBFLT8: return oledb_format_double(read_native<double>(data));
    case SYBMONEY4: return oledb_format_money(read_native<std::int32_t>(data));
    case SYBMONEY: {
        const auto money = read_native<DBMONEY>(data);
        const std::uint64_t bits =
            (static_cast<std::uint64_t>(static_cast<std::uint32_t>(money.mnyhigh)) << 32)
            | money.mnylow;
        return oledb_format_money(static_cast<std::int64_t>(bits));
    }
    case SYBDATETIME:
    case SYBDATETIME4: return read_datetime(dbproc, client_type, data);
    case CLIENT_GUID: {
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
                        || (info.type == DBTYPE_WSTR
                            && (client_type == SYBCHAR || client_type == SYBVARCHAR
                                || client_type == SYBTEXT));
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

}   // namespace

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
