// daostub_rows_complex.cpp - one row's items of a complex column, read from the hidden flat
// table at the places one scan of it found for each key (a scan per owner row would cost
// owner rows times items, reading every attachment again each time). Attachments' FileData
// is decoded when a row is looked at, so counting items costs no inflating.
#include <optional>
#include <unordered_map>
#include <utility>

#include "platform/dao/daostub_rows.hpp"
#include "platform/jet/jet_attachment.hpp"
#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_text.hpp"

namespace {

std::size_t key_column_at(const jet_table_def& flat, const jet_column& owner_column) {
    for (std::size_t column_idx = 0; column_idx < flat.columns.size(); ++column_idx) {
        if (jet_same_name(flat.columns[column_idx].name, owner_column.complex.key_column))
            return column_idx;
    }
    throw jet_error::corrupt(flat.tdef_page, "the hidden table of column "
                                                 + jet_utf8(owner_column.name)
                                                 + " has no key column");
}

}   // namespace

struct daostub_complex_places {
    std::unordered_map<std::int32_t, std::vector<jet_row_position>> by_key;
};

std::shared_ptr<const daostub_complex_places> daostub_find_complex_places(
    const jet_database& database, const jet_column& column) {
    auto places = std::make_shared<daostub_complex_places>();
    std::unique_ptr<jet_cursor> cursor = database.open_cursor(column.complex.flat_table);
    std::size_t key_at = key_column_at(cursor->table(), column);
    while (cursor->next()) {
        const jet_value& owner_key = cursor->values().at(key_at);
        if (owner_key.kind() == jet_value_kind::int32)
            places->by_key[owner_key.get<std::int32_t>()].push_back(cursor->position());
    }
    return places;
}

namespace {

const std::vector<jet_row_position> no_places;

class complex_rows : public daostub_rows {
public:
    complex_rows(std::shared_ptr<const jet_database> new_database, const jet_column& column,
                 std::shared_ptr<const daostub_complex_places> all_places, std::int32_t key)
        : database(std::move(new_database)), owner_column(column), places(std::move(all_places)),
          cursor(this->database->open_cursor(column.complex.flat_table)) {
        auto found = places->by_key.find(key);
        key_places = found == places->by_key.end() ? &no_places : &found->second;
        const jet_table_def& flat = cursor->table();
        for (std::size_t column_idx = 0; column_idx < flat.columns.size(); ++column_idx) {
            const jet_column& item = flat.columns[column_idx];
            if (!jet_same_name(item.name, column.complex.key_column)
                && !jet_same_name(item.name, column.complex.item_key_column)) {
                kept_at.push_back(column_idx);
                kept.push_back(item);
            }
        }
    }

    const std::vector<jet_column>& columns() const override { return kept; }

protected:
    bool fetch_next() override {
        decoded.reset();
        if (next_place >= key_places->size()) return false;
        cursor->read_at((*key_places)[next_place++]);
        return true;
    }
    void restart() override {
        decoded.reset();
        next_place = 0;
    }
    const std::vector<jet_value>& fetched() const override {
        if (!decoded) decoded = decode(cursor->values());
        return *decoded;
    }

private:
    std::vector<jet_value> decode(const std::vector<jet_value>& flat_row) const {
        std::vector<jet_value> row;
        for (std::size_t column_idx : kept_at) row.push_back(flat_row.at(column_idx));
        if (owner_column.complex.kind != jet_complex_kind::attachment) return row;
        for (std::size_t column_idx = 0; column_idx < kept.size(); ++column_idx) {
            if (!jet_same_name(kept[column_idx].name, u"FileData")) continue;
            jet_value& data = row[column_idx];
            if (data.kind() != jet_value_kind::binary) continue;
            data = jet_value(decode_file(data.get<std::vector<std::uint8_t>>(), row));
        }
        return row;
    }

    std::vector<std::uint8_t> decode_file(const std::vector<std::uint8_t>& stored,
                                          const std::vector<jet_value>& row) const {
        try {
            return jet_decode_attachment(stored);
        } catch (const jet_error& error) {
            throw jet_error(error.dao_number(), "Attachment \"" + file_name(row) + "\" of column "
                                                    + jet_utf8(owner_column.name) + ": "
                                                    + error.what());
        }
    }

    std::string file_name(const std::vector<jet_value>& row) const {
        for (std::size_t column_idx = 0; column_idx < kept.size(); ++column_idx) {
            if (jet_same_name(kept[column_idx].name, u"FileName")
                && row[column_idx].kind() == jet_value_kind::text)
                return jet_utf8(row[column_idx].get<std::u16string>());
        }
        return "";
    }

    std::shared_ptr<const jet_database> database;   // outlives the cursor reading it
    jet_column owner_column;
    std::shared_ptr<const daostub_complex_places> places;   // keeps key_places alive
    const std::vector<jet_row_position>* key_places = nullptr;
    std::size_t next_place = 0;
    std::unique_ptr<jet_cursor> cursor;
    std::vector<std::size_t> kept_at;   // flat-table positions of the columns shown
    std::vector<jet_column> kept;
    mutable std::optional<std::vector<jet_value>> decoded;
};

}   // namespace

std::unique_ptr<daostub_rows> daostub_complex_rows(
    std::shared_ptr<const jet_database> database, const jet_column& column,
    std::shared_ptr<const daostub_complex_places> places, std::int32_t key) {
    return std::make_unique<complex_rows>(std::move(database), column, std::move(places), key);
}
