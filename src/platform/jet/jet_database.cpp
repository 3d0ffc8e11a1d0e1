#include "platform/jet/jet_database.hpp"

#include <algorithm>

#include "platform/jet/jet_pager.hpp"
#include "platform/jet/jet_property_blob.hpp"
#include "platform/jet/jet_table_def_reader.hpp"
#include "platform/jet/jet_text.hpp"
#include "platform/winbase/win_compare.hpp"

namespace {

constexpr std::uint32_t CATALOG_TDEF_PAGE = 2;
constexpr std::u16string_view CATALOG_NAME = u"MSysObjects";
constexpr std::u16string_view RELATIONSHIPS_NAME = u"MSysRelationships";

// Column positions of a table read by name; -1 when the table lacks the column.
std::vector<int> column_positions(const jet_table_def& def,
                                  std::initializer_list<std::u16string_view> names) {
    std::vector<int> positions;
    for (std::u16string_view name : names) {
        int found = -1;
        for (std::size_t column_idx = 0; column_idx < def.columns.size(); ++column_idx)
            if (jet_same_name(def.columns[column_idx].name, name)) found = int(column_idx);
        positions.push_back(found);
    }
    return positions;
}

const jet_value& at_or_null(const std::vector<jet_value>& row, int position) {
    static const jet_value null_value;
    return position < 0 ? null_value : row[std::size_t(position)];
}

std::u16string text_of(const jet_value& value) {
    return value.kind() == jet_value_kind::text ? value.get<std::u16string>() : u"";
}

std::int64_t number_of(const jet_value& value) {
    switch (value.kind()) {
    case jet_value_kind::byte: return value.get<std::uint8_t>();
    case jet_value_kind::int16: return value.get<std::int16_t>();
    case jet_value_kind::int32: return value.get<std::int32_t>();
    case jet_value_kind::int64: return value.get<std::int64_t>();
    default: return 0;
    }
}

// A calculated column's definition keeps the type chosen when it was created; the stored
// result has the type of its expression, recorded as ResultType (calcFieldTestV2010:
// "[Salary]/12" is declared Double and stores Currency). Rows decode by the result type.
void apply_result_types(jet_table_def& def) {
    for (jet_column& column : def.columns) {
        if (!column.is_calculated()) continue;
        const jet_property* result = column.properties.find(u"ResultType");
        if (!result) continue;
        std::int64_t type_code = number_of(result->value);
        if (type_code > 0 && type_code < 0x100) column.type_code = std::uint8_t(type_code);
    }
}

}  // namespace

jet_database::jet_database(std::string path, std::unique_ptr<jet_pager> file)
    : file_path(std::move(path)), pager(std::move(file)) {}

jet_database::~jet_database() = default;

std::unique_ptr<jet_database> jet_database::open(const std::string& path,
                                                 std::u16string_view password,
                                                 jet_open_options options) {
    auto pager = std::make_unique<jet_pager>(path, password, options.exclusive);
    std::unique_ptr<jet_database> database(new jet_database(path, std::move(pager)));
    try {
        database->load_catalog();
    } catch (const jet_error& error) {
        // A file whose catalogue cannot be read is no database Jet recognises.
        if (error.dao_number() == JET_ERR_CORRUPT && error.page_no() <= CATALOG_TDEF_PAGE)
            throw jet_error::unrecognized_format(path);
        throw;
    }
    return database;
}

const jet_header& jet_database::header() const { return pager->header(); }

void jet_database::load_catalog() {
    jet_text_decoder text(pager->is_jet3(), pager->header().code_page);
    jet_table_def def =
        jet_read_table_def(*pager, text, CATALOG_TDEF_PAGE, std::u16string(CATALOG_NAME));
    std::vector<int> at = column_positions(def, {u"Id", u"ParentId", u"Name", u"Type", u"Flags",
                                                 u"Connect", u"Database", u"ForeignName",
                                                 u"LvProp"});
    jet_cursor cursor(*pager, def);
    while (cursor.next()) {
        const std::vector<jet_value>& row = cursor.values();
        jet_catalog_entry entry;
        entry.id = std::int32_t(number_of(at_or_null(row, at[0])));
        entry.parent_id = std::int32_t(number_of(at_or_null(row, at[1])));
        entry.name = text_of(at_or_null(row, at[2]));
        entry.type = std::int16_t(number_of(at_or_null(row, at[3])));
        entry.flags = std::uint32_t(number_of(at_or_null(row, at[4])));
        entry.connect = text_of(at_or_null(row, at[5]));
        entry.database = text_of(at_or_null(row, at[6]));
        entry.foreign_name = text_of(at_or_null(row, at[7]));
        const jet_value& blob = at_or_null(row, at[8]);
        property_blobs.push_back(blob.kind() == jet_value_kind::binary &&
                                         entry.type == JET_OBJECT_TABLE
                                     ? blob.get<std::vector<std::uint8_t>>()
                                     : std::vector<std::uint8_t>());
        entries.push_back(std::move(entry));
    }
}

