// udb_nmap.hpp - remembered renamings: t_names_map (old name -> safe name) and udb_names_map
// (table renamings, and column renamings per table). Keys compare exactly; a lookup may
// compare case-blind. A name without a pair maps to itself, so lookups never fail, and the
// first pair recorded for an old name stays.
#pragma once

#include <map>
#include <string>

class t_names_map {
public:
    using container = std::map<std::u16string, std::u16string>;

    // Keeps the first new name when the old name is already a key.
    void add(const std::u16string& old_name, const std::u16string& new_name);
    std::u16string get_mapped_name(const std::u16string& name, bool b_case_sensitive) const;

    std::size_t size() const { return pairs.size(); }
    bool empty() const { return pairs.empty(); }
    container::const_iterator begin() const { return pairs.begin(); }
    container::const_iterator end() const { return pairs.end(); }

private:
    container pairs;
};

class udb_names_map {
public:
    void add_table_pair(const std::u16string& old_name, const std::u16string& new_name);
    void add_column_pair(const std::u16string& table_name, const std::u16string& old_name,
                         const std::u16string& new_name);

    std::u16string get_tn_mapped_name(const std::u16string& table_name,
                                      bool b_case_sensitive) const;
    // The table is found by its exact name; the column as get_mapped_name finds it.
    std::u16string get_fn_mapped_name(const std::u16string& table_name,
                                      const std::u16string& column_name,
                                      bool b_case_sensitive) const;

private:
    t_names_map tables;
    std::map<std::u16string, t_names_map> columns;
};
