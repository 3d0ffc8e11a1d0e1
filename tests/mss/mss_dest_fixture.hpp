#pragma once
// mss_dest_fixture.hpp - a GoogleTest fixture that connects the one mss_engine to the test
// server and gives each test a database of its own, dropped afterwards. Tests skip when no
// server is available (no fixture double and no VANTREL_TEST_MSSQL).

#include "mss/mss_db.hpp"
#include "mss/mss_engi.hpp"
#include "mss/mss_server.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// The primary key "PrimaryKey" over one column, as the source gives it.
udb_indexes mss_key_on(const std::u16string& column);

class mss_dest_test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Connects (again) with the login of the test server; the fast-load wish decides the path.
    void connect(bool fast_load);
    void drop_database(const std::u16string& name);
    // A new database of this test's own, opened.
    std::unique_ptr<mss_database> create_database(const std::u16string& stem);
    // Every row of a statement's result as text cells ("NULL" for NULL), rows in order.
    std::vector<std::vector<std::u16string>> rows_of(mss_database& database,
                                                     const std::u16string& sql);

    mss_test_server server;
    std::unique_ptr<mss_engine> engine;
    std::vector<std::u16string> created_databases;
};
