// mss_engi.cpp - connections, versions, databases and table names of the SQL Server side.
// Connection-string values are quoted when they hold ';', '=' or quotes, so any password
// reaches the server as typed; passwords never reach a trace line.

#include "mss/mss_engi.hpp"

#include "mss/mss_db.hpp"
#include "mss/mss_name.hpp"
#include "mss/odb_cmd.hpp"
#include "mss/odb_exce.hpp"
#include "platform/oledb/oledb_conn_string.hpp"
#include "platform/oledb/oledb_data_source.hpp"
#include "platform/oledb/oledb_rowset.hpp"
#include "platform/oledb/oledb_session.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

#include <chrono>
#include <thread>

namespace {

constexpr const char* MSS_ENGI_SOURCE = "mss_engi";
constexpr int FAULT_CONN_STRING_UNCONNECTED = 120;
constexpr int FAULT_EXISTS_CHECK_UNCONNECTED = 180;
constexpr int FAULT_CREATE_DB_UNCONNECTED = 200;
constexpr int FAULT_DELETE_DB_UNCONNECTED = 212;
constexpr int FAULT_OPEN_DB_UNCONNECTED = 224;

constexpr std::u16string_view VERSION_PREFIX = u"Microsoft SQL Server";
constexpr std::size_t VERSION_WORD_LENGTH = 10;
constexpr const char16_t* HIDDEN_PASSWORD = u"********";
constexpr int DATABASE_IN_USE = 3702;
constexpr int DROP_ATTEMPTS = 20;
constexpr std::chrono::milliseconds DROP_RETRY_PAUSE{100};

// 2012, 2014, ... 2022 and any later year: every version since names itself by its year.
bool is_year_from_2012(const std::u16string& word) {
    if (word.size() < 4) return false;
    int year = 0;
    for (std::size_t char_idx = 0; char_idx < 4; ++char_idx) {
        if (word[char_idx] < u'0' || word[char_idx] > u'9') return false;
        year = year * 10 + (word[char_idx] - u'0');
    }
    return year >= 2012;
}

std::u16string quoted(const std::u16string& value) {
    return tk_utf8_to_utf16(oledb_quote_value(tk_utf16_to_utf8(value)));
}

std::u16string trimmed_spaces(std::u16string text) {
    while (!text.empty() && text.back() == u' ') text.pop_back();
    std::size_t first = 0;
    while (first < text.size() && text[first] == u' ') ++first;
    return text.substr(first);
}

bool starts_with(const std::u16string& text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// What a login tried, for the log: the server and the database, never the password.
std::string login_attempt(const oledb_login_params& login) {
    return "logging in to " + (login.server.empty() ? std::string("the server") : login.server)
           + (login.database.empty() ? std::string() : ", database " + login.database);
}

}   // namespace

mss_engine::mss_engine(bool com_ready) {
    tk_trace::write(2, "mss_engine::mss_engine(com_ready=%d)", com_ready ? 1 : 0);
}

mss_engine::~mss_engine() { tk_trace::write(2, "mss_engine::~mss_engine"); }

void mss_engine::require_connection(int fault) const {
    if (!b_connected) throw tk_mail_assertion(MSS_ENGI_SOURCE, fault);
}

std::u16string mss_engine::build_conn_string(const std::u16string& database,
                                             const std::u16string& shown_password) const {
    require_connection(FAULT_CONN_STRING_UNCONNECTED);
    std::u16string conn = u"Provider=sqloledb;Data Source=" + quoted(host);
    if (!database.empty()) conn += u";Initial Catalog=" + quoted(database);
    if (b_integrated) {
        conn += u";Integrated Security=SSPI;";
    } else {
        conn += u";User ID=" + quoted(user) + u";Password=" + shown_password + u";";
    }
    if (b_encrypt) conn += u"Encrypt=yes;";
    return conn + timeout_property();
}

std::u16string mss_engine::timeout_property() const {
    return u"Command Timeout=" + tk_utf8_to_utf16(std::to_string(read_timeout_seconds)) + u";";
}

std::u16string mss_engine::conn_string(const std::u16string& database) const {
    return build_conn_string(database, quoted(password));
}

std::u16string mss_engine::masked_conn_string(const std::u16string& database) const {
    return build_conn_string(database, HIDDEN_PASSWORD);
}

std::unique_ptr<oledb_data_source> mss_engine::test_connection(const std::u16string& conn) const {
    std::unique_ptr<oledb_data_source> data_source;
    odb_check(oledb_data_source::create(tk_utf16_to_utf8(conn), data_source),
              "reading the connection settings");
    odb_check(data_source->initialize(), login_attempt(data_source->login()));
    return data_source;
}

void mss_engine::finish_connect(const std::u16string& conn, bool fast_load) {
    tk_trace::write(3, "Connecting to MS SQL server...");
    std::unique_ptr<oledb_data_source> data_source = test_connection(conn);
    b_fast_load = enable_fast_load(*data_source, fast_load);
    b_connected = true;
    server_version = get_version(*data_source);
}

void mss_engine::connect(const std::u16string& server, bool fast_load) {
    tk_trace::write(1, u"mss_engine::connect( %s )", server);
    std::u16string conn = u"Provider=sqloledb;Data Source=" + quoted(server)
                          + u";Integrated Security=SSPI;";
    if (b_encrypt) conn += u"Encrypt=yes;";
    finish_connect(conn + timeout_property(), fast_load);
    host = server;
    user.clear();
    password.clear();
    b_integrated = true;
}

void mss_engine::connect(const std::u16string& server, const std::u16string& login,
                         const std::u16string& secret, bool fast_load) {
    tk_trace::write(1, u"mss_engine::connect( %s, %s, %s )", server, login, HIDDEN_PASSWORD);
    std::u16string conn = u"Provider=sqloledb;Data Source=" + quoted(server) + u";User Id="
                          + quoted(login) + u";Password=" + quoted(secret) + u";";
    if (b_encrypt) conn += u"Encrypt=yes;";
    finish_connect(conn + timeout_property(), fast_load);
    host = server;
    user = login;
    password = secret;
    b_integrated = false;
}

bool mss_engine::enable_fast_load(oledb_data_source& data_source, bool wish) {
    if (!wish) return false;
    return oledb_succeeded(data_source.enable_fast_load(true));
}

bool mss_has_bigint(int version_code) { return version_code != 2; }
bool mss_has_key_actions(int version_code) { return version_code != 2; }
bool mss_has_date_types(int version_code) { return version_code == 1 || version_code >= 5; }
bool mss_has_filtered_indexes(int version_code) { return mss_has_date_types(version_code); }

int mss_engine::version_code_of(const std::u16string& text) {
    if (text.size() <= VERSION_PREFIX.size() + VERSION_WORD_LENGTH) return 1;
    if (!starts_with(text, VERSION_PREFIX)) return 1;
    const std::u16string word = trimmed_spaces(
        text.substr(VERSION_PREFIX.size(), VERSION_WORD_LENGTH));
    if (is_year_from_2012(word)) return 6;
    if (starts_with(word, u"2008")) return 5;
    if (starts_with(word, u"2005")) return 4;
    if (starts_with(word, u"200")) return 3;
    if (starts_with(word, u"7.")) return 2;
    return 1;
}

int mss_engine::get_version(const oledb_data_source& data_source) {
    std::unique_ptr<oledb_rowset> result;
    odb_command(data_source).execute(u"SELECT @@VERSION", &result);
    std::u16string text;
    std::vector<std::size_t> rows;
    if (oledb_failed(result->get_next_rows(1, rows))) return 1;
    if (!rows.empty() && !result->column_info().empty()) {
        result->get_wide_text(rows.front(), 0, 8000, text);
    }
    tk_trace::write(2, u"MS SQL version string: %s", text);
    return version_code_of(text);
}

bool mss_engine::is_db_exist(const std::u16string& name) {
    require_connection(FAULT_EXISTS_CHECK_UNCONNECTED);
    try {
        test_connection(conn_string(name));
    } catch (const odb_exception& failure) {
        tk_trace::write(2, "mss_engine::is_db_exist -- %s", failure.what());
        return false;
    }
    tk_trace::write(2, "mss_engine::is_db_exist -- end");
    return true;
}

std::unique_ptr<udb_database> mss_engine::create_db(const std::u16string& name) {
    require_connection(FAULT_CREATE_DB_UNCONNECTED);
    tk_trace::write(3, u"Creating MS SQL database '%s'", name);
    {
        const std::unique_ptr<oledb_data_source> server = test_connection(conn_string(u""));
        odb_command(*server).execute(u"CREATE DATABASE " + mss_bracket(name));
    }
    return open_db(name, MSS_OPEN_CREATE);
}

void mss_engine::delete_db(const std::u16string& name) {
    require_connection(FAULT_DELETE_DB_UNCONNECTED);
    tk_trace::write(3, u"Deleting MS SQL database '%s'", name);
    const std::unique_ptr<oledb_data_source> server = test_connection(conn_string(u""));
    // A connection closed a moment ago (is_db_exist's, a table's) can still count as using
    // the database while the server winds it down: server error 3702. Ask again briefly.
    for (int attempt = 1;; ++attempt) {
        try {
            odb_command(*server).execute(u"DROP DATABASE " + mss_bracket(name));
            return;
        } catch (const odb_exception& failure) {
            if (failure.native_error() != DATABASE_IN_USE || attempt == DROP_ATTEMPTS) throw;
            tk_trace::write(2, "Database still in use, attempt %d", attempt);
        }
        std::this_thread::sleep_for(DROP_RETRY_PAUSE);
    }
}

std::unique_ptr<udb_database> mss_engine::open_db(const std::u16string& name, std::uint32_t mode,
                                                  const std::u16string&) {
    return open_db(name, mode);
}

std::unique_ptr<mss_database> mss_engine::open_db(const std::u16string& name, std::uint32_t mode) {
    require_connection(FAULT_OPEN_DB_UNCONNECTED);
    tk_trace::write(3, u"Opening MS SQL database '%s'", name);
    tk_trace::write(2, u"Connection string=%s", masked_conn_string(name));
    std::unique_ptr<oledb_data_source> data_source = test_connection(conn_string(name));
    std::unique_ptr<oledb_session> session;
    odb_check(data_source->create_session(session),
              "opening a session on database " + tk_utf16_to_utf8(name));
    tk_trace::write(2, "Connection to the database was establish successfully");
    return std::make_unique<mss_database>(name, std::move(data_source), std::move(session), mode);
}

std::u16string mss_engine::working_owner() const { return mss_working_owner(user, b_as_dbo); }

std::u16string mss_engine::get_safe_tname(const std::u16string& name) const {
    return mss_full_table_name(name, working_owner());
}
