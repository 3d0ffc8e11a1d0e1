// udb_nmap.cpp - renamings of tables and columns. Pairs are kept in key order (exact
// comparison of the old name); a case-blind lookup walks them in that order and the first
// match answers.
#include "udb/udb_nmap.hpp"

#include "tk/tk_trace.hpp"
#include "udb/udb_name.hpp"

namespace {

// The new name of the first pair whose old name matches, or nothing.
const std::u16string* find_mapped(const t_names_map& pairs, const std::u16string& name,
                                  bool b_case_sensitive, bool b_trace_pairs) {
    for (const auto& [old_name, new_name] : pairs) {
        if (b_trace_pairs) tk_trace::write(1, u"Comparing with (%s,%s)", old_name, new_name);
        if (!udb_same_name(old_name, name, b_case_sensitive)) continue;
        tk_trace::write(1, u"Got mapped name: %s", new_name);
        return &new_name;
    }
    return nullptr;
}

}   // namespace

void t_names_map::add(const std::u16string& old_name, const std::u16string& new_name) {
    tk_trace::write(1, u"t_names_map::add(%s,%s)", old_name, new_name);
    pairs.emplace(old_name, new_name);   // an existing key keeps its first new name
}

std::u16string t_names_map::get_mapped_name(const std::u16string& name,
                                            bool b_case_sensitive) const {
    tk_trace::write(1, u"t_names_map::get_mapped_name(%s)", name);
    const std::u16string* mapped = find_mapped(*this, name, b_case_sensitive, false);
    return mapped != nullptr ? *mapped : name;
}

void udb_names_map::add_table_pair(const std::u16string& old_name, const std::u16string& new_name) {
    tables.add(old_name, new_name);
}

void udb_names_map::add_column_pair(const std::u16string& table_name,
                                    const std::u16string& old_name,
                                    const std::u16string& new_name) {
    columns[table_name].add(old_name, new_name);
}

std::u16string udb_names_map::get_tn_mapped_name(const std::u16string& table_name,
                                                 bool b_case_sensitive) const {
    tk_trace::write(1, u"udb_names_map::get_tn_mapped_name(%s)", table_name);
    const std::u16string* mapped = find_mapped(tables, table_name, b_case_sensitive, true);
    return mapped != nullptr ? *mapped : table_name;
}

std::u16string udb_names_map::get_fn_mapped_name(const std::u16string& table_name,
                                                 const std::u16string& column_name,
                                                 bool b_case_sensitive) const {
    tk_trace::write(1, u"udb_names_map::get_fn_mapped_name(%s,%s)", table_name, column_name);
    const auto table = columns.find(table_name);
    if (table == columns.end()) {
        tk_trace::write(1, u"Table '%s' not found", table_name);
        return column_name;
    }
    const std::u16string* mapped = find_mapped(table->second, column_name, b_case_sensitive, false);
    return mapped != nullptr ? *mapped : column_name;
}
