// tk_thread: one body at a time, waited for, and a body that throws does not end the process.
#include "tk/tk_thread.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "tk/tk_exce.hpp"

namespace {

TEST(WorkerThread, StartWhileRunningIsTheAssertionOfLine92AndJoinWaits) {
    tk_thread worker;
    std::atomic<bool> b_release{false};
    std::atomic<int> steps{0};
    worker.start([&] {
        while (!b_release.load()) std::this_thread::yield();
        ++steps;
    });
    ASSERT_TRUE(worker.is_running());
    try {
        worker.start([] {});
        ADD_FAILURE() << "a second start was accepted";
    } catch (const tk_mail_assertion& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "Internal error: \ncode=" + tk_mail_assertion::location_code("tk_threa", 92));
    }
    b_release.store(true);
    worker.join();
    EXPECT_FALSE(worker.is_running());
    EXPECT_EQ(steps.load(), 1);
}

// The wizard's timer asks is_running() while the body ends on its own thread, with no join
// in between; under ThreadSanitizer (label threads) a flag that is not atomic fails here.
TEST(WorkerThread, RunningCanBeAskedWhileTheBodyEnds) {
    tk_thread worker;
    std::atomic<bool> b_release{false};
    worker.start([&] {
        while (!b_release.load()) std::this_thread::yield();
    });
    b_release.store(true);
    while (worker.is_running()) std::this_thread::yield();
    worker.join();
    EXPECT_FALSE(worker.is_running());
}

TEST(WorkerThread, ExceptionLeavingTheBodyIsKeptForTheOwner) {
    tk_thread worker;
    worker.start([] { throw std::runtime_error("connection lost"); });
    worker.join();
    EXPECT_EQ(worker.escaped_failure(), "connection lost");
    worker.start([] {});   // a finished thread can be started again
    worker.join();
    EXPECT_EQ(worker.escaped_failure(), "");
}

TEST(WorkerThread, EmptyBodyIsRefused) {
    tk_thread worker;
    EXPECT_THROW(worker.start(nullptr), tk_mail_assertion);
}

}   // namespace
