// Values that must arrive unchanged by both load paths: NULL in nullable columns that have a
// default, decimals with more digits than a double holds, dates with milliseconds, long
// binary values, doubles and singles to the bit, hostile text and GUIDs. Each table is
// loaded once by statements and once by bulk load.

#include "mss/mss_dest_fixture.hpp"
#include "mss/mss_test_values.hpp"

#include "mss/mss_rule.hpp"
#include "mss/mss_tab.hpp"
#include "tk/tk_utf.hpp"
#include "udb/udb_rule.hpp"

#include <algorithm>
#include <bit>
#include <random>

namespace {

struct column_spec {
    const char16_t* name;
    VARTYPE vartype;
    std::uint32_t size;
    bool b_not_null;
    std::uint32_t reserved;
    ole_variant def_value;
};

udb_schema schema_of(const std::vector<column_spec>& columns) {
    udb_schema schema;
    for (const column_spec& column : columns) {
        schema.append(std::make_unique<t_ftd>(column.size, column.name, column.vartype,
                                              column.b_not_null, false, column.def_value,
                                              column.reserved));
    }
    return schema;
}

std::unique_ptr<udb_record> record_of(const std::vector<column_spec>& columns,
                                      const std::vector<ole_variant>& values) {
    auto record = std::make_unique<udb_record>();
    for (std::size_t column_idx = 0; column_idx < columns.size(); ++column_idx) {
        record->append(std::make_unique<udb_field>(columns[column_idx].name, 0, values[column_idx],
                                                   false, false));
    }
    return record;
}

ole_variant with_milliseconds(ole_variant value, int milliseconds) {
    SYSTEMTIME time = value.date_value;
    time.wMilliseconds = static_cast<WORD>(milliseconds);
    return ole_variant(time);
}

}   // namespace

class MssValues : public mss_dest_test {
protected:
    // Loads the rows into "<stem> sql" and "<stem> bulk" and returns each table's cells.
    std::vector<std::vector<std::vector<std::u16string>>> load_both_ways(
        mss_database& database, const std::u16string& stem, const std::vector<column_spec>& columns,
        const std::vector<std::vector<ole_variant>>& rows,
        const udb_indexes& indexes = udb_indexes()) {
        std::vector<std::vector<std::vector<std::u16string>>> tables;
        for (const bool fast_load : {false, true}) {
            connect(fast_load);
            const std::u16string name = stem + (fast_load ? u" bulk" : u" sql");
            {
                std::unique_ptr<udb_recordset> table = database.create_table(
                    name, schema_of(columns), indexes);
                for (const auto& row : rows) table->append_record(*record_of(columns, row));
                static_cast<mss_table&>(*table).finish_load();
            }
            std::u16string select = u"SELECT ";
            for (std::size_t column_idx = 0; column_idx < columns.size(); ++column_idx) {
                select += (column_idx > 0 ? u", [" : u"[")
                          + std::u16string(columns[column_idx].name) + u"]";
            }
            tables.push_back(
                rows_of(database, select + u" FROM [dbo].[" + name + u"] ORDER BY [ID]"));
        }
        return tables;
    }
};

TEST_F(MssValues, NullStaysNullInNullableColumnsWithADefault) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_nulls");
    const std::vector<column_spec> columns = {
        {u"ID", VT_I4, 4, true, 0, ole_variant()},
        {u"N", VT_I4, 4, false, 0, ole_variant(0)},
        {u"R", VT_R8, 8, false, 0, ole_variant(0.0)},
        {u"S", VT_I2, 2, false, 0, ole_variant(short(5))},
        {u"Required", VT_I4, 4, true, 0, ole_variant(7)},
    };
    const auto tables = load_both_ways(
        *database, u"Nulls", columns,
        {
            {ole_variant(1), null_value(), null_value(), ole_variant(), null_value()},
            {ole_variant(2), ole_variant(0), ole_variant(0.0), ole_variant(short(3)),
             ole_variant(4)},
        });
    for (const auto& table : tables) {
        ASSERT_EQ(table.size(), 2u);
        // Only the NOT NULL column takes its default for a missing value.
        EXPECT_EQ(table[0], (std::vector<std::u16string>{u"1", u"NULL", u"NULL", u"NULL", u"7"}));
        EXPECT_EQ(table[1],
                  (std::vector<std::u16string>{u"2", u"0", u"0.000000000000000e+00", u"3", u"4"}));
    }
}

