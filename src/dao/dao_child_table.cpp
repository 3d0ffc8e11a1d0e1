// dao_child_table.cpp - walks the owning table's rows and, inside each, the items DAO lists
// for its complex field; each item becomes a row of owner key plus item values.
#include "dao/dao_child_table.hpp"

#include "dao/dao_bstr.hpp"
#include "dao/dao_exce.hpp"
#include "platform/dao/dao.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"
#include "udb/udb_row_error.hpp"

namespace {

constexpr std::uint32_t TEXT_ITEM_CHARS = 255;   // Access's longest Text value

// The DAO type of one value of a multi-value column: dbComplexByte (102) ... dbComplexText.
int element_type(int complex_type) {
    switch (complex_type) {
    case dbComplexByte: return dbByte;
    case dbComplexInteger: return dbInteger;
    case dbComplexLong: return dbLong;
    case dbComplexSingle: return dbSingle;
    case dbComplexDouble: return dbDouble;
    case dbComplexGUID: return dbGUID;
    case dbComplexDecimal: return dbDecimal;
    default: return dbText;
    }
}

ole_com_ptr<DAOField> field_at(DAOFields& fields, const VARIANT& item) {
    ole_com_ptr<DAOField> field;
    dao_check(fields.get_Item(item, field.put()));
    dao_require(field.get(), "field");
    return field;
}

ole_com_ptr<DAOFields> fields_of(DAORecordset& recordset) {
    ole_com_ptr<DAOFields> fields;
    dao_check(recordset.get_Fields(fields.put()));
    dao_require(fields.get(), "fields");
    return fields;
}

bool is_at_end(DAORecordset& recordset) {
    VARIANT_BOOL at_end = 0;
    dao_check(recordset.get_EOF(&at_end));
    return at_end != 0;
}

// The item's field for a column picked by type (multi-value, history): the first of it.
ole_com_ptr<DAOField> field_of_type(DAOFields& fields, int dao_type) {
    SHORT count = 0;
    dao_check(fields.get_Count(&count));
    for (SHORT field_idx = 0; field_idx < count; ++field_idx) {
        ole_com_ptr<DAOField> field = field_at(fields, dao_number_variant(field_idx));
        SHORT type = 0;
        dao_check(field->get_Type(&type));
        bool b_text = type == dbText || type == dbMemo;
        if (type == dao_type || (b_text && (dao_type == dbText || dao_type == dbMemo)))
            return field;
    }
    return {};
}

}   // namespace

bool dao_is_complex_type(int dao_type) {
    return dao_type >= dbAttachment && dao_type <= dbComplexText;
}

dao_child_table::dao_child_table(dao_complex_column complex, const udb_schema& owner_schema,
                                 ole_com_ptr<DAORecordset> rows)
    : udb_recordset(complex.child_name), column(std::move(complex)), owner_rows(std::move(rows)) {
    tk_trace::write(2, u"dao_child_table(%s)", name);
    dao_require(owner_rows.get(), "recordset");
    choose_item_columns();
    build_schema(owner_schema);
    records_count = count_items();
    reset();
}

dao_child_table::~dao_child_table() = default;

void dao_child_table::choose_item_columns() {
    if (column.dao_type == dbAttachment) {
        item_columns = {{u"FileName", u"FileName", dbText, TEXT_ITEM_CHARS},
                        {u"FileType", u"FileType", dbText, TEXT_ITEM_CHARS},
                        {u"FileTimeStamp", u"FileTimeStamp", dbDate, 8},
                        {u"FileData", u"FileData", dbLongBinary, 0}};
    } else if (column.dao_type == dbComplexText && is_history()) {
        item_columns = {{u"Value", u"", dbMemo, 0}, {u"Modified", u"", dbDate, 8}};
    } else {
        int type = element_type(column.dao_type);
        // A multi-value Decimal keeps its exact digits as text: the list declares no
        // precision or scale of its own.
        if (type == dbDecimal) type = dbMemo;
        item_columns = {{u"Value", u"", type, type == dbText ? TEXT_ITEM_CHARS : 0}};
    }
}

void dao_child_table::build_schema(const udb_schema& owner_schema) {
    for (std::size_t key_idx = 0; key_idx < column.owner_key.size(); ++key_idx) {
        const t_ftd& owner = owner_schema.find_field(column.owner_key[key_idx]);
        // The key is the owner's, not a counter of this table: no identity, no default.
        schema.append(std::make_unique<t_ftd>(owner.size, column.child_key[key_idx], owner.vartype,
                                              true, false, ole_variant(), owner.reserved));
    }
    for (const item_column& item : item_columns) {
        std::uint32_t reserved = item.dao_type == dbDate || item.dao_type == dbGUID ? 1 : 0;
        schema.append(std::make_unique<t_ftd>(item.size, item.name, dao_vartype_of(item.dao_type),
                                              false, false, ole_variant(), reserved));
    }
}

