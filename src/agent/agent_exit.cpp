// agent_exit.cpp - ending the agent with a message.
#include "agent/agent_exit.hpp"

#include <iostream>

#include "conv/vantrel_conv.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"

vantrel_convertor& agent_converter() {
    return static_cast<vantrel_convertor&>(tk_singl<tk_converter>::instance());
}

void exit_with_message(const std::string& text) {
    bool silent = agent_converter().is_silent();
    tk_trace::write(3, "%s", text.c_str());
    if (!silent) std::cerr << text << std::endl;
    std::cout.flush();
    throw tk_exit_request(AGENT_EXIT_FAILURE);
}
