#pragma once

#include "platform/foundation/KeyValueObservation.h"

#include <QObject>
#include <QPointer>
#include <QString>

namespace platform {

// One one-way binding: a key of the target (the binding's parent) follows a key of the source.
// Made by KeyValue::bind; controls read it to write edits back to the source.
class KeyValueBinding : public QObject
{
    Q_OBJECT
public:
    KeyValueBinding(QObject *target, const QString &targetKey, QObject *source, const QString &sourceKey);
    ~KeyValueBinding() override;

    // Starts following and applies the source's current value; false when the source key cannot
    // be observed.
    bool start();
    void stop();
    // Whether the binding is passing a value on right now.
    bool isApplying() const;

    QString targetKey() const;
    QObject *source() const;
    QString sourceKey() const;

private:
    void apply();

    QObject *m_target;
    QString m_targetKey;
    QPointer<QObject> m_source;
    QString m_sourceKey;
    KeyValueObservation m_observation;
    bool m_applying = false;
};

} // namespace platform
