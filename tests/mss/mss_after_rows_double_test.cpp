// Statements many rows to a round trip, and plain indexes after the rows. A statement the
// server refuses is sent again row by row: wherever the refused rows sit in it (first, last,
// several, all), exactly they are reported, by record number, and every other row arrives
// once. A new table's plain indexes exist on the server once its load ends; one that cannot
// be made is reported by name with its table, and the others are still made.

#include "mss/mss_dest_fixture.hpp"
#include "mss/mss_noted_rejects.hpp"
#include "mss/mss_test_values.hpp"

#include "mss/mss_tab.hpp"
#include "mss/odb_exce.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_utf.hpp"

#include <algorithm>
#include <numeric>
#include <set>

namespace {

std::unique_ptr<t_ftd> column(const char16_t* name, VARTYPE vartype, std::uint32_t size,
                              bool not_null) {
    return std::make_unique<t_ftd>(size, name, vartype, not_null, false, ole_variant(), 0);
}

udb_index index_of(const char16_t* name, const char16_t* column_name, bool primary, bool unique) {
    udb_index index;
    index.name = name;
    index.columns = {column_name};
    index.b_primary = primary;
    index.b_unique = unique;
    return index;
}

// ID (the record number), Code (5 characters at most) and Qty.
udb_schema three_columns() {
    udb_schema schema;
    schema.append(column(u"ID", VT_I4, 4, true));
    schema.append(column(u"Code", VT_BSTR, 5, false));
    schema.append(column(u"Qty", VT_I4, 4, false));
    return schema;
}

std::unique_ptr<udb_record> row_of(int id, const std::u16string& code) {
    auto record = std::make_unique<udb_record>();
    record->append(std::make_unique<udb_field>(u"ID", 0, ole_variant(id), false, false));
    record->append(std::make_unique<udb_field>(u"Code", 0, ole_variant(code), false, false));
    record->append(std::make_unique<udb_field>(u"Qty", 0, ole_variant(id % 7), false, false));
    return record;
}

// Appends rows 1..count as the run does (a refused row's code is too long for its column,
// which the server refuses with 2628) and ends the load.
void load(udb_recordset& table, noted_rejects& report, int count, const std::set<int>& refused) {
    table.load_report = &report;
    for (int id = 1; id <= count; ++id) {
        report.current = id;
        const std::unique_ptr<udb_record> record = row_of(id, refused.count(id) != 0 ? u"too long"
                                                                                     : u"ok");
        try {
            table.append_record(*record);
        } catch (const odb_exception& failure) {
            report.record_rejected(id, *record, failure);
        }
    }
    static_cast<mss_table&>(table).finish_load();
}

}   // namespace

class MssAfterRows : public mss_dest_test {};

TEST_F(MssAfterRows, RefusedRowsOfAStatementAreReportedAndTheOthersArrive) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_after_rows_batch");
    connect(false);
    struct batch_case {
        const char16_t* table;
        int rows;
        std::set<int> refused;
    };
    // 1000 rows go in one statement: 1 opens the first, 1000 closes it, 1001 opens the
    // second, 2500 closes the last, short one.
    const std::vector<batch_case> cases = {
        {u"None", 2500, {}},
        {u"First", 2500, {1}},
        {u"LastOfAStatement", 2500, {1000}},
        {u"Several", 2500, {999, 1001, 1500, 2500}},
        {u"All", 5, {1, 2, 3, 4, 5}},
    };
    for (const batch_case& one : cases) {
        const std::string where = tk_utf16_to_utf8(one.table);
        noted_rejects report;
        std::unique_ptr<udb_recordset> table = database->create_table(one.table, three_columns(),
                                                                      {});
        load(*table, report, one.rows, one.refused);
        const std::vector<std::int32_t> expected(one.refused.begin(), one.refused.end());
        EXPECT_EQ(report.numbers, expected) << where;
        const std::vector<long> expected_ids(one.refused.begin(), one.refused.end());
        EXPECT_EQ(report.first_values, expected_ids) << where;
        for (const std::string& message : report.messages) {
            EXPECT_NE(message.find("truncated"), std::string::npos) << message;
        }
        // Every other row exactly once: their count and the sum of their IDs.
        const long long all_ids = 1LL * one.rows * (one.rows + 1) / 2;
        const long long refused_ids = std::accumulate(one.refused.begin(), one.refused.end(), 0LL);
        const auto found = rows_of(*database, u"SELECT COUNT(*), SUM([ID]) FROM [dbo].["
                                                  + std::u16string(one.table) + u"]");
        EXPECT_EQ(found.at(0).at(0),
                  tk_utf8_to_utf16(std::to_string(one.rows - one.refused.size())))
            << where;
        if (one.refused.size() < static_cast<std::size_t>(one.rows)) {
            EXPECT_EQ(found.at(0).at(1), tk_utf8_to_utf16(std::to_string(all_ids - refused_ids)))
                << where;
        }
    }
}

