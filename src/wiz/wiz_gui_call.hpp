// wiz_gui_call.hpp - runs a piece of work on the GUI thread and waits for it. Qt widgets live
// on the GUI thread only, so a worker's message boxes and dialogs come through here; from the
// GUI thread itself the work runs at once (a queued blocking call would deadlock).
//
// The worker waits on a std::promise rather than on Qt's blocking queued connection: the
// handshake is then one the thread checker can see, and an exception thrown by the work
// reaches the worker that asked for it instead of escaping into the event loop. When the call
// is dropped unrun (the application is going away), the promise breaks and the worker goes
// on without the work, as a blocking queued call would.
#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <future>
#include <memory>
#include <utility>

template <class Work>
void wiz_gui_call(Work&& work) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr || QThread::currentThread() == application->thread()) {
        work();
        return;
    }
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    QMetaObject::invokeMethod(
        application,
        [&work, done = std::move(done)] {
            try {
                work();
                done->set_value();
            } catch (...) {
                done->set_exception(std::current_exception());
            }
        },
        Qt::QueuedConnection);
    try {
        finished.get();
    } catch (const std::future_error& dropped) {
        if (dropped.code() != std::future_errc::broken_promise) throw;
    }
}
