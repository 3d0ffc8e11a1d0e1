// wiz_gui_call.hpp - runs a piece of work on the GUI thread and waits for it. Qt widgets live
// on the GUI thread only, so a worker's message boxes and dialogs come through here; from the
// GUI thread itself the work runs at once (a queued blocking call would deadlock). A failure
// in the work is rethrown to the worker that asked for it, not into the event loop.
#pragma once

#include "wiz_gui_queue.hpp"

#include <QCoreApplication>
#include <QThread>

#include <utility>

template <class Work>
void wiz_gui_call(Work&& work) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr || QThread::currentThread() == application->thread()) {
        work();
        return;
    }
    wiz_gui_queue::job pending;
    pending.work = [&work] { work(); };
    std::future<void> finished = pending.done.get_future();
    wiz_gui_queue::instance().post(pending);
    finished.wait();
    if (pending.failure) std::rethrow_exception(pending.failure);
}
