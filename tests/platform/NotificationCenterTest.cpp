#include "platform/NotificationCenter.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

#include <memory>

using platform::Notification;
using platform::NotificationCenter;

namespace {

struct Case
{
    const char *label;
    QString observedName;
    bool filterOnFirstSender;
    QString postedName;
    bool postFromFirstSender;
    bool delivered;
};

class NameAndSenderFilter : public ::testing::TestWithParam<Case>
{
};

} // namespace

TEST_P(NameAndSenderFilter, DeliversOnlyMatchingNotifications)
{
    const Case c = GetParam();
    NotificationCenter center;
    QObject observer, first, second;
    int calls = 0;
    center.addObserver(&observer, c.observedName, c.filterOnFirstSender ? &first : nullptr,
                       [&](const Notification &) { ++calls; });
    center.post(c.postedName, c.postFromFirstSender ? &first : &second);
    EXPECT_EQ(calls, c.delivered ? 1 : 0) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    NotificationCenter, NameAndSenderFilter,
    ::testing::Values(Case{"SameNameAnySender", "A", false, "A", false, true},
                      Case{"OtherNameAnySender", "A", false, "B", false, false},
                      Case{"SameNameThatSender", "A", true, "A", true, true},
                      Case{"SameNameOtherSender", "A", true, "A", false, false},
                      Case{"AnyNameThatSender", QString(), true, "B", true, true},
                      Case{"AnyNameOtherSender", QString(), true, "B", false, false},
                      Case{"AnyNameAnySender", QString(), false, "Z", false, true}),
    [](const ::testing::TestParamInfo<Case> &info) { return std::string(info.param.label); });

TEST(NotificationCenter, CallbackReceivesNameSenderAndUserInfo)
{
    NotificationCenter center;
    QObject observer, sender;
    Notification seen;
    center.addObserver(&observer, "VXDocumentDidPrintNotification", nullptr,
                       [&](const Notification &n) { seen = n; });
    center.post("VXDocumentDidPrintNotification", &sender, {{"pages", 12}});
    EXPECT_EQ(seen.name, "VXDocumentDidPrintNotification");
    EXPECT_EQ(seen.object, &sender);
    EXPECT_EQ(seen.userInfo.value("pages").toInt(), 12);
}

TEST(NotificationCenter, DeliveryIsSynchronousAndInOrderOfRegistration)
{
    NotificationCenter center;
    QObject a, b;
    QStringList order;
    center.addObserver(&a, "N", nullptr, [&](const Notification &) { order << "a"; });
    center.addObserver(&b, "N", nullptr, [&](const Notification &) { order << "b"; });
    center.post("N");
    order << "after";
    EXPECT_EQ(order, (QStringList{"a", "b", "after"}));
}

TEST(NotificationCenter, RemovalByNameAndSenderKeepsTheOtherObservations)
{
    NotificationCenter center;
    QObject observer, first, second;
    QStringList seen;
    auto record = [&](const Notification &n) {
        seen << n.name + (n.object == &first ? "1" : "2");
    };
    center.addObserver(&observer, "A", &first, record);
    center.addObserver(&observer, "A", &second, record);
    center.addObserver(&observer, "B", nullptr, record);

    center.removeObserver(&observer, "A", &first);
    center.post("A", &first);
    center.post("A", &second);
    center.post("B", &first);
    EXPECT_EQ(seen, (QStringList{"A2", "B1"}));

    seen.clear();
    center.removeObserver(&observer, "B");
    center.post("B", &first);
    center.post("A", &second);
    EXPECT_EQ(seen, QStringList{"A2"});

    center.removeObserver(&observer);
    EXPECT_EQ(center.observationCount(), 0);
}

TEST(NotificationCenter, PlainOwnerIsRemovedByItsPointer)
{
    NotificationCenter center;
    struct Task
    {
        int done = 0;
    };
    Task task;
    center.addObserver(static_cast<const void *>(&task), "kVXTaskPrintDoneNotification", nullptr,
                       [&task](const Notification &) { ++task.done; });
    center.post("kVXTaskPrintDoneNotification");
    center.removeObserver(&task);
    center.post("kVXTaskPrintDoneNotification");
    EXPECT_EQ(task.done, 1);
}

