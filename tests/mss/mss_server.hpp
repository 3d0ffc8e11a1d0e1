#pragma once
// mss_server.hpp - where the destination tests find a SQL Server: the server named by
// VANTREL_TEST_MSSQL ("host[,port];user;password") when set, else the mssql-double of the
// CTest fixture. A test that needs a server with a particular behaviour (a version text, a
// connection dropped after N bulk rows, a second login) starts a private double of its own.

#include <string>
#include <vector>

struct mss_test_server {
    std::u16string host;   // "host,port" as a Data Source
    std::u16string user;
    std::u16string password;
    bool b_real = false;   // a real SQL Server, not the double
    bool is_available() const { return !host.empty(); }
};

// The server of this run; not available when neither the variable nor the fixture is there.
mss_test_server mss_shared_server();

// A database name of this process's own, so tests running at once never share one.
std::u16string mss_unique_db_name(const std::u16string& stem);

// An mssql-double started for one test and stopped by the destructor.
class mss_private_double {
public:
    explicit mss_private_double(const std::vector<std::string>& options);
    ~mss_private_double();
    mss_private_double(const mss_private_double&) = delete;
    mss_private_double& operator=(const mss_private_double&) = delete;

    bool is_running() const { return port != 0; }
    mss_test_server server() const;

private:
    int pid = -1;
    int port = 0;
    std::string data_dir;
};
