// wiz_gui_call.hpp - runs a piece of work on the GUI thread and waits for it. Qt widgets live
// on the GUI thread only, so a worker's message boxes and dialogs come through here; from the
// GUI thread itself the work runs at once (a queued blocking call would deadlock).
#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <utility>

template <class Work>
void wiz_gui_call(Work&& work) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr || QThread::currentThread() == application->thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(application, std::forward<Work>(work), Qt::BlockingQueuedConnection);
}
