// tk_fsys.cpp - file checks over POSIX calls.
#include "tk/tk_fsys.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

bool tk_is_file_exist(const std::string& path, int access) {
    tk_trace::write(1, "tk_is_file_exist(%s)", path.c_str());
    // O_NONBLOCK: a named pipe given as a log file must not hang the check.
    const int mode = access == TK_ACCESS_READ_WRITE ? O_RDWR : O_RDONLY;
    const int descriptor = ::open(path.c_str(), mode | O_CLOEXEC | O_NONBLOCK);
    struct stat status {};
    const bool is_file = descriptor >= 0 && fstat(descriptor, &status) == 0
                         && !S_ISDIR(status.st_mode);
    if (descriptor >= 0) ::close(descriptor);
    if (!is_file) tk_trace::write(1, "File not exists!");
    return is_file;
}

bool tk_is_path_exist(const std::string& directory) {
    tk_trace::write(1, "tk_is_path_exist(%s)", directory.c_str());
    const std::string folder = directory.empty() ? "." : directory;
    struct stat status {};
    if (stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return false;
    return ::access(folder.c_str(), X_OK) == 0;
}

void tk_remove_file(std::u16string_view path) {
    tk_trace::write(1, u"tk_remove_file(%s)", path);
    if (::unlink(tk_utf16_to_utf8(path).c_str()) != 0) throw tk_exception_ex();
}
