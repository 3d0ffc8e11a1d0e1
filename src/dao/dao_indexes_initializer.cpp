// dao_indexes_initializer.cpp - the indexes of a new Access table.
#include "dao/dao_indexes_initializer.hpp"

#include "dao/dao_bstr.hpp"
#include "dao/dao_exce.hpp"
#include "dao/dao_rec.hpp"
#include "ole/ole_ptr.hpp"
#include "platform/dao/dao.hpp"
#include "tk/tk_trace.hpp"

namespace {

constexpr std::size_t MAX_INDEX_COLUMNS = 10;

// Access indexes neither Memo nor Long Binary columns. The writing map decides which a
// column becomes: text or binary of 1 to 255 becomes Text or Binary and keeps its index.
bool is_indexable(const t_ftd& column) {
    int dao_type = dao_field::get_native_type(column);
    return dao_type != dbMemo && dao_type != dbLongBinary;
}

VARIANT_BOOL variant_bool(bool flag) { return flag ? VARIANT_BOOL(-1) : VARIANT_BOOL(0); }

}   // namespace

dao_indexes_initializer::dao_indexes_initializer(DAOTableDef& table, const udb_schema& new_schema,
                                                 const udb_indexes& source,
                                                 const t_names_map& names_map)
    : table_def(table), validator(source) {
    tk_trace::write(2, "dao_indexes_initializer::ctor");
    for (const udb_index& index : source) {
        if (index.columns.size() > MAX_INDEX_COLUMNS) continue;
        udb_index made;
        made.b_unique = index.b_unique;
        made.b_primary = index.b_primary;
        bool refused = !validator.is_acceptable(index.name);
        made.name = refused ? validator.get_safe_name(index.name) : index.name;
        bool indexable = true;
        for (const std::u16string& column_name : index.columns) {
            std::u16string mapped = names_map.get_mapped_name(column_name, false);
            if (!is_indexable(new_schema.find_field(mapped))) {
                tk_trace::write(2, u"Field '%s' cannot be part of index", mapped);
                indexable = false;
                break;
            }
            made.columns.push_back(mapped);
        }
        if (!indexable) continue;
        if (refused) {
            tk_trace::write(2, u"Store generated index name '%s'", made.name);
            validator.add_used(made.name);
        }
        validator.add_restricted(made.name);
        kept.push_back(std::move(made));
    }
}

void dao_indexes_initializer::initialize() {
    tk_trace::write(1, "dao_indexes_initializer::initialize");
    ole_com_ptr<DAOIndexes> indexes;
    dao_check(table_def.get_Indexes(indexes.put()));
    dao_require(indexes.get(), "indexes");
    for (const udb_index& index : kept) {
        tk_trace::write(1, u"Process index %s", index.name);
        ole_com_ptr<DAOIndex> made;
        dao_bstr name(index.name);
        dao_check(table_def.CreateIndex(name, made.put()));
        dao_require(made.get(), "index");
        ole_com_ptr<DAOFields> key_fields;
        dao_check(made->get_Fields(key_fields.put()));
        dao_require(key_fields.get(), "index fields");
        for (const std::u16string& column_name : index.columns) {
            tk_trace::write(1, u"Process index field %s", column_name);
            ole_com_ptr<DAOField> key;
            dao_bstr key_name(column_name);
            VARIANT none{};
            dao_check(made->CreateField(key_name, none, none, key.put()));
            dao_require(key.get(), "index field");
            dao_check(key_fields->Append(key.get()));
        }
        dao_check(made->put_Primary(variant_bool(index.b_primary)));
        dao_check(made->put_Unique(variant_bool(index.b_unique)));
        dao_check(indexes->Append(made.get()));
    }
}
