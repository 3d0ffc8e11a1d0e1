// win_system.cpp - module file name, error text and local time over libc.
#include "platform/winbase/win_system.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

std::string win_module_file_name() {
    // readlink does not say when it cut the name: grow the buffer until the name fits.
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return std::string();
        if (std::size_t(length) < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::string win_error_text(int error_number) {
    char buffer[256] = {};
    // The GNU strerror_r may return a static text instead of filling the buffer.
    const char* text = strerror_r(error_number, buffer, sizeof(buffer));
    return text == nullptr ? std::string() : std::string(text);
}

win_local_time win_get_local_time() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
            parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}
