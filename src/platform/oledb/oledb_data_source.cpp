// oledb_data_source.cpp - connection properties to a db-lib login.

#include "platform/oledb/oledb_data_source.hpp"

#include "platform/oledb/oledb_session.hpp"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int DEFAULT_LOGIN_TIMEOUT_SECONDS = 15;

std::string lower_ascii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return text;
}

std::string first_of(const oledb_conn_props& props, std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        if (auto value = props.get(key)) return *value;
    }
    return "";
}

bool is_true(const std::string& value) {
    const std::string lowered = lower_ascii(value);
    return lowered == "true" || lowered == "yes" || lowered == "sspi" || lowered == "1";
}

}   // namespace

oledb_data_source::~oledb_data_source() = default;

std::string oledb_data_source::server_for_dblib(const std::string& data_source) {
    std::string server = data_source;
    if (lower_ascii(server.substr(0, 4)) == "tcp:") server.erase(0, 4);
    const std::string lowered = lower_ascii(server);
    if (server.empty() || server == "." || lowered == "(local)" || lowered == "(localdb)") {
        return "localhost";
    }
    const std::size_t comma = server.find(',');
    if (comma != std::string::npos) server[comma] = ':';
    return server;
}

oledb_login_params oledb_data_source::login_params(const oledb_conn_props& props) {
    oledb_login_params login;
    login.server = server_for_dblib(first_of(props, {"Data Source", "Server", "Address"}));
    login.user = first_of(props, {"User ID", "UID", "User"});
    login.password = first_of(props, {"Password", "PWD"});
    login.database = first_of(props, {"Initial Catalog", "Database"});
    login.b_integrated = is_true(first_of(props, {"Integrated Security", "Trusted_Connection"}));
    login.b_encrypt = is_true(first_of(props, {"Encrypt", "Use Encryption for Data"}));
    login.login_timeout_seconds = DEFAULT_LOGIN_TIMEOUT_SECONDS;
    const std::string timeout = first_of(props, {"Connect Timeout", "Timeout"});
    if (!timeout.empty()) {
        const int seconds = std::atoi(timeout.c_str());
        if (seconds > 0) login.login_timeout_seconds = seconds;
    }
    // Seconds db-lib waits for each answer; 0 (or none given) waits without limit.
    const std::string read_timeout = first_of(props, {"Command Timeout"});
    if (!read_timeout.empty()) {
        login.query_timeout_seconds = std::max(0, std::atoi(read_timeout.c_str()));
    }
    return login;
}

oledb_hresult oledb_data_source::create(const std::string& conn_string,
                                        std::unique_ptr<oledb_data_source>& out) {
    oledb_conn_props props;
    const oledb_hresult parsed = oledb_parse_conn_string(conn_string, props);
    if (oledb_failed(parsed)) return parsed;
    std::unique_ptr<oledb_data_source> source(new oledb_data_source());
    source->params = login_params(props);
    out = std::move(source);
    return OLEDB_S_OK;
}

oledb_hresult oledb_data_source::initialize() {
    if (own_session) return oledb_fail(DB_E_ALREADYINITIALIZED, "Already initialized.");
    return oledb_session::open(params, own_session);
}

oledb_hresult oledb_data_source::enable_fast_load(bool) {
    if (!own_session) return oledb_fail(OLEDB_E_UNEXPECTED, "The data source is not initialized.");
    return OLEDB_S_OK;
}

oledb_hresult oledb_data_source::create_session(std::unique_ptr<oledb_session>& out) const {
    if (!own_session) return oledb_fail(OLEDB_E_UNEXPECTED, "The data source is not initialized.");
    return oledb_session::open(params, out);
}
