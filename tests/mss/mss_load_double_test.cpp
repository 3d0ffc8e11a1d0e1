// Rows loaded by statements and by bulk load into tables of the same schema, read back with
// SELECT: both paths must give the same contents, with the documented replacements (dates
// before 1753, doubles below float's range, decimals that do not fit, NULL in NOT NULL
// columns), identity values kept, and text outside the BMP intact.

#include "mss/mss_dest_fixture.hpp"
#include "mss/mss_test_values.hpp"

#include "mss/mss_rule.hpp"
#include "mss/mss_tab.hpp"
#include "mss/odb_exce.hpp"
#include "tk/tk_utf.hpp"
#include "udb/udb_rule.hpp"

#include <cstdlib>

namespace {

const std::u16string BRACED_GUID = u"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
const std::u16string NON_BMP_TEXT = u"\U0001F600 \u4E2D\u6587 \u00C4rger";

ole_variant bytes_value(std::vector<BYTE> bytes) { return ole_variant(bytes.size(), bytes.data()); }

// A replication ID as the source hands it over: typed, not as text.
ole_variant guid_value() {
    GUID guid{};
    EXPECT_EQ(guid_from_wstring(BRACED_GUID, &guid), S_OK);
    return ole_variant(guid);
}

struct sample_row {
    int id;
    ole_variant text, qty, stamp, amount, ratio, bin, memo, flag, guid;
};

std::vector<sample_row> sample_rows() {
    return {
        {5, ole_variant(u"O'Brien"), ole_variant(1), date_time(2024, 2, 29, 13, 5, 9),
         ole_variant::from_string("123.45", VT_DECIMAL), ole_variant(42.5),
         bytes_value({0x1A, 0x2B}), ole_variant(NON_BMP_TEXT), ole_variant(true), guid_value()},
        {10, null_value(), null_value(), date_time(1500, 6, 1, 10, 20, 30),
         ole_variant::from_string("12345.678", VT_DECIMAL), ole_variant(1e-320),
         bytes_value({'a', 'b', 'c'}), null_value(), ole_variant(false), null_value()},
        {11, ole_variant(std::u16string()), ole_variant(), date_time(1899, 12, 30, 13, 5, 9),
         ole_variant::from_string("-12345.678", VT_DECIMAL), ole_variant(-2.5), null_value(),
         ole_variant(u"x"), null_value(), null_value()},
        // An empty text cannot travel by bulk load; the row still follows the bulk rules.
        {12, ole_variant(std::u16string()), ole_variant(3), date_time(1600, 1, 1, 8, 0, 0),
         null_value(), null_value(), null_value(), null_value(), null_value(), null_value()},
    };
}

std::unique_ptr<udb_record> record_of(const sample_row& row) {
    auto record = std::make_unique<udb_record>();
    const auto add = [&](const char16_t* name, const ole_variant& value) {
        record->append(std::make_unique<udb_field>(name, 0, value, false, false));
    };
    add(u"ID", ole_variant(row.id));
    add(u"Txt", row.text);
    add(u"Qty", row.qty);
    add(u"Stamp", row.stamp);
    add(u"Amount", row.amount);
    add(u"Ratio", row.ratio);
    add(u"Bin", row.bin);
    add(u"Memo", row.memo);
    add(u"Flag", row.flag);
    add(u"Guid", row.guid);
    return record;
}

udb_schema sample_schema() {
    udb_schema schema;
    const auto add = [&](const char16_t* name, VARTYPE vartype, std::uint32_t size, bool not_null,
                         bool autoincrement, std::uint32_t reserved, const ole_variant& def_value) {
        schema.append(std::make_unique<t_ftd>(size, name, vartype, not_null, autoincrement,
                                              def_value, reserved));
    };
    add(u"ID", VT_I4, 4, true, true, 0, ole_variant());
    add(u"Txt", VT_BSTR, 40, false, false, 0, ole_variant());
    add(u"Qty", VT_I4, 4, true, false, 0, ole_variant(7));
    add(u"Stamp", VT_DATE, 8, false, false, 1, ole_variant());
    add(u"Amount", VT_DECIMAL, 0, false, false, 2 + 256 * 5, ole_variant());
    add(u"Ratio", VT_R8, 8, false, false, 0, ole_variant());
    add(u"Bin", VT_BLOB, 16, false, false, 0, ole_variant());
    add(u"Memo", VT_BSTR, 0, false, false, 0, ole_variant());
    add(u"Flag", VT_BOOL, 2, false, false, 0, ole_variant());
    add(u"Guid", VT_BLOB, 16, false, false, 1, ole_variant());
    return schema;
}

}   // namespace

