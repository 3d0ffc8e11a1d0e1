// agent_messages.cpp - the agent's wording: the options it has, never a wizard page.
#include "agent/agent_messages.hpp"

namespace {

constexpr const char* WORKGROUP_FILE_TEXT =
    "Invalid workgroup information file. Verify the path given with --sysdb=.";

constexpr conv_message_entry CONSOLE_MESSAGES[] = {
    {68709, WORKGROUP_FILE_TEXT},
    {68894, WORKGROUP_FILE_TEXT},
    {0x80E3F, "The specified table already exists. Try to connect as database owner\n"
              "with the --as_dbo option."},
};

}   // namespace

std::span<const conv_message_entry> agent_console_messages() { return CONSOLE_MESSAGES; }