TEST(NotificationCenter, DestroyedObserverObjectIsForgotten)
{
    NotificationCenter center;
    int calls = 0;
    {
        QObject observer;
        center.addObserver(&observer, "N", nullptr, [&](const Notification &) { ++calls; });
        center.addObserver(&observer, "M", nullptr, [&](const Notification &) { ++calls; });
        EXPECT_EQ(center.observationCount(), 2);
    }
    center.post("N");
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(center.observationCount(), 0);
}

TEST(NotificationCenter, ObserverRemovedByAnEarlierCallbackIsNotCalled)
{
    NotificationCenter center;
    QObject first;
    int secondCalls = 0;
    struct Owner
    {
    } second;
    center.addObserver(&first, "N", nullptr,
                       [&](const Notification &) { center.removeObserver(&second); });
    center.addObserver(&second, "N", nullptr, [&](const Notification &) { ++secondCalls; });
    center.post("N");
    EXPECT_EQ(secondCalls, 0);
}

TEST(NotificationCenter, ObserverDeletedByAnEarlierCallbackIsNotCalled)
{
    NotificationCenter center;
    QObject first;
    auto second = std::make_unique<QObject>();
    int secondCalls = 0;
    center.addObserver(&first, "N", nullptr, [&](const Notification &) { second.reset(); });
    center.addObserver(second.get(), "N", nullptr, [&](const Notification &) { ++secondCalls; });
    center.post("N");
    EXPECT_EQ(secondCalls, 0);
    EXPECT_EQ(center.observationCount(), 1);
}

TEST(NotificationCenter, ObserverMayRemoveItselfAndAddOthersWhileDelivered)
{
    NotificationCenter center;
    QObject self, late;
    int selfCalls = 0;
    int lateCalls = 0;
    center.addObserver(&self, "N", nullptr, [&](const Notification &) {
        ++selfCalls;
        center.removeObserver(&self);
        center.addObserver(&late, "N", nullptr, [&](const Notification &) { ++lateCalls; });
    });
    center.post("N");
    EXPECT_EQ(selfCalls, 1);
    EXPECT_EQ(lateCalls, 0) << "an observer added during delivery waits for the next post";
    center.post("N");
    EXPECT_EQ(selfCalls, 1);
    EXPECT_EQ(lateCalls, 1);
}

TEST(NotificationCenter, SenderFilterNeverMatchesAfterTheSenderIsDestroyed)
{
    NotificationCenter center;
    QObject observer;
    int calls = 0;
    auto sender = std::make_unique<QObject>();
    const QObject *address = sender.get();
    center.addObserver(&observer, "N", sender.get(), [&](const Notification &) { ++calls; });
    sender.reset();
    // Whatever object later lives at that address is not the sender that was observed.
    center.post(Notification{"N", const_cast<QObject *>(address), {}});
    center.post("N", nullptr);
    EXPECT_EQ(calls, 0);
}

TEST(NotificationCenter, DefaultAndDistributedCentresAreSeparateSharedInstances)
{
    NotificationCenter *local = NotificationCenter::defaultCenter();
    NotificationCenter *distributed = NotificationCenter::distributedCenter();
    ASSERT_NE(local, distributed);
    EXPECT_EQ(local, NotificationCenter::defaultCenter());
    QObject observer;
    int localCalls = 0;
    local->addObserver(&observer, "CMDeviceRegisteredNotification", nullptr,
                       [&](const Notification &) { ++localCalls; });
    distributed->post("CMDeviceRegisteredNotification");
    EXPECT_EQ(localCalls, 0);
    local->post("CMDeviceRegisteredNotification");
    EXPECT_EQ(localCalls, 1);
}

TEST(NotificationCenter, RefusesObservationsAndPostsItCannotServe)
{
    NotificationCenter center;
    platform::LogCapture log;
    EXPECT_FALSE(center.addObserver(static_cast<const void *>(nullptr), "N", nullptr,
                                    [](const Notification &) {}));
    QObject observer;
    EXPECT_FALSE(center.addObserver(&observer, "N", nullptr, nullptr));
    EXPECT_FALSE(center.post(QString()));
    EXPECT_EQ(center.observationCount(), 0);
    EXPECT_EQ(log.lines().size(), 3);
}