class MssLoad : public mss_dest_test {
protected:
    // Loads the sample rows into a new table by the path the connection chose.
    void load(mss_database& database, const std::u16string& table_name) {
        std::unique_ptr<udb_recordset> table = database.create_table(table_name, sample_schema(),
                                                                     mss_key_on(u"ID"));
        for (const sample_row& row : sample_rows()) table->append_record(*record_of(row));
        static_cast<mss_table&>(*table).finish_load();
    }

    std::vector<std::vector<std::u16string>> contents(mss_database& database,
                                                      const std::u16string& table_name) {
        return rows_of(database, u"SELECT [ID], [Txt], [Qty], [Stamp], [Amount], [Ratio], [Bin], "
                                 u"[Memo], [Flag], [Guid] FROM [dbo].["
                                     + table_name + u"] ORDER BY [ID]");
    }
};

TEST_F(MssLoad, StatementsAndBulkLoadGiveTheSameRows) {
    udb_custom_conversion registry;
    registry.add_rule(std::make_unique<mss_guid_rule>());
    std::unique_ptr<mss_database> database = create_database(u"vantrel_load");
    connect(false);
    ASSERT_FALSE(engine->is_fast_load());
    load(*database, u"BySql");
    connect(true);
    ASSERT_TRUE(engine->is_fast_load());
    load(*database, u"ByBulk");

    const auto by_sql = contents(*database, u"BySql");
    const auto by_bulk = contents(*database, u"ByBulk");
    ASSERT_EQ(by_sql.size(), 4u);
    ASSERT_EQ(by_bulk.size(), 4u);
    for (std::size_t row_idx = 0; row_idx < 4; ++row_idx) {
        for (std::size_t column_idx = 0; column_idx < by_sql[row_idx].size(); ++column_idx) {
            if (column_idx == 3 && (row_idx == 1 || row_idx == 3)) continue;   // compared below
            EXPECT_EQ(by_sql[row_idx][column_idx], by_bulk[row_idx][column_idx])
                << "row " << row_idx << " column " << column_idx;
        }
    }
    // Identity values given in the rows are kept.
    EXPECT_EQ(by_sql[0][0], u"5");
    EXPECT_EQ(by_bulk[3][0], u"12");
    // Text: quotes, empty text against NULL, characters outside the BMP.
    EXPECT_EQ(by_sql[0][1], u"O'Brien");
    EXPECT_EQ(by_sql[1][1], u"NULL");
    EXPECT_EQ(by_sql[2][1], u"");
    EXPECT_EQ(by_bulk[2][1], u"");
    EXPECT_EQ(by_bulk[0][7], NON_BMP_TEXT);
    // NOT NULL column without a value takes its default.
    EXPECT_EQ(by_sql[1][2], u"7");
    EXPECT_EQ(by_sql[2][2], u"7");
    // Dates: before 1753 by statements 9999-12-30, by bulk load 1899-12-30, time kept;
    // a time alone goes out on 1899-12-30.
    EXPECT_EQ(by_sql[1][3], u"9999-12-30 10:20:30");
    EXPECT_EQ(by_bulk[1][3], u"1899-12-30 10:20:30");
    EXPECT_EQ(by_sql[3][3], u"9999-12-30 08:00:00");
    EXPECT_EQ(by_bulk[3][3], u"1899-12-30 08:00:00");
    EXPECT_EQ(by_bulk[3][2], u"3");
    EXPECT_EQ(by_sql[2][3].substr(by_sql[2][3].size() - 8), u"13:05:09");
    // Decimals that do not fit numeric(5,2).
    EXPECT_EQ(by_sql[1][4], u"999.99");
    EXPECT_EQ(by_sql[2][4], u"-999.99");
    // A subnormal double is a float SQL Server keeps.
    EXPECT_EQ(std::strtod(tk_utf16_to_utf8(by_sql[1][5]).c_str(), nullptr), 1e-320);
    // Binary and the GUID rule.
    EXPECT_EQ(by_sql[0][6], u"0x1A2B");
    EXPECT_EQ(by_sql[1][6], u"0x616263");
    EXPECT_EQ(by_sql[0][9], BRACED_GUID);
}

