#pragma once
// dbl_server.hpp - what all connections share: the options, the accounts, and the
// databases. One lock serialises every batch, so statements never interleave; SQL Server
// runs them concurrently, but the results a client sees are the same for our workloads.

#include "dbl_database.hpp"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct dbl_options {
    int port = -1;
    std::string bind = "127.0.0.1";
    std::string data_dir;   // empty: databases in memory
    std::vector<std::pair<std::string, std::string>> logins;
    std::string product = "2019";     // --product-version
    std::string version_string;       // --version-string: wins over the product's text
    long drop_after_bulk_rows = -1;   // faults on demand; -1 = never
    long drop_after_batches = -1;
    long delay_ms = 0;
    long refuse_logins_after = -1;
    bool b_trace = false;   // print each batch on standard error
};

struct dbl_program_version {
    int major = 15, minor = 0, build = 2000;
    std::string text = "15.0.2000.5";   // as written: SERVERPROPERTY('ProductVersion')
};

class dbl_server {
public:
    explicit dbl_server(dbl_options options);

    const dbl_options& options() const { return opts; }
    const std::string& version_string() const { return version_text; }
    dbl_program_version program_version() const { return version; }

    bool check_login(const std::string& user, const std::string& password) const;
    bool refuse_next_login();   // the refuse-logins fault
    int new_session(const std::string& database);
    void end_session(int spid);
    void set_session_database(int spid, const std::string& database);
    bool database_in_use(const std::string& database, int except_spid) const;

    // The caller holds lock().
    dbl_database* find_database(const std::string& name);
    dbl_database& create_database(const std::string& name);
    void drop_database(const std::string& name);
    std::vector<dbl_database*> databases();
    std::mutex& lock() { return big_lock; }

private:
    std::string file_for(const std::string& name) const;
    void open_data_dir();

    dbl_options opts;
    std::string version_text;
    dbl_program_version version;
    std::mutex big_lock;
    std::map<std::string, std::unique_ptr<dbl_database>> by_folded_name;
    int next_database_id = 5;
    mutable std::mutex session_lock;
    std::map<int, std::string> session_databases;
    int next_spid = 51;
    std::atomic<long> logins_seen{0};
};
