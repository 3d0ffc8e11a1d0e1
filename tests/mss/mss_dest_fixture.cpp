// mss_dest_fixture.cpp - connection, private databases and result reading for the
// destination tests.

#include "mss/mss_dest_fixture.hpp"

#include "mss/odb_exce.hpp"
#include "tk/tk_exce.hpp"

void mss_dest_test::SetUp() {
    server = mss_shared_server();
    if (!server.is_available())
        GTEST_SKIP() << "no SQL Server: no fixture double, no VANTREL_TEST_MSSQL";
    engine = std::make_unique<mss_engine>(true);
    connect(true);
}

void mss_dest_test::TearDown() {
    if (!engine) return;
    for (const std::u16string& name : created_databases) drop_database(name);
    engine.reset();
}

void mss_dest_test::drop_database(const std::u16string& name) {
    try {
        engine->delete_db(name);
    } catch (const tk_exception& failure) {
        ADD_FAILURE() << "could not drop a test database: " << failure.what();
    }
}

void mss_dest_test::connect(bool fast_load) {
    engine->connect(server.host, server.user, server.password, fast_load);
}

udb_indexes mss_key_on(const std::u16string& column) {
    udb_indexes indexes;
    udb_index key;
    key.name = u"PrimaryKey";
    key.b_primary = true;
    key.b_unique = true;
    key.columns = {column};
    indexes.add(key);
    return indexes;
}

std::unique_ptr<mss_database> mss_dest_test::create_database(const std::u16string& stem) {
    const std::u16string name = mss_unique_db_name(stem);
    std::unique_ptr<udb_database> created = engine->create_db(name);
    created_databases.push_back(name);
    return std::unique_ptr<mss_database>(static_cast<mss_database*>(created.release()));
}

std::vector<std::vector<std::u16string>> mss_dest_test::rows_of(mss_database& database,
                                                                const std::u16string& sql) {
    std::vector<std::vector<std::u16string>> rows;
    std::unique_ptr<udb_recordset> result = database.query(sql);
    for (result->reset(); !result->is_eof(); result->next()) {
        const udb_record* row = result->get_item();
        if (row == nullptr) break;
        std::vector<std::u16string> cells;
        for (std::size_t column_idx = 0; column_idx < row->size(); ++column_idx) {
            const udb_field& cell = (*row)[column_idx];
            cells.push_back(cell.type() == VT_NULL ? u"NULL" : cell.to_wstring());
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}
