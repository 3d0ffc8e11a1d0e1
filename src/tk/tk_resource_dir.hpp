// tk_resource_dir.hpp - where a program finds the files it ships with (the wizard's help and
// artwork). Installed, PREFIX/bin/PROGRAM reads PREFIX/share/vantrel, whatever PREFIX is, so a
// package, /usr/local and a private prefix all work unchanged; run from the build folder, the
// files sit beside the program.
#pragma once

#include <string>

// The folder under an installation prefix that holds the shared files.
inline constexpr const char* TK_RESOURCE_SUBDIR = "share/vantrel";

// For the program at `program_path` (links followed, so a link on the PATH still finds the
// installation it points into): <program folder>/../share/vantrel when that is a folder,
// else the program's own folder. No trailing '/'. Empty for an empty path.
std::string tk_resource_dir(const std::string& program_path);

// The same for the running program.
std::string tk_resource_dir();
