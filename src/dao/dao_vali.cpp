// dao_vali.cpp - the Access destination's name rules: the characters and outer spaces Access
// refuses, and the source's own names counted as used.
#include "dao/dao_vali.hpp"

#include "tk/tk_trace.hpp"
#include "tk/tk_trim.hpp"
#include "udb/udb_idx.hpp"
#include "udb/udb_sche.hpp"

dao_validator::dao_validator() : udb_validator(0) {
    tk_trace::write(2, "dao_validator::ctor");
    illegal_chars = {u'`', u'!', u'[', u']', u'.'};
}

bool dao_validator::is_acceptable(const std::u16string& name) const {
    tk_trace::write(2, u"dao_validator::is_acceptable(%s)", name);
    if (name.empty() || name.front() == u' ' || name.back() == u' ') return false;
    return udb_validator::is_acceptable(name);
}

std::u16string dao_validator::get_safe_name(const std::u16string& name) const {
    tk_trace::write(2, u"dao_validator::get_safe_name(%s)", name);
    return udb_validator::get_safe_name(tk_trim(name));
}

dao_fn_validator::dao_fn_validator(const udb_schema& source_schema) {
    tk_trace::write(2, "dao_fn_validator::ctor");
    for (std::size_t column_idx = 0; column_idx < source_schema.size(); ++column_idx) {
        used.push_back(source_schema[column_idx].name);
    }
}

dao_in_validator::dao_in_validator(const udb_indexes& source_indexes) {
    tk_trace::write(2, "dao_in_validator::ctor");
    for (const udb_index& index : source_indexes) used.push_back(index.name);
}