// DAO lists a version history as dbComplexText, like a list of texts; its items carry the
// date of each text beside it. Without a row to look at the list is empty either way.
bool dao_child_table::is_history() {
    if (at_owner_end()) return false;
    dao_check(owner_rows->MoveFirst());
    open_items();
    bool b_dated = items.get() != nullptr
                   && field_of_type(*fields_of(*items.get()).get(), dbDate).get() != nullptr;
    items.release();
    return b_dated;
}

std::int32_t dao_child_table::count_items() {
    std::int32_t count = 0;
    for (reset(); !is_eof(); next()) ++count;
    return count;
}

void dao_child_table::append_record(udb_record&) {
    throw tk_exception("The items of a complex column are read only.", ERROR_LEVEL_RECOVERABLE);
}

bool dao_child_table::at_owner_end() { return is_at_end(*owner_rows.get()); }

void dao_child_table::open_items() {
    ole_com_ptr<DAOFields> fields = fields_of(*owner_rows.get());
    ole_com_ptr<DAOField> field = field_at(*fields.get(), dao_number_variant(column.field_idx));
    VARIANT value{};
    dao_check(field->get_Value(&value));
    if (value.vt == VT_NULL) return;   // a row that never had items
    if (value.vt != VT_DISPATCH || value.punkVal == nullptr) {
        VariantClear(&value);
        throw tk_exception("The complex column " + tk_utf16_to_utf8(column.column) + " of table "
                               + tk_utf16_to_utf8(column.table) + " gave no list of items.",
                           ERROR_LEVEL_RECOVERABLE);
    }
    // A complex field's value is the stand-in's Recordset; the reference moves to `items`.
    items.attach(static_cast<DAORecordset*>(value.punkVal));
}

void dao_child_table::settle() {
    while (true) {
        if (items.get() != nullptr && !is_at_end(*items.get())) return;
        items.release();
        if (at_owner_end()) {
            b_eof = true;
            return;
        }
        open_items();
        if (items.get() != nullptr && !is_at_end(*items.get())) return;
        dao_check(owner_rows->MoveNext());
    }
}

void dao_child_table::reset() {
    items.release();
    current.reset();
    b_eof = false;
    VARIANT_BOOL at_start = 0;
    dao_check(owner_rows->get_BOF(&at_start));
    // At both ends at once the owner has no rows, and MoveFirst would fail with 3021.
    if (!(at_start != 0 && at_owner_end())) dao_check(owner_rows->MoveFirst());
    settle();
}

bool dao_child_table::is_eof() { return b_eof; }

void dao_child_table::next() {
    if (b_eof) return;
    dao_check(items->MoveNext());
    if (is_at_end(*items.get())) {
        items.release();
        dao_check(owner_rows->MoveNext());
    }
    settle();
}

std::u16string dao_child_table::owner_row_text() {
    ole_com_ptr<DAOFields> fields = fields_of(*owner_rows.get());
    std::u16string text;
    for (const std::u16string& key : column.owner_key) {
        dao_bstr key_name(key);
        dao_field value(field_at(*fields.get(), key_name.as_variant()));
        text += (text.empty() ? u"" : u", ") + key + u" = " + value.to_wstring();
    }
    return text;
}

udb_record* dao_child_table::get_item() {
    current.reset();
    if (b_eof) return nullptr;
    auto record = std::make_unique<udb_record>();
    ole_com_ptr<DAOFields> owner_fields = fields_of(*owner_rows.get());
    for (std::size_t key_idx = 0; key_idx < column.owner_key.size(); ++key_idx) {
        dao_bstr key_name(column.owner_key[key_idx]);
        auto key = std::make_unique<dao_field>(
            field_at(*owner_fields.get(), key_name.as_variant()));
        key->name = column.child_key[key_idx];
        key->b_autoincrement = false;
        record->append(std::move(key));
    }
    ole_com_ptr<DAOFields> item_fields = fields_of(*items.get());
    try {
        for (const item_column& item : item_columns) {
            ole_com_ptr<DAOField> field;
            if (!item.field.empty()) {
                dao_bstr field_name(item.field);
                field = field_at(*item_fields.get(), field_name.as_variant());
            } else {
                field = field_of_type(*item_fields.get(), item.dao_type);
            }
            auto value = std::make_unique<dao_field>(std::move(field));
            value->name = item.name;
            record->append(std::move(value));
        }
    } catch (const dao_exception& failure) {
        throw udb_row_error("Table " + tk_utf16_to_utf8(column.table) + ", row "
                            + tk_utf16_to_utf8(owner_row_text()) + ", column "
                            + tk_utf16_to_utf8(column.column) + ": " + failure.message());
    }
    current = std::move(record);
    return current.get();
}
