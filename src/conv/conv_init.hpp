// conv_init.hpp - init_conversion brackets one conversion run: the start line in the log at
// construction; the end line and the converter's done flag at destruction.
#pragma once

#include <atomic>

class init_conversion {
public:
    // com_ready: the caller has set up the component runtime already (kept for the wizard,
    // whose worker thread does; on this platform there is nothing to initialise).
    init_conversion(std::atomic<bool>& done_flag, bool com_ready);
    init_conversion(const init_conversion&) = delete;
    init_conversion& operator=(const init_conversion&) = delete;
    ~init_conversion();

private:
    std::atomic<bool>& done_flag;
};
