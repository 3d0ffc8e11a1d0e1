// No row lost, nothing changed without a word: on both load paths a row the server refuses
// costs only itself and is reported with its record number, a table whose rows all go by
// statement ends without a commit error, and every substitution is counted. The run's loop
// is played by append_rows: a statement's failure is the current record's, as the run does.

#include "mss/mss_dest_fixture.hpp"
#include "mss/mss_noted_rejects.hpp"
#include "mss/mss_server.hpp"
#include "mss/mss_test_values.hpp"

#include "mss/mss_tab.hpp"
#include "mss/odb_exce.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_utf.hpp"

namespace {

constexpr int ROWS = 2500;

std::unique_ptr<t_ftd> column(const char16_t* name, VARTYPE vartype, std::uint32_t size,
                              bool not_null, const ole_variant& def_value = ole_variant(),
                              std::uint32_t reserved = 0) {
    return std::make_unique<t_ftd>(size, name, vartype, not_null, false, def_value, reserved);
}

std::unique_ptr<udb_record> record_of(
    const std::vector<std::pair<const char16_t*, ole_variant>>& values) {
    auto record = std::make_unique<udb_record>();
    for (const auto& [name, value] : values) {
        record->append(std::make_unique<udb_field>(name, 0, value, false, false));
    }
    return record;
}

udb_indexes unique_on(const char16_t* column_name) {
    udb_indexes indexes;
    udb_index unique;
    unique.name = u"ByCode";
    unique.b_unique = true;
    unique.columns = {column_name};
    indexes.add(unique);
    return indexes;
}

// Appends the records as the run does and ends the load.
void append_rows(udb_recordset& table, noted_rejects& report,
                 const std::vector<std::unique_ptr<udb_record>>& records) {
    table.load_report = &report;
    for (std::size_t record_idx = 0; record_idx < records.size(); ++record_idx) {
        report.current = static_cast<std::int32_t>(record_idx + 1);
        try {
            table.append_record(*records[record_idx]);
        } catch (const odb_exception& failure) {
            report.record_rejected(report.current, *records[record_idx], failure);
        }
    }
    static_cast<mss_table&>(table).finish_load();
}

}   // namespace

class MssRows : public mss_dest_test {};

TEST_F(MssRows, ADuplicateKeyCostsOnlyItsOwnRowOnBothPaths) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_rows_dup");
    udb_schema schema;
    schema.append(column(u"ID", VT_I4, 4, true));
    schema.append(column(u"Code", VT_I4, 4, false));
    // 1200 lies in a whole batch of the bulk load (1001-2000), 2400 in its last, short one.
    for (const int duplicate : {1200, 2400}) {
        for (const bool fast_load : {false, true}) {
            connect(fast_load);
            const std::u16string name = u"T" + tk_utf8_to_utf16(std::to_string(duplicate))
                                        + (fast_load ? u"bulk" : u"sql");
            std::vector<std::unique_ptr<udb_record>> records;
            for (int row = 1; row <= ROWS; ++row) {
                const int code = row == duplicate ? 17 : row;   // the code of record 17 again
                records.push_back(
                    record_of({{u"ID", ole_variant(row)}, {u"Code", ole_variant(code)}}));
            }
            noted_rejects report;
            std::unique_ptr<udb_recordset> table = database->create_table(name, schema,
                                                                          unique_on(u"Code"));
            append_rows(*table, report, records);
            const std::string where = tk_utf16_to_utf8(name);
            EXPECT_EQ(report.numbers, std::vector<std::int32_t>{duplicate}) << where;
            EXPECT_EQ(report.first_values, std::vector<long>{duplicate}) << where;
            ASSERT_EQ(report.messages.size(), 1u) << where;
            EXPECT_NE(report.messages[0].find("duplicate key"), std::string::npos)
                << report.messages[0];
            EXPECT_EQ(table->count_rows(), ROWS - 1) << where;
            const auto missing = rows_of(*database,
                                         u"SELECT COUNT(*) FROM [dbo].[" + name + u"] WHERE [ID] = "
                                             + tk_utf8_to_utf16(std::to_string(duplicate)));
            EXPECT_EQ(missing.at(0).at(0), u"0") << where;
        }
    }
}

TEST_F(MssRows, WithoutAReportTheRefusalIsThrownAfterEveryRowWasTried) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_rows_noreport");
    udb_schema schema;
    schema.append(column(u"ID", VT_I4, 4, true));
    schema.append(column(u"Code", VT_I4, 4, false));
    connect(true);
    std::unique_ptr<udb_recordset> table = database->create_table(u"T", schema, unique_on(u"Code"));
    for (int row = 1; row <= 5; ++row) {
        table->append_record(
            *record_of({{u"ID", ole_variant(row)}, {u"Code", ole_variant(row == 2 ? 1 : row)}}));
    }
    EXPECT_THROW(static_cast<mss_table&>(*table).finish_load(), odb_exception);
    EXPECT_EQ(table->count_rows(), 4);
}

TEST_F(MssRows, RowsThatAllGoByStatementEndWithoutAnError) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_rows_insert");
    udb_schema schema;
    schema.append(column(u"ID", VT_I4, 4, true));
    schema.append(column(u"Txt", VT_BSTR, 20, false));
    for (const bool fast_load : {false, true}) {
        connect(fast_load);
        const std::u16string name = fast_load ? u"Bulk" : u"Sql";
        std::vector<std::unique_ptr<udb_record>> records;
        // An empty text cannot travel by bulk load: every row goes by INSERT.
        for (int row = 1; row <= 3; ++row) {
            records.push_back(
                record_of({{u"ID", ole_variant(row)}, {u"Txt", ole_variant(std::u16string())}}));
        }
        noted_rejects report;
        std::unique_ptr<udb_recordset> table = database->create_table(name, schema, {});
        EXPECT_NO_THROW(append_rows(*table, report, records)) << tk_utf16_to_utf8(name);
        EXPECT_TRUE(report.numbers.empty());
        EXPECT_EQ(table->count_rows(), 3);
    }
}

