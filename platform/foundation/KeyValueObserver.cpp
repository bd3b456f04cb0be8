#include "platform/foundation/KeyValueObserver.h"

#include "platform/foundation/KeyValue.h"

namespace platform {

KeyValueObserver::KeyValueObserver(QObject *object, const QString &key,
                                   KeyValueObservation::Callback callback)
    : QObject(object), m_object(object), m_key(key), m_callback(std::move(callback))
{
}

void KeyValueObserver::setAnnouncedKeys(const QSet<QString> &keys) { m_announcedKeys = keys; }

bool KeyValueObserver::isActive() const { return m_active; }

void KeyValueObserver::stop()
{
    if (!m_active)
        return;
    m_active = false;
    disconnect(m_object, nullptr, this, nullptr);
    // The callback may be running right now; it goes with the object on the next turn.
    deleteLater();
}

void KeyValueObserver::keyChanged()
{
    if (!m_active)
        return;
    // Copied so that the callback may stop this observation while it runs.
    const KeyValueObservation::Callback callback = m_callback;
    callback(KeyValue::valueForKey(m_object, m_key));
}

void KeyValueObserver::announcedKeyChanged(const QString &key)
{
    if (m_announcedKeys.contains(key))
        keyChanged();
}

} // namespace platform
