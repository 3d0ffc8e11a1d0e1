#pragma once
// tk_exit_cleanup.hpp - files a process must not leave behind even when a signal ends it at
// once (a second Ctrl-C): the temporary workgroup file and its lock file. Their paths sit in
// fixed slots, so that a signal handler can remove them with unlink alone, which is
// async-signal-safe; registering and forgetting happen on the program's own thread.

#include <string>

class tk_exit_cleanup {
public:
    // Keeps `path` for removal; false when every slot is taken or the path is too long.
    static bool add(const std::string& path);
    // The file is gone or kept on purpose: no longer removed at a sudden end.
    static void forget(const std::string& path);
    // Removes every file still kept. Async-signal-safe.
    static void remove_all_now();
};
