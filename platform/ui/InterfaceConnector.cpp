#include "platform/ui/InterfaceConnector.h"

#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaultsController.h"
#include "platform/ui/Control.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QWidget>

#include <functional>

namespace platform {

namespace {

QString describe(const QObject *object)
{
    return QStringLiteral("%1 \"%2\"").arg(QLatin1String(object->metaObject()->className()), object->objectName());
}

bool isObjectPointer(const QMetaType &type) { return type.flags().testFlag(QMetaType::PointerToQObject); }

bool takes(const QMetaType &type, const QObject *object)
{
    return type.metaObject() && object->metaObject()->inherits(type.metaObject());
}

// The most derived invokable of that name and argument count.
QMetaMethod invokable(const QObject *object, const QString &name, int arguments)
{
    const QMetaObject *meta = object->metaObject();
    const QByteArray wanted = name.toLatin1();
    for (int index = meta->methodCount() - 1; index >= 0; --index) {
        const QMetaMethod method = meta->method(index);
        if (method.name() == wanted && method.parameterCount() == arguments
            && method.methodType() != QMetaMethod::Signal)
            return method;
    }
    return QMetaMethod();
}

// A target that takes any action it has no operation for: forwardAction(operation, sender).
QMetaMethod forwarder(const QObject *target)
{
    const QMetaObject *meta = target->metaObject();
    return meta->method(meta->indexOfMethod("forwardAction(QString,QObject*)"));
}

bool invokeWithObject(QObject *receiver, const QMetaMethod &method, QObject *argument)
{
    return method.invoke(receiver, Qt::DirectConnection,
                         QGenericArgument(method.parameterTypeName(0).constData(), &argument));
}

void send(QObject *target, const QMetaMethod &operation, QObject *sender)
{
    if (operation.parameterCount() == 0) {
        operation.invoke(target, Qt::DirectConnection);
        return;
    }
    if (!takes(operation.parameterMetaType(0), sender)) {
        logWarning(QStringLiteral("Operation \"%1\" of %2 does not take %3 as sender")
                       .arg(QLatin1String(operation.name()), describe(target), describe(sender)));
        return;
    }
    invokeWithObject(target, operation, sender);
}

QObject *named(const QList<QObject *> &objects, const QString &name)
{
    for (QObject *object : objects) {
        if (object->objectName() == name)
            return object;
    }
    return nullptr;
}

} // namespace

void InterfaceConnector::connect(QObject *owner, QWidget *root)
{
    if (!owner || !root)
        return;
    QList<QObject *> objects{root};
    for (QObject *child : root->findChildren<QObject *>()) {
        // Parts that Qt's widgets make for themselves are no concern of the file.
        if (!child->objectName().startsWith(QLatin1String("qt_")))
            objects.append(child);
    }
    for (QObject *object : objects)
        connectOutlet(owner, object);
    for (QObject *object : objects)
        connectAction(owner, object, objects);
    for (QObject *object : objects) {
        for (const QByteArray &property : object->dynamicPropertyNames()) {
            if (property.startsWith("bind:"))
                connectBinding(owner, object, QString::fromLatin1(property.mid(5)), object->property(property).toString());
        }
    }
}

void InterfaceConnector::connectOutlet(QObject *owner, QObject *object)
{
    const QString name = object->objectName();
    if (name.isEmpty())
        return;
    const QMetaObject *meta = owner->metaObject();
    const QMetaProperty property = meta->property(meta->indexOfProperty(name.toLatin1().constData()));
    QMetaType type;
    QMetaMethod setter;
    if (property.isValid() && property.isWritable()) {
        type = property.metaType();
    } else {
        setter = invokable(owner, QStringLiteral("set") + name.left(1).toUpper() + name.mid(1), 1);
        if (setter.isValid())
            type = setter.parameterMetaType(0);
    }
    // A value of the same name is no outlet.
    if (!isObjectPointer(type))
        return;
    if (!takes(type, object)) {
        logWarning(QStringLiteral("Outlet \"%1\" of %2 does not take %3")
                       .arg(name, describe(owner), QLatin1String(object->metaObject()->className())));
        return;
    }
    if (setter.isValid())
        invokeWithObject(owner, setter, object);
    else
        property.write(owner, QVariant(type, &object));
}

void InterfaceConnector::connectAction(QObject *owner, QObject *object, const QList<QObject *> &objects)
{
    const QString operationName = object->property("action").toString();
    if (operationName.isEmpty())
        return;
    QObject *target = owner;
    const QString targetName = object->property("target").toString();
    if (!targetName.isEmpty()) {
        target = named(objects, targetName);
        if (!target) {
            logWarning(QStringLiteral("Action target \"%1\" of %2 is not in the interface").arg(targetName, describe(object)));
            return;
        }
    }
    QMetaMethod operation = invokable(target, operationName, 1);
    if (!operation.isValid() || !isObjectPointer(operation.parameterMetaType(0)))
        operation = invokable(target, operationName, 0);
    std::function<void()> perform = [target, operation, object] { send(target, operation, object); };
    if (!operation.isValid()) {
        const QMetaMethod forward = forwarder(target);
        if (!forward.isValid()) {
            logWarning(QStringLiteral("Unknown operation \"%1\" of %2 for the action of %3")
                           .arg(operationName, describe(target), describe(object)));
            return;
        }
        perform = [target, forward, operationName, object] {
            forward.invoke(target, Qt::DirectConnection, Q_ARG(QString, operationName), Q_ARG(QObject *, object));
        };
    }
    if (auto *control = qobject_cast<Control *>(object)) {
        control->setTarget(target);
        control->setAction(operationName);
        return;
    }
    if (auto *button = qobject_cast<QAbstractButton *>(object))
        QObject::connect(button, &QAbstractButton::clicked, target, perform);
    else if (auto *action = qobject_cast<QAction *>(object))
        QObject::connect(action, &QAction::triggered, target, perform);
    else if (auto *slider = qobject_cast<QAbstractSlider *>(object))
        QObject::connect(slider, &QAbstractSlider::valueChanged, target, perform);
    else if (auto *comboBox = qobject_cast<QComboBox *>(object))
        QObject::connect(comboBox, &QComboBox::activated, target, perform);
    else if (auto *lineEdit = qobject_cast<QLineEdit *>(object))
        QObject::connect(lineEdit, &QLineEdit::editingFinished, target, perform);
    else if (auto *spinBox = qobject_cast<QAbstractSpinBox *>(object))
        QObject::connect(spinBox, &QAbstractSpinBox::editingFinished, target, perform);
    else
        logWarning(QStringLiteral("%1 cannot send the action \"%2\"").arg(describe(object), operationName));
}

void InterfaceConnector::connectBinding(QObject *owner, QObject *object, const QString &key, const QString &path)
{
    const QMetaObject *meta = object->metaObject();
    const QMetaProperty property = meta->property(meta->indexOfProperty(key.toLatin1().constData()));
    if (!property.isValid()) {
        logWarning(QStringLiteral("Unknown binding key \"%1\" of %2").arg(key, describe(object)));
        return;
    }
    QObject *source = nullptr;
    QString sourceKey;
    if (path.startsWith(QLatin1String("values."))) {
        source = UserDefaultsController::sharedUserDefaultsController();
        sourceKey = path;
    } else if (path.startsWith(QLatin1String("owner."))) {
        source = owner;
        sourceKey = path.mid(6);
    } else {
        logWarning(QStringLiteral("Binding \"%1\" of %2 names neither owner nor values").arg(path, describe(object)));
        return;
    }
    // Edits go back to the model when the control announces them.
    KeyValue::bind(object, key, source, sourceKey,
                   property.hasNotifySignal() ? KeyValue::BindingDirection::TwoWay : KeyValue::BindingDirection::OneWay);
}

} // namespace platform
