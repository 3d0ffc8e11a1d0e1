// tk_fsys.hpp - file-system checks and deletion for the log file, the table-names file and
// the workgroup file.
#pragma once

#include <string>
#include <string_view>

inline constexpr int TK_ACCESS_READ = 0;
inline constexpr int TK_ACCESS_READ_WRITE = 1;

// Whether `path` names a file that opens for reading (access 0) or for reading and writing
// (access 1); a read-only file "exists" for 0 and not for 1. A folder is not a file.
bool tk_is_file_exist(const std::string& path, int access);

// Whether `directory` is a folder the process could change into; empty is the current one.
// Asked of the file system, not by changing the process's current directory, which other
// threads (the wizard's) rely on.
bool tk_is_path_exist(const std::string& directory);

// Deletes the file; failure raises tk_exception_ex with the system's text.
void tk_remove_file(std::u16string_view path);
