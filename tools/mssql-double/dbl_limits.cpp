// dbl_limits.cpp - SQL Server's size limits on tables, keys and names, with its messages.
// Column sizes are dbl_type::max_bytes, those of "Estimate the size of a heap": nchar and
// nvarchar two bytes a character, decimal 5 to 17 bytes by precision.
#include "dbl_limits.hpp"

#include <atomic>

#include "dbl_error.hpp"
#include "dbl_executor.hpp"
#include "dbl_text.hpp"

namespace {

constexpr int MAX_COLUMNS = 1024;
constexpr int MAX_ROW_BYTES = 8060;
// Row header: status bits (2 bytes) and the offset of the column count (2 bytes).
constexpr int ROW_HEADER_BYTES = 4;
constexpr std::size_t MAX_NAME_CHARACTERS = 128;

bool is_variable(const dbl_type& type) {
    return type.kind == dbl_kind::VARCHAR || type.kind == dbl_kind::NVARCHAR
           || type.kind == dbl_kind::VARBINARY || type.is_long();
}

bool is_fixed(const dbl_type& type) { return !is_variable(type); }

struct key_bytes {
    int fixed = 0;      // fixed-length columns: every entry has them
    int declared = 0;   // all columns at their declared maximum
};

key_bytes bytes_of(const dbl_table& table, const dbl_key& key) {
    key_bytes bytes;
    for (int column : key.columns) {
        const dbl_type& type = table.columns[std::size_t(column)].type;
        const int size = type.max_bytes();
        bytes.declared += size;
        if (is_fixed(type)) bytes.fixed += size;
    }
    return bytes;
}

int entry_bytes(const dbl_table& table, const dbl_key& key, const dbl_row& row) {
    int bytes = 0;
    for (int column : key.columns) {
        const dbl_type& type = table.columns[std::size_t(column)].type;
        const dbl_value& value = row[std::size_t(column)];
        if (!is_variable(type)) bytes += type.max_bytes();
        else if (!value.b_null)
            bytes += int(type.is_wide_text() ? 2 * value.wide.size() : value.bytes.size());
    }
    return bytes;
}

const char* index_kind(bool b_clustered) { return b_clustered ? "clustered" : "nonclustered"; }

}   // namespace

namespace {

constexpr int FIRST_WIDE_KEY_MAJOR = 13;   // SQL Server 2016
std::atomic<int> claimed_major{15};

bool has_wide_keys() { return claimed_major.load() >= FIRST_WIDE_KEY_MAJOR; }

}   // namespace

void dbl_claim_release(int major_version) { claimed_major.store(major_version); }

int dbl_max_key_bytes(bool b_clustered) { return b_clustered || !has_wide_keys() ? 900 : 1700; }

int dbl_max_key_columns(bool b_clustered) { return b_clustered || !has_wide_keys() ? 16 : 32; }

void dbl_check_key_size(dbl_executor& ex, const dbl_table& table, const dbl_key& key,
                        bool b_constraint) {
    auto noted = [&](const dbl_sql_error& error) {
        return b_constraint ? dbl_with_constraint_note(error) : error;
    };
    const int max_columns = dbl_max_key_columns(key.b_clustered);
    if (int(key.columns.size()) > max_columns)
        throw noted(dbl_sql_error(
            1904, 1, 16,
            "The index '" + key.name + "' on table '" + table.name + "' has "
                + std::to_string(key.columns.size())
                + " column names in index key list. The maximum limit for index or statistics "
                  "key column list is "
                + std::to_string(max_columns) + "."));
    const int limit = dbl_max_key_bytes(key.b_clustered);
    const key_bytes bytes = bytes_of(table, key);
    if (bytes.fixed > limit)
        throw noted(dbl_sql_error(1944, 1, 16,
                                  "Index '" + key.name
                                      + "' was not created. This index has a key length of at "
                                        "least "
                                      + std::to_string(bytes.fixed)
                                      + " bytes. The maximum permissible key length is "
                                      + std::to_string(limit) + " bytes."));
    if (bytes.declared > limit)
        ex.send_info(1945, "Warning! The maximum key length for a "
                               + std::string(index_kind(key.b_clustered)) + " index is "
                               + std::to_string(limit) + " bytes. The index '" + key.name
                               + "' has maximum length of " + std::to_string(bytes.declared)
                               + " bytes. For some combination of large values, the "
                                 "insert/update operation will fail.");
}

std::vector<const dbl_key*> dbl_keys_over_limit(const dbl_table& table) {
    std::vector<const dbl_key*> keys;
    for (const dbl_key& key : table.keys)
        if (key.kind != dbl_key_kind::FOREIGN_KEY
            && bytes_of(table, key).declared > dbl_max_key_bytes(key.b_clustered))
            keys.push_back(&key);
    return keys;
}

void dbl_check_key_entry(const dbl_table& table, const dbl_key& key, const dbl_row& row) {
    const int limit = dbl_max_key_bytes(key.b_clustered);
    const int bytes = entry_bytes(table, key, row);
    if (bytes <= limit) return;
    dbl_sql_error error(1946, 3, 16,
                        "Operation failed. The index entry of length " + std::to_string(bytes)
                            + " bytes for the index '" + key.name
                            + "' exceeds the maximum length of " + std::to_string(limit)
                            + " bytes for " + index_kind(key.b_clustered) + " indexes.");
    error.b_terminated_note = true;
    throw error;
}

void dbl_check_table_size(const dbl_table& table) {
    if (table.columns.size() > std::size_t(MAX_COLUMNS))
        throw dbl_sql_error(1702, 1, 16,
                            "CREATE TABLE failed because column '"
                                + table.columns[std::size_t(MAX_COLUMNS)].name + "' in table '"
                                + table.name + "' exceeds the maximum of "
                                + std::to_string(MAX_COLUMNS) + " columns.");
    // The smallest row: fixed-length columns (bits eight to a byte), the row header and the
    // null bitmap (2 bytes and a bit a column). Variable-length columns may be empty and
    // then add nothing.
    int fixed = 0;
    int bits = 0;
    for (const dbl_column& column : table.columns) {
        if (column.type.kind == dbl_kind::BIT) ++bits;
        else if (is_fixed(column.type)) fixed += column.type.max_bytes();
    }
    fixed += (bits + 7) / 8;
    const int overhead = ROW_HEADER_BYTES + 2 + int(table.columns.size() + 7) / 8;
    if (fixed + overhead <= MAX_ROW_BYTES) return;
    throw dbl_sql_error(1701, 1, 16,
                        "Creating or altering table '" + table.name
                            + "' failed because the minimum row size would be "
                            + std::to_string(fixed + overhead) + ", including "
                            + std::to_string(overhead)
                            + " bytes of internal overhead. This exceeds the maximum allowable "
                              "table row size of "
                            + std::to_string(MAX_ROW_BYTES) + " bytes.");
}

void dbl_check_identifier(const std::u16string& name, int line) {
    if (name.size() <= MAX_NAME_CHARACTERS) return;
    dbl_sql_error error(
        103, 4, 15,
        "The identifier that starts with '" + dbl_utf8(name.substr(0, MAX_NAME_CHARACTERS))
            + "' is too long. Maximum length is " + std::to_string(MAX_NAME_CHARACTERS) + ".",
        dbl_scope::BATCH);
    error.line = line;
    throw error;
}
