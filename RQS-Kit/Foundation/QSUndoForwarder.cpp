#include "RQS-Kit/Foundation/QSUndoForwarder.h"

#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"

QSUndoForwarder *QSUndoForwarder::sharedForwarder()
{
    static QSUndoForwarder forwarder;
    return &forwarder;
}

void QSUndoForwarder::performKeyValueUndo(const QVariantMap &record)
{
    QObject *object = record.value(QStringLiteral("obj")).value<QObject *>();
    const QString key = record.value(QStringLiteral("key")).toString();
    if (!object || key.isEmpty()) {
        platform::logWarning(QStringLiteral("Undo record without an object or a key: key \"%1\"").arg(key));
        return;
    }
    platform::KeyValue::setValue(object, key, record.value(QStringLiteral("val")));
}
