#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/OperationQueue.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <atomic>
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
    OperationQueue queue(2);
    QThread *const gui = QCoreApplication::instance()->thread();
    QList<int> squares;
    std::atomic_int ranOnGui = 0;
    QThread *deliveredOn = nullptr;
    auto square = [&](int i) {
        ranOnGui += QThread::currentThread() == gui;
        MainQueue::post([i, &squares, &deliveredOn] {
            squares << i * i;
            deliveredOn = QThread::currentThread();
        });
    };
    queue.addOperation([&] {
        square(2);
        queue.addOperation([&] { square(3); }); // an operation may add operations
    });
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(ranOnGui, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return squares.size() == 2; }, waitLimitMs));
    EXPECT_EQ(squares, (QList<int>{4, 9}));
    EXPECT_EQ(deliveredOn, gui);
}

TEST(OperationQueue, AThrowingOperationIsLoggedAndTheQueueGoesOnAndAWidthBelowOneIsRefused)
{
    OperationQueue queue(1);
    platform::LogCapture log;
    std::atomic_bool after = false;
    queue.addOperation([] { throw std::runtime_error("page 3 is damaged"); });
    queue.addOperation([&] { after = true; });
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_TRUE(after);
    queue.setMaxConcurrentOperationCount(0);
    EXPECT_EQ(queue.maxConcurrentOperationCount(), 1);
    EXPECT_EQ(log.lines(), (QStringList{"Error: Background operation failed: page 3 is damaged",
                                        "Warning: Operation queue width 0 refused; it stays at 1"}));
}

TEST(OperationQueue, CountsWaitingOperationsAndCancelDropsThemButLetsTheRunningOneFinish)
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
    EXPECT_EQ(queue.operationCount(), 6);
    queue.cancelAllOperations();
    release = true;
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(queue.operationCount(), 0);
    queue.addOperation([&] { ++ran; });
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(ran, 2);
}
