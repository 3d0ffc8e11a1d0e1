// oledb_conf_file.cpp - writes and withdraws the private freetds.conf.

#include "platform/oledb/oledb_conf_file.hpp"

#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view ENCRYPTED_GLOBAL_SECTION = "[global]\n"
                                                      "\ttds version = 7.4\n"
                                                      "\tclient charset = UTF-8\n"
                                                      "\tencryption = require\n";

bool write_all(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}   // namespace

oledb_conf_file::~oledb_conf_file() {
    if (path.empty()) return;
    if (b_had_conf_env) {
        ::setenv("FREETDSCONF", saved_conf_env.c_str(), 1);
    } else {
        ::unsetenv("FREETDSCONF");
    }
    ::unlink(path.c_str());
}

bool oledb_conf_file::activate_encryption(const std::string&) {
    const char* tmp_dir = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp_dir != nullptr && *tmp_dir != '\0' ? tmp_dir : "/tmp")
                          + "/vantrel-freetds-XXXXXX";
    const mode_t old_mask = ::umask(077);   // mkstemp gives 0600 already; keep it so
    const int fd = ::mkstemp(pattern.data());
    ::umask(old_mask);
    if (fd < 0) return false;
    const bool written = write_all(fd, ENCRYPTED_GLOBAL_SECTION);
    ::close(fd);
    if (!written) {
        ::unlink(pattern.c_str());
        return false;
    }
    path = pattern;
    if (const char* existing = std::getenv("FREETDSCONF")) {
        saved_conf_env = existing;
        b_had_conf_env = true;
    }
    ::setenv("FREETDSCONF", path.c_str(), 1);
    return true;
}
