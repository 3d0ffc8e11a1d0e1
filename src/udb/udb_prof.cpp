// udb_prof.cpp - reading and writing settings profiles. Reading keeps the format's quirks
// that stored files rely on: a byte-order mark is not skipped (it spoils the first line), a
// key line before any section fails the read. Lines are read whole, CR LF or LF.
#include "udb/udb_prof.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "tk/tk_trace.hpp"
#include "tk/tk_trim.hpp"
#include "tk/tk_utf.hpp"

namespace {

bool is_section_header(const std::u16string& line) {
    return line.size() >= 2 && line.front() == u'[' && line.back() == u']';
}

// Owns a descriptor until it is handed to a stream or closed.
struct fd_guard {
    int fd;
    ~fd_guard() {
        if (fd >= 0) ::close(fd);
    }
};

}   // namespace

udb_profile::udb_profile() {
    sections[PROFILE_AVAILABLE_QUERIES];
    sections[PROFILE_SELECTED_TABLES];
    sections[PROFILE_GENERIC];
}

bool udb_profile::read(const std::string& path) {
    // A folder opens as a stream on Linux and then reads nothing: ask first.
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        read_failure = std::strerror(EISDIR);
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        read_failure = std::strerror(errno);
        tk_trace::write(2, "udb_profile::read - cannot open the profile");
        return false;
    }
    std::u16string current_section;
    bool in_section = false;
    std::string raw_line;
    for (int line_no = 1; std::getline(file, raw_line); ++line_no) {
        if (!raw_line.empty() && raw_line.back() == '\r') raw_line.pop_back();
        if (!read_line(tk_utf8_to_utf16(raw_line), current_section, in_section)) {
            read_failure = "line " + std::to_string(line_no) + " stands before any [section]";
            return false;
        }
    }
    if (file.bad()) read_failure = std::strerror(errno);
    return !file.bad();
}

bool udb_profile::read_line(std::u16string line, std::u16string& current_section,
                            bool& in_section) {
    line = tk_trim(line);
    if (line.empty()) return true;
    if (is_section_header(line)) {
        current_section = line.substr(1, line.size() - 2);
        sections[current_section];
        in_section = true;
        return true;
    }
    if (!in_section) {
        tk_trace::write(2, u"Key line before any section: %s", line);
        return false;
    }
    std::size_t equals = line.find(u'=');
    if (equals == std::u16string::npos) {
        set(current_section, line, u"");
    } else {
        set(current_section, tk_trim(std::u16string_view(line).substr(0, equals)),
            line.substr(equals + 1));
    }
    return true;
}

bool udb_profile::write(const std::string& path) const {
    std::string text;
    for (const auto& [section_name, keys] : sections) {
        text += "[" + tk_utf16_to_utf8(section_name) + "]\r\n";
        for (const auto& [key, value] : keys) {
            text += tk_utf16_to_utf8(key);
            if (!(section_name == PROFILE_SELECTED_TABLES && value.empty())) {
                text += "=" + tk_utf16_to_utf8(value);
            }
            text += "\r\n";
        }
        text += "\r\n";
    }
    // Passwords live here: the file is private from its first byte, and a crash leaves either
    // the old profile or the new one.
    std::string temp_path = path + ".tmpXXXXXX";
    fd_guard temp{::mkstemp(temp_path.data())};
    if (temp.fd < 0) {
        tk_trace::write(2, "udb_profile::write - cannot create the file: %s", std::strerror(errno));
        return false;
    }
    ::fchmod(temp.fd, S_IRUSR | S_IWUSR);
    std::size_t written = 0;
    while (written < text.size()) {
        ssize_t count = ::write(temp.fd, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) break;
        written += static_cast<std::size_t>(count);
    }
    bool complete = written == text.size() && ::fsync(temp.fd) == 0;
    ::close(temp.fd);
    temp.fd = -1;
    if (!complete || ::rename(temp_path.c_str(), path.c_str()) != 0) {
        tk_trace::write(2, "udb_profile::write - cannot write the file: %s", std::strerror(errno));
        ::unlink(temp_path.c_str());
        return false;
    }
    return true;
}

std::u16string udb_profile::value(const std::u16string& section_name,
                                  const std::u16string& key) const {
    auto found_section = sections.find(section_name);
    if (found_section == sections.end()) return {};
    auto found_key = found_section->second.find(key);
    return found_key == found_section->second.end() ? std::u16string() : found_key->second;
}

bool udb_profile::has_value(const std::u16string& section_name, const std::u16string& key) const {
    auto found_section = sections.find(section_name);
    return found_section != sections.end() && found_section->second.count(key) != 0;
}

void udb_profile::set(const std::u16string& section_name, const std::u16string& key,
                      const std::u16string& value) {
    sections[section_name].emplace(key, value);
}

const udb_profile::section_map& udb_profile::section(const std::u16string& name) const {
    static const section_map empty_section;
    auto found = sections.find(name);
    return found == sections.end() ? empty_section : found->second;
}
