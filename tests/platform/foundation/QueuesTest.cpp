#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/OperationQueue.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSemaphore>
#include <QTest>
#include <QThread>

#include <atomic>
#include <functional>
#include <stdexcept>

using platform::MainQueue;
using platform::OperationQueue;

namespace {
constexpr int waitLimitMs = 10000;
}

TEST(MainQueue, WorkRunsInOrderOnALaterTurnOfTheGuiThread)
{
    QList<int> order;
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(MainQueue::post([&order, i] { order << i; }));
    EXPECT_TRUE(order.isEmpty()) << "posting from the GUI thread does not run the work at once";
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 5; }, waitLimitMs));
    EXPECT_EQ(order, (QList<int>{0, 1, 2, 3, 4}));

    platform::LogCapture log;
    EXPECT_FALSE(MainQueue::post(nullptr));
    EXPECT_TRUE(log.contains("Warning: Empty work was not posted to the main queue"));
}

TEST(OperationQueue, ResultsComputedInTheBackgroundAreDeliveredOnTheGuiThread)
{
    OperationQueue queue(4);
    QThread *const gui = QCoreApplication::instance()->thread();
    QList<int> squares;
    std::atomic_int ranOnGui = 0;
    QThread *deliveredOn = nullptr;
    std::function<void(int)> square = [&](int i) {
        if (QThread::currentThread() == gui)
            ++ranOnGui;
        if (i < 6) // an operation may add operations
            queue.addOperation([&square, i] { square(i + 1); });
        MainQueue::post([i, &squares, &deliveredOn] {
            squares << i * i;
            deliveredOn = QThread::currentThread();
        });
    };
    queue.addOperation([&] { square(1); });
    queue.addOperation([&] { square(4); });
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(ranOnGui, 0);
    EXPECT_EQ(queue.operationCount(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return squares.size() == 9; }, waitLimitMs));
    std::sort(squares.begin(), squares.end());
    EXPECT_EQ(squares, (QList<int>{1, 4, 9, 16, 16, 25, 25, 36, 36}));
    EXPECT_EQ(deliveredOn, gui);
}

TEST(OperationQueue, NeverRunsMoreThanItsWidthAtOnceAndRefusesAWidthBelowOne)
{
    OperationQueue queue(3);
    {
        platform::LogCapture log;
        queue.setMaxConcurrentOperationCount(0);
        EXPECT_EQ(queue.maxConcurrentOperationCount(), 3);
        EXPECT_EQ(log.lines(), QStringList{"Warning: Operation queue width 0 refused; it stays at 3"});
    }
    queue.setMaxConcurrentOperationCount(2);
    QSemaphore release;
    std::atomic_int started = 0;
    std::atomic_int running = 0;
    std::atomic_int mostAtOnce = 0;
    for (int i = 0; i < 5; ++i) {
        queue.addOperation([&] {
            ++started;
            const int now = ++running;
            int seen = mostAtOnce;
            while (now > seen && !mostAtOnce.compare_exchange_weak(seen, now)) {
            }
            release.acquire();
            --running;
        });
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return started == 2; }, waitLimitMs));
    EXPECT_EQ(queue.operationCount(), 5) << "two blocked, three waiting";
    release.release(5);
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(mostAtOnce, 2);
    EXPECT_EQ(queue.operationCount(), 0);
}

TEST(OperationQueue, AThrowingOperationIsLoggedAndTheQueueGoesOn)
{
    OperationQueue queue(1);
    platform::LogCapture log;
    std::atomic_bool after = false;
    queue.addOperation([] { throw std::runtime_error("page 3 is damaged"); });
    queue.addOperation([&] { after = true; });
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_TRUE(after);
    EXPECT_EQ(log.lines(), QStringList{"Error: Background operation failed: page 3 is damaged"});
}

TEST(OperationQueue, CancelDropsWaitingOperationsAndLetsTheRunningOneFinish)
{
    OperationQueue queue(1);
    std::atomic_bool release = false;
    std::atomic_int ran = 0;
    std::atomic_bool started = false;
    queue.addOperation([&] {
        started = true;
        while (!release)
            QThread::msleep(1);
        ++ran;
    });
    while (!started)
        QThread::msleep(1);
    for (int i = 0; i < 5; ++i)
        queue.addOperation([&] { ++ran; });
    queue.cancelAllOperations();
    release = true;
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(queue.operationCount(), 0);
    queue.addOperation([&] { ++ran; });
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(ran, 2);
}
