// Which provider code each server or db-lib number becomes. The expected codes are the
// OLE DB result codes whose descriptions match the server messages (oledb.h / SQL Server
// message texts); a wrong entry would show the user the wrong message.

#include "platform/oledb/oledb_error_map.hpp"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

std::uint32_t code_of(int message_number) {
    return static_cast<std::uint32_t>(oledb_hresult_from_server(message_number));
}

std::uint32_t dblib_code_of(int dblib_number) {
    return static_cast<std::uint32_t>(oledb_hresult_from_dblib(dblib_number));
}

}   // namespace

TEST(OledbErrorMap, ServerMessagesReachTheirProviderCodes) {
    EXPECT_EQ(code_of(208), 0x80040E37u);     // Invalid object name
    EXPECT_EQ(code_of(2714), 0x80040E3Fu);    // object already exists
    EXPECT_EQ(code_of(18456), 0x80040E4Du);   // login failed
    for (int integrity : {547, 2627, 2601, 515}) EXPECT_EQ(code_of(integrity), 0x80040E2Fu);
    for (int overflow : {8152, 2628, 220, 8115}) EXPECT_EQ(code_of(overflow), 0x80040E57u);
    for (int conversion : {245, 241}) EXPECT_EQ(code_of(conversion), 0x80040E07u);
    EXPECT_EQ(code_of(262), 0x80040E09u);    // CREATE DATABASE permission denied
    EXPECT_EQ(code_of(1801), 0x80040E17u);   // database already exists
}

TEST(OledbErrorMap, UnlistedStatementErrorsAreErrorsInCommand) {
    EXPECT_EQ(code_of(102), 0x80040E14u);     // Incorrect syntax near
    EXPECT_EQ(code_of(50000), 0x80040E14u);   // RAISERROR with a user number
    EXPECT_EQ(code_of(20018), 0x80040E14u);   // a server number inside db-lib's range
}

TEST(OledbErrorMap, ConnectionFailuresAreUnspecified) {
    EXPECT_EQ(dblib_code_of(20009), 0x80004005u);   // server unavailable
    EXPECT_EQ(dblib_code_of(20012), 0x80004005u);   // name not in freetds.conf
    EXPECT_EQ(code_of(4060), 0x80004005u);          // cannot open the requested database
    EXPECT_TRUE(oledb_is_connection_failure(20006));
    EXPECT_TRUE(oledb_is_connection_failure(20047));
    EXPECT_FALSE(oledb_is_connection_failure(20049));   // a conversion, the link is fine
    EXPECT_EQ(dblib_code_of(20049), 0x80040E57u);
}
