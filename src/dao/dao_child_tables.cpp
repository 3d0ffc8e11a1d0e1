// dao_child_tables.cpp - dao_database's part in complex columns: lists each user table's
// complex fields as child tables named <table>_<column> (a suffix _2, _3 ... when a table of
// that name exists), opens them, and links each child to its owner by a foreign key on the
// owner's primary key.
#include "dao/dao_bstr.hpp"
#include "dao/dao_child_table.hpp"
#include "dao/dao_db.hpp"
#include "dao/dao_exce.hpp"
#include "dao/dao_recs.hpp"
#include "platform/dao/dao.hpp"
#include "platform/winbase/win_compare.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"
#include "udb/udb_name.hpp"

namespace {

// Names of the item columns a child table can hold (dao_child_table).
constexpr std::u16string_view ITEM_COLUMNS[] = {u"FileName", u"FileType", u"FileTimeStamp",
                                                u"FileData", u"Value",    u"Modified"};

bool is_item_column(const std::u16string& name) {
    for (std::u16string_view item : ITEM_COLUMNS)
        if (win_equal_ignore_case(name, item)) return true;
    return false;
}

// The owner's key column as the child table names it: a key named like an item column takes
// the owner's name as a prefix, so the two never clash.
std::u16string child_key_column(const std::u16string& table_name, const std::u16string& key) {
    return is_item_column(key) ? udb_fit_name(table_name + u"_" + key) : key;
}

std::vector<std::u16string> primary_key(DAOTableDef& table) {
    for (const udb_index& index : dao_read_indexes(table))
        if (index.b_primary) return index.columns;
    return {};
}

}   // namespace

void dao_database::list_complex_columns(DAOTableDef& table, const std::u16string& table_name) {
    ole_com_ptr<DAOFields> fields;
    dao_check(table.get_Fields(fields.put()));
    dao_require(fields.get(), "fields");
    SHORT count = 0;
    dao_check(fields->get_Count(&count));
    for (SHORT field_idx = 0; field_idx < count; ++field_idx) {
        ole_com_ptr<DAOField> field;
        dao_check(fields->get_Item(dao_number_variant(field_idx), field.put()));
        SHORT dao_type = 0;
        dao_check(dao_require(field.get(), "field")->get_Type(&dao_type));
        if (!dao_is_complex_type(dao_type)) continue;
        dao_bstr field_name;
        dao_check(field->get_Name(field_name.put()));
        dao_complex_column complex;
        complex.table = table_name;
        complex.column = field_name.to_wstring();
        complex.field_idx = field_idx;
        complex.dao_type = dao_type;
        complex.owner_key = primary_key(table);
        for (const std::u16string& key : complex.owner_key)
            complex.child_key.push_back(child_key_column(table_name, key));
        complex_columns.push_back(std::move(complex));
    }
}

// After every table is listed, so that a child never takes the name of a real table.
void dao_database::name_child_tables() {
    for (dao_complex_column& complex : complex_columns) {
        const std::u16string base = complex.table + u"_" + complex.column;
        std::u16string child_name = udb_fit_name(base);
        for (int suffix = 2; is_table_exist(child_name); ++suffix)
            child_name = udb_fit_name(base + u"_" + tk_utf8_to_utf16(std::to_string(suffix)));
        complex.child_name = child_name;
        tk_trace::write(2, u"Complex column %s.%s becomes table %s", complex.table, complex.column,
                        child_name);
        tables.push_back(child_name);
    }
}

const dao_complex_column* dao_database::find_child_table(const std::u16string& table_name) const {
    for (const dao_complex_column& complex : complex_columns)
        if (win_equal_ignore_case(complex.child_name, table_name)) return &complex;
    return nullptr;
}

std::vector<std::u16string> dao_database::child_tables(const std::u16string& table_name) const {
    std::vector<std::u16string> children;
    for (const dao_complex_column& complex : complex_columns)
        if (win_equal_ignore_case(complex.table, table_name))
            children.push_back(complex.child_name);
    return children;
}

std::unique_ptr<udb_recordset> dao_database::open_child_table(const dao_complex_column& complex) {
    if (complex.owner_key.empty()) {
        throw tk_exception("Table " + tk_utf16_to_utf8(complex.table)
                               + " has no primary key: the items of its column "
                               + tk_utf16_to_utf8(complex.column)
                               + " cannot be tied to their rows.",
                           ERROR_LEVEL_RECOVERABLE);
    }
    std::unique_ptr<udb_recordset> owner = get_table(complex.table, DAO_FLAG_READ);
    ole_com_ptr<DAORecordset> owner_rows = open_temporary(
        u"SELECT * FROM " + dao_bracketed(complex.table), DAO_OPTION_READ_ONLY);
    return std::make_unique<dao_child_table>(complex, owner->schema, std::move(owner_rows));
}

void dao_database::add_child_fkeys() {
    for (const dao_complex_column& complex : complex_columns) {
        if (complex.owner_key.empty()) continue;
        udb_relationship relationship;
        relationship.src_table = complex.child_name;
        relationship.dest_table = complex.table;
        relationship.src_columns = complex.child_key;
        relationship.dest_columns = complex.owner_key;
        // Access deletes a row's items with the row.
        relationship.fk_props = u"ON DELETE CASCADE";
        relationship.name = relationships.gen_relship_name(relationship);
        relationships.add(relationship);
    }
}
