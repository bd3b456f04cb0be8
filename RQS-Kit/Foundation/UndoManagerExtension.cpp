#include "RQS-Kit/Foundation/UndoManagerExtension.h"

#include "RQS-Kit/Foundation/QSUndoForwarder.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "RQS-Kit/Foundation/UndoGestureRecording.h"
#include "platform/foundation/Log.h"

#include <QGuiApplication>
#include <QMetaMethod>

namespace rqs {

namespace {

QMetaMethod oneArgumentOperation(const QObject *target, const QString &name)
{
    const QMetaObject *meta = target->metaObject();
    const QByteArray wanted = name.toLatin1();
    for (int index = meta->methodCount() - 1; index >= 0; --index) {
        const QMetaMethod method = meta->method(index);
        if (method.name() == wanted && method.parameterCount() == 1 && method.methodType() != QMetaMethod::Signal)
            return method;
    }
    return QMetaMethod();
}

} // namespace

bool registerUndoWithTarget(platform::UndoManager *manager, QObject *target, const QString &selector,
                            const QVariant &object)
{
    if (!manager)
        return false;
    if (!target) {
        platform::logWarning(QStringLiteral("Undo of \"%1\" registered without a target").arg(selector));
        return false;
    }
    const QMetaMethod operation = oneArgumentOperation(target, selector);
    if (!operation.isValid()) {
        platform::logWarning(QStringLiteral("Unknown operation \"%1\" of %2 for an undo")
                                 .arg(selector, QLatin1String(target->metaObject()->className())));
        return false;
    }
    QVariant argument = object;
    const QMetaType type = operation.parameterMetaType(0);
    if (type != QMetaType::fromType<QVariant>() && !argument.convert(type)) {
        platform::logWarning(QStringLiteral("Operation \"%1\" of %2 does not take a %3 for an undo")
                                 .arg(selector, QLatin1String(target->metaObject()->className()),
                                      QLatin1String(object.typeName())));
        return false;
    }
    const bool registered = manager->registerUndo(target, [target, operation, argument] {
        const void *data = operation.parameterMetaType(0) == QMetaType::fromType<QVariant>()
            ? static_cast<const void *>(&argument)
            : argument.constData();
        operation.invoke(target, Qt::DirectConnection, QGenericArgument(operation.parameterTypeName(0).constData(), data));
    });
    if (registered)
        manager->setActionName(localized(selector));
    return registered;
}

bool registerMouseAwareUndoWithTarget(platform::UndoManager *manager, QObject *target, const QVariant &value,
                                      const QString &key, bool gesture)
{
    if (!manager || !target || !manager->isUndoRegistrationEnabled())
        return false;
    UndoGestureRecording &recording = UndoGestureRecording::shared();
    recording.follow(manager);
    // While a step is replayed, this change is part of its inverse: it is registered in full and
    // folds nothing that comes after it.
    const bool replaying = manager->isUndoing() || manager->isRedoing();
    if (replaying)
        recording.end();
    bool registered = false;
    if (replaying || !recording.hasRecorded(target, key)) {
        if (!replaying)
            recording.record(target, key);
        const QVariantMap record{{QStringLiteral("obj"), QVariant::fromValue(target)},
                                 {QStringLiteral("val"), value},
                                 {QStringLiteral("key"), key}};
        registered = manager->registerUndo(target, [record] {
            QSUndoForwarder::sharedForwarder()->performKeyValueUndo(record);
        });
        const QString name = manager->isUndoing() ? manager->redoActionName() : manager->undoActionName();
        if (registered && name.isEmpty())
            manager->setActionName(localized(key));
    }
    if (replaying)
        return registered;
    if (QGuiApplication::mouseButtons().testFlag(Qt::LeftButton))
        recording.watchForGestureEnd();
    else if (!gesture)
        recording.end();
    return registered;
}

void gestureEndedFor(platform::UndoManager *, QObject *target)
{
    UndoGestureRecording &recording = UndoGestureRecording::shared();
    if (target && recording.recordedTarget() == target)
        recording.end();
}

bool recordingInProgress() { return UndoGestureRecording::shared().isWatching(); }

} // namespace rqs
