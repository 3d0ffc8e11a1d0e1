// dbl_catalog.cpp - lookups in a table's description.
#include "dbl_catalog.hpp"

#include "dbl_text.hpp"

int dbl_table::column_index(const std::string& column_name) const {
    std::string folded = dbl_fold_name(column_name);
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (dbl_fold_name(columns[i].name) == folded) return int(i);
    return -1;
}

int dbl_table::identity_index() const {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].b_identity) return int(i);
    return -1;
}

const dbl_key* dbl_table::primary_key() const {
    for (const dbl_key& key : keys)
        if (key.kind == dbl_key_kind::PRIMARY_KEY) return &key;
    return nullptr;
}

const dbl_key* dbl_table::clustered_key() const {
    for (const dbl_key& key : keys)
        if (key.b_clustered && key.kind != dbl_key_kind::FOREIGN_KEY) return &key;
    return nullptr;
}

bool dbl_table::has_filtered_index() const {
    for (const dbl_key& key : keys)
        if (!key.not_null_filter.empty()) return true;
    return false;
}
