#include "platform/jet/jet_unique_keys.hpp"

#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_index_key.hpp"
#include "platform/jet/jet_text.hpp"
#include "platform/jet/jet_value_text.hpp"
#include "platform/winbase/win_compare.hpp"

namespace {

constexpr int JET_ERR_DUPLICATE_KEY = 3022;
constexpr int JET_ERR_NULL_IN_KEY = 3058;
constexpr char KEY_SEPARATOR = '\x1F';

}   // namespace

jet_unique_keys::jet_unique_keys(const jet_table_def& def) {
    for (const jet_index& index : def.indexes) {
        if (!index.is_unique()) continue;
        unique_index kept;
        kept.is_primary = index.is_primary;
        for (const jet_index_column& column : index.columns)
            kept.columns.push_back(column.column_number);
        indexes.push_back(std::move(kept));
    }
}

std::string jet_unique_keys::key_of(const unique_index& index,
                                    const std::vector<jet_value>& values) {
    std::string key;
    for (std::uint16_t column_number : index.columns) {
        const jet_value& value = values[column_number];
        if (value.is_null()) return {};
        key += value.kind() == jet_value_kind::text
                   ? jet_utf8(win_fold_case(jet_text_key_part(value.get<std::u16string>())))
                   : jet_value_to_csv(value);
        key += KEY_SEPARATOR;
    }
    return key;
}

void jet_unique_keys::check(const std::vector<jet_value>& values) const {
    for (const unique_index& index : indexes) {
        std::string key = key_of(index, values);
        if (key.empty() && index.is_primary)
            throw jet_error(JET_ERR_NULL_IN_KEY, "Index or primary key cannot contain a Null "
                                                 "value.");
        if (!key.empty() && index.keys.count(key) != 0)
            throw jet_error(JET_ERR_DUPLICATE_KEY,
                            "The changes you requested to the table were not successful "
                            "because they would create duplicate values in the index, "
                            "primary key, or relationship.");
    }
}

void jet_unique_keys::add(const std::vector<jet_value>& values) {
    for (unique_index& index : indexes) {
        std::string key = key_of(index, values);
        if (!key.empty()) index.keys.insert(std::move(key));
    }
}