TEST_F(MssValues, DecimalsMillisecondsAndLongBinaryArriveExactly) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_exact");
    const std::vector<column_spec> columns = {
        {u"ID", VT_I4, 4, true, 0, ole_variant()},
        {u"Amount", VT_DECIMAL, 0, false, 6 + 256 * 18, ole_variant()},
        {u"Stamp", VT_DATE, 8, false, 0, ole_variant()},
        {u"Blob", VT_BLOB, 0, false, 0, ole_variant()},
    };
    // Longer than the 320 KB the value layer's text form keeps.
    std::vector<BYTE> blob(400000);
    for (std::size_t byte_idx = 0; byte_idx < blob.size(); ++byte_idx) {
        blob[byte_idx] = static_cast<BYTE>(byte_idx * 13 + byte_idx / 256);
    }
    const auto tables = load_both_ways(
        *database, u"Exact", columns,
        {
            {ole_variant(1), ole_variant::from_string("102030405060.654321", VT_DECIMAL),
             with_milliseconds(date_time(2024, 2, 29, 13, 5, 9), 120),
             ole_variant(blob.size(), blob.data())},
            {ole_variant(2), ole_variant::from_string("-999999999999.999999", VT_DECIMAL),
             with_milliseconds(date_time(1999, 12, 31, 23, 59, 59), 990), null_value()},
        });
    ASSERT_EQ(tables.size(), 2u);
    for (const auto& table : tables) {
        ASSERT_EQ(table.size(), 2u);
        EXPECT_EQ(table[0][1], u"102030405060.654321");
        EXPECT_EQ(table[1][1], u"-999999999999.999999");
    }
    EXPECT_EQ(tables[0], tables[1]);   // statements and bulk load agree cell by cell
    for (const bool fast_load : {false, true}) {
        const std::u16string table_id = std::u16string(u"[dbo].[Exact ")
                                        + (fast_load ? u"bulk" : u"sql") + u"]";
        // The milliseconds are compared by the server, as the cells print whole seconds.
        EXPECT_EQ(rows_of(*database, u"SELECT COUNT(*) FROM " + table_id
                                         + u" WHERE [Stamp] = '20240229 13:05:09.120'"
                                           u" OR [Stamp] = '19991231 23:59:59.990'"),
                  (std::vector<std::vector<std::u16string>>{{u"2"}}))
            << (fast_load ? "bulk" : "statements");
        const std::unique_ptr<udb_recordset> read = database->query(
            u"SELECT [Blob] FROM " + table_id + u" WHERE [ID] = 1");
        read->reset();
        ASSERT_NE(read->get_item(), nullptr);
        BYTE* bytes = nullptr;
        const std::size_t length = (*read->get_item())[0].get_bytes(&bytes);
        ASSERT_EQ(length, blob.size()) << (fast_load ? "bulk" : "statements");
        EXPECT_TRUE(std::equal(blob.begin(), blob.end(), bytes));
    }
}

// Jet never counts NULLs as duplicates in a unique index; no row may be refused for one.
TEST_F(MssValues, UniqueIndexOverANullableColumnTakesSeveralNulls) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_unique_nulls");
    const std::vector<column_spec> columns = {
        {u"ID", VT_I4, 4, true, 0, ole_variant()},
        {u"Code", VT_I4, 4, false, 0, ole_variant()},
    };
    udb_indexes indexes;
    udb_index unique;
    unique.name = u"ByCode";
    unique.b_unique = true;
    unique.columns = {u"Code"};
    indexes.add(unique);
    const auto tables = load_both_ways(*database, u"Leader", columns,
                                       {
                                           {ole_variant(1), null_value()},
                                           {ole_variant(2), ole_variant(5)},
                                           {ole_variant(3), null_value()},
                                           {ole_variant(4), null_value()},
                                       },
                                       indexes);
    for (const auto& table : tables) {
        EXPECT_EQ(table, (std::vector<std::vector<std::u16string>>{
                             {u"1", u"NULL"}, {u"2", u"5"}, {u"3", u"NULL"}, {u"4", u"NULL"}}));
    }
    for (const char16_t* name : {u"Leader sql", u"Leader bulk"}) {
        const auto statistics = rows_of(*database, u"EXEC sp_statistics @table_name = N'"
                                                       + std::u16string(name) + u"'");
        const bool b_found = std::any_of(
            statistics.begin(), statistics.end(), [](const std::vector<std::u16string>& row) {
                return row.size() > 5 && row[5] == u"ByCode" && row[3] == u"0";
            });
        EXPECT_TRUE(b_found) << "the index is kept unique (filtered)";
    }
}