TEST_F(MssAfterRows, PlainIndexesAreOnTheServerOnceTheRowsAreIn) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_after_rows_index");
    udb_indexes indexes;
    indexes.add(index_of(u"PrimaryKey", u"ID", true, true));
    indexes.add(index_of(u"ByCode", u"Code", false, false));
    indexes.add(index_of(u"ByQty", u"Qty", false, false));
    for (const bool fast_load : {false, true}) {
        connect(fast_load);
        const std::u16string name = fast_load ? u"Bulk" : u"Sql";
        noted_rejects report;
        std::unique_ptr<udb_recordset> table = database->create_table(name, three_columns(),
                                                                      indexes);
        load(*table, report, 1500, {});
        std::vector<std::u16string> names;
        const std::unique_ptr<udb_recordset> reread = database->get_table(name, MSS_OPEN_APPEND);
        for (const udb_index& index : reread->indexes) names.push_back(index.name);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::u16string>{u"ByCode", u"ByQty", u"PK_" + name}))
            << tk_utf16_to_utf8(name);
        EXPECT_EQ(table->count_rows(), 1500);
    }
}

TEST_F(MssAfterRows, AnIndexThatCannotBeMadeIsReportedByNameAndTheNextFollows) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_after_rows_refused");
    std::vector<std::pair<std::u16string, std::string>> reported;
    database->set_failure_reporter(
        [&reported](const std::u16string& context, const tk_exception& failure) {
            reported.emplace_back(context, failure.what());
        });
    udb_indexes indexes;
    indexes.add(index_of(u"ByCode", u"Code", false, false));
    indexes.add(index_of(u"ByQty", u"Qty", false, false));
    connect(true);
    std::unique_ptr<udb_recordset> table = database->create_table(u"T", three_columns(), indexes);
    // Someone takes the index's name on the table while its rows load.
    database->query(u"CREATE INDEX [ByCode] ON [dbo].[T] ([Qty])");
    noted_rejects report;
    EXPECT_NO_THROW(load(*table, report, 10, {}));
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].first, u"Index 'ByCode' of table 'T'");
    EXPECT_NE(reported[0].second.find("ByCode"), std::string::npos) << reported[0].second;
    EXPECT_EQ(table->count_rows(), 10);
    bool b_qty_made = false;
    const std::unique_ptr<udb_recordset> reread = database->get_table(u"T", MSS_OPEN_APPEND);
    for (const udb_index& index : reread->indexes) b_qty_made |= index.name == u"ByQty";
    EXPECT_TRUE(b_qty_made);
}

// Statements write each value by its column's name (case-blind), whatever the record's order.
TEST_F(MssAfterRows, StatementsPlaceValuesByNameWhenTheRecordIsInAnotherOrder) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_after_rows_order");
    udb_schema schema;
    schema.append(column(u"A", VT_I4, 4, false));
    schema.append(column(u"B", VT_I4, 4, false));
    connect(false);
    std::unique_ptr<udb_recordset> table = database->create_table(u"T", schema, {});
    udb_record in_order;
    in_order.append(std::make_unique<udb_field>(u"A", 0, ole_variant(1), false, false));
    in_order.append(std::make_unique<udb_field>(u"B", 0, ole_variant(2), false, false));
    udb_record turned;
    turned.append(std::make_unique<udb_field>(u"b", 0, ole_variant(4), false, false));
    turned.append(std::make_unique<udb_field>(u"a", 0, ole_variant(3), false, false));
    table->append_record(in_order);
    table->append_record(turned);
    static_cast<mss_table&>(*table).finish_load();
    EXPECT_EQ(rows_of(*database, u"SELECT [A], [B] FROM [dbo].[T] ORDER BY [A]"),
              (std::vector<std::vector<std::u16string>>{{u"1", u"2"}, {u"3", u"4"}}));
}
