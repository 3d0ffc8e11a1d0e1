// daostub_rows_table.cpp - a table's rows straight from the engine's cursor: one page in
// memory at a time, whatever the table's size.
#include <map>
#include <utility>

#include "platform/dao/daostub_rows.hpp"
#include "platform/jet/jet_database.hpp"

namespace {

bool is_item_list(const jet_column& column) {
    return column.is_complex() && column.complex.kind != jet_complex_kind::unknown
           && column.complex.kind != jet_complex_kind::none;
}

class table_rows : public daostub_rows {
public:
    table_rows(std::shared_ptr<const jet_database> new_database, std::u16string_view table_name)
        : database(std::move(new_database)), cursor(this->database->open_cursor(table_name)) {}

    const std::vector<jet_column>& columns() const override { return cursor->table().columns; }

    std::unique_ptr<daostub_rows> complex_items(std::size_t column_idx) const override {
        const jet_column& column = columns().at(column_idx);
        const jet_value& key = values().at(column_idx);
        if (!is_item_list(column) || key.kind() != jet_value_kind::int32) return nullptr;
        std::shared_ptr<const daostub_complex_places>& places = complex_places[column_idx];
        if (!places) places = daostub_find_complex_places(*database, column);
        return daostub_complex_rows(database, column, places, key.get<std::int32_t>());
    }

protected:
    bool fetch_next() override { return cursor->next(); }
    void restart() override { cursor->rewind(); }
    const std::vector<jet_value>& fetched() const override { return cursor->values(); }

private:
    std::shared_ptr<const jet_database> database;   // outlives the cursor reading it
    std::unique_ptr<jet_cursor> cursor;
    // Per complex column, found at its first use and shared by every row's items.
    mutable std::map<std::size_t, std::shared_ptr<const daostub_complex_places>> complex_places;
};

}   // namespace

std::unique_ptr<daostub_rows> daostub_table_rows(std::shared_ptr<const jet_database> database,
                                                 std::u16string_view table_name) {
    return std::make_unique<table_rows>(std::move(database), table_name);
}
