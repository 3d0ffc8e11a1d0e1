#pragma once
// oledb_data_source.hpp - the data source (IDataInitialize::GetDataSource, IDBInitialize,
// IDBProperties, IDBCreateSession). Keys read from the connection string, case-blind:
//   Data Source / Server / Address  empty, ".", "(local)": this machine; "host"; "host,port";
//                                   "host\instance" (found through SQL Browser); or a server
//                                   name from freetds.conf
//   User ID / UID, Password / PWD    SQL Server login (DOMAIN\user logs in by NTLM)
//   Initial Catalog / Database       the database the sessions start in
//   Integrated Security              "SSPI" or true: Kerberos with the user's ticket
//   Encrypt / Use Encryption for Data  true/yes: TLS required
//   Connect Timeout                  seconds (default 15)
// Initialize logs in once to check host, login and catalog; each session is a login of its own.

#include "platform/oledb/oledb_conn_string.hpp"
#include "platform/oledb/oledb_dblib.hpp"

#include <memory>
#include <string>

class oledb_session;

class oledb_data_source {
public:
    // GetDataSource: parses the string; E_INVALIDARG for a malformed one.
    static oledb_hresult create(const std::string& conn_string,
                                std::unique_ptr<oledb_data_source>& out);
    ~oledb_data_source();

    // IDBInitialize::Initialize. Fails for a wrong host, login or catalog.
    oledb_hresult initialize();
    bool is_initialized() const { return own_session != nullptr; }
    // What the connection string asks for (server, login, database, timeouts).
    const oledb_login_params& login() const { return params; }
    // SSPROP_ENABLEFASTLOAD: every login of ours can bulk load (BCP_SETL), so this only
    // answers whether the data source is ready for it.
    oledb_hresult enable_fast_load(bool b_enable);
    // IDBCreateSession::CreateSession.
    oledb_hresult create_session(std::unique_ptr<oledb_session>& out) const;
    // The data source's own session (a command made on the data source uses it).
    oledb_session& session() const { return *own_session; }

    // The login the string describes; exposed for tests of the key handling.
    static oledb_login_params login_params(const oledb_conn_props& props);
    // "host,port" -> "host:port", the local-server spellings -> "localhost".
    static std::string server_for_dblib(const std::string& data_source);

private:
    oledb_data_source() = default;

    oledb_login_params params;
    std::unique_ptr<oledb_session> own_session;
};
