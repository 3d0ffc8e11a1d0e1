// wiz_gui_queue.hpp - the GUI thread's queue of work handed over by worker threads.
//
// Qt's own ways of queueing a functor from a worker (invokeMethod with a lambda, a blocking
// queued connection) hand the functor and its captures over through Qt's internal locks, which
// the thread checker cannot see in a Qt not built for it, so every such hand-over reads as a
// race. Here the work travels through a std::mutex and the worker waits on a std::promise;
// Qt only carries a wake-up with no payload.
#pragma once

#include <QObject>

#include <deque>
#include <exception>
#include <functional>
#include <future>
#include <mutex>

class wiz_gui_queue : public QObject {
    Q_OBJECT
public:
    // One piece of work; it lives on the worker's stack until its promise is kept.
    struct job {
        std::function<void()> work;
        std::exception_ptr failure;
        std::promise<void> done;
    };

    // The queue of the running application, made on first use and moved to its GUI thread.
    static wiz_gui_queue& instance();

    // Queues the job and wakes the GUI thread; the job's promise is kept once it has run.
    void post(job& pending);

private:
    wiz_gui_queue() = default;
    Q_INVOKABLE void drain();

    std::mutex lock;
    std::deque<job*> jobs;
};
