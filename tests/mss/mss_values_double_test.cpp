// Values that must arrive unchanged by both load paths: NULL in nullable columns that have a
// default, decimals with more digits than a double holds, dates with milliseconds, and long
// binary values. Each table is loaded once by statements and once by bulk load.

#include "mss/mss_dest_fixture.hpp"
#include "mss/mss_test_values.hpp"

#include "mss/mss_tab.hpp"
#include "tk/tk_utf.hpp"

#include <algorithm>

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
        record->append(std::make_unique<udb_field>(columns[column_idx].name, 0,
                                                   values[column_idx], false, false));
    }
    return record;
}

ole_variant with_milliseconds(ole_variant value, int milliseconds) {
    SYSTEMTIME time = value.date_value;
    time.wMilliseconds = static_cast<WORD>(milliseconds);
    return ole_variant(time);
}

}  // namespace

class MssValues : public mss_dest_test {
protected:
    // Loads the rows into "<stem> sql" and "<stem> bulk" and returns each table's cells.
    std::vector<std::vector<std::vector<std::u16string>>> load_both_ways(
        mss_database& database, const std::u16string& stem,
        const std::vector<column_spec>& columns,
        const std::vector<std::vector<ole_variant>>& rows,
        const udb_indexes& indexes = udb_indexes()) {
        std::vector<std::vector<std::vector<std::u16string>>> tables;
        for (const bool fast_load : {false, true}) {
            connect(fast_load);
            const std::u16string name = stem + (fast_load ? u" bulk" : u" sql");
            {
                std::unique_ptr<udb_recordset> table =
                    database.create_table(name, schema_of(columns), indexes);
                for (const auto& row : rows) table->append_record(*record_of(columns, row));
                static_cast<mss_table&>(*table).finish_load();
            }
            std::u16string select = u"SELECT ";
            for (std::size_t column_idx = 0; column_idx < columns.size(); ++column_idx) {
                select += (column_idx > 0 ? u", [" : u"[")
                          + std::u16string(columns[column_idx].name) + u"]";
            }
            tables.push_back(rows_of(database, select + u" FROM [dbo].[" + name
                                                   + u"] ORDER BY [ID]"));
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
    const auto tables = load_both_ways(*database, u"Nulls", columns, {
        {ole_variant(1), null_value(), null_value(), ole_variant(), null_value()},
        {ole_variant(2), ole_variant(0), ole_variant(0.0), ole_variant(short(3)), ole_variant(4)},
    });
    for (const auto& table : tables) {
        ASSERT_EQ(table.size(), 2u);
        // Only the NOT NULL column takes its default for a missing value.
        EXPECT_EQ(table[0], (std::vector<std::u16string>{u"1", u"NULL", u"NULL", u"NULL", u"7"}));
        EXPECT_EQ(table[1], (std::vector<std::u16string>{u"2", u"0", u"0.000000000000000e+00",
                                                         u"3", u"4"}));
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
    const auto tables = load_both_ways(*database, u"Exact", columns, {
        {ole_variant(1), ole_variant::from_string("102030405060.654321", VT_DECIMAL),
         with_milliseconds(date_time(2024, 2, 29, 13, 5, 9), 120), ole_variant(blob.size(),
                                                                               blob.data())},
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
        const std::u16string table_id =
            std::u16string(u"[dbo].[Exact ") + (fast_load ? u"bulk" : u"sql") + u"]";
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
    const auto tables = load_both_ways(*database, u"Leader", columns, {
        {ole_variant(1), null_value()},
        {ole_variant(2), ole_variant(5)},
        {ole_variant(3), null_value()},
        {ole_variant(4), null_value()},
    }, indexes);
    for (const auto& table : tables) {
        EXPECT_EQ(table, (std::vector<std::vector<std::u16string>>{
                             {u"1", u"NULL"}, {u"2", u"5"}, {u"3", u"NULL"}, {u"4", u"NULL"}}));
    }
    for (const char16_t* name : {u"Leader sql", u"Leader bulk"}) {
        const auto statistics = rows_of(*database, u"EXEC sp_statistics @table_name = N'"
                                                       + std::u16string(name) + u"'");
        const bool b_found = std::any_of(statistics.begin(), statistics.end(),
                                         [](const std::vector<std::u16string>& row) {
                                             return row.size() > 5 && row[5] == u"ByCode"
                                                    && row[3] == u"0";
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
        std::unique_ptr<udb_recordset> refused =
            database->create_table(u"Refused", schema, indexes);
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
