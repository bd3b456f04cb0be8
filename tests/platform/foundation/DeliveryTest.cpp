#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/OperationQueue.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <vector>

using platform::MainQueue;
using platform::Notification;
using platform::NotificationCenter;
using platform::OperationQueue;

constexpr int waitLimitMs = 10000;

TEST(NotificationCenter, DeliversMatchingNotificationsAtOnceInOrderOfRegistrationWithNameSenderAndUserInfo)
{
    NotificationCenter center;
    QObject a, b, c, sender, other;
    QStringList order;
    Notification seen;
    center.addObserver(&a, "VXDocumentDidPrintNotification", nullptr, [&](const Notification &) { order << "a"; });
    center.addObserver(&b, QString(), &sender, [&](const Notification &n) {
        order << "b";
        seen = n;
    });
    center.addObserver(&c, "VXDocumentDidPrintNotification", &other, [&](const Notification &) { order << "c"; });
    center.addObserver(&c, "VXDocumentWillPrintNotification", nullptr, [&](const Notification &) { order << "c"; });
    center.post("VXDocumentDidPrintNotification", &sender, {{"pages", 12}});
    order << "after";
    EXPECT_EQ(order, (QStringList{"a", "b", "after"}));
    EXPECT_EQ(seen.object, &sender);
    EXPECT_EQ(seen.userInfo.value("pages").toInt(), 12);
}

TEST(NotificationCenter, RemovalByNameAndSenderKeepsTheOtherObservations)
{
    NotificationCenter center;
    QObject observer, first, second;
    QStringList seen;
    auto record = [&](const Notification &n) { seen << n.name + (n.object == &first ? "1" : "2"); };
    center.addObserver(&observer, "A", &first, record);
    center.addObserver(&observer, "A", &second, record);
    center.addObserver(&observer, "B", nullptr, record);
    center.removeObserver(&observer, "A", &first);
    center.removeObserver(&observer, "B");
    center.post("A", &first);
    center.post("A", &second);
    center.post("B", &first);
    EXPECT_EQ(seen, QStringList{"A2"});
    center.removeObserver(&observer);
    EXPECT_EQ(center.observationCount(), 0);
}

TEST(NotificationCenter, DestroyedObserversAndSendersAreForgotten)
{
    NotificationCenter center;
    int calls = 0;
    {
        QObject observer;
        center.addObserver(&observer, "N", nullptr, [&](const Notification &) { ++calls; });
    }
    EXPECT_EQ(center.observationCount(), 0);

    QObject observer;
    auto sender = std::make_unique<QObject>();
    const QObject *address = sender.get();
    center.addObserver(&observer, "N", sender.get(), [&](const Notification &) { ++calls; });
    sender.reset();
    // Whatever object later lives at that address is not the sender that was observed.
    center.post(Notification{"N", const_cast<QObject *>(address), {}});
    center.post("N", nullptr);
    EXPECT_EQ(calls, 0);
}

TEST(NotificationCenter, ObserversRemovedOrAddedDuringDeliveryWaitForTheNextPost)
{
    NotificationCenter center;
    QObject self, late;
    struct Owner {} removed; // no QObject
    auto deleted = std::make_unique<QObject>();
    int selfCalls = 0, otherCalls = 0;
    center.addObserver(&self, "N", nullptr, [&](const Notification &) {
        ++selfCalls;
        center.removeObserver(&self);
        center.removeObserver(&removed);
        deleted.reset();
        center.addObserver(&late, "N", nullptr, [&](const Notification &) { ++otherCalls; });
    });
    center.addObserver(&removed, "N", nullptr, [&](const Notification &) { ++otherCalls; });
    center.addObserver(deleted.get(), "N", nullptr, [&](const Notification &) { ++otherCalls; });
    center.post("N");
    EXPECT_EQ(otherCalls, 0);
    center.post("N");
    EXPECT_EQ(selfCalls, 1);
    EXPECT_EQ(otherCalls, 1);
}