TEST_F(MssRows, EverySubstitutionIsCountedOnceOnBothPaths) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_rows_subst");
    udb_schema schema;
    schema.append(column(u"ID", VT_I4, 4, true));
    schema.append(column(u"Qty", VT_I4, 4, true, ole_variant(7)));
    schema.append(column(u"Stamp", VT_DATE, 8, false, ole_variant(), 1));
    schema.append(column(u"Amount", VT_DECIMAL, 0, false, ole_variant(), 2 + 256 * 5));
    schema.append(column(u"Bin", VT_BLOB, 16, false));
    const auto rows = [] {
        std::vector<std::unique_ptr<udb_record>> records;
        const BYTE two[] = {1, 2};
        // Hand-counted: Qty NULL twice, two dates before 1753, two decimals beyond
        // numeric(5,2), one empty binary; the third row changes nothing but its NULL Qty.
        records.push_back(record_of({{u"ID", ole_variant(1)},
                                     {u"Qty", null_value()},
                                     {u"Stamp", date_time(1500, 6, 1, 10, 20, 30)},
                                     {u"Amount", ole_variant::from_string("12345.678", VT_DECIMAL)},
                                     {u"Bin", ole_variant(std::size_t{0}, two)}}));
        records.push_back(
            record_of({{u"ID", ole_variant(2)},
                       {u"Qty", ole_variant(3)},
                       {u"Stamp", date_time(1600, 1, 1, 8, 0, 0)},
                       {u"Amount", ole_variant::from_string("-12345.678", VT_DECIMAL)},
                       {u"Bin", ole_variant(sizeof two, two)}}));
        records.push_back(record_of({{u"ID", ole_variant(3)},
                                     {u"Qty", null_value()},
                                     {u"Stamp", date_time(2020, 1, 1, 0, 0, 0)},
                                     {u"Amount", ole_variant::from_string("1.5", VT_DECIMAL)},
                                     {u"Bin", null_value()}}));
        return records;
    };
    for (const bool fast_load : {false, true}) {
        connect(fast_load);
        const std::u16string name = fast_load ? u"Bulk" : u"Sql";
        noted_rejects report;
        std::unique_ptr<udb_recordset> table = database->create_table(name, schema, {});
        append_rows(*table, report, rows());
        const std::string where = tk_utf16_to_utf8(name);
        EXPECT_TRUE(report.numbers.empty()) << where;
        const udb_substitution_counts& counted = table->substitutions;
        EXPECT_EQ(counted.count(udb_substitution::REQUIRED_NULL), 2) << where;
        EXPECT_EQ(counted.count(udb_substitution::EARLY_DATE), 2) << where;
        EXPECT_EQ(counted.count(udb_substitution::DECIMAL_RANGE), 2) << where;
        EXPECT_EQ(counted.count(udb_substitution::EMPTY_BINARY), 1) << where;
        EXPECT_EQ(table->count_rows(), 3) << where;
    }
}

// A refused batch sent again counts its substitutions once, for the rows that arrived.
TEST_F(MssRows, ARefusedBatchCountsSubstitutionsOfTheRowsThatArrived) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_rows_resent");
    udb_schema schema;
    schema.append(column(u"ID", VT_I4, 4, true));
    schema.append(column(u"Qty", VT_I4, 4, true, ole_variant(7)));
    connect(true);
    std::vector<std::unique_ptr<udb_record>> records;
    for (int row = 1; row <= 10; ++row) {
        records.push_back(
            record_of({{u"ID", ole_variant(row == 6 ? 5 : row)}, {u"Qty", null_value()}}));
    }
    noted_rejects report;
    std::unique_ptr<udb_recordset> table = database->create_table(u"T", schema, unique_on(u"ID"));
    append_rows(*table, report, records);
    EXPECT_EQ(report.numbers, std::vector<std::int32_t>{6});
    EXPECT_EQ(table->substitutions.count(udb_substitution::REQUIRED_NULL), 9);
}

// A statement lost with the connection is not the record's refusal: no row is reported as
// rejected, and the table is given up once.
TEST(MssStatementDrop, ALostConnectionRejectsNoRow) {
    mss_private_double double_server({"--drop-after-batches=40"});
    if (!double_server.is_running()) GTEST_SKIP() << "mssql-double is not built";
    const mss_test_server target = double_server.server();
    mss_engine engine(true);
    engine.connect(target.host, target.user, target.password, false);
    std::unique_ptr<udb_database> database = engine.create_db(u"vantrel_statement_drop");
    udb_schema schema;
    schema.append(column(u"ID", VT_I4, 4, true));
    noted_rejects report;
    std::vector<std::string> table_failures;
    std::unique_ptr<udb_recordset> table = database->create_table(u"T", schema, {});
    table->load_report = &report;
    // Statements carry a thousand rows each: enough rows for forty round trips.
    for (int row = 1; row <= 60000 && table_failures.empty(); ++row) {
        report.current = row;
        try {
            table->append_record(*record_of({{u"ID", ole_variant(row)}}));
        } catch (const odb_exception& failure) {
            report.record_rejected(row, *record_of({{u"ID", ole_variant(row)}}), failure);
        } catch (const tk_exception& failure) {
            table_failures.push_back(failure.what());
        }
    }
    EXPECT_TRUE(report.numbers.empty()) << report.messages.front();
    ASSERT_EQ(table_failures.size(), 1u);
    EXPECT_NE(table_failures[0].find("connection to the server is lost"), std::string::npos)
        << table_failures[0];
}
