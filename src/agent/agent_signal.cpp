// agent_signal.cpp - the stop handlers. A handler may only do what is async-signal-safe: it
// stores the signal number and sets the converter's lock-free stop flag.
#include "agent/agent_signal.hpp"

#include <atomic>
#include <csignal>

#include "conv/vantrel_conv.hpp"

namespace {

volatile std::sig_atomic_t stop_signal = 0;
std::atomic<vantrel_convertor*> stopping_converter{nullptr};
static_assert(std::atomic<vantrel_convertor*>::is_always_lock_free);

extern "C" void on_stop_signal(int signal_number) {
    stop_signal = signal_number;
    if (vantrel_convertor* converter = stopping_converter.load()) converter->request_stop();
}

}   // namespace

agent_stop_signals::agent_stop_signals(vantrel_convertor& converter) {
    stopping_converter.store(&converter);
    struct sigaction action {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: a second Ctrl-C is not caught and ends the process, for a user who
    // would rather lose the cleanup than wait for the current record.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

agent_stop_signals::~agent_stop_signals() { stopping_converter.store(nullptr); }

int agent_stop_signal() { return stop_signal; }
