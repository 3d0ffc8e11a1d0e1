// tk_resource_dir.cpp - finding the shared files from the program's own location.
#include "tk/tk_resource_dir.hpp"

#include <filesystem>
#include <system_error>

#include "platform/winbase/win_system.hpp"
#include "tk/tk_trace.hpp"

std::string tk_resource_dir(const std::string& program_path) {
    // Without /proc the running program's path is unknown; guessing from the current folder
    // could pick up another installation's files.
    if (program_path.empty()) return std::string();
    std::error_code error;
    std::filesystem::path program = std::filesystem::canonical(program_path, error);
    // A program that cannot be resolved still has a folder in the text it was named by.
    if (error) program = std::filesystem::absolute(program_path).lexically_normal();
    const std::filesystem::path program_dir = program.parent_path();
    const std::filesystem::path installed =
        (program_dir / ".." / TK_RESOURCE_SUBDIR).lexically_normal();
    const bool is_installed = std::filesystem::is_directory(installed, error);
    std::string found = (is_installed ? installed : program_dir).string();
    tk_trace::write(2, "tk_resource_dir(%s) = %s", program_path.c_str(), found.c_str());
    return found;
}

std::string tk_resource_dir() { return tk_resource_dir(win_module_file_name()); }
