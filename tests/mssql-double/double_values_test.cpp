// double_values_test.cpp - values come back as SQL Server returns them: datetime rounded to
// 1/300 s, money to 4 places, float bit for bit, nvarchar as UTF-16 (surrogate pairs
// intact), decimals at their scale, GUIDs in SQL Server's byte order. Raw bytes are
// compared where db-lib hands them over unconverted.
#include "double_client.hpp"

#include <gtest/gtest.h>

#include <cstring>

using double_test::fresh_ansi_database;
using double_test::fresh_database;

namespace {

DBDATETIME datetime_of(const double_test::cell& value) {
    DBDATETIME result{};
    EXPECT_EQ(value.raw.size(), sizeof result);
    if (value.raw.size() == sizeof result) std::memcpy(&result, value.raw.data(), sizeof result);
    return result;
}

}   // namespace

TEST(DoubleDatetime, RoundsToThreeHundredthsOfASecond) {
    auto db = fresh_database("dbl_datetime");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (k int, d datetime)");
    // SQL Server rounds .001 to .000, .002 to .003, .005 to .007 and .999 to the next second.
    db->run("INSERT INTO t (k, d) VALUES (1, '20240229 13:05:09.001'), "
            "(2, '2024-02-29 13:05:09.002'), (3, '2024-02-29T13:05:09.005'), "
            "(4, '20241231 23:59:59.999'), (5, '17530101'), (6, '99991231 23:59:59.997')");
    auto r = db->run("SELECT d FROM t ORDER BY k");
    ASSERT_EQ(r.sets.at(0).rows.size(), 6u);
    const auto& rows = r.sets[0].rows;
    // 2024-02-29 is day 45349 after 1900-01-01; 13:05:09 is 47109 s = 14132700 ticks.
    EXPECT_EQ(datetime_of(rows[0][0]).dtdays, 45349);
    EXPECT_EQ(datetime_of(rows[0][0]).dttime, 14132700);
    EXPECT_EQ(datetime_of(rows[1][0]).dttime, 14132701);
    EXPECT_EQ(datetime_of(rows[2][0]).dttime, 14132702);
    EXPECT_EQ(datetime_of(rows[3][0]).dtdays, 45656);   // 2025-01-01
    EXPECT_EQ(datetime_of(rows[3][0]).dttime, 0);
    EXPECT_EQ(datetime_of(rows[4][0]).dtdays, -53690);   // 1753-01-01
    EXPECT_EQ(datetime_of(rows[5][0]).dttime, 25919999);
    EXPECT_TRUE(db->run("INSERT INTO t (k, d) VALUES (7, '99991231 23:59:59.999')").has_error(242));
}

TEST(DoubleMoney, KeepsFourPlacesRoundingHalfAway) {
    auto db = fresh_ansi_database("dbl_money");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (k int, m money)");
    db->run("INSERT INTO t (k, m) VALUES (1, 12.34565), (2, -0.00005), (3, 922337203685477.5807)");
    auto r = db->run("SELECT m FROM t ORDER BY k");
    ASSERT_EQ(r.sets.at(0).rows.size(), 3u);
    EXPECT_EQ(r.sets[0].rows[0][0].text, "12.3457");
    EXPECT_EQ(r.sets[0].rows[1][0].text, "-0.0001");
    EXPECT_EQ(r.sets[0].rows[2][0].text, "922337203685477.5807");
    EXPECT_TRUE(db->run("INSERT INTO t (k, m) VALUES (4, 922337203685477.5808)").has_error(8115));
}

TEST(DoubleFloat, ReturnsTheSameBits) {
    auto db = fresh_database("dbl_float");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (k int, f float, r real)");
    db->run("INSERT INTO t (k, f, r) VALUES (1, 0.1, 0.1), (2, 1.5E+300, 3.4E+38), "
            "(3, -2.2250738585072014E-308, 1e-45)");
    auto r = db->run("SELECT f, r FROM t ORDER BY k");
    ASSERT_EQ(r.sets.at(0).rows.size(), 3u);
    const double expected_f[] = {0.1, 1.5e300, -2.2250738585072014e-308};
    const float expected_r[] = {0.1f, 3.4e38f, 1e-45f};
    for (int i = 0; i < 3; ++i) {
        double f;
        float single;
        ASSERT_EQ(r.sets[0].rows[i][0].raw.size(), 8u);
        ASSERT_EQ(r.sets[0].rows[i][1].raw.size(), 4u);
        std::memcpy(&f, r.sets[0].rows[i][0].raw.data(), 8);
        std::memcpy(&single, r.sets[0].rows[i][1].raw.data(), 4);
        EXPECT_EQ(f, expected_f[i]);
        EXPECT_EQ(single, expected_r[i]);
    }
}

