#include "platform/Log.h"
#include "platform/MainQueue.h"
#include "platform/OperationQueue.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSemaphore>
#include <QTest>
#include <QThread>

#include <atomic>
#include <stdexcept>

using platform::MainQueue;
using platform::OperationQueue;

namespace {
constexpr int waitLimitMs = 10000;
}

TEST(MainQueue, WorkRunsOnALaterTurnOfTheGuiThread)
{
    bool ran = false;
    QThread *ranOn = nullptr;
    ASSERT_TRUE(MainQueue::post([&] {
        ran = true;
        ranOn = QThread::currentThread();
    }));
    EXPECT_FALSE(ran) << "posting from the GUI thread does not run the work at once";
    ASSERT_TRUE(QTest::qWaitFor([&] { return ran; }, waitLimitMs));
    EXPECT_EQ(ranOn, QCoreApplication::instance()->thread());
}

TEST(MainQueue, WorkPostedInOrderRunsInOrder)
{
    QList<int> order;
    for (int i = 0; i < 5; ++i)
        MainQueue::post([&order, i] { order << i; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 5; }, waitLimitMs));
    EXPECT_EQ(order, (QList<int>{0, 1, 2, 3, 4}));
}

TEST(MainQueue, EmptyWorkIsRefused)
{
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
    for (int i = 1; i <= 6; ++i) {
        queue.addOperation([i, gui, &ranOnGui, &squares, &deliveredOn] {
            if (QThread::currentThread() == gui)
                ++ranOnGui;
            const int square = i * i;
            MainQueue::post([square, &squares, &deliveredOn] {
                squares << square;
                deliveredOn = QThread::currentThread();
            });
        });
    }
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(ranOnGui, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return squares.size() == 6; }, waitLimitMs));
    std::sort(squares.begin(), squares.end());
    EXPECT_EQ(squares, (QList<int>{1, 4, 9, 16, 25, 36}));
    EXPECT_EQ(deliveredOn, gui);
}

TEST(OperationQueue, NeverRunsMoreThanItsWidthAtOnce)
{
    OperationQueue queue(2);
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
    EXPECT_EQ(queue.operationCount(), 5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return started == 2; }, waitLimitMs));
    EXPECT_EQ(queue.operationCount(), 5) << "two blocked, three waiting";
    release.release(5);
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(started, 5);
    EXPECT_EQ(mostAtOnce, 2);
    EXPECT_EQ(queue.operationCount(), 0);
}

TEST(OperationQueue, OperationsMayAddOperations)
{
    OperationQueue queue(2);
    std::atomic_int done = 0;
    queue.addOperation([&] {
        ++done;
        queue.addOperation([&] { ++done; });
    });
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(done, 2);
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
    EXPECT_EQ(queue.operationCount(), 0);
    EXPECT_EQ(log.lines(), QStringList{"Error: Background operation failed: page 3 is damaged"});
}

TEST(OperationQueue, WidthBelowOneIsRefused)
{
    OperationQueue queue(3);
    platform::LogCapture log;
    queue.setMaxConcurrentOperationCount(0);
    EXPECT_EQ(queue.maxConcurrentOperationCount(), 3);
    queue.setMaxConcurrentOperationCount(1);
    EXPECT_EQ(queue.maxConcurrentOperationCount(), 1);
    EXPECT_EQ(log.lines(), QStringList{"Warning: Operation queue width 0 refused; it stays at 3"});
    EXPECT_GE(OperationQueue().maxConcurrentOperationCount(), 1);
}
TEST(OperationQueue, CancelDropsWaitingOperationsAndLetsTheRunningOneFinish)
{
    platform::OperationQueue queue(1);
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
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(queue.operationCount(), 0);
    queue.addOperation([&] { ++ran; });
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(ran, 2);
}