// 100,000 owners each observe "N" from no sender, from a or from b in turn, and "M" from anyone.
// They go in another order than they came, some by name, some whole, some by sender: the rest
// still hear in the order they were added, and none that went. Then 100,000 QObject observers are
// destroyed, the last first. Each removal used to walk every observation, so that a chain of
// effects took minutes to build and to take down.
TEST(NotificationCenter, ManyObserversGoInAnyOrderAndTheRestHearInTheOrderTheyCame)
{
    NotificationCenter center;
    QObject a, b;
    constexpr int count = 100000;
    std::vector<char> owners(count);
    std::vector<int> heard;
    for (int i = 0; i < count; ++i) {
        QObject *sender = i % 3 == 0 ? nullptr : i % 3 == 1 ? &a : &b;
        center.addObserver(&owners[i], "N", sender, [&heard, i](const Notification &) { heard.push_back(i); });
        center.addObserver(&owners[i], "M", nullptr, [&heard, i](const Notification &) { heard.push_back(-i); });
    }
    for (int i = count; i-- > 0;) {
        if (i % 2 == 0)
            center.removeObserver(&owners[i], "N");
        else if (i % 5 == 0)
            center.removeObserver(&owners[i]);
        else if (i % 7 == 0)
            center.removeObserver(&owners[i], QString(), &a);
    }
    std::vector<int> fromA, fromAnyone;
    int left = 0;
    for (int i = 0; i < count; ++i) {
        const bool whole = i % 2 != 0 && i % 5 == 0;
        const bool hearsN = i % 2 != 0 && !whole && !(i % 7 == 0 && i % 3 == 1);
        if (hearsN && i % 3 != 2)
            fromA.push_back(i);
        if (!whole)
            fromAnyone.push_back(-i);
        left += (hearsN ? 1 : 0) + (whole ? 0 : 1);
    }
    EXPECT_EQ(center.observationCount(), left);
    center.post("N", &a);
    EXPECT_EQ(heard, fromA);
    heard.clear();
    center.post("M", &b);
    EXPECT_EQ(heard, fromAnyone);
    for (int i = 0; i < count; ++i)
        center.removeObserver(&owners[i]);
    EXPECT_EQ(center.observationCount(), 0);

    std::vector<std::unique_ptr<QObject>> observers;
    for (int i = 0; i < count; ++i) {
        observers.push_back(std::make_unique<QObject>());
        center.addObserver(observers.back().get(), "N", &a, [](const Notification &) {});
    }
    while (!observers.empty())
        observers.pop_back();
    EXPECT_EQ(center.observationCount(), 0);
}

TEST(NotificationCenter, SharedCentresAreSeparateAndObservationsAndPostsThatCannotBeServedAreRefused)
{
    EXPECT_NE(NotificationCenter::defaultCenter(), NotificationCenter::distributedCenter());

    NotificationCenter center;
    QObject observer;
    platform::LogCapture log;
    EXPECT_FALSE(center.addObserver(static_cast<const void *>(nullptr), "N", nullptr, [](const Notification &) {}));
    EXPECT_FALSE(center.addObserver(&observer, "N", nullptr, nullptr));
    EXPECT_FALSE(center.post(QString()));
    EXPECT_EQ(center.observationCount(), 0);
    EXPECT_EQ(log.lines().size(), 3);
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

TEST(OperationQueue, WaitingOperationsOfAHigherPriorityStartFirstAndEqualOnesInTurn)
{
    OperationQueue queue(1);
    std::atomic_bool release = false;
    QList<int> order; // one operation runs at a time
    queue.addOperation([&] {
        while (!release)
            QThread::msleep(1);
    });
    for (const auto &[name, priority] : {std::pair{1, 0}, {2, 0}, {3, 1}, {4, 2}, {5, 1}})
        queue.addOperation([&order, name] { order << name; }, priority);
    release = true;
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(order, (QList<int>{4, 3, 5, 1, 2}));
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
