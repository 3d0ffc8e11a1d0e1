// jet_complex_column.cpp - reads MSysComplexColumns and the type and flat tables it names
// (layout in jet_complex_column.hpp).
#include "platform/jet/jet_complex_column.hpp"

#include <map>

#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_text.hpp"

namespace {

constexpr std::u16string_view COMPLEX_COLUMNS = u"MSysComplexColumns";

struct complex_row {
    std::int32_t type_table_id = 0;
    std::int32_t flat_table_id = 0;
    std::int32_t owner_table_id = 0;
};

std::int32_t long_of(const jet_value& value) {
    return value.kind() == jet_value_kind::int32 ? value.get<std::int32_t>() : 0;
}

std::map<std::int32_t, complex_row> read_complex_rows(const jet_database& database) {
    std::map<std::int32_t, complex_row> rows;
    if (!database.find_table(COMPLEX_COLUMNS)) return rows;
    std::unique_ptr<jet_cursor> cursor = database.open_cursor(COMPLEX_COLUMNS);
    const jet_table_def& def = cursor->table();
    auto position = [&](std::u16string_view name) {
        const jet_column* column = def.find_column(name);
        if (!column)
            throw jet_error::corrupt(def.tdef_page,
                                     "MSysComplexColumns has no " + jet_utf8(std::u16string(name)));
        return std::size_t(column - def.columns.data());
    };
    std::size_t id_at = position(u"ComplexID");
    std::size_t type_at = position(u"ComplexTypeObjectID");
    std::size_t flat_at = position(u"FlatTableID");
    std::size_t owner_at = position(u"ConceptualTableID");
    while (cursor->next()) {
        const std::vector<jet_value>& row = cursor->values();
        rows[long_of(row[id_at])] = {long_of(row[type_at]), long_of(row[flat_at]),
                                     long_of(row[owner_at])};
    }
    return rows;
}

const jet_catalog_entry* find_by_id(const jet_database& database, std::int32_t id) {
    for (const jet_catalog_entry& entry : database.catalog())
        if (entry.type == JET_OBJECT_TABLE && entry.id == id) return &entry;
    return nullptr;
}

bool is_multi_value_type(std::uint8_t type_code) {
    switch (type_code) {
    case JET_TYPE_BYTE:
    case JET_TYPE_INT16:
    case JET_TYPE_INT32:
    case JET_TYPE_FLOAT32:
    case JET_TYPE_FLOAT64:
    case JET_TYPE_GUID:
    case JET_TYPE_NUMERIC:
    case JET_TYPE_TEXT: return true;
    default: return false;
    }
}

std::size_t count_type(const jet_table_def& def, std::uint8_t type_code) {
    std::size_t count = 0;
    for (const jet_column& column : def.columns) count += column.type_code == type_code;
    return count;
}

void classify(const jet_table_def& type_table, jet_complex_info& info) {
    const std::vector<jet_column>& columns = type_table.columns;
    bool has_memo = count_type(type_table, JET_TYPE_MEMO) >= 1;
    bool has_date = count_type(type_table, JET_TYPE_DATETIME) >= 1;
    if (columns.size() == 1 && is_multi_value_type(columns[0].type_code)) {
        info.kind = jet_complex_kind::multi_value;
        info.element_type = columns[0].type_code;
    } else if (has_memo && has_date && count_type(type_table, JET_TYPE_TEXT) >= 2
               && count_type(type_table, JET_TYPE_OLE) >= 1
               && count_type(type_table, JET_TYPE_INT32) >= 1) {
        info.kind = jet_complex_kind::attachment;
    } else if (has_memo && has_date) {
        info.kind = jet_complex_kind::version_history;
        for (const jet_column& column : columns)
            if (column.type_code == JET_TYPE_MEMO) info.versioned_column = column.name;
    } else {
        info.kind = jet_complex_kind::unknown;
    }
}

// The two columns the flat table adds to the type table's: the owner's key (Long) and the
// item's own auto-number.
void find_keys(const jet_table_def& flat_table, const jet_table_def& type_table,
               jet_complex_info& info) {
    for (const jet_column& column : flat_table.columns) {
        if (type_table.find_column(column.name)) continue;
        if (column.is_autonumber()) info.item_key_column = column.name;
        else if (column.type_code == JET_TYPE_INT32) info.key_column = column.name;
    }
    if (info.key_column.empty() || info.item_key_column.empty()) {
        throw jet_error::corrupt(flat_table.tdef_page, "the complex column table "
                                                           + jet_utf8(flat_table.name)
                                                           + " has no key columns");
    }
}

[[noreturn]] void missing_table(const jet_table_def& owner, const jet_column& column) {
    jet_error error = jet_error::corrupt(
        owner.tdef_page, "the tables of complex column " + jet_utf8(column.name) + " are missing");
    error.set_table(jet_utf8(owner.name));
    throw error;
}

}   // namespace

void jet_read_complex_columns(const jet_database& database, jet_table_def& definition) {
    std::map<std::int32_t, complex_row> rows;
    for (jet_column& column : definition.columns) {
        if (!column.is_complex()) continue;
        if (rows.empty()) rows = read_complex_rows(database);
        auto found = rows.find(column.complex_id);
        if (found == rows.end()) missing_table(definition, column);
        const jet_catalog_entry* type_entry = find_by_id(database, found->second.type_table_id);
        const jet_catalog_entry* flat_entry = find_by_id(database, found->second.flat_table_id);
        if (!type_entry || !flat_entry) missing_table(definition, column);
        jet_table_def type_table = database.table_def(type_entry->name);
        jet_table_def flat_table = database.table_def(flat_entry->name);
        column.complex.flat_table = flat_entry->name;
        classify(type_table, column.complex);
        find_keys(flat_table, type_table, column.complex);
    }
}
