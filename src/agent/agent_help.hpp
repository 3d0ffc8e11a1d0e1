// agent_help.hpp - the agent's help text, character for character as users know it.
#pragma once

#include <string>

inline constexpr int AGENT_VERSION_MAJOR = 3;
inline constexpr int AGENT_VERSION_MINOR = 3;

std::string agent_help_text();
