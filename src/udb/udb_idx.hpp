// udb_idx.hpp - the index records that cross between the sides: udb_index (one index of a
// table) and udb_indexes (a table's indexes in order). Index names compare case-blind; index
// columns compare exactly. Asking for an index that is not in the list is a programming error
// (tk_mail_assertion from udb_idx).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct udb_index {
    std::u16string name;
    bool b_unique = false;
    bool b_primary = false;
    std::vector<std::u16string> columns;   // in key order
};

class udb_indexes {
public:
    using container = std::vector<udb_index>;

    void add(const udb_index& index) { items.push_back(index); }
    void clear() { items.clear(); }
    std::size_t size() const { return items.size(); }
    bool empty() const { return items.empty(); }
    udb_index& operator[](std::size_t index_idx) { return items.at(index_idx); }
    const udb_index& operator[](std::size_t index_idx) const { return items.at(index_idx); }
    container::iterator begin() { return items.begin(); }
    container::iterator end() { return items.end(); }
    container::const_iterator begin() const { return items.begin(); }
    container::const_iterator end() const { return items.end(); }

    // True when no index in the list has this name (case-blind).
    bool is_acceptable_name(const std::u16string& name) const;
    const udb_index& get_index(const std::u16string& name) const;
    // Whether the column (compared exactly) belongs to an index, or to a primary one only.
    bool is_idx_field(const std::u16string& column_name, bool b_primary_only) const;

private:
    container items;
};
