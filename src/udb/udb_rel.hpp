// udb_rel.hpp - foreign keys as the neutral model carries them: udb_relationship (one
// constraint) and udb_relationships (a database's constraints in order, with the generator of
// unused constraint names). Names compare case-blind; asking for a missing one is a
// programming error (tk_mail_assertion from udb_rel).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct udb_relationship {
    std::u16string name;
    std::u16string pk_name;                     // empty when the source does not report it
    std::u16string src_table;                   // holds the foreign key
    std::u16string dest_table;                  // the referenced table
    std::u16string fk_props;                    // e.g. "ON DELETE CASCADE"; may be empty
    std::vector<std::u16string> src_columns;    // in key order
    std::vector<std::u16string> dest_columns;   // pairwise with src_columns
    // False for a relationship the source keeps as design only: its rows were never held
    // to it, so the destination keeps it without checking them.
    bool b_enforced = true;
};

class udb_relationships {
public:
    using container = std::vector<udb_relationship>;

    void add(const udb_relationship& relationship) { items.push_back(relationship); }
    void clear() { items.clear(); }
    std::size_t size() const { return items.size(); }
    bool empty() const { return items.empty(); }
    udb_relationship& operator[](std::size_t rel_idx) { return items.at(rel_idx); }
    const udb_relationship& operator[](std::size_t rel_idx) const { return items.at(rel_idx); }
    container::iterator begin() { return items.begin(); }
    container::iterator end() { return items.end(); }
    container::const_iterator begin() const { return items.begin(); }
    container::const_iterator end() const { return items.end(); }

    // True when no relationship in the list has this name (case-blind).
    bool is_acceptable_name(const std::u16string& name) const;
    const udb_relationship& get_index(const std::u16string& name) const;
    // "FK_" + dest_table + "_" + src_table, extended until no listed constraint has it.
    std::u16string gen_relship_name(const udb_relationship& relationship) const;

private:
    container items;
};
