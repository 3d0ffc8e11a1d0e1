// Value texts of the provider stand-in, against forms written by hand.

#include "platform/oledb/oledb_data_source.hpp"
#include "platform/oledb/oledb_text_format.hpp"

#include <gtest/gtest.h>

#include <limits>

TEST(OledbTextFormat, GuidFirstGroupsAreLittleEndianOnTheWire) {
    // {00112233-4455-6677-8899-AABBCCDDEEFF} as SQL Server sends it.
    const std::array<std::uint8_t, 16> wire{0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                                            0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(oledb_format_guid(wire), "{00112233-4455-6677-8899-AABBCCDDEEFF}");
}

TEST(OledbTextFormat, MoneyKeepsFourDecimalsAndItsSign) {
    EXPECT_EQ(oledb_format_money(12345), "1.2345");
    EXPECT_EQ(oledb_format_money(-5), "-0.0005");
    EXPECT_EQ(oledb_format_money(std::numeric_limits<std::int64_t>::min()),
              "-922337203685477.5808");
}

TEST(OledbTextFormat, TimestampsAndDoubles) {
    EXPECT_EQ(oledb_format_timestamp(1899, 12, 30, 13, 5, 9, 0), "1899-12-30 13:05:09");
    EXPECT_EQ(oledb_format_timestamp(2024, 2, 29, 0, 0, 0, 7), "2024-02-29 00:00:00.007");
    EXPECT_EQ(oledb_format_double(0.1), "0.1");
    EXPECT_EQ(oledb_format_double(1.5e300), "1.5e+300");
}

TEST(OledbDataSource, DataSourceFormsBecomeDblibServerNames) {
    EXPECT_EQ(oledb_data_source::server_for_dblib(""), "localhost");
    EXPECT_EQ(oledb_data_source::server_for_dblib("(local)"), "localhost");
    EXPECT_EQ(oledb_data_source::server_for_dblib("."), "localhost");
    EXPECT_EQ(oledb_data_source::server_for_dblib("db1"), "db1");
    EXPECT_EQ(oledb_data_source::server_for_dblib("db1,1533"), "db1:1533");
    EXPECT_EQ(oledb_data_source::server_for_dblib("tcp:db1,1533"), "db1:1533");
    EXPECT_EQ(oledb_data_source::server_for_dblib("db1\\SQLEXPRESS"), "db1\\SQLEXPRESS");
}

TEST(OledbDataSource, LoginTakesEveryKeySpelling) {
    oledb_conn_props props;
    ASSERT_EQ(oledb_parse_conn_string("Server=h;UID=DOM\\joe;PWD=\"p;w\";Database=d;"
                                      "Integrated Security=SSPI;Encrypt=yes;Connect Timeout=3",
                                      props),
              OLEDB_S_OK);
    const oledb_login_params login = oledb_data_source::login_params(props);
    EXPECT_EQ(login.server, "h");
    EXPECT_EQ(login.user, "DOM\\joe");
    EXPECT_EQ(login.password, "p;w");
    EXPECT_EQ(login.database, "d");
    EXPECT_TRUE(login.b_integrated);
    EXPECT_TRUE(login.b_encrypt);
    EXPECT_EQ(login.login_timeout_seconds, 3);
}
