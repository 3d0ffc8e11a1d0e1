// agent_signal.cpp - the stop handlers. A handler may only do what is async-signal-safe: it
// stores the signal number and sets the converter's lock-free stop flag, or at a second
// signal unlinks the temporary files and ends the process.
#include "agent/agent_signal.hpp"

#include <atomic>
#include <csignal>

#include "conv/vantrel_conv.hpp"
#include "tk/tk_exit_cleanup.hpp"

namespace {

volatile std::sig_atomic_t stop_signal = 0;
std::atomic<vantrel_convertor*> stopping_converter{nullptr};
static_assert(std::atomic<vantrel_convertor*>::is_always_lock_free);

// The first signal asks the run to stop after the current record; a second one ends the
// process at once, for a user who would rather lose the cleanup than wait, but still removes
// the temporary files, and then dies of the signal as the shells expect.
extern "C" void on_stop_signal(int signal_number) {
    if (stop_signal != 0) {
        tk_exit_cleanup::remove_all_now();
        std::signal(signal_number, SIG_DFL);
        std::raise(signal_number);
        return;
    }
    stop_signal = signal_number;
    if (vantrel_convertor* converter = stopping_converter.load()) converter->request_stop();
}

}   // namespace

agent_stop_signals::agent_stop_signals(vantrel_convertor& converter) {
    stopping_converter.store(&converter);
    struct sigaction action {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;   // kept for the second signal: no SA_RESETHAND
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

agent_stop_signals::~agent_stop_signals() { stopping_converter.store(nullptr); }

int agent_stop_signal() { return stop_signal; }
