#pragma once

#include "platform/foundation/KeyValueObservation.h"

#include <QObject>
#include <QPointer>
#include <QString>

namespace platform {

// A key of the target (the binding's parent) follows a key of the source; a two-way binding also
// writes the target's own changes back to the source. Made by KeyValue::bind and ended with
// KeyValue::unbind, a later binding of the same key, or either object; nothing of it outlives it.
class KeyValueBinding : public QObject
{
    Q_OBJECT
public:
    KeyValueBinding(QObject *target, const QString &targetKey, QObject *source, const QString &sourceKey);
    ~KeyValueBinding() override;

    // Starts following and applies the source's current value; false when the source key, or
    // for a two-way binding the target key, cannot be observed.
    bool start(bool twoWay);
    void stop();
    // Whether the binding is passing a value on right now.
    bool isApplying() const;

    QString targetKey() const;
    QObject *source() const;
    QString sourceKey() const;

private:
    void apply();
    void writeBack(const QVariant &value);

    QObject *m_target;
    QString m_targetKey;
    QPointer<QObject> m_source;
    QString m_sourceKey;
    KeyValueObservation m_observation;
    KeyValueObservation m_writeBack;
    bool m_applying = false;
};

} // namespace platform
