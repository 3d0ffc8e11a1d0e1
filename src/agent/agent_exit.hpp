// agent_exit.hpp - how the agent ends on a validation failure, and its way to the converter.
#pragma once

#include <string>

class vantrel_convertor;

// The process status of the console program's -1.
inline constexpr int AGENT_EXIT_FAILURE = -1;

// Logs the text at level 3, prints it on standard error unless silent, and ends the program:
// throws tk_exit_request(-1), which main turns into status 255. Needs the converter; without
// one it is an internal error.
[[noreturn]] void exit_with_message(const std::string& text);

// The process's converter; none is an internal error.
vantrel_convertor& agent_converter();
