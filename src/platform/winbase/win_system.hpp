// win_system.hpp - the Win32 base services the toolkit asks of the system: the running
// program's file name (GetModuleFileName, read from /proc/self/exe), the text of a system
// error number (FormatMessage, here errno and strerror) and the local time (GetLocalTime).
#pragma once

#include <string>

// The running program's absolute path; empty when the system can't tell.
std::string win_module_file_name();

// The system's text for an errno value, e.g. "No such file or directory".
std::string win_error_text(int error_number);

struct win_local_time {
    int year;
    int month;   // 1..12
    int day;     // 1..31
    int hour;
    int minute;
    int second;
};

win_local_time win_get_local_time();
