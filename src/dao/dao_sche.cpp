// dao_sche.cpp - dao_recordset::init_schema and init_indexes: a table's or query's columns
// and a table's indexes in the neutral model's terms, without the relationships' copies.
// Complex columns and their indexes are left out: their items become child tables
// (dao_child_table).
#include "dao/dao_bstr.hpp"
#include "dao/dao_child_table.hpp"
#include "dao/dao_default.hpp"
#include "dao/dao_exce.hpp"
#include "dao/dao_recs.hpp"
#include "platform/dao/dao.hpp"
#include "platform/winbase/win_compare.hpp"
#include "tk/tk_trace.hpp"

#include <algorithm>
#include <vector>

namespace {

// Access keeps a hidden index (".r…", flagged foreign) for each end of an enforced
// relationship; on the referenced table it shares the primary key's or a unique index's keys
// and would only be a second copy of it. One over columns nothing else indexes is kept.
bool covers_same_columns(const std::vector<udb_index>& indexes, const udb_index& foreign) {
    for (const udb_index& index : indexes) {
        if (index.columns.size() != foreign.columns.size()) continue;
        if (std::equal(index.columns.begin(), index.columns.end(), foreign.columns.begin(),
                       [](const std::u16string& left, const std::u16string& right) {
                           return win_equal_ignore_case(left, right);
                       })) {
            return true;
        }
    }
    return false;
}

}   // namespace

void dao_recordset::init_schema(DAOFields& fields) {
    tk_trace::write(2, "dao_recordset::init_schema");
    SHORT count = 0;
    dao_check(fields.get_Count(&count));
    for (SHORT field_idx = 0; field_idx < count; ++field_idx) {
        ole_com_ptr<DAOField> item;
        dao_check(fields.get_Item(dao_number_variant(field_idx), item.put()));
        dao_require(item.get(), "field");
        SHORT dao_type = 0;
        dao_check(item->get_Type(&dao_type));
        if (dao_is_complex_type(dao_type)) continue;   // its items make a child table
        dao_bstr stored;
        dao_check(item->get_DefaultValue(stored.put()));
        std::u16string default_text = stored.to_wstring();
        tk_trace::write(2, u"Field #%d: DAO type=%d, default value=%s", int(field_idx),
                        int(dao_type), default_text);
        const dao_default read = dao_read_default(dao_type, dao_vartype_of(dao_type), default_text);
        dao_field column(std::move(item));
        std::uint32_t reserved = dao_type == dbDate || dao_type == dbGUID ? 1 : 0;
        if (column.get_vartype() == VT_DECIMAL) reserved = column.get_decimal_shape();
        auto described = std::make_unique<t_ftd>(column, read.value, reserved);
        described->def_function = read.function;
        described->def_unmapped = read.unmapped;
        schema.append(std::move(described));
    }
    tk_trace::write(2, "End of dao_recordset::init_schema");
}

namespace {

udb_index read_index(DAOIndex& item) {
    udb_index index;
    dao_bstr name;
    dao_check(item.get_Name(name.put()));
    index.name = name.to_wstring();
    VARIANT_BOOL flag = 0;
    dao_check(item.get_Primary(&flag));
    index.b_primary = flag == VARIANT_BOOL(-1);
    dao_check(item.get_Unique(&flag));
    index.b_unique = flag == VARIANT_BOOL(-1);
    ole_com_ptr<DAOFields> key_fields;
    dao_check(item.get_Fields(key_fields.put()));
    dao_require(key_fields.get(), "index fields");
    SHORT key_count = 0;
    dao_check(key_fields->get_Count(&key_count));
    for (SHORT key_idx = 0; key_idx < key_count; ++key_idx) {
        ole_com_ptr<DAOField> key_field;
        dao_check(key_fields->get_Item(dao_number_variant(key_idx), key_field.put()));
        dao_require(key_field.get(), "index field");
        dao_bstr key_name;
        dao_check(key_field->get_Name(key_name.put()));
        tk_trace::write(2, u"got index field: %s", key_name.to_wstring());
        index.columns.push_back(key_name.to_wstring());
    }
    return index;
}

}   // namespace

std::vector<udb_index> dao_read_indexes(DAOTableDef& table) {
    ole_com_ptr<DAOIndexes> list;
    dao_check(table.get_Indexes(list.put()));
    dao_require(list.get(), "indexes");
    SHORT count = 0;
    dao_check(list->get_Count(&count));
    tk_trace::write(2, "Got %d indexes", int(count));
    std::vector<udb_index> found;
    std::vector<udb_index> foreign;
    for (SHORT index_idx = 0; index_idx < count; ++index_idx) {
        tk_trace::write(2, "Processing index %d", int(index_idx));
        ole_com_ptr<DAOIndex> item;
        dao_check(list->get_Item(dao_number_variant(index_idx), item.put()));
        VARIANT_BOOL is_foreign = 0;
        dao_check(dao_require(item.get(), "index")->get_Foreign(&is_foreign));
        (is_foreign == VARIANT_BOOL(-1) ? foreign : found).push_back(read_index(*item.get()));
    }
    for (udb_index& index : foreign) {
        if (covers_same_columns(found, index)) {
            tk_trace::write(2, u"Relationship index '%s' repeats another index", index.name);
            continue;
        }
        found.push_back(std::move(index));
    }
    return found;
}

void dao_recordset::init_indexes(DAOTableDef& table) {
    tk_trace::write(2, "dao_recordset::init_indexes");
    for (const udb_index& index : dao_read_indexes(table)) {
        // Access indexes each complex column's key, and the column stays behind (its items
        // make a child table): an index over a column the schema lacks goes with it.
        bool b_on_missing = false;
        for (const std::u16string& key : index.columns) {
            bool b_found = false;
            for (std::size_t column_idx = 0; column_idx < schema.size(); ++column_idx)
                b_found = b_found || win_equal_ignore_case(schema[column_idx].name, key);
            b_on_missing = b_on_missing || !b_found;
        }
        if (b_on_missing) {
            tk_trace::write(2, u"Skip index %s of a complex column", index.name);
            continue;
        }
        indexes.add(index);
    }
    tk_trace::write(2, "End of dao_recordset::init_indexes");
}
