// daostub_rows_fixed.cpp - rows the stand-in makes itself: the relationship catalogue as
// "SELECT szRelationship, szColumn, szObject, szReferencedObject, szReferencedColumn, grbit
// FROM MSysRelationships ORDER BY szRelationship" answers it (one row per column pair), and
// the one-row result of a count.
#include <algorithm>

#include "platform/dao/daostub_rows.hpp"
#include "platform/jet/jet_database.hpp"
#include "platform/winbase/win_compare.hpp"

namespace {

jet_column make_column(std::u16string name, std::uint8_t type_code, std::uint16_t size_bytes) {
    jet_column column;
    column.name = std::move(name);
    column.type_code = type_code;
    column.size_bytes = size_bytes;
    column.flags = 0x02;   // nullable
    return column;
}

jet_column text_column(std::u16string name) {
    return make_column(std::move(name), JET_TYPE_TEXT, 255 * 2);   // Text(255), 2 bytes a char
}

class fixed_rows : public daostub_rows {
public:
    fixed_rows(std::vector<jet_column> columns, std::vector<std::vector<jet_value>> rows)
        : column_list(std::move(columns)), row_list(std::move(rows)) {}

    const std::vector<jet_column>& columns() const override { return column_list; }

protected:
    bool fetch_next() override {
        if (next_row >= row_list.size()) return false;
        current = next_row++;
        return true;
    }
    void restart() override { next_row = 0; }
    const std::vector<jet_value>& fetched() const override { return row_list.at(current); }

private:
    std::vector<jet_column> column_list;
    std::vector<std::vector<jet_value>> row_list;
    std::size_t next_row = 0;
    std::size_t current = 0;
};

}   // namespace

std::unique_ptr<daostub_rows> daostub_relationship_rows(const jet_database& database) {
    std::vector<jet_relationship> relationships = database.relationships();
    // ORDER BY szRelationship: Access orders text case-blind; equal names keep stored order.
    std::stable_sort(relationships.begin(), relationships.end(),
                     [](const jet_relationship& left, const jet_relationship& right) {
                         return win_compare_ignore_case(left.name, right.name) < 0;
                     });
    std::vector<std::vector<jet_value>> rows;
    for (const jet_relationship& relationship : relationships) {
        for (const auto& [column, referenced_column] : relationship.columns) {
            rows.push_back({jet_value(relationship.name), jet_value(column),
                            jet_value(relationship.table), jet_value(relationship.referenced_table),
                            jet_value(referenced_column),
                            jet_value(std::int32_t(relationship.flags))});
        }
    }
    std::vector<jet_column> columns = {
        text_column(u"szRelationship"),     text_column(u"szColumn"),
        text_column(u"szObject"),           text_column(u"szReferencedObject"),
        text_column(u"szReferencedColumn"), make_column(u"grbit", JET_TYPE_INT32, 4)};
    return std::make_unique<fixed_rows>(std::move(columns), std::move(rows));
}

std::unique_ptr<daostub_rows> daostub_count_rows(std::int32_t count) {
    std::vector<jet_column> columns = {make_column(u"Expr1000", JET_TYPE_INT32, 4)};
    std::vector<std::vector<jet_value>> rows = {{jet_value(count)}};
    return std::make_unique<fixed_rows>(std::move(columns), std::move(rows));
}
