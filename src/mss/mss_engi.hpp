#pragma once
// mss_engi.hpp - mss_engine, the one way to a SQL Server instance: connection strings, the
// connection test, the server's version code, databases (exists, create, drop, open) and full
// table names under the working owner. A process-wide singleton; every operation opens its
// own data source. Version codes: 6 SQL Server 2012 and later, 5 2008, 4 2005, 3 2000, 2 7.0,
// 1 anything else (a text we cannot read, taken to be a current server).

#include "tk/tk_singl.hpp"
#include "udb/udb_db.hpp"

#include <cstdint>
#include <memory>
#include <string>

class oledb_data_source;
class mss_database;

inline constexpr std::uint32_t MSS_OPEN_READ_ONLY = 1;
inline constexpr std::uint32_t MSS_OPEN_CREATE = 2;
inline constexpr std::uint32_t MSS_OPEN_APPEND = 8;
// How long one answer of the server (a batch of rows, a statement) may take before the
// connection counts as lost: generous, as a large batch on a busy server is slow, but finite,
// as a server that stops answering would otherwise keep the run waiting forever.
inline constexpr int MSS_DEFAULT_READ_TIMEOUT_SECONDS = 600;

// What a server of a version code can take. bigint, cascading foreign keys: 2000 and later;
// date, time and filtered indexes: 2008 and later.
bool mss_has_bigint(int version_code);
bool mss_has_key_actions(int version_code);
bool mss_has_date_types(int version_code);
bool mss_has_filtered_indexes(int version_code);

class mss_engine : public udb_engine, public tk_singl<mss_engine> {
public:
    explicit mss_engine(bool com_ready);
    ~mss_engine() override;

    void set_as_dbo(bool as_dbo) { b_as_dbo = as_dbo; }
    bool is_as_dbo() const { return b_as_dbo; }
    // TLS for every connection (FreeTDS "encryption = require").
    void set_encryption(bool encrypt) { b_encrypt = encrypt; }
    // Seconds to wait for each answer; 0 waits without limit. Set before connecting.
    void set_read_timeout(int seconds) { read_timeout_seconds = seconds; }

    // Windows authentication (host only) or a SQL Server login. Throws odb_exception when
    // the server refuses or cannot be reached.
    void connect(const std::u16string& host, bool fast_load);
    void connect(const std::u16string& host, const std::u16string& user,
                 const std::u16string& password, bool fast_load);

    std::unique_ptr<oledb_data_source> test_connection(const std::u16string& conn_string) const;
    int get_version(const oledb_data_source& data_source);
    bool enable_fast_load(oledb_data_source& data_source, bool wish);

    bool is_db_exist(const std::u16string& name) override;
    std::unique_ptr<udb_database> create_db(const std::u16string& name) override;
    void delete_db(const std::u16string& name) override;
    std::unique_ptr<udb_database> open_db(const std::u16string& name, std::uint32_t mode,
                                          const std::u16string& password) override;
    std::unique_ptr<mss_database> open_db(const std::u16string& name, std::uint32_t mode);

    std::u16string get_safe_tname(const std::u16string& name) const;
    // dbo for Windows authentication, with as-dbo, or for the login sa; else the login name.
    std::u16string working_owner() const;

    // The connection string of the stored login, with `database` as catalog when not empty.
    std::u16string conn_string(const std::u16string& database) const;
    // The same with the password replaced, for traces.
    std::u16string masked_conn_string(const std::u16string& database) const;

    static int version_code_of(const std::u16string& version_text);

    int version_code() const { return server_version; }
    bool is_fast_load() const { return b_fast_load; }
    bool is_connected() const { return b_connected; }
    const std::u16string& user_name() const { return user; }

private:
    std::u16string build_conn_string(const std::u16string& database,
                                     const std::u16string& shown_password) const;
    void finish_connect(const std::u16string& conn, bool fast_load);
    void require_connection(int fault) const;   // fault: the FAULT_ code to report
    std::u16string timeout_property() const;

    int server_version = 1;
    std::u16string host;
    std::u16string user;
    std::u16string password;
    bool b_connected = false;
    bool b_integrated = false;
    bool b_fast_load = false;
    bool b_as_dbo = false;
    bool b_encrypt = false;
    int read_timeout_seconds = MSS_DEFAULT_READ_TIMEOUT_SECONDS;
};
