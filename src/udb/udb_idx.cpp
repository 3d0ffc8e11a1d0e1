// udb_idx.cpp - lookups in a table's index list. Index names compare case-blind, but index
// columns compare exactly: they were taken from the same table's column names.
#include "udb/udb_idx.hpp"

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "udb/udb_name.hpp"

bool udb_indexes::is_acceptable_name(const std::u16string& name) const {
    tk_trace::write(1, u"udb_indexes::is_acceptable_name(%s)", name);
    return udb_find_named(items, name) == nullptr;
}

const udb_index& udb_indexes::get_index(const std::u16string& name) const {
    tk_trace::write(1, u"udb_indexes::get_index(%s)", name);
    const udb_index* found = udb_find_named(items, name);
    // Callers ask only for names they saw in this list.
    if (found == nullptr) throw tk_mail_assertion(tk_source_name(__FILE__), __LINE__);
    return *found;
}

bool udb_indexes::is_idx_field(const std::u16string& column_name, bool b_primary_only) const {
    tk_trace::write(1, u"udb_indexes::is_idx_field(%s)", column_name);
    for (const udb_index& index : items) {
        if (b_primary_only && !index.b_primary) continue;
        for (const std::u16string& column : index.columns) {
            if (column != column_name) continue;
            tk_trace::write(1, "index field");
            return true;
        }
    }
    tk_trace::write(1, "non-index field");
    return false;
}
