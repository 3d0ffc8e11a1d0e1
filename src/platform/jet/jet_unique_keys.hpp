#pragma once
// jet_unique_keys.hpp - keeps the primary key and unique indexes of a table being written
// unique, as Access refuses a duplicate: 3022 for a key already there, 3058 for a NULL in a
// primary key. Texts compare case-blind (the General sort order) and as far as their keys
// spell them (jet_text_key_part: trailing spaces left out); a unique index takes any
// number of keys holding a NULL. The keys of the rows written stay in memory; the index
// pages are jet_index_pages' work.

#include <string>
#include <unordered_set>
#include <vector>

#include "platform/jet/jet_schema.hpp"
#include "platform/jet/jet_value.hpp"

class jet_unique_keys {
public:
    explicit jet_unique_keys(const jet_table_def& def);

    // Throws when the row would break a key; changes nothing.
    void check(const std::vector<jet_value>& values) const;
    // Records the keys of a row that was stored.
    void add(const std::vector<jet_value>& values);

private:
    struct unique_index {
        std::vector<std::uint16_t> columns;
        bool is_primary = false;
        std::unordered_set<std::string> keys;
    };

    // The key's text, or nothing (empty) when one of its values is NULL.
    static std::string key_of(const unique_index& index, const std::vector<jet_value>& values);

    std::vector<unique_index> indexes;
};
