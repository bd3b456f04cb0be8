#include "platform/foundation/KeyValue.h"

#include "platform/foundation/KeyValueBinding.h"
#include "platform/foundation/KeyValueObserver.h"
#include "platform/foundation/Log.h"

#include <QMetaMethod>
#include <QMetaProperty>

namespace platform::KeyValue {

namespace {

QString className(const QObject *object) { return QString::fromLatin1(object->metaObject()->className()); }

QMetaProperty property(const QObject *object, const QString &key)
{
    const QMetaObject *meta = object->metaObject();
    return meta->property(meta->indexOfProperty(key.toLatin1().constData()));
}

QMetaMethod method(const QObject *object, const char *signature)
{
    const QMetaObject *meta = object->metaObject();
    return meta->method(meta->indexOfMethod(signature));
}

QMetaMethod valueHook(const QObject *object)
{
    const QMetaMethod hook = method(object, "valueForKey(QString)");
    return hook.returnMetaType() == QMetaType::fromType<QVariant>() ? hook : QMetaMethod();
}

QMetaMethod setValueHook(const QObject *object)
{
    const QMetaMethod hook = method(object, "setValueForKey(QString,QVariant)");
    return hook.returnMetaType() == QMetaType::fromType<bool>() ? hook : QMetaMethod();
}

QMetaMethod announcingSignal(const QObject *object)
{
    const QMetaMethod signal = method(object, "keyValueChanged(QString)");
    return signal.methodType() == QMetaMethod::Signal ? signal : QMetaMethod();
}

// The key and every key it is declared to depend on, directly or through other dependencies.
QSet<QString> keyWithDependencies(const QObject *object, const QString &key)
{
    const QMetaObject *meta = object->metaObject();
    QSet<QString> keys{key};
    QStringList pending{key};
    while (!pending.isEmpty()) {
        const QString next = pending.takeFirst();
        const int index = meta->indexOfClassInfo(("dependsOn:" + next).toLatin1().constData());
        if (index < 0)
            continue;
        const QStringList sources = QString::fromLatin1(meta->classInfo(index).value()).split(QLatin1Char(','));
        for (const QString &source : sources) {
            const QString trimmed = source.trimmed();
            if (!trimmed.isEmpty() && !keys.contains(trimmed)) {
                keys.insert(trimmed);
                pending.append(trimmed);
            }
        }
    }
    return keys;
}

// The object holding the last component of a key path, and that component; null after a warning
// when a step on the way is not an object.
QObject *holderOfPath(QObject *object, const QString &path, QString *lastKey)
{
    const qsizetype point = path.indexOf(QLatin1Char('.'));
    const QString first = path.left(point);
    const QVariant step = propertyValue(object, first);
    QObject *next = step.value<QObject *>();
    if (!next) {
        if (step.isValid())
            logWarning(QStringLiteral("Key \"%1\" of %2 does not lead to an object").arg(first, className(object)));
        return nullptr;
    }
    *lastKey = path.mid(point + 1);
    return next;
}

} // namespace

QVariant valueForKey(QObject *object, const QString &key)
{
    if (!object) {
        logWarning(QStringLiteral("Value for key \"%1\" asked of no object").arg(key));
        return QVariant();
    }
    const QMetaMethod hook = valueHook(object);
    if (!hook.isValid())
        return propertyValue(object, key);
    QVariant result;
    hook.invoke(object, Qt::DirectConnection, Q_RETURN_ARG(QVariant, result), Q_ARG(QString, key));
    return result;
}

bool setValue(QObject *object, const QString &key, const QVariant &value)
{
    if (!object) {
        logWarning(QStringLiteral("Value for key \"%1\" set on no object").arg(key));
        return false;
    }
    const QMetaMethod hook = setValueHook(object);
    if (!hook.isValid())
        return setPropertyValue(object, key, value);
    bool result = false;
    hook.invoke(object, Qt::DirectConnection, Q_RETURN_ARG(bool, result), Q_ARG(QString, key),
                Q_ARG(QVariant, value));
    return result;
}

QVariant propertyValue(QObject *object, const QString &key)
{
    if (!object)
        return valueForKey(object, key);
    if (key.contains(QLatin1Char('.'))) {
        QString rest;
        QObject *holder = holderOfPath(object, key, &rest);
        return holder ? valueForKey(holder, rest) : QVariant();
    }
    const QMetaProperty meta = property(object, key);
    if (!meta.isValid() || !meta.isReadable()) {
        logWarning(QStringLiteral("Key \"%1\" is unknown to %2").arg(key, className(object)));
        return QVariant();
    }
    return meta.read(object);
}

bool setPropertyValue(QObject *object, const QString &key, const QVariant &value)
{
    if (!object)
        return setValue(object, key, value);
    if (key.contains(QLatin1Char('.'))) {
        QString rest;
        QObject *holder = holderOfPath(object, key, &rest);
        return holder && setValue(holder, rest, value);
    }
    const QMetaProperty meta = property(object, key);
    if (!meta.isValid()) {
        logWarning(QStringLiteral("Key \"%1\" is unknown to %2").arg(key, className(object)));
        return false;
    }
    if (!meta.isWritable()) {
        logWarning(QStringLiteral("Key \"%1\" of %2 is read-only").arg(key, className(object)));
        return false;
    }
    if (!meta.write(object, value)) {
        logWarning(QStringLiteral("Key \"%1\" of %2 does not take a value of type %3")
                       .arg(key, className(object), QString::fromLatin1(value.typeName())));
        return false;
    }
    return true;
}

bool announceChange(QObject *object, const QString &key)
{
    if (!object)
        return false;
    const QMetaProperty meta = property(object, key);
    if (meta.isValid() && meta.hasNotifySignal()) {
        const QMetaMethod notify = meta.notifySignal();
        if (notify.parameterCount() == 0)
            return notify.invoke(object, Qt::DirectConnection);
        if (notify.parameterCount() == 1 && notify.parameterMetaType(0) == meta.metaType()) {
            const QVariant value = meta.read(object);
            return notify.invoke(object, Qt::DirectConnection,
                                 QGenericArgument(meta.metaType().name(), value.constData()));
        }
    }
    const QMetaMethod signal = announcingSignal(object);
    if (signal.isValid())
        return signal.invoke(object, Qt::DirectConnection, Q_ARG(QString, key));
    logWarning(QStringLiteral("Change of key \"%1\" of %2 cannot be announced").arg(key, className(object)));
    return false;
}

KeyValueObservation observe(QObject *object, const QString &key, KeyValueObservation::Callback callback)
{
    return observe(object, key, nullptr, std::move(callback));
}

KeyValueObservation observe(QObject *object, const QString &key, QObject *context,
                            KeyValueObservation::Callback callback)
{
    if (!object || !callback) {
        logWarning(QStringLiteral("Observation of key \"%1\" without an object or a callback").arg(key));
        return KeyValueObservation();
    }
    // A path through objects is followed to its last object once, when the observation begins.
    if (key.contains(QLatin1Char('.')) && !valueHook(object).isValid()) {
        QString rest;
        QObject *holder = holderOfPath(object, key, &rest);
        if (!holder) {
            logWarning(QStringLiteral("Key path \"%1\" of %2 cannot be observed").arg(key, className(object)));
            return KeyValueObservation();
        }
        return observe(holder, rest, context, std::move(callback));
    }
    auto *observer = new KeyValueObserver(object, key, std::move(callback));
    const QMetaMethod keyChanged = method(observer, "keyChanged()");
    QSet<int> connectedSignals;
    QSet<QString> announcedKeys;
    for (const QString &each : keyWithDependencies(object, key)) {
        const QMetaProperty meta = property(object, each);
        if (!meta.isValid() || !meta.hasNotifySignal()) {
            announcedKeys.insert(each);
            continue;
        }
        // Several properties may share one signal; it is heard once.
        if (!connectedSignals.contains(meta.notifySignalIndex())) {
            connectedSignals.insert(meta.notifySignalIndex());
            QObject::connect(object, meta.notifySignal(), observer, keyChanged);
        }
    }
    const QMetaMethod announcing = announcingSignal(object);
    if (!announcedKeys.isEmpty() && announcing.isValid()) {
        observer->setAnnouncedKeys(announcedKeys);
        QObject::connect(object, announcing, observer, method(observer, "announcedKeyChanged(QString)"));
    } else if (connectedSignals.isEmpty()) {
        logWarning(QStringLiteral("Key \"%1\" of %2 cannot be observed").arg(key, className(object)));
        delete observer;
        return KeyValueObservation();
    }
    if (context)
        QObject::connect(context, &QObject::destroyed, observer, &KeyValueObserver::stop);
    return KeyValueObservation(observer);
}

bool bind(QObject *target, const QString &targetKey, QObject *source, const QString &sourceKey, BindingDirection direction)
{
    if (!target || !source) {
        logWarning(QStringLiteral("Binding of key \"%1\" without a target or a source").arg(targetKey));
        return false;
    }
    unbind(target, targetKey);
    auto *created = new KeyValueBinding(target, targetKey, source, sourceKey);
    if (!created->start(direction == BindingDirection::TwoWay)) {
        delete created;
        return false;
    }
    return true;
}

bool unbind(QObject *target, const QString &targetKey)
{
    auto *found = const_cast<KeyValueBinding *>(binding(target, targetKey));
    if (!found)
        return false;
    found->stop();
    if (found->isApplying()) {
        // Unbound from inside its own update: let the update finish first.
        found->setParent(nullptr);
        found->deleteLater();
    } else {
        delete found;
    }
    return true;
}

const KeyValueBinding *binding(const QObject *target, const QString &targetKey)
{
    if (!target)
        return nullptr;
    const auto bindings = target->findChildren<KeyValueBinding *>(Qt::FindDirectChildrenOnly);
    for (KeyValueBinding *each : bindings) {
        if (each->targetKey() == targetKey)
            return each;
    }
    return nullptr;
}

} // namespace platform::KeyValue
