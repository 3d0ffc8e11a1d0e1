// agent_opts.hpp - the agent's command line: the option table, matched by prefix and case,
// and parse_cmd_line, which applies each option in command-line order and then checks that
// the settings are complete.
#pragma once

#include <string>

// True when the settings may be run, false when the help text must be shown. A validation
// failure ends the program (exit_with_message throws tk_exit_request).
bool parse_cmd_line(int argc, char** argv);

// Before the run: in mode 0 an existing destination database is dropped.
void check_dest(const std::u16string& destination);
