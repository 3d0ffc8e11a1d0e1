// agent_help.cpp - the help text, printed by --help, by a call without arguments and after
// an unrecognised argument. The program name stays as users have always read it.
#include "agent/agent_help.hpp"

#include <cstdio>

namespace {

constexpr const char* HELP_FORMAT =
    "VANTRELAGENT v%d.%d\n"
    "Usage: VANTRELAGENT.EXE OPTIONS\n"
    "\n"
    "   --accp=...     MS Access database password\n"
    "   --as_dbo       connect to MS SQL as database owner\n"
    "   --dest=...     MS SQL database name\n"
    "   --help         display this help message and exit\n"
    "   --logfile=...  path to the file where execution trace will be written\n"
    "   --mode=...     how to process an existing MS SQL database\n"
    "                  (0 - overwrite the entire database, 1 - overwrite existing\n"
    "                  tables only, 2 - skip existing tables, 3 - merge)\n"
    "   --mssqlh=...   MS SQL server IP address or network name\n"
    "   --mssqlu=...   MS SQL user name\n"
    "   --mssqlp=...   MS SQL user password\n"
    "   --profile=...  path to the file to load conversion settings from\n"
    "   --sysdb=...    path to MS Access workgroup information file (*.mdw)\n"
    "   --silent       disable program output\n"
    "   --skip_idx     skip converting indexes\n"
    "   --src=...      MS Access database name\n"
    "   --tab_def      convert table definitions only\n"
    "   --tab_file=... file containing the list of tables to convert\n"
    "                  (one table name per line)\n"
    "   --uglu=...     user name for MS Access user-level security\n"
    "   --uglp=...     password for MS Access user-level security\n"
    "\n"
    "NOTES:\n"
    "   1) You should omit 'sysdb', 'uglu' and 'uglp' parameters if not use\n"
    "      MS Access user-level security.\n"
    "   2) You can omit 'mssqlh' parameter to connect local MS SQL server.\n"
    "   3) You can omit 'mssqlu' and 'mssqlp' parameters to connect to MS SQL\n"
    "      server using Windows authentication.\n"
    "   4) If you omit 'tab_file' parameter, all database tables will be converted.\n"
    "   5) If you omit 'mode' parameter, default mode 'overwrite the entire\n"
    "      database' will be used.";

}   // namespace

std::string agent_help_text() {
    int length = std::snprintf(nullptr, 0, HELP_FORMAT, AGENT_VERSION_MAJOR, AGENT_VERSION_MINOR);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), HELP_FORMAT, AGENT_VERSION_MAJOR, AGENT_VERSION_MINOR);
    text.pop_back();
    return text;
}
