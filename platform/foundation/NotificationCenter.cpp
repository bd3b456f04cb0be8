#include "platform/foundation/NotificationCenter.h"

#include "platform/foundation/Log.h"

#include <QMutexLocker>

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
    m_observations.append(observation);
    return true;
}

void NotificationCenter::removeObserver(const void *observer, const QString &name,
                                        const QObject *sender)
{
    QMutexLocker locker(&m_mutex);
    m_observations.removeIf([&](const std::shared_ptr<Observation> &observation) {
        const bool match = observation->owner == observer
                           && (name.isEmpty() || observation->name == name)
                           && (!sender || (observation->hasSender && observation->sender == sender));
        if (match)
            observation->removed = true;
        return match;
    });
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
    QList<std::shared_ptr<Observation>> snapshot;
    {
        QMutexLocker locker(&m_mutex);
        for (const auto &observation : std::as_const(m_observations)) {
            if (observation->matches(notification))
                snapshot.append(observation);
        }
    }
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
    return int(m_observations.size());
}

} // namespace platform
