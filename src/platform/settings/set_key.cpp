// set_key.cpp - opening a settings key's file, and replacing it atomically on every change.
// The temporary file sits in the same folder (rename is atomic only within one file system)
// and is flushed to disk before the rename, so a crash leaves the old file or the new one.
#include "platform/settings/set_key.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/settings/set_file.hpp"
#include "platform/winbase/win_codepage.hpp"
#include "platform/winbase/win_compare.hpp"

namespace {

// Larger files are not ours; they read as unreadable rather than filling memory.
constexpr std::size_t MAX_FILE_BYTES = 4 * 1024 * 1024;

std::string config_home() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // The XDG Base Directory rules call a relative value invalid.
    if (xdg != nullptr && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') return std::string();
    return std::string(home) + "/.config";
}

std::vector<std::string> split_key(std::string_view sub_key) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at <= sub_key.size()) {
        std::size_t end = sub_key.find('\\', at);
        if (end == std::string_view::npos) end = sub_key.size();
        parts.emplace_back(sub_key.substr(at, end - at));
        at = end + 1;
    }
    return parts;
}

bool is_safe_part(const std::string& part) {
    return !part.empty() && part != "." && part != ".."
           && part.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

bool make_folders(const std::string& file) {
    for (std::size_t at = file.find('/', 1); at != std::string::npos; at = file.find('/', at + 1)) {
        const std::string folder = file.substr(0, at);
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

enum class read_outcome { READ, MISSING, UNREADABLE };

read_outcome read_file(const std::string& file, std::string& text) {
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return errno == ENOENT ? read_outcome::MISSING : read_outcome::UNREADABLE;
    struct stat status {};
    bool readable = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)
                    && std::size_t(status.st_size) <= MAX_FILE_BYTES;
    char buffer[8192];
    while (readable) {
        const ssize_t count = ::read(descriptor, buffer, sizeof(buffer));
        if (count < 0 && errno == EINTR) continue;
        if (count == 0) break;
        if (count < 0 || text.size() + std::size_t(count) > MAX_FILE_BYTES) readable = false;
        else text.append(buffer, std::size_t(count));
    }
    ::close(descriptor);
    return readable ? read_outcome::READ : read_outcome::UNREADABLE;
}

bool write_all(int descriptor, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = ::write(descriptor, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        written += std::size_t(count);
    }
    return true;
}

// After a rename the folder entry is on disk only once the folder itself is flushed; without
// it a power cut could bring back the old file. A failure here loses nothing already written.
void flush_folder_of(const std::string& file) {
    const std::string folder = file.substr(0, file.find_last_of('/') + 1);
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    fsync(descriptor);
    ::close(descriptor);
}

// Writes `text` beside `file` and renames it over `file`; the old file stays on any failure.
bool replace_file(const std::string& file, const std::string& text) {
    std::string temporary = file + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());   // mode 0600
    if (descriptor < 0) return false;
    const bool written = write_all(descriptor, text) && fsync(descriptor) == 0;
    const bool closed = close(descriptor) == 0;
    if (!written || !closed || rename(temporary.c_str(), file.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    flush_folder_of(file);
    return true;
}

bool keep_damaged_copy(const std::string& file) {
    std::string text;
    if (read_file(file, text) != read_outcome::READ) return true;   // nothing left to keep
    return replace_file(file + ".bad", text);
}

}   // namespace

std::string set_key::file_for(set_root root, std::string_view sub_key) {
    if (root != set_root::CURRENT_USER) return std::string();
    std::vector<std::string> parts = split_key(sub_key);
    if (!parts.empty() && win_equal_ignore_case(win_utf8_to_utf16(parts.front()), u"Software")) {
        parts.erase(parts.begin());
    }
    std::string file = config_home();
    if (file.empty() || parts.empty()) return std::string();
    for (const std::string& part : parts) {
        if (!is_safe_part(part)) return std::string();
        file += "/" + part;
    }
    return file + ".ini";
}

std::unique_ptr<set_key> set_key::open(set_root root, std::string_view sub_key, long& result,
                                       std::uint32_t* disposition) {
    const std::string file = file_for(root, sub_key);
    if (file.empty()) {
        result = SET_ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    std::unique_ptr<set_key> key(new set_key(file));
    std::string text;
    const read_outcome outcome = read_file(file, text);
    if (outcome == read_outcome::MISSING) {
        if (!make_folders(file) || !replace_file(file, set_format_file(sub_key, {}))) {
            result = SET_ERROR_ACCESS_DENIED;
            return nullptr;
        }
    } else if (outcome == read_outcome::UNREADABLE) {
        key->b_read_only_ = true;
    } else {
        set_file_content content = set_parse_file(text);
        key->values_ = std::move(content.values);
        key->b_damaged_ = content.b_damaged;
    }
    if (disposition != nullptr) {
        *disposition = outcome == read_outcome::MISSING ? SET_REG_CREATED_NEW_KEY
                                                        : SET_REG_OPENED_EXISTING_KEY;
    }
    key->key_name_ = std::string(sub_key);
    result = SET_ERROR_SUCCESS;
    return key;
}

const set_value* set_key::find(std::string_view name) const {
    const std::u16string wide_name = win_utf8_to_utf16(name);
    for (const set_value& value : values_) {
        if (win_equal_ignore_case(win_utf8_to_utf16(value.name), wide_name)) return &value;
    }
    return nullptr;
}

long set_key::query_dword(std::string_view name, std::uint32_t& value) const {
    const set_value* found = find(name);
    if (found == nullptr) return SET_ERROR_FILE_NOT_FOUND;
    if (found->kind != SET_REG_DWORD) return SET_ERROR_INVALID_PARAMETER;
    value = found->dword;
    return SET_ERROR_SUCCESS;
}

long set_key::query_info(std::string_view name, std::uint32_t& kind, std::uint32_t& size) const {
    const set_value* found = find(name);
    if (found == nullptr) return SET_ERROR_FILE_NOT_FOUND;
    kind = found->kind;
    size = found->kind == SET_REG_DWORD ? 4 : std::uint32_t((found->text.size() + 1) * 2);
    return SET_ERROR_SUCCESS;
}

long set_key::query_string(std::string_view name, std::u16string& text) const {
    const set_value* found = find(name);
    if (found == nullptr) return SET_ERROR_FILE_NOT_FOUND;
    if (found->kind != SET_REG_SZ) return SET_ERROR_INVALID_PARAMETER;
    text = found->text;
    return SET_ERROR_SUCCESS;
}

long set_key::set_dword(std::string_view name, std::uint32_t value) {
    return store({std::string(name), SET_REG_DWORD, value, {}});
}

long set_key::set_string(std::string_view name, std::u16string_view text) {
    return store({std::string(name), SET_REG_SZ, 0, std::u16string(text)});
}

long set_key::store(const set_value& value) {
    if (value.name.empty()) return SET_ERROR_INVALID_PARAMETER;
    if (b_read_only_) return SET_ERROR_ACCESS_DENIED;
    std::vector<set_value> updated = values_;
    bool replaced = false;
    for (set_value& existing : updated) {
        if (!win_equal_ignore_case(win_utf8_to_utf16(existing.name),
                                   win_utf8_to_utf16(value.name))) {
            continue;
        }
        existing = value;
        replaced = true;
    }
    if (!replaced) updated.push_back(value);
    if (b_damaged_ && !keep_damaged_copy(file_)) return SET_ERROR_WRITE_FAULT;
    b_damaged_ = false;
    if (!replace_file(file_, set_format_file(key_name_, updated))) return SET_ERROR_WRITE_FAULT;
    values_ = std::move(updated);
    return SET_ERROR_SUCCESS;
}