std::vector<jet_catalog_entry> jet_database::tables() const {
    std::vector<jet_catalog_entry> found;
    for (const jet_catalog_entry& entry : entries)
        if (entry.is_table()) found.push_back(entry);
    return found;
}

std::vector<jet_catalog_entry> jet_database::user_tables() const {
    std::vector<jet_catalog_entry> found;
    for (const jet_catalog_entry& entry : entries)
        if (entry.type == JET_OBJECT_TABLE && !entry.is_system()) found.push_back(entry);
    return found;
}

const jet_catalog_entry* jet_database::find_table(std::u16string_view name) const {
    for (const jet_catalog_entry& entry : entries)
        if (entry.is_table() && jet_same_name(entry.name, name)) return &entry;
    return nullptr;
}

jet_table_def jet_database::read_definition(const jet_catalog_entry& entry) const {
    jet_text_decoder text(pager->is_jet3(), pager->header().code_page);
    jet_table_def def = jet_read_table_def(*pager, text, entry.tdef_page(), entry.name);
    std::size_t entry_idx = std::size_t(&entry - entries.data());
    try {
        jet_property_set properties = jet_read_property_blob(property_blobs[entry_idx], text);
        def.properties = std::move(properties.object);
        for (auto& [column_name, column_properties] : properties.columns) {
            for (jet_column& column : def.columns)
                if (jet_same_name(column.name, column_name))
                    column.properties = column_properties;
        }
    } catch (jet_error& error) {
        error.set_table(jet_utf8(entry.name));
        throw;
    }
    apply_result_types(def);
    return def;
}

jet_table_def jet_database::table_def(std::u16string_view name) const {
    const jet_catalog_entry* entry = find_table(name);
    if (!entry || entry->type != JET_OBJECT_TABLE)
        throw jet_error::table_not_found(jet_utf8(std::u16string(name)));
    return read_definition(*entry);
}

std::unique_ptr<jet_cursor> jet_database::open_cursor(std::u16string_view name) const {
    return std::make_unique<jet_cursor>(*pager, table_def(name));
}

std::unique_ptr<jet_cursor> jet_database::open_cursor(jet_table_def definition) const {
    return std::make_unique<jet_cursor>(*pager, std::move(definition));
}

std::uint64_t jet_database::count_rows(std::u16string_view name) const {
    std::unique_ptr<jet_cursor> cursor = open_cursor(name);
    std::uint64_t count = 0;
    while (cursor->next()) ++count;
    return count;
}

std::vector<jet_relationship> jet_database::relationships() const {
    std::vector<jet_relationship> found;
    const jet_catalog_entry* entry = find_table(RELATIONSHIPS_NAME);
    if (!entry) return found;
    std::unique_ptr<jet_cursor> cursor = open_cursor(RELATIONSHIPS_NAME);
    std::vector<int> at = column_positions(
        cursor->table(), {u"szRelationship", u"szObject", u"szReferencedObject", u"szColumn",
                          u"szReferencedColumn", u"icolumn", u"grbit"});
    std::vector<std::vector<std::pair<std::int64_t, std::pair<std::u16string, std::u16string>>>>
        ordered;
    while (cursor->next()) {
        const std::vector<jet_value>& row = cursor->values();
        std::u16string name = text_of(at_or_null(row, at[0]));
        auto same = std::find_if(found.begin(), found.end(), [&](const jet_relationship& rel) {
            return rel.name == name;
        });
        if (same == found.end()) {
            jet_relationship rel;
            rel.name = name;
            rel.table = text_of(at_or_null(row, at[1]));
            rel.referenced_table = text_of(at_or_null(row, at[2]));
            rel.flags = std::uint32_t(number_of(at_or_null(row, at[6])));
            found.push_back(std::move(rel));
            ordered.emplace_back();
            same = found.end() - 1;
        }
        ordered[std::size_t(same - found.begin())].push_back(
            {number_of(at_or_null(row, at[5])),
             {text_of(at_or_null(row, at[3])), text_of(at_or_null(row, at[4]))}});
    }
    for (std::size_t rel_idx = 0; rel_idx < found.size(); ++rel_idx) {
        auto by_position = [](const auto& left, const auto& right) {
            return left.first < right.first;
        };
        std::stable_sort(ordered[rel_idx].begin(), ordered[rel_idx].end(), by_position);
        for (auto& [position, pair] : ordered[rel_idx]) found[rel_idx].columns.push_back(pair);
    }
    std::erase_if(found, [](const jet_relationship& rel) {
        return jet_is_system_name(rel.table) || jet_is_system_name(rel.referenced_table);
    });
    return found;
}
