// agent_messages.hpp - the console program's own wording for the few messages whose shared
// text sends the user to a wizard page. Loaded before the shared maps, so these win (the
// first text loaded for a code stays).
#pragma once

#include <span>

#include "conv/conv_maps.hpp"

std::span<const conv_message_entry> agent_console_messages();
