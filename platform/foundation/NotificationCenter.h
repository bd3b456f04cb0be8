#pragma once

#include "platform/foundation/Notification.h"

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace platform {

// Process-local broadcast of named notifications, delivered synchronously on the posting thread.
// An observer is identified by an owner pointer: a QObject owner is forgotten on its own when it is
// destroyed; any other owner must call removeObserver before it goes away. Observers may be added
// or removed from inside a callback; a removed observer is not called again, not even for the
// notification being delivered.
class NotificationCenter : public QObject
{
    Q_OBJECT
public:
    using Callback = std::function<void(const Notification &)>;

    explicit NotificationCenter(QObject *parent = nullptr);
    ~NotificationCenter() override;

    static NotificationCenter *defaultCenter();
    // Stands in for the system-wide centre: notifications the desktop sends (devices coming and
    // going, language changes) are posted here.
    static NotificationCenter *distributedCenter();

    // An empty name observes every name; a null sender observes every sender. A sender filter
    // never matches once that sender has been destroyed, even if a new object takes its address.
    bool addObserver(QObject *observer, const QString &name, QObject *sender, Callback callback);
    bool addObserver(const void *observer, const QString &name, QObject *sender, Callback callback);

    // An empty name or a null sender matches any; with both left out every observation of the
    // observer ends.
    void removeObserver(const void *observer, const QString &name = QString(),
                        const QObject *sender = nullptr);

    bool post(const QString &name, QObject *sender = nullptr, const QVariantMap &userInfo = {});
    bool post(const Notification &notification);

    int observationCount() const;

private:
    struct Observation;
    // Observations of one name and one sender address (null: any), by the order they were added.
    using Bucket = std::map<quint64, std::shared_ptr<Observation>>;

    bool add(const std::shared_ptr<Observation> &observation);
    void forgetDestroyedObserver(QObject *observer);
    // The observations in the bucket of name and sender that match the notification.
    void collect(const Notification &notification, const QString &name, const void *sender,
                 std::vector<std::shared_ptr<Observation>> &into) const;

    mutable QMutex m_mutex;
    // Indexed both ways, so that posting and removing cost what they touch, whatever the number of
    // observations: a chain of effects has hundreds of thousands of them.
    QHash<QString, QHash<const void *, Bucket>> m_buckets;
    QHash<const void *, std::vector<std::shared_ptr<Observation>>> m_byOwner;
    quint64 m_nextOrder = 0;
    int m_count = 0;
    QSet<const QObject *> m_watchedObservers;
};

} // namespace platform
