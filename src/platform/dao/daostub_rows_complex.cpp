// daostub_rows_complex.cpp - one row's items of a complex column, read from the hidden flat
// table by a scan that keeps the rows whose key column holds the row's key. Attachments'
// FileData is decoded when a row is looked at, so counting items costs no inflating.
#include <optional>
#include <utility>

#include "platform/dao/daostub_rows.hpp"
#include "platform/jet/jet_attachment.hpp"
#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_text.hpp"

namespace {

class complex_rows : public daostub_rows {
public:
    complex_rows(std::shared_ptr<const jet_database> database, const jet_column& column,
                 std::int32_t key)
        : database(std::move(database)), owner_column(column), key(key),
          cursor(this->database->open_cursor(column.complex.flat_table)) {
        const jet_table_def& flat = cursor->table();
        for (std::size_t column_idx = 0; column_idx < flat.columns.size(); ++column_idx) {
            const jet_column& item = flat.columns[column_idx];
            if (jet_same_name(item.name, column.complex.key_column)) {
                key_at = column_idx;
            } else if (!jet_same_name(item.name, column.complex.item_key_column)) {
                kept_at.push_back(column_idx);
                kept.push_back(item);
            }
        }
    }

    const std::vector<jet_column>& columns() const override { return kept; }

protected:
    bool fetch_next() override {
        decoded.reset();
        while (cursor->next()) {
            const jet_value& owner_key = cursor->values().at(key_at);
            if (owner_key.kind() == jet_value_kind::int32 && owner_key.get<std::int32_t>() == key)
                return true;
        }
        return false;
    }
    void restart() override {
        decoded.reset();
        cursor->rewind();
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
    std::int32_t key = 0;
    std::unique_ptr<jet_cursor> cursor;
    std::size_t key_at = 0;
    std::vector<std::size_t> kept_at;   // flat-table positions of the columns shown
    std::vector<jet_column> kept;
    mutable std::optional<std::vector<jet_value>> decoded;
};

}  // namespace

std::unique_ptr<daostub_rows> daostub_complex_rows(std::shared_ptr<const jet_database> database,
                                                   const jet_column& column, std::int32_t key) {
    return std::make_unique<complex_rows>(std::move(database), column, key);
}