// The rows of a bulk batch are kept until it commits, in copies refilled from the batch
// before: when the second batch is refused and sent again row by row, each of its rows must
// arrive with its own values, not those of the committed batch.
TEST_F(MssLoad, RowsOfARefusedBatchAfterACommittedOneKeepTheirOwnValues) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_resend");
    connect(true);
    ASSERT_TRUE(engine->is_fast_load());
    udb_schema schema;
    schema.append(std::make_unique<t_ftd>(4, u"ID", VT_I4, true, false, ole_variant(), 0));
    schema.append(std::make_unique<t_ftd>(20, u"Txt", VT_BSTR, false, false, ole_variant(), 0));
    std::unique_ptr<udb_recordset> table = database->create_table(u"T", schema, mss_key_on(u"ID"));
    constexpr int ROWS = 1500;
    constexpr int DUPLICATE_AT = 1200;   // in the second batch of 1,000: its key is 7's
    for (int row = 1; row <= ROWS; ++row) {
        udb_record record;
        const int id = row == DUPLICATE_AT ? 7 : row;
        record.append(std::make_unique<udb_field>(u"ID", 0, ole_variant(id), false, false));
        const ole_variant text = row % 3 == 0
                                     ? null_value()
                                     : ole_variant(u"row " + tk_utf8_to_utf16(std::to_string(row)));
        record.append(std::make_unique<udb_field>(u"Txt", 0, text, false, false));
        try {
            table->append_record(record);
        } catch (const odb_exception&) {
            // A refusal found at once; the batch's other rows still go out.
        }
    }
    try {
        static_cast<mss_table&>(*table).finish_load();
    } catch (const odb_exception&) {
        // The duplicate, refused with no load report to take it.
    }
    const auto rows = rows_of(*database, u"SELECT [ID], [Txt] FROM [dbo].[T] ORDER BY [ID]");
    ASSERT_EQ(rows.size(), std::size_t(ROWS - 1));
    for (const auto& row : rows) {
        const int id = std::stoi(tk_utf16_to_utf8(row.at(0)));
        ASSERT_NE(id, DUPLICATE_AT);
        const std::u16string expected = id % 3 == 0
                                            ? u"NULL"
                                            : u"row " + tk_utf8_to_utf16(std::to_string(id));
        ASSERT_EQ(row.at(1), expected) << "ID " << id;
    }
}

// The bulk load binds a column again only when its value's place, length or kind changed:
// values that turn NULL, grow past their storage, shrink and come back across the batch
// commits must each arrive as sent, never with the length or bytes of a row before.
TEST_F(MssLoad, BulkValuesChangingKindAndLengthRowToRowArriveAsSent) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_rebind");
    connect(true);
    ASSERT_TRUE(engine->is_fast_load());
    udb_schema schema;
    schema.append(std::make_unique<t_ftd>(4, u"ID", VT_I4, true, false, ole_variant(), 0));
    schema.append(std::make_unique<t_ftd>(255, u"Txt", VT_BSTR, false, false, ole_variant(), 0));
    schema.append(std::make_unique<t_ftd>(8, u"Num", VT_R8, false, false, ole_variant(), 0));
    std::unique_ptr<udb_recordset> table = database->create_table(u"T", schema, mss_key_on(u"ID"));
    const auto text_of = [](int id) {
        return std::u16string(std::size_t(id * 37 % 200 + 1), char16_t(u'a' + id % 26));
    };
    constexpr int ROWS = 2500;   // three batches of the bulk load
    for (int id = 1; id <= ROWS; ++id) {
        udb_record record;
        record.append(std::make_unique<udb_field>(u"ID", 0, ole_variant(id), false, false));
        const ole_variant text = id % 5 == 0 ? null_value() : ole_variant(text_of(id));
        record.append(std::make_unique<udb_field>(u"Txt", 0, text, false, false));
        const ole_variant number = id % 4 == 0 ? null_value() : ole_variant(id * 0.5);
        record.append(std::make_unique<udb_field>(u"Num", 0, number, false, false));
        table->append_record(record);
    }
    static_cast<mss_table&>(*table).finish_load();
    const auto rows = rows_of(*database, u"SELECT [ID], [Txt], [Num] FROM [dbo].[T] ORDER BY [ID]");
    ASSERT_EQ(rows.size(), std::size_t(ROWS));
    for (int id = 1; id <= ROWS; ++id) {
        const auto& row = rows[std::size_t(id - 1)];
        ASSERT_EQ(row.at(0), tk_utf8_to_utf16(std::to_string(id)));
        ASSERT_EQ(row.at(1), id % 5 == 0 ? u"NULL" : text_of(id)) << "ID " << id;
        if (id % 4 == 0) {
            ASSERT_EQ(row.at(2), u"NULL") << "ID " << id;
        } else {
            ASSERT_EQ(std::strtod(tk_utf16_to_utf8(row.at(2)).c_str(), nullptr), id * 0.5)
                << "ID " << id;
        }
    }
}