TEST_F(MssValues, RefusedFinalCommitLeavesNoIdentityInsertBehind) {
    // The second table's kept identity values need IDENTITY_INSERT, which a session grants one
    // table at a time: it must have been switched off for the first, refused table.
    std::unique_ptr<mss_database> database = create_database(u"vantrel_identity_after_failure");
    connect(true);
    const std::vector<column_spec> columns = {
        {u"ID", VT_I4, 4, true, 0, ole_variant()},
        {u"Code", VT_I4, 4, true, 0, ole_variant()},
    };
    udb_schema schema = schema_of(columns);
    schema.find_field(u"ID").b_autoincrement = true;
    udb_indexes indexes;
    udb_index unique;
    unique.name = u"ByCode";
    unique.b_unique = true;
    unique.columns = {u"Code"};
    indexes.add(unique);
    {
        std::unique_ptr<udb_recordset> refused = database->create_table(u"Refused", schema,
                                                                        indexes);
        refused->append_record(*record_of(columns, {ole_variant(1), ole_variant(7)}));
        refused->append_record(*record_of(columns, {ole_variant(2), ole_variant(7)}));
        EXPECT_ANY_THROW(static_cast<mss_table&>(*refused).finish_load());
    }
    {
        std::unique_ptr<udb_recordset> next = database->create_table(u"Next", schema, indexes);
        next->append_record(*record_of(columns, {ole_variant(5), ole_variant(1)}));
        static_cast<mss_table&>(*next).finish_load();
    }
    EXPECT_EQ(rows_of(*database, u"SELECT [ID], [Code] FROM [dbo].[Next]"),
              (std::vector<std::vector<std::u16string>>{{u"5", u"1"}}));
}

namespace {

// Each row's value of column `column_idx`, typed as the server returned it.
std::vector<ole_variant> typed_column(mss_database& database, const std::u16string& sql,
                                      std::size_t column_idx) {
    std::vector<ole_variant> values;
    std::unique_ptr<udb_recordset> result = database.query(sql);
    for (result->reset(); !result->is_eof(); result->next()) {
        const udb_record* row = result->get_item();
        if (row == nullptr) break;
        values.push_back((*row)[column_idx]);
    }
    return values;
}

}   // namespace

// 15 significant digits turned 10.000000000000009 into 10.00000000000001 on the statement path
// and 7 cut singles; the largest double and subnormals were clamped. Bits must arrive.
TEST_F(MssValues, DoublesAndSinglesArriveBitForBitOnBothPaths) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_floats");
    const std::vector<column_spec> columns = {
        {u"ID", VT_I4, 4, true, 0, ole_variant()},
        {u"D", VT_R8, 8, false, 0, ole_variant()},
        {u"S", VT_R4, 4, false, 0, ole_variant()},
    };
    const std::vector<double> doubles = {10.000000000000009,
                                         0.1,
                                         1.0 / 3.0,
                                         123456789012345678.0,
                                         -2.2250738585072014e-308,
                                         1.7976931348623157e308,
                                         -1.7976931348623157e308,
                                         4.9406564584124654e-324,
                                         -1.2345678901234567e-310,
                                         2.2250738585072009e-308,
                                         9007199254740993.0,
                                         5e-300};
    const std::vector<float> singles = {0.1f,     16777215.0f,    3.4028235e38f, -1.17549435e-38f,
                                        1.4e-45f, -5.877472e-39f, 0.33333334f,   1.0000001f,
                                        7.0e-10f, 1e30f,          -2.5f,         65504.0f};
    std::vector<std::vector<ole_variant>> rows;
    for (std::size_t row_idx = 0; row_idx < doubles.size(); ++row_idx) {
        rows.push_back({ole_variant(int(row_idx)), ole_variant(doubles[row_idx]),
                        ole_variant(singles[row_idx])});
    }
    load_both_ways(*database, u"Floats", columns, rows);
    for (const char16_t* table : {u"Floats sql", u"Floats bulk"}) {
        SCOPED_TRACE(tk_utf16_to_utf8(table));
        const std::u16string select = u"SELECT [ID], [D], [S] FROM [dbo].[" + std::u16string(table)
                                      + u"] ORDER BY [ID]";
        const std::vector<ole_variant> read_doubles = typed_column(*database, select, 1);
        const std::vector<ole_variant> read_singles = typed_column(*database, select, 2);
        ASSERT_EQ(read_doubles.size(), doubles.size());
        ASSERT_EQ(read_singles.size(), singles.size());
        for (std::size_t row_idx = 0; row_idx < doubles.size(); ++row_idx) {
            EXPECT_EQ(std::bit_cast<std::uint64_t>(read_doubles[row_idx].to_double()),
                      std::bit_cast<std::uint64_t>(doubles[row_idx]))
                << doubles[row_idx];
            EXPECT_EQ(std::bit_cast<std::uint32_t>(float(read_singles[row_idx].to_double())),
                      std::bit_cast<std::uint32_t>(singles[row_idx]))
                << singles[row_idx];
        }
    }
}

