#include "platform/jet/jet_new_table.hpp"

#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_index_key.hpp"
#include "platform/jet/jet_text.hpp"

namespace {

constexpr int JET_ERR_INVALID_ARGUMENT = 3001;
constexpr int JET_ERR_BAD_NAME = 3125;
constexpr int JET_ERR_TOO_MANY_FIELDS = 3190;
constexpr int JET_ERR_FIELD_TWICE = 3191;
constexpr int JET_ERR_PRIMARY_EXISTS = 3283;
constexpr int JET_ERR_INDEX_EXISTS = 3284;
constexpr std::size_t MAX_COLUMNS = 255;
constexpr std::size_t MAX_NAME = 64;
constexpr std::size_t MAX_INDEX_COLUMNS = 10;

[[noreturn]] void invalid(const std::string& why) {
    throw jet_error(JET_ERR_INVALID_ARGUMENT, "Invalid argument: " + why + ".");
}

// Access refuses names that are empty, too long, start with a space or hold . ! ` [ ] or
// a control character.
void check_name(const std::u16string& name) {
    bool bad = name.empty() || name.size() > MAX_NAME || name.front() == u' ';
    for (char16_t unit : name)
        if (unit < 0x20 || unit == u'.' || unit == u'!' || unit == u'`' || unit == u'['
            || unit == u']')
            bad = true;
    if (bad) throw jet_error(JET_ERR_BAD_NAME, "'" + jet_utf8(name) + "' is not a valid name.");
}

void check_column(const jet_new_column& column) {
    check_name(column.name);
    std::string name = jet_utf8(column.name);
    switch (column.type_code) {
    case JET_TYPE_TEXT:
    case JET_TYPE_BINARY:
        if (column.length == 0 || column.length > 255)
            invalid("column " + name + " is longer than 255 or empty");
        break;
    case JET_TYPE_NUMERIC:
        if (column.precision == 0 || column.precision > 28 || column.scale > column.precision)
            invalid("column " + name + " has a precision or scale out of range");
        break;
    case JET_TYPE_BOOLEAN:
    case JET_TYPE_BYTE:
    case JET_TYPE_INT16:
    case JET_TYPE_INT32:
    case JET_TYPE_CURRENCY:
    case JET_TYPE_FLOAT32:
    case JET_TYPE_FLOAT64:
    case JET_TYPE_DATETIME:
    case JET_TYPE_OLE:
    case JET_TYPE_MEMO:
    case JET_TYPE_GUID: break;
    default: invalid("column " + name + " has a type the writer does not make");
    }
    if (column.is_autonumber && column.type_code != JET_TYPE_INT32)
        invalid("only a Long column can be an AutoNumber (" + name + ")");
}

const jet_new_column* find_column(const jet_new_table& table, const std::u16string& name) {
    const jet_new_column* found = nullptr;
    for (const jet_new_column& column : table.columns)
        if (jet_same_name(column.name, name)) found = &column;
    return found;
}

void check_key_type(const jet_new_column& column) {
    if (column.type_code == JET_TYPE_MEMO || column.type_code == JET_TYPE_OLE)
        invalid("a Memo or OLE column cannot be indexed (" + jet_utf8(column.name) + ")");
    // Refused here, with the table, rather than row by row once it exists.
    if (!jet_index_key_supported(column.type_code))
        invalid("the writer cannot index a column of this type (" + jet_utf8(column.name) + ")");
}

void check_index(const jet_new_table& table, const jet_new_index& index) {
    check_name(index.name);
    if (index.columns.empty() || index.columns.size() > MAX_INDEX_COLUMNS)
        invalid("index " + jet_utf8(index.name) + " needs 1 to 10 columns");
    for (const jet_new_index_column& key : index.columns) {
        const jet_new_column* found = find_column(table, key.name);
        if (!found)
            invalid("index " + jet_utf8(index.name) + " names no column " + jet_utf8(key.name));
        check_key_type(*found);
    }
}

}   // namespace

jet_new_column jet_make_column(std::u16string name, std::uint8_t type_code, std::uint16_t length) {
    jet_new_column made;
    made.name = std::move(name);
    made.type_code = type_code;
    made.length = length;
    return made;
}

void jet_check_new_table(const jet_new_table& table) {
    check_name(table.name);
    if (table.columns.empty()) invalid("a table needs a column");
    if (table.columns.size() > MAX_COLUMNS)
        throw jet_error(JET_ERR_TOO_MANY_FIELDS, "Too many fields defined.");
    for (std::size_t column_idx = 0; column_idx < table.columns.size(); ++column_idx) {
        check_column(table.columns[column_idx]);
        for (std::size_t other = 0; other < column_idx; ++other)
            if (jet_same_name(table.columns[other].name, table.columns[column_idx].name))
                throw jet_error(JET_ERR_FIELD_TWICE, "Cannot define field more than once.");
    }
    bool has_primary = false;
    for (std::size_t index_idx = 0; index_idx < table.indexes.size(); ++index_idx) {
        const jet_new_index& index = table.indexes[index_idx];
        check_index(table, index);
        if (index.is_primary && has_primary)
            throw jet_error(JET_ERR_PRIMARY_EXISTS, "Primary key already exists.");
        has_primary = has_primary || index.is_primary;
        for (std::size_t other = 0; other < index_idx; ++other)
            if (jet_same_name(table.indexes[other].name, index.name))
                throw jet_error(JET_ERR_INDEX_EXISTS, "Index already exists.");
    }
}

void jet_check_index_key_types(const jet_new_table& table, const jet_new_index& index) {
    for (const jet_new_index_column& key : index.columns)
        if (const jet_new_column* found = find_column(table, key.name)) check_key_type(*found);
}
