// wiz_gui_queue.cpp - see the header: a mutex-guarded queue, drained on the GUI thread.
#include "wiz_gui_queue.hpp"

#include <QCoreApplication>
#include <QMetaObject>

wiz_gui_queue& wiz_gui_queue::instance() {
    // Kept for the life of the process: workers may still post while the application ends.
    static wiz_gui_queue* const queue = [] {
        auto* made = new wiz_gui_queue;
        made->moveToThread(QCoreApplication::instance()->thread());
        return made;
    }();
    return *queue;
}

void wiz_gui_queue::post(job& pending) {
    {
        std::scoped_lock guard(lock);
        jobs.push_back(&pending);
    }
    QMetaObject::invokeMethod(this, "drain", Qt::QueuedConnection);
}

void wiz_gui_queue::drain() {
    for (;;) {
        job* next = nullptr;
        {
            std::scoped_lock guard(lock);
            if (jobs.empty()) return;
            next = jobs.front();
            jobs.pop_front();
        }
        try {
            next->work();
        } catch (...) {
            next->failure = std::current_exception();
        }
        next->done.set_value();   // the last touch: the worker may end the job at once
    }
}
