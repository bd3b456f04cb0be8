#pragma once

#include "platform/foundation/KeyValueObservation.h"

#include <QObject>
#include <QSet>
#include <QString>

namespace platform {

// The receiving end of one key observation: a child of the observed object, connected to the
// signals that announce the key and the keys it depends on. Made by KeyValue::observe.
class KeyValueObserver : public QObject
{
    Q_OBJECT
public:
    KeyValueObserver(QObject *object, const QString &key, KeyValueObservation::Callback callback);

    // Keys announced through the object's keyValueChanged signal that concern this observation.
    void setAnnouncedKeys(const QSet<QString> &keys);
    bool isActive() const;

public slots:
    void stop();
    void keyChanged();
    void announcedKeyChanged(const QString &key);

private:
    QObject *m_object;
    QString m_key;
    KeyValueObservation::Callback m_callback;
    QSet<QString> m_announcedKeys;
    bool m_active = true;
};

} // namespace platform