// The contents of an Access file are data: text that mentions a GUID, hostile text and
// binary values with quotes, and GUIDs (typed, from replication-ID columns) all read back
// exactly, by statements and by bulk load alike.
TEST_F(MssValues, HostileTextBinaryAndGuidsReadBackEqual) {
    std::unique_ptr<mss_database> database = create_database(u"vantrel_hostile");
    udb_custom_conversion registry;
    registry.add_rule(std::make_unique<mss_guid_rule>());
    const std::vector<column_spec> columns = {
        {u"ID", VT_I4, 4, true, 0, ole_variant()},
        {u"T", VT_BSTR, 0, false, 0, ole_variant()},
        {u"B", VT_BLOB, 0, false, 0, ole_variant()},
        {u"G", VT_BLOB, 16, false, 1, ole_variant()},
    };
    const std::u16string pieces[] = {u"'",
                                     u"]",
                                     u"[",
                                     u"--",
                                     u";",
                                     u"\U0001F600",
                                     u"N'",
                                     u"see guid {'); DROP TABLE [Orders]; --xxxxxxxxxx tail",
                                     u"Read the install guide first {see https://x.example/docs}",
                                     u"\u00C4rger",
                                     u"/*",
                                     u"{guid {"};
    // The table the hostile text names must outlive the load.
    database->create_table(u"Orders", schema_of({columns[0]}), udb_indexes());
    std::mt19937 random(1208);
    std::vector<std::vector<ole_variant>> rows;
    std::vector<std::u16string> texts;
    std::vector<std::u16string> guids;
    for (int row_idx = 0; row_idx < 60; ++row_idx) {
        std::u16string text = u"x";
        for (int piece_idx = 0; piece_idx < 6; ++piece_idx) text += pieces[random() % 12];
        std::vector<BYTE> bytes = {BYTE('\''), BYTE(random()), 0, BYTE(']')};
        GUID guid{std::uint32_t(random()), std::uint16_t(random()), std::uint16_t(random()), {}};
        for (std::uint8_t& byte : guid.Data4) byte = std::uint8_t(random());
        texts.push_back(text);
        guids.push_back(guid_to_wstring(guid));
        rows.push_back({ole_variant(row_idx), ole_variant(text),
                        ole_variant(bytes.size(), bytes.data()), ole_variant(guid)});
    }
    const auto tables = load_both_ways(*database, u"Hostile", columns, rows);
    ASSERT_EQ(tables.size(), 2u);
    for (const auto& table : tables) {
        ASSERT_EQ(table.size(), rows.size());
        for (std::size_t row_idx = 0; row_idx < rows.size(); ++row_idx) {
            EXPECT_EQ(table[row_idx][1], texts[row_idx]);
            EXPECT_EQ(table[row_idx][2], rows[row_idx][2].to_wstring());
            EXPECT_EQ(table[row_idx][3], guids[row_idx]);
        }
    }
    EXPECT_EQ(rows_of(*database, u"SELECT COUNT(*) FROM [dbo].[Orders]"),
              (std::vector<std::vector<std::u16string>>{{u"0"}}));
}
