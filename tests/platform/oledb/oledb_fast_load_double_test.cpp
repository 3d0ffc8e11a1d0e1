// Bulk load against a private mssql-double: a batch's rows must leave while the batch is
// still being sent. db-lib keeps its socket corked until a message's last packet, and to a
// local server a whole batch then waited in the kernel until the commit, so the server could
// store nothing while the client encoded.

#include "mss/mss_server.hpp"
#include "platform/oledb/oledb_dblib.hpp"
#include "platform/oledb/oledb_fast_load.hpp"
#include "platform/oledb/oledb_session.hpp"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#define MSDBLIB 1
#include <sybdb.h>

namespace {

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

std::unique_ptr<oledb_session> login(const mss_test_server& target) {
    oledb_login_params params;
    params.server = narrow(target.host);
    params.server[params.server.find(',')] = ':';
    params.user = narrow(target.user);
    params.password = narrow(target.password);
    std::unique_ptr<oledb_session> session;
    EXPECT_EQ(oledb_session::open(params, session), OLEDB_S_OK);
    return session;
}

}   // namespace

// db-lib leaves the socket corked after every message, so each batch must uncork it again.
// Checked on the socket itself: the kernel sends corked data after 200 ms anyway, so what
// the server sees differs only in time.
TEST(OledbFastLoad, EveryBatchSendsItsPacketsAsTheyFill) {
    mss_private_double double_server({});
    if (!double_server.is_running()) GTEST_SKIP() << "mssql-double is not built";
    std::unique_ptr<oledb_session> session = login(double_server.server());
    ASSERT_NE(session, nullptr);
    ASSERT_EQ(
        session->execute("CREATE TABLE [T] ([ID] int NOT NULL, [V] nvarchar(100) NULL)", nullptr),
        OLEDB_S_OK);
    std::unique_ptr<oledb_fast_load> load;
    ASSERT_EQ(session->open_fast_load("[T]", load), OLEDB_S_OK);
    const int socket = dbiordesc(session->handle());
    ASSERT_GE(socket, 0);
    const auto corked = [socket] {
        int value = -1;
        socklen_t size = sizeof value;
        EXPECT_EQ(::getsockopt(socket, IPPROTO_TCP, TCP_CORK, &value, &size), 0);
        return value != 0;
    };
    // About 30 KB a batch: a few packets, less than one loopback segment holds back.
    const std::u16string text(60, u'v');
    for (int batch = 0; batch < 3; ++batch) {
        for (int row = 1; row <= 200; ++row) {
            ASSERT_EQ(load->insert_row({std::int64_t(batch * 200 + row), oledb_wide_text{text}}),
                      OLEDB_S_OK);
            ASSERT_FALSE(corked()) << "batch " << batch << ", row " << row;
        }
        ASSERT_EQ(load->commit(batch == 2), OLEDB_S_OK);
    }
    EXPECT_EQ(load->rows_committed(), 600);
}
