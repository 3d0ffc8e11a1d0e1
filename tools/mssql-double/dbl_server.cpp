// dbl_server.cpp - accounts, sessions and the set of databases.
#include "dbl_server.hpp"

#include "dbl_limits.hpp"
#include "dbl_products.hpp"
#include "dbl_text.hpp"

#include <cstdio>
#include <dirent.h>
#include <regex>
#include <unistd.h>

namespace {

const char* const SYSTEM_DATABASES[] = {"master", "tempdb", "model", "msdb"};

// The first "major.minor.build[.revision]" in the version text: 15.0.2000.5, 8.00.194.
dbl_program_version parse_version(const std::string& text) {
    dbl_program_version version;
    std::smatch match;
    static const std::regex number(R"((\d+)\.(\d+)\.(\d+)(\.\d+)?)");
    if (std::regex_search(text, match, number)) {
        version.major = std::stoi(match[1]);
        version.minor = std::stoi(match[2]);
        version.build = std::stoi(match[3]);
        version.text = match[0];
    }
    return version;
}

std::string hex_of(const std::string& text) {
    std::string hex;
    char digits[3];
    for (char c : text) {
        std::snprintf(digits, sizeof digits, "%02x", (unsigned char)c);
        hex += digits;
    }
    return hex;
}

}   // namespace

dbl_server::dbl_server(dbl_options options)
    : opts(std::move(options)),
      version_text(opts.version_string.empty() ? dbl_product_version_text(opts.product)
                                               : opts.version_string),
      version(parse_version(version_text)) {
    dbl_claim_release(version.major);
    if (!opts.data_dir.empty()) open_data_dir();
    int id = 1;
    for (const char* name : SYSTEM_DATABASES) {
        if (!find_database(name))
            by_folded_name[dbl_fold_name(name)] = std::make_unique<dbl_database>(file_for(name),
                                                                                 name, id);
        ++id;
    }
}

std::string dbl_server::file_for(const std::string& name) const {
    if (opts.data_dir.empty()) return "";
    return opts.data_dir + "/db_" + hex_of(dbl_fold_name(name)) + ".sqlite";
}

void dbl_server::open_data_dir() {
    DIR* dir = opendir(opts.data_dir.c_str());
    if (!dir) return;
    while (dirent* entry = readdir(dir)) {
        std::string file = entry->d_name;
        if (file.rfind("db_", 0) != 0 || file.size() < 10
            || file.substr(file.size() - 7) != ".sqlite")
            continue;
        auto database = dbl_database::open_existing(opts.data_dir + "/" + file);
        if (!database) continue;
        next_database_id = std::max(next_database_id, database->id() + 1);
        by_folded_name[dbl_fold_name(database->name())] = std::move(database);
    }
    closedir(dir);
}

bool dbl_server::check_login(const std::string& user, const std::string& password) const {
    for (const auto& [name, secret] : opts.logins)
        if (dbl_same_name(name, user) && secret == password) return true;
    return false;
}

bool dbl_server::refuse_next_login() {
    long seen = logins_seen++;
    return opts.refuse_logins_after >= 0 && seen >= opts.refuse_logins_after;
}

int dbl_server::new_session(const std::string& database) {
    std::scoped_lock guard(session_lock);
    int spid = next_spid++;
    session_databases[spid] = database;
    return spid;
}

void dbl_server::end_session(int spid) {
    std::scoped_lock guard(session_lock);
    session_databases.erase(spid);
}

void dbl_server::set_session_database(int spid, const std::string& database) {
    std::scoped_lock guard(session_lock);
    session_databases[spid] = database;
}

bool dbl_server::database_in_use(const std::string& database, int except_spid) const {
    std::scoped_lock guard(session_lock);
    for (const auto& [spid, name] : session_databases)
        if (spid != except_spid && dbl_same_name(name, database)) return true;
    return false;
}

dbl_database* dbl_server::find_database(const std::string& name) {
    auto found = by_folded_name.find(dbl_fold_name(name));
    return found == by_folded_name.end() ? nullptr : found->second.get();
}

dbl_database& dbl_server::create_database(const std::string& name) {
    auto database = std::make_unique<dbl_database>(file_for(name), name, next_database_id++);
    dbl_database& created = *database;
    by_folded_name[dbl_fold_name(name)] = std::move(database);
    return created;
}

void dbl_server::drop_database(const std::string& name) {
    auto found = by_folded_name.find(dbl_fold_name(name));
    if (found == by_folded_name.end()) return;
    std::string path = found->second->path();
    by_folded_name.erase(found);
    if (path.empty()) return;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) unlink((path + suffix).c_str());
}

std::vector<dbl_database*> dbl_server::databases() {
    std::vector<dbl_database*> list;
    for (auto& [name, database] : by_folded_name) list.push_back(database.get());
    std::sort(list.begin(), list.end(),
              [](const dbl_database* a, const dbl_database* b) { return a->id() < b->id(); });
    return list;
}
