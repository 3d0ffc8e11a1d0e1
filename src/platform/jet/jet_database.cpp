#include "platform/jet/jet_database.hpp"

#include <algorithm>

#include "platform/jet/jet_complex_column.hpp"
#include "platform/jet/jet_pager.hpp"
#include "platform/jet/jet_property_blob.hpp"
#include "platform/jet/jet_table_def_reader.hpp"
#include "platform/jet/jet_text.hpp"
#include "platform/winbase/win_compare.hpp"

namespace {

constexpr std::uint32_t CATALOG_TDEF_PAGE = 2;
constexpr std::u16string_view CATALOG_NAME = u"MSysObjects";
constexpr std::u16string_view RELATIONSHIPS_NAME = u"MSysRelationships";
// Every Jet 3, Jet 4 and ACE file of the shared test data, workgroup files included, lists
// these four; a catalogue without one of them has lost rows.
constexpr std::u16string_view REQUIRED_SYSTEM_TABLES[] = {CATALOG_NAME, u"MSysACEs", u"MSysQueries",
                                                          RELATIONSHIPS_NAME};
// The first catalogue columns column_positions is asked for; a row needs all of them.
constexpr const char* CATALOG_COLUMN_NAMES[] = {"Id", "ParentId", "Name", "Type", "Flags"};
constexpr std::size_t CATALOG_REQUIRED_COLUMNS = std::size(CATALOG_COLUMN_NAMES);
constexpr std::size_t SALVAGE_FAILURE_LIMIT = 100;

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

bool is_number(const jet_value& value) {
    switch (value.kind()) {
    case jet_value_kind::byte:
    case jet_value_kind::int16:
    case jet_value_kind::int32:
    case jet_value_kind::int64: return true;
    default: return false;
    }
}

// Access refuses object names with control characters, and a name is never empty; U+FFFD and
// a lone surrogate are what bytes that are no text decode to.
bool is_valid_name(std::u16string_view name) {
    if (name.empty()) return false;
    for (std::size_t char_idx = 0; char_idx < name.size(); ++char_idx) {
        char16_t unit = name[char_idx];
        if (unit < u' ' || unit == u'\uFFFD') return false;
        bool is_high = unit >= 0xD800 && unit <= 0xDBFF;
        bool is_low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (is_low) return false;
        if (!is_high) continue;
        if (char_idx + 1 >= name.size() || name[char_idx + 1] < 0xDC00
            || name[char_idx + 1] > 0xDFFF)
            return false;
        ++char_idx;
    }
    return true;
}

// A catalogue row every reader of it can trust: numbered, typed and named.
void check_catalog_row(const std::vector<jet_value>& row, const std::vector<int>& at,
                       std::uint32_t page_no) {
    if (!is_number(at_or_null(row, at[0])) || !is_number(at_or_null(row, at[3])))
        throw jet_error::corrupt(page_no, "a catalogue row has no number or no type");
    const jet_value& name = at_or_null(row, at[2]);
    if (name.kind() != jet_value_kind::text || !is_valid_name(name.get<std::u16string>()))
        throw jet_error::corrupt(page_no, "a catalogue row has an empty or undecodable name");
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

}   // namespace

jet_database::jet_database(std::string path, std::unique_ptr<jet_pager> file)
    : file_path(std::move(path)), pager(std::move(file)) {}

jet_database::~jet_database() = default;

std::unique_ptr<jet_database> jet_database::open(const std::string& path,
                                                 std::u16string_view password,
                                                 const jet_open_options& options) {
    auto pager = std::make_unique<jet_pager>(path, password, options.exclusive);
    jet_code_page_choice code_page;
    if (pager->is_jet3()) {
        code_page = jet_choose_code_page(options.code_page, options.code_page_origin,
                                         pager->header().code_page);
        pager->set_text_code_page(code_page.code_page);
    }
    std::unique_ptr<jet_database> database(new jet_database(path, std::move(pager)));
    database->text_code_page = std::move(code_page);
    database->load_catalog(options.b_salvage_catalog);
    return database;
}

const jet_header& jet_database::header() const { return pager->header(); }

void jet_database::load_catalog(bool b_salvage) {
    jet_text_decoder text(pager->is_jet3(), pager->header().text_code_page);
    // Page 0 has already shown the file is Jet's: an unreadable catalogue definition is damage
    // (3049 naming page 2 and MSysObjects), never a foreign file, and nothing can be salvaged.
    const jet_table_def def = jet_read_table_def(*pager, text, CATALOG_TDEF_PAGE,
                                                 std::u16string(CATALOG_NAME));
    try {
        read_catalog_rows(def, b_salvage);
        check_system_tables();
    } catch (jet_error& error) {
        keep_or_throw(error, b_salvage);
    }
}

void jet_database::keep_or_throw(jet_error& error, bool b_salvage) {
    error.set_table(jet_utf8(std::u16string(CATALOG_NAME)));
    if (!b_salvage || error.dao_number() != JET_ERR_CORRUPT) throw error;
    if (!damage) damage = error;
}

void jet_database::read_catalog_rows(const jet_table_def& def, bool b_salvage) {
    std::vector<int> at = column_positions(def,
                                           {u"Id", u"ParentId", u"Name", u"Type", u"Flags",
                                            u"Connect", u"Database", u"ForeignName", u"LvProp"});
    for (std::size_t column_idx = 0; column_idx < CATALOG_REQUIRED_COLUMNS; ++column_idx)
        if (at[column_idx] < 0)
            throw jet_error::corrupt(CATALOG_TDEF_PAGE, std::string("the catalogue has no column '")
                                                            + CATALOG_COLUMN_NAMES[column_idx]
                                                            + "'");
    jet_cursor cursor(*pager, def);
    // A failed row or page has been passed when next() throws, so salvaging goes on with the
    // rows after it; the limit ends a file that is damaged throughout.
    for (std::size_t failures = 0; failures < SALVAGE_FAILURE_LIMIT;) {
        try {
            if (!cursor.next()) return;
            check_catalog_row(cursor.values(), at, cursor.page_no());
            add_catalog_entry(cursor.values(), at);
        } catch (jet_error& error) {
            keep_or_throw(error, b_salvage);
            ++failures;
        }
    }
}

void jet_database::add_catalog_entry(const std::vector<jet_value>& row,
                                     const std::vector<int>& at) {
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
    property_blobs.push_back(blob.kind() == jet_value_kind::binary && entry.type == JET_OBJECT_TABLE
                                 ? blob.get<std::vector<std::uint8_t>>()
                                 : std::vector<std::uint8_t>());
    entries.push_back(std::move(entry));
}

void jet_database::check_system_tables() const {
    for (std::u16string_view name : REQUIRED_SYSTEM_TABLES) {
        const jet_catalog_entry* entry = find_table(name);
        if (!entry || entry->type != JET_OBJECT_TABLE)
            throw jet_error::corrupt(CATALOG_TDEF_PAGE, "the catalogue lists no system table '"
                                                            + jet_utf8(std::u16string(name)) + "'");
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
    jet_text_decoder text(pager->is_jet3(), pager->header().text_code_page);
    jet_table_def def = jet_read_table_def(*pager, text, entry.tdef_page(), entry.name);
    std::size_t entry_idx = std::size_t(&entry - entries.data());
    try {
        jet_property_set properties = jet_read_property_blob(property_blobs[entry_idx], text);
        def.properties = std::move(properties.object);
        for (auto& [column_name, column_properties] : properties.columns) {
            for (jet_column& column : def.columns)
                if (jet_same_name(column.name, column_name)) column.properties = column_properties;
        }
    } catch (jet_error& error) {
        error.set_table(jet_utf8(entry.name));
        throw;
    }
    apply_result_types(def);
    if (!pager->is_jet3()) jet_read_complex_columns(*this, def);
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
    while (cursor->skip()) ++count;   // a count needs no row decoded
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
        auto same = std::find_if(found.begin(), found.end(),
                                 [&](const jet_relationship& rel) { return rel.name == name; });
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