TEST(DoubleText, KeepsUnicodeAndCodePageText) {
    auto db = fresh_ansi_database("dbl_text");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (k int, n nvarchar(10), v varchar(10), c char(4), x ntext)");
    // U+1F600 is the surrogate pair D83D DE00: two of nvarchar(10)'s ten code units.
    db->run("INSERT INTO t (k, n, v, c, x) VALUES (1, N'a\xF0\x9F\x98\x80\xC3\xBC', "
            "'caf\xC3\xA9', 'ab', N'\xE2\x82\xAC''s')");
    db->run("INSERT INTO t (k, v) VALUES (2, N'\xCE\xA9')");   // no Omega in Windows-1252
    auto r = db->run("SELECT n, v, c, x, DATALENGTH(n), DATALENGTH(c) FROM t ORDER BY k");
    ASSERT_EQ(r.sets.at(0).rows.size(), 2u);
    const auto& row = r.sets[0].rows[0];
    EXPECT_EQ(row[0].text, "a\xF0\x9F\x98\x80\xC3\xBC");
    EXPECT_EQ(row[1].text, "caf\xC3\xA9");
    EXPECT_EQ(row[2].text, "ab  ");   // char pads
    EXPECT_EQ(row[3].text, "\xE2\x82\xAC's");
    EXPECT_EQ(row[4].text, "8");   // 4 UTF-16 code units
    EXPECT_EQ(row[5].text, "4");
    EXPECT_EQ(r.sets[0].rows[1][1].text, "?");
    EXPECT_TRUE(db->run("INSERT INTO t (k, n) VALUES (3, N'123456789\xF0\x9F\x98\x80')")
                    .has_error(2628));   // 11 code units
}

TEST(DoubleExactNumbers, KeepScaleAndReadBackDecimalsAndGuids) {
    auto db = fresh_database("dbl_exact");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (k int, n numeric(38,10), d decimal(5,2), g uniqueidentifier, "
            "b bigint, bit bit)");
    db->run("INSERT INTO t (k, n, d, g, b, bit) VALUES ("
            "1, 1234567890123456789012345678.0123456789, "
            "-1.5, '6F9619FF-8B86-D011-B42D-00C04FC964FF', -9223372036854775808, 5)");
    auto r = db->run("SELECT n, d, g, b, bit FROM t");
    ASSERT_EQ(r.sets.at(0).rows.size(), 1u);
    const auto& row = r.sets[0].rows[0];
    EXPECT_EQ(row[0].text, "1234567890123456789012345678.0123456789");
    EXPECT_EQ(row[1].text, "-1.50");
    EXPECT_EQ(row[2].raw,
              (std::vector<unsigned char>{0xFF, 0x19, 0x96, 0x6F, 0x86, 0x8B, 0x11, 0xD0, 0xB4,
                                          0x2D, 0x00, 0xC0, 0x4F, 0xC9, 0x64, 0xFF}));
    EXPECT_EQ(row[3].text, "-9223372036854775808");
    EXPECT_EQ(row[4].text, "1");   // any non-zero number is bit 1
}

TEST(DoubleDefaults, FillMissingColumnsAsDeclared) {
    auto db = fresh_database("dbl_defaults");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (k int, a int DEFAULT ((0)), s nvarchar(5) DEFAULT (N'x''y'), "
            "d datetime DEFAULT (getdate()), g uniqueidentifier DEFAULT (newid()))");
    db->run("INSERT INTO t (k) VALUES (1)");
    auto r = db->run("SELECT a, s, d, g FROM t");
    ASSERT_EQ(r.sets.at(0).rows.size(), 1u);
    EXPECT_EQ(r.sets[0].rows[0][0].text, "0");
    EXPECT_EQ(r.sets[0].rows[0][1].text, "x'y");
    EXPECT_FALSE(r.sets[0].rows[0][2].b_null);
    EXPECT_EQ(r.sets[0].rows[0][3].raw.size(), 16u);
    auto columns = db->run("SELECT COLUMN_NAME, COLUMN_DEFAULT FROM INFORMATION_SCHEMA.COLUMNS "
                           "WHERE TABLE_NAME = N't' ORDER BY ORDINAL_POSITION");
    ASSERT_EQ(columns.sets.at(0).rows.size(), 5u);
    EXPECT_TRUE(columns.sets[0].rows[0][1].b_null);
    EXPECT_EQ(columns.sets[0].rows[1][1].text, "((0))");
    EXPECT_EQ(columns.sets[0].rows[2][1].text, "(N'x''y')");
    EXPECT_EQ(columns.sets[0].rows[3][1].text, "(getdate())");
    EXPECT_EQ(columns.sets[0].rows[4][1].text, "(newid())");
}
