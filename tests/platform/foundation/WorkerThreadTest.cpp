#include "platform/foundation/WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

using namespace std::chrono_literals;
using platform::WorkerThread;

namespace {

// What a work holds, and the thread-local it makes: each is gone only a moment after its
// destructor starts, so that an end told before they are gone is seen.
std::atomic_bool heldGone = false;
std::atomic_bool threadLocalGone = false;

struct Held
{
    ~Held()
    {
        std::this_thread::sleep_for(50ms);
        heldGone = true;
    }
};

struct ThreadLocal
{
    ~ThreadLocal()
    {
        std::this_thread::sleep_for(50ms);
        threadLocalGone = true;
    }
};

// A work that holds a Held and a ThreadLocal until go is set.
std::function<void()> heldUntil(std::shared_future<void> go)
{
    heldGone = false;
    threadLocalGone = false;
    return [held = std::make_shared<Held>(), go] {
        thread_local ThreadLocal local;
        (void)local;
        go.wait();
    };
}

} // namespace

// A thread still working is not waited for beyond the timeout; once it ends, the wait returns
// only after everything its work held, its thread-locals included, is gone.
TEST(WorkerThread, AnEndedThreadHasLetGoOfAllItHeld)
{
    std::promise<void> go;
    std::optional<WorkerThread> thread = WorkerThread::start(heldUntil(go.get_future().share()), nullptr);
    ASSERT_TRUE(thread);
    EXPECT_FALSE(thread->waitUntilEnded(20ms)) << "still working";
    go.set_value();
    ASSERT_TRUE(thread->waitUntilEnded(30s));
    EXPECT_TRUE(heldGone);
    EXPECT_TRUE(threadLocalGone);
    EXPECT_TRUE(WorkerThread::waitUntilAllEnded(0ms));
}

// A thread its owner leaves still counts as running for the process's end until it has ended
// and let go of all it held; then nothing is left running.
TEST(WorkerThread, ALeftThreadCountsUntilItHasLetGoOfAllItHeld)
{
    std::promise<void> go;
    std::optional<WorkerThread> thread = WorkerThread::start(heldUntil(go.get_future().share()), nullptr);
    ASSERT_TRUE(thread);
    thread.reset();
    EXPECT_FALSE(WorkerThread::waitUntilAllEnded(20ms)) << "left, but still working";
    go.set_value();
    ASSERT_TRUE(WorkerThread::waitUntilAllEnded(30s));
    EXPECT_TRUE(heldGone);
    EXPECT_TRUE(threadLocalGone);
}
