#include "RQS-Kit/Foundation/ObjectExtension.h"

#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"

#include <QPointer>

namespace rqs {

namespace {

QMetaMethod methodNamed(const QMetaObject &metaObject, const QString &name)
{
    const QByteArray wanted = name.toLatin1();
    for (const QMetaObject *level = &metaObject; level; level = level->superClass()) {
        for (int index = level->methodOffset(); index < level->methodCount(); ++index) {
            const QMetaMethod method = level->method(index);
            if (method.name() == wanted)
                return method;
        }
    }
    return {};
}

QString className(const QMetaObject &metaObject) { return QString::fromLatin1(metaObject.className()); }

} // namespace

void delayedChangeValueForKey(QObject *object, const QString &key)
{
    platform::MainQueue::post([object = QPointer<QObject>(object), key] {
        if (object)
            platform::KeyValue::announceChange(object, key);
    });
}

QMetaMethod siganturForName(const QObject *object, const QString &name)
{
    if (!object) {
        platform::logWarning(QStringLiteral("No object to look up the operation %1 in").arg(name));
        return {};
    }
    const QMetaMethod method = methodNamed(*object->metaObject(), name);
    if (!method.isValid())
        platform::logWarning(QStringLiteral("%1 has no operation %2").arg(className(*object->metaObject()), name));
    return method;
}

platform::Invocation invocationForSignatur(const QMetaObject &metaObject, const QString &name)
{
    const QMetaMethod method = methodNamed(metaObject, name);
    if (!method.isValid()) {
        platform::logWarning(QStringLiteral("%1 has no operation %2").arg(className(metaObject), name));
        return {};
    }
    std::shared_ptr<QObject> target(metaObject.newInstance());
    if (!target) {
        platform::logWarning(QStringLiteral("%1 cannot be made to call %2").arg(className(metaObject), name));
        return {};
    }
    return {std::move(target), method};
}

platform::Invocation invocationForSignatur(const QString &className, const QString &name)
{
    const QMetaObject *metaObject = QMetaType::fromName((className + QLatin1Char('*')).toLatin1()).metaObject();
    if (!metaObject || className.isEmpty()) {
        platform::logWarning(QStringLiteral("There is no class %1 to call %2 on").arg(className, name));
        return {};
    }
    return invocationForSignatur(*metaObject, name);
}

} // namespace rqs
