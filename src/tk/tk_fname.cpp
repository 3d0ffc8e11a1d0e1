// tk_fname.cpp - making paths absolute and splitting them. The wide splitter converts to
// UTF-8 and back, so both forms split the same way.
#include "tk/tk_fname.hpp"

#include <unistd.h>

#include <filesystem>
#include <vector>

#include "platform/winbase/win_system.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

namespace {

struct split_path {
    std::string directory;
    std::string name;
    std::string extension;
};

std::string current_directory() {
    std::vector<char> buffer(4096);
    if (getcwd(buffer.data(), buffer.size()) == nullptr) {
        throw tk_mail_assertion(TK_FNAME_SOURCE, FAULT_FNAME_NO_FULL_PATH);
    }
    return buffer.data();
}

std::string absolute_path(std::string_view path) {
    std::filesystem::path full(path);
    if (full.is_relative()) full = std::filesystem::path(current_directory()) / full;
    return full.lexically_normal().string();
}

split_path split(const std::string& absolute) {
    const std::size_t name_at = absolute.find_last_of('/') + 1;   // absolute: a '/' is there
    split_path parts;
    parts.directory = absolute.substr(0, name_at);
    const std::string last = absolute.substr(name_at);
    const std::size_t dot_at = last.find_last_of('.');
    parts.name = last.substr(0, dot_at);
    if (dot_at != std::string::npos) parts.extension = last.substr(dot_at);
    return parts;
}

split_path split_any(std::string_view path) {
    if (!path.empty()) return split(absolute_path(path));
    split_path parts = split(absolute_path(win_module_file_name()));
    parts.name.clear();
    return parts;
}

template <class Text>
Text dotted(Text extension) {
    if (!extension.empty() && extension.front() != '.') extension.insert(extension.begin(), '.');
    return extension;
}

}   // namespace

tk_file_name::tk_file_name(std::string_view path) { initialize(path); }

void tk_file_name::initialize(std::string_view path) {
    split_path parts = split_any(path);
    drive_.clear();
    directory_ = std::move(parts.directory);
    name_ = std::move(parts.name);
    extension_ = std::move(parts.extension);
}

void tk_file_name::set_extension(std::string_view extension) {
    extension_ = dotted(std::string(extension));
}

tk_file_wname::tk_file_wname(std::u16string_view path) { initialize(path); }

void tk_file_wname::initialize(std::u16string_view path) {
    tk_trace::write(1, u"tk_file_wname::initialize(%s)", path);
    split_path parts = split_any(tk_utf16_to_utf8(path));
    drive_.clear();
    directory_ = tk_utf8_to_utf16(parts.directory);
    name_ = tk_utf8_to_utf16(parts.name);
    extension_ = tk_utf8_to_utf16(parts.extension);
}

void tk_file_wname::set_extension(std::u16string_view extension) {
    extension_ = dotted(std::u16string(extension));
}
