// tk_thread.hpp - the wizard's worker thread: runs one body (the connection test, the
// conversion) on a thread of its own. There is no forced termination: the owner asks the body
// to stop by the body's own means (the converter's stop request) and join() waits for it, so
// no connection or bulk batch is left half used. Destroying a tk_thread waits for its thread;
// declare it after everything its body touches, so it goes first.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

inline constexpr const char* TK_THREAD_SOURCE = "tk_threa";
inline constexpr int FAULT_THREAD_STARTED_WHILE_RUNNING = 92;
inline constexpr int FAULT_THREAD_BODY_MISSING = 149;

class tk_thread {
public:
    tk_thread() = default;
    tk_thread(const tk_thread&) = delete;
    tk_thread& operator=(const tk_thread&) = delete;
    ~tk_thread();

    // Joins a finished thread, then runs `body` on a new one. A thread still running, or an
    // empty body, is an internal error.
    void start(std::function<void()> body);
    // Whether the body has not returned yet.
    bool is_running() const { return b_running.load(); }
    // Waits for the body to return; nothing happens without a thread.
    void join();
    // What the body threw, when it let a std::exception out (traced as well); else empty.
    const std::string& escaped_failure() const { return failure_text; }

private:
    void run_body(const std::function<void()>& body);

    std::atomic<bool> b_running{false};
    std::string failure_text;   // written by the thread, read after join()
    std::thread worker;
};
