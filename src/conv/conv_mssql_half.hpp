// conv_mssql_half.hpp - mssql_converter_impl, the SQL Server half of the converter: the
// server, the login, the authentication kind, and the SQL Server engine the converter owns.
#pragma once

#include <memory>
#include <string>

#include "conv/conv_engines.hpp"

class udb_profile;

// Set VANTREL_FAST_LOAD=0 to load rows by statements instead of bulk load (a diagnostic).
inline constexpr const char* FAST_LOAD_ENV = "VANTREL_FAST_LOAD";
// Seconds to wait for each answer of the server (0: no limit); wins over the profile's
// [MS SQL Server settings] "read timeout". Without either the engine waits 10 minutes.
inline constexpr const char* READ_TIMEOUT_ENV = "VANTREL_READ_TIMEOUT";

class mssql_converter_impl {
public:
    explicit mssql_converter_impl(std::unique_ptr<conv_mssql_engine> engine);
    virtual ~mssql_converter_impl() = default;

    // Connects with the host alone (Windows authentication) or with the login; the result is
    // the engine's.
    bool connect_mssql_server();

    void set_windows_authentication(bool flag) { b_windows_authentication = flag; }
    bool is_windows_authentication() const { return b_windows_authentication; }
    void set_host(const std::u16string& value) { host = value; }
    void set_user(const std::u16string& value) { user = value; }
    void set_password(const std::u16string& value) { password = value; }
    const std::u16string& get_host() const { return host; }
    const std::u16string& get_user() const { return user; }
    const std::u16string& get_password() const { return password; }

    conv_mssql_engine& mssql_engine() { return *engine; }
    const conv_mssql_engine& mssql_engine() const { return *engine; }
    void set_as_dbo(bool flag);

    bool load_mssql_profile(const udb_profile& profile);
    bool store_mssql_profile(udb_profile& profile) const;

    // The fast-load wish: on unless the diagnostic variable says "0".
    static bool is_fast_load_wanted();

protected:
    // Hands the engine the environment's or the profile's read timeout; a value that is not
    // a number of seconds ends the run before it connects.
    void apply_read_timeout();

    bool b_windows_authentication = true;
    std::unique_ptr<conv_mssql_engine> engine;
    std::u16string host;
    std::u16string user;
    std::u16string password;
    std::u16string read_timeout;   // seconds as the profile gives them; empty: the default
};
