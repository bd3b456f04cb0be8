#include "platform/foundation/NotificationCenter.h"

#include "platform/foundation/Log.h"

#include <QMutexLocker>

#include <algorithm>
#include <atomic>

namespace platform {

struct NotificationCenter::Observation
{
    const void *owner = nullptr;
    // Set for QObject owners, so that a destroyed owner is never called, even before its
    // destroyed() signal has been handled.
    bool ownerIsObject = false;
    QPointer<QObject> ownerObject;
    QString name;
    bool hasSender = false;
    QPointer<QObject> sender;
    // The sender's address when added: the bucket it is kept in.
    const void *senderKey = nullptr;
    quint64 order = 0;
    Callback callback;
    std::atomic_bool removed = false;

    bool matches(const Notification &notification) const
    {
        if (!name.isEmpty() && name != notification.name)
            return false;
        if (hasSender && (sender.isNull() || sender.data() != notification.object))
            return false;
        return true;
    }
};

NotificationCenter::NotificationCenter(QObject *parent) : QObject(parent) {}

NotificationCenter::~NotificationCenter() = default;

NotificationCenter *NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return &center;
}

NotificationCenter *NotificationCenter::distributedCenter()
{
    static NotificationCenter center;
    return &center;
}

bool NotificationCenter::addObserver(QObject *observer, const QString &name, QObject *sender,
                                     Callback callback)
{
    auto observation = std::make_shared<Observation>();
    observation->owner = observer;
    observation->ownerIsObject = true;
    observation->ownerObject = observer;
    observation->name = name;
    observation->hasSender = sender != nullptr;
    observation->sender = sender;
    observation->senderKey = sender;
    observation->callback = std::move(callback);
    if (!add(observation))
        return false;

    bool watched = false;
    {
        QMutexLocker locker(&m_mutex);
        watched = m_watchedObservers.contains(observer);
        m_watchedObservers.insert(observer);
    }
    if (!watched) {
        connect(observer, &QObject::destroyed, this,
                [this, observer] { forgetDestroyedObserver(observer); }, Qt::DirectConnection);
    }
    return true;
}

bool NotificationCenter::addObserver(const void *observer, const QString &name, QObject *sender,
                                     Callback callback)
{
    auto observation = std::make_shared<Observation>();
    observation->owner = observer;
    observation->name = name;
    observation->hasSender = sender != nullptr;
    observation->sender = sender;
    observation->senderKey = sender;
    observation->callback = std::move(callback);
    return add(observation);
}

bool NotificationCenter::add(const std::shared_ptr<Observation> &observation)
{
    if (!observation->owner) {
        logWarning(QStringLiteral("Observer of notification \"%1\" has no owner").arg(observation->name));
        return false;
    }
    if (!observation->callback) {
        logWarning(QStringLiteral("Observer of notification \"%1\" has no callback").arg(observation->name));
        return false;
    }
    QMutexLocker locker(&m_mutex);
    observation->order = m_nextOrder++;
    m_buckets[observation->name][observation->senderKey].emplace(observation->order, observation);
    m_byOwner[observation->owner].push_back(observation);
    ++m_count;
    return true;
}

void NotificationCenter::removeObserver(const void *observer, const QString &name,
                                        const QObject *sender)
{
    QMutexLocker locker(&m_mutex);
    const auto owned = m_byOwner.find(observer);
    if (owned == m_byOwner.end())
        return;
    std::erase_if(*owned, [&](const std::shared_ptr<Observation> &observation) {
        const bool match = (name.isEmpty() || observation->name == name)
                           && (!sender || (observation->hasSender && observation->sender == sender));
        if (!match)
            return false;
        observation->removed = true;
        const auto named = m_buckets.find(observation->name);
        const auto bucket = named->find(observation->senderKey);
        bucket->erase(observation->order);
        if (bucket->empty()) {
            named->erase(bucket);
            if (named->isEmpty())
                m_buckets.erase(named);
        }
        --m_count;
        return true;
    });
    if (owned->empty())
        m_byOwner.erase(owned);
}

void NotificationCenter::collect(const Notification &notification, const QString &name, const void *sender,
                                 std::vector<std::shared_ptr<Observation>> &into) const
{
    const auto named = m_buckets.constFind(name);
    if (named == m_buckets.constEnd())
        return;
    const auto bucket = named->constFind(sender);
    if (bucket == named->constEnd())
        return;
    for (const auto &entry : *bucket) {
        if (entry.second->matches(notification))
            into.push_back(entry.second);
    }
}

void NotificationCenter::forgetDestroyedObserver(QObject *observer)
{
    removeObserver(observer);
    QMutexLocker locker(&m_mutex);
    m_watchedObservers.remove(observer);
}

bool NotificationCenter::post(const QString &name, QObject *sender, const QVariantMap &userInfo)
{
    return post(Notification{name, sender, userInfo});
}

bool NotificationCenter::post(const Notification &notification)
{
    if (notification.name.isEmpty()) {
        logWarning(QStringLiteral("A notification without a name was not posted"));
        return false;
    }
    // Deliver to the observers present when posting began, so that callbacks may add and remove
    // observers freely.
    std::vector<std::shared_ptr<Observation>> snapshot;
    {
        QMutexLocker locker(&m_mutex);
        for (const QString &name : {notification.name, QString()}) {
            collect(notification, name, notification.object, snapshot);
            if (notification.object)
                collect(notification, name, nullptr, snapshot);
        }
    }
    std::sort(snapshot.begin(), snapshot.end(),
              [](const auto &a, const auto &b) { return a->order < b->order; });
    for (const auto &observation : std::as_const(snapshot)) {
        if (observation->removed)
            continue;
        if (observation->ownerIsObject && observation->ownerObject.isNull())
            continue;
        observation->callback(notification);
    }
    return true;
}

int NotificationCenter::observationCount() const
{
    QMutexLocker locker(&m_mutex);
    return m_count;
}

} // namespace platform