TEST_F(MssLoad, RowOfTheWrongLengthIsRefusedWithoutLoss) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_shape");
    std::unique_ptr<udb_recordset> table = database->create_table(u"T", sample_schema(),
                                                                  mss_key_on(u"ID"));
    udb_record short_record;
    short_record.append(std::make_unique<udb_field>(u"ID", 0, ole_variant(1), false, false));
    try {
        table->append_record(short_record);
        FAIL() << "a one-field row was accepted";
    } catch (const tk_exception& failure) {
        EXPECT_STREQ(failure.what(),
                     "The structure of data source does not conform to the destination table.");
        EXPECT_EQ(failure.level(), ERROR_LEVEL_RECOVERABLE);
    }
    table->append_record(*record_of(sample_rows()[0]));
    static_cast<mss_table&>(*table).finish_load();
    EXPECT_EQ(rows_of(*database, u"SELECT COUNT(*) FROM [dbo].[T]").at(0).at(0), u"1");
}

// The run's own loop: a record's failure (odb_exception) is reported and the next record
// follows; any other failure gives the table up.
TEST(MssBulkLoadDrop, CommittedBatchesSurviveAndTheLossIsReportedOnce) {
    mss_private_double double_server({"--drop-after-bulk-rows=2500"});
    if (!double_server.is_running()) GTEST_SKIP() << "mssql-double is not built";
    const mss_test_server target = double_server.server();
    mss_engine engine(true);
    engine.connect(target.host, target.user, target.password, true);
    const std::u16string name = u"vantrel_drop";
    std::unique_ptr<udb_database> database = engine.create_db(name);
    udb_schema schema;
    schema.append(std::make_unique<t_ftd>(4, u"ID", VT_I4, true, false, ole_variant(), 0));
    schema.append(std::make_unique<t_ftd>(20, u"V", VT_BSTR, false, false, ole_variant(), 0));
    int record_failures = 0;
    std::vector<std::string> table_failures;
    int appended = 0;
    {
        std::unique_ptr<udb_recordset> table = database->create_table(u"Order Details", schema,
                                                                      udb_indexes());
        try {
            for (int row_idx = 1; row_idx <= 3500; ++row_idx) {
                udb_record record;
                record.append(
                    std::make_unique<udb_field>(u"ID", 0, ole_variant(row_idx), false, false));
                record.append(
                    std::make_unique<udb_field>(u"V", 0, ole_variant(u"row"), false, false));
                try {
                    table->append_record(record);
                } catch (const odb_exception&) {
                    ++record_failures;
                }
                appended = row_idx;
            }
            static_cast<mss_table&>(*table).finish_load();
        } catch (const odb_exception&) {
            ++record_failures;
        } catch (const tk_exception& failure) {
            table_failures.push_back(failure.what());
            EXPECT_EQ(failure.level(), ERROR_LEVEL_RECOVERABLE);
        }
    }
    // A lost connection is no record's fault: the table is given up at once, with one error.
    EXPECT_EQ(record_failures, 0);
    ASSERT_EQ(table_failures.size(), 1u);
    EXPECT_NE(table_failures[0].find("'Order Details'"), std::string::npos) << table_failures[0];
    EXPECT_NE(table_failures[0].find("connection to the server is lost"), std::string::npos);
    EXPECT_EQ(table_failures[0].find("Secret"), std::string::npos);
    // The double stores rows as their packets arrive and hangs up at record 2501; the client
    // finds out at a later send or, at the latest, at the commit of the batch ending at 3000.
    EXPECT_GE(appended, 2500);
    EXPECT_LE(appended, 2999);
    const std::unique_ptr<mss_database> reopened = engine.open_db(name, MSS_OPEN_APPEND);
    const std::unique_ptr<udb_recordset> count = reopened->query(
        u"SELECT COUNT(*) FROM [dbo].[Order Details]");
    count->reset();
    ASSERT_NE(count->get_item(), nullptr);
    EXPECT_EQ((*count->get_item())[0].to_long(), 2000);   // two whole batches of 1000
}

