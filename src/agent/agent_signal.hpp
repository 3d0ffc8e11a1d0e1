// agent_signal.hpp - Ctrl-C (SIGINT) and SIGTERM during a conversion: the first asks the
// converter to stop at the next record, so the current batch is committed, the summary
// written and the temporary files removed as the program ends normally; the exit status then
// says which signal it was (128 + number). A second signal ends the process at once.
#pragma once

class vantrel_convertor;

// While it lives, the handlers ask this converter to stop; afterwards a signal is only noted.
class agent_stop_signals {
public:
    explicit agent_stop_signals(vantrel_convertor& converter);
    ~agent_stop_signals();
    agent_stop_signals(const agent_stop_signals&) = delete;
    agent_stop_signals& operator=(const agent_stop_signals&) = delete;
};

// The signal that asked the run to stop; 0 when none did.
int agent_stop_signal();
