// tk_thread.cpp - one worker thread at a time. An exception leaving the body would end the
// process from the worker (std::terminate); it is caught at the thread's edge, traced and
// kept for the owner, who reports it on its own thread.
#include "tk/tk_thread.hpp"

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"

tk_thread::~tk_thread() { join(); }

void tk_thread::start(std::function<void()> body) {
    if (is_running()) throw tk_mail_assertion(TK_THREAD_SOURCE, FAULT_THREAD_STARTED_WHILE_RUNNING);
    if (!body) throw tk_mail_assertion(TK_THREAD_SOURCE, FAULT_THREAD_BODY_MISSING);
    join();
    failure_text.clear();
    b_running.store(true);
    worker = std::thread([this, task = std::move(body)] { run_body(task); });
}

void tk_thread::join() {
    if (worker.joinable()) worker.join();
}

void tk_thread::run_body(const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& failure) {
        tk_trace::write(3, "ERROR:\n%s", failure.what());
        failure_text = failure.what();
    }
    b_running.store(false);
}