TEST_F(MssLoad, NamesWithBracketsQuotesAndSpacesLoadBothWays) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_odd_names");
    udb_schema schema;
    schema.append(std::make_unique<t_ftd>(4, u"a]b", VT_I4, true, false, ole_variant(), 0));
    schema.append(std::make_unique<t_ftd>(20, u"it's", VT_BSTR, false, false, ole_variant(), 0));
    schema.append(std::make_unique<t_ftd>(20, u"sp ace", VT_BSTR, false, false, ole_variant(), 0));
    const std::u16string table_names[] = {u"Q]uo'te d", u"[x]"};
    for (const std::u16string& name : table_names) {
        for (const bool fast_load : {false, true}) {
            connect(fast_load);
            const std::u16string table_name = name + (fast_load ? u" bulk" : u" sql");
            std::unique_ptr<udb_recordset> table = database->create_table(table_name, schema,
                                                                          udb_indexes());
            udb_record record;
            record.append(std::make_unique<udb_field>(u"a]b", 0, ole_variant(1), false, false));
            record.append(
                std::make_unique<udb_field>(u"it's", 0, ole_variant(u"v]'1"), false, false));
            record.append(
                std::make_unique<udb_field>(u"sp ace", 0, ole_variant(u"v 2"), false, false));
            table->append_record(record);
            static_cast<mss_table&>(*table).finish_load();
            const auto rows = rows_of(*database, u"SELECT [a]]b], [it's], [sp ace] FROM "
                                                     + engine->get_safe_tname(table_name));
            ASSERT_EQ(rows.size(), 1u) << tk_utf16_to_utf8(table_name);
            EXPECT_EQ(rows[0], (std::vector<std::u16string>{u"1", u"v]'1", u"v 2"}));
        }
    }
}

TEST_F(MssLoad, LongTextAndBinaryLoadBothWays) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_long");
    udb_schema schema;
    schema.append(std::make_unique<t_ftd>(4, u"ID", VT_I4, true, false, ole_variant(), 0));
    schema.append(std::make_unique<t_ftd>(0, u"Memo", VT_BSTR, false, false, ole_variant(), 0));
    schema.append(std::make_unique<t_ftd>(0, u"Blob", VT_BLOB, false, false, ole_variant(), 0));
    std::u16string memo;
    for (int char_idx = 0; char_idx < 20000; ++char_idx) memo += char16_t(0x4E00 + char_idx % 500);
    memo += u"\U0001F600";
    std::vector<BYTE> blob(50000);
    for (std::size_t byte_idx = 0; byte_idx < blob.size(); ++byte_idx) {
        blob[byte_idx] = static_cast<BYTE>(byte_idx * 7);
    }
    for (const bool fast_load : {false, true}) {
        connect(fast_load);
        const std::u16string name = fast_load ? u"Bulk" : u"Sql";
        std::unique_ptr<udb_recordset> table = database->create_table(name, schema, udb_indexes());
        udb_record record;
        record.append(std::make_unique<udb_field>(u"ID", 0, ole_variant(1), false, false));
        record.append(std::make_unique<udb_field>(u"Memo", 0, ole_variant(memo), false, false));
        record.append(std::make_unique<udb_field>(u"Blob", 0, ole_variant(blob.size(), blob.data()),
                                                  false, false));
        table->append_record(record);
        static_cast<mss_table&>(*table).finish_load();
        const std::unique_ptr<udb_recordset> read = database->query(
            u"SELECT [Memo], [Blob] FROM [dbo].[" + name + u"]");
        read->reset();
        ASSERT_NE(read->get_item(), nullptr);
        const udb_record& row = *read->get_item();
        EXPECT_EQ(row[0].to_wstring(), memo) << tk_utf16_to_utf8(name);
        BYTE* bytes = nullptr;
        const std::size_t length = row[1].get_bytes(&bytes);
        ASSERT_EQ(length, blob.size()) << tk_utf16_to_utf8(name);
        EXPECT_TRUE(std::equal(blob.begin(), blob.end(), bytes));
    }
}
