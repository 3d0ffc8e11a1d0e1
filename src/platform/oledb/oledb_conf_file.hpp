#pragma once
// oledb_conf_file.hpp - a private freetds.conf for one login. db-lib offers no call that asks
// for TLS; FreeTDS reads "encryption = require" only from its configuration file, which it
// finds through FREETDSCONF. The file is created mode 0600 in the temporary folder, named in
// FREETDSCONF during the login only, and removed by the destructor.

#include <string>

class oledb_conf_file {
public:
    oledb_conf_file() = default;
    oledb_conf_file(const oledb_conf_file&) = delete;
    oledb_conf_file& operator=(const oledb_conf_file&) = delete;
    ~oledb_conf_file();

    // Writes the file asking for encryption and points FreeTDS at it; false when it cannot
    // be written.
    bool activate_encryption(const std::string& server);
    // The server name to hand dbopen (unchanged: FreeTDS resolves host, host:port,
    // host\instance and names from its configuration files itself).
    std::string server_name(const std::string& server) const { return server; }

private:
    std::string path;
    std::string saved_conf_env;
    bool b_had_conf_env = false;
};
