#include "platform/jetsql/jet_sql_loader.hpp"

#include <sqlite3.h>

#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_value_text.hpp"
#include "platform/jetsql/jet_sql_errors.hpp"
#include "platform/jetsql/jet_sql_saved_query.hpp"
#include "platform/jetsql/jet_sql_sqlite.hpp"
#include "platform/jetsql/jet_sql_type.hpp"
#include "platform/winbase/win_compare.hpp"

namespace {

void bind_value(sqlite3_stmt* statement, int slot, const jet_value& value) {
    switch (value.kind()) {
    case jet_value_kind::null_value: sqlite3_bind_null(statement, slot); return;
    case jet_value_kind::boolean:
        sqlite3_bind_int(statement, slot, value.get<bool>() ? -1 : 0);
        return;
    case jet_value_kind::byte: sqlite3_bind_int(statement, slot, value.get<std::uint8_t>()); return;
    case jet_value_kind::int16:
        sqlite3_bind_int(statement, slot, value.get<std::int16_t>());
        return;
    case jet_value_kind::int32:
        sqlite3_bind_int(statement, slot, value.get<std::int32_t>());
        return;
    case jet_value_kind::int64:
        sqlite3_bind_int64(statement, slot, value.get<std::int64_t>());
        return;
    case jet_value_kind::float32: sqlite3_bind_double(statement, slot, value.get<float>()); return;
    case jet_value_kind::float64: sqlite3_bind_double(statement, slot, value.get<double>()); return;
    case jet_value_kind::currency:
        sqlite3_bind_int64(statement, slot, value.get<jet_currency>().units);
        return;
    case jet_value_kind::decimal:
        jet_sql_bind_utf8(statement, slot, jet_decimal_text(value.get<jet_decimal>()));
        return;
    case jet_value_kind::date:
        sqlite3_bind_double(statement, slot, value.get<jet_date>().serial);
        return;
    case jet_value_kind::date_ext:
        jet_sql_bind_utf8(statement, slot, value.get<jet_date_ext>().stored);
        return;
    case jet_value_kind::guid: {
        const auto& bytes = value.get<jet_guid>().bytes;
        sqlite3_bind_blob(statement, slot, bytes.data(), int(bytes.size()), SQLITE_TRANSIENT);
        return;
    }
    case jet_value_kind::text:
        jet_sql_bind_text(statement, slot, value.get<std::u16string>());
        return;
    case jet_value_kind::binary: {
        const auto& bytes = value.get<std::vector<std::uint8_t>>();
        sqlite3_bind_blob64(statement, slot, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
        return;
    }
    }
}

}   // namespace

jet_sql_loader::jet_sql_loader(const jet_database& source, sqlite3* target)
    : database(source), connection(target) {}

const jet_sql_loaded_table& jet_sql_loader::load(std::u16string_view table_name) {
    for (const auto& table : tables)
        if (win_equal_ignore_case(table->definition.name, table_name)) return *table;
    const jet_catalog_entry* entry = database.find_table(table_name);
    if (entry == nullptr || entry->is_linked()) throw jet_sql_table_not_found(table_name);
    auto table = std::make_unique<jet_sql_loaded_table>();
    table->definition = database.table_def(entry->name);
    table->sql_name = "t" + std::to_string(tables.size());
    std::string create = "CREATE TABLE \"" + table->sql_name + "\" (";
    for (std::size_t column_idx = 0; column_idx < table->definition.columns.size(); ++column_idx) {
        const jet_column& column = table->definition.columns[column_idx];
        if (column_idx > 0) create += ", ";
        create += "\"c" + std::to_string(column_idx) + "\" "
                  + jet_sql_storage_declaration(jet_sql_type::of_column(column));
    }
    if (table->definition.columns.empty()) create += "\"c_none\"";
    create += ")";
    jet_sql_exec(connection, create);
    copy_rows(*table);
    tables.push_back(std::move(table));
    return *tables.back();
}

std::optional<std::u16string> jet_sql_loader::saved_query_text(std::u16string_view name) const {
    if (database.find_table(name) != nullptr) return std::nullopt;
    return jet_sql_saved_query_text(database, name);
}

void jet_sql_loader::copy_rows(const jet_sql_loaded_table& table) {
    std::size_t column_count = table.definition.columns.size();
    if (column_count == 0) return;
    std::string insert = "INSERT INTO \"" + table.sql_name + "\" VALUES (";
    for (std::size_t column_idx = 0; column_idx < column_count; ++column_idx)
        insert += column_idx == 0 ? "?" : ", ?";
    insert += ")";
    jet_sql_statement statement = jet_sql_prepare(connection, insert);
    std::unique_ptr<jet_cursor> cursor = database.open_cursor(table.definition.name);
    jet_sql_exec(connection, "BEGIN");
    while (cursor->next()) {
        const std::vector<jet_value>& row = cursor->values();
        for (std::size_t column_idx = 0; column_idx < column_count; ++column_idx) {
            int slot = int(column_idx) + 1;
            if (column_idx < row.size()) bind_value(statement.get(), slot, row[column_idx]);
            else sqlite3_bind_null(statement.get(), slot);
        }
        jet_sql_step_done(connection, statement.get());
    }
    jet_sql_exec(connection, "COMMIT");
}
