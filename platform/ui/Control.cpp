#include "platform/ui/Control.h"

#include "platform/foundation/Log.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QMetaMethod>

namespace platform {

namespace {

// The most derived operation of that name taking one object or, failing that, nothing.
QMetaMethod operationFor(const QObject *object, const QString &action)
{
    if (!object || action.isEmpty())
        return {};
    const QMetaObject *meta = object->metaObject();
    const QByteArray wanted = action.toLatin1();
    QMetaMethod withoutSender;
    for (int index = meta->methodCount() - 1; index >= 0; --index) {
        const QMetaMethod method = meta->method(index);
        if (method.name() != wanted || method.methodType() == QMetaMethod::Signal)
            continue;
        if (method.parameterCount() == 1 && method.parameterMetaType(0).flags().testFlag(QMetaType::PointerToQObject))
            return method;
        if (method.parameterCount() == 0 && !withoutSender.isValid())
            withoutSender = method;
    }
    return withoutSender;
}

bool takesSender(const QMetaMethod &method, const QObject *sender)
{
    const QMetaObject *wanted = method.parameterMetaType(0).metaObject();
    return !sender || (wanted && sender->metaObject()->inherits(wanted));
}

QList<QObject *> responderChain(QObject *sender)
{
    QList<QObject *> chain;
    auto *view = qobject_cast<QWidget *>(sender);
    QWidget *window = view ? view->window() : QApplication::activeWindow();
    if (!window)
        return chain;
    for (QWidget *widget = window->focusWidget(); widget; widget = widget->parentWidget()) {
        chain.append(widget);
        if (widget == window)
            break;
    }
    if (!chain.contains(window))
        chain.append(window);
    if (auto *platformWindow = qobject_cast<Window *>(window); platformWindow && platformWindow->windowController())
        chain.append(platformWindow->windowController());
    return chain;
}

} // namespace

Control::Control(QWidget *parent)
    : View(parent)
{
}

QObject *Control::target() const { return m_target; }

void Control::setTarget(QObject *target) { m_target = target; }

QString Control::action() const { return m_action; }

void Control::setAction(const QString &action) { m_action = action; }

int Control::state() const { return m_state; }

void Control::setState(int state)
{
    m_state = state < 0 ? MixedState : (state > 0 ? OnState : OffState);
    update();
}

QString Control::title() const { return m_title; }

void Control::setTitle(const QString &title)
{
    m_title = title;
    updateGeometry();
    update();
}

QImage Control::image() const { return m_image; }

void Control::setImage(const QImage &image)
{
    m_image = image;
    updateGeometry();
    update();
}

int Control::alignment() const { return m_alignment; }

void Control::setAlignment(int alignment)
{
    m_alignment = alignment;
    update();
}

int Control::imagePosition() const { return m_imagePosition; }

void Control::setImagePosition(int imagePosition)
{
    m_imagePosition = imagePosition;
    update();
}

int Control::tag() const { return m_tag; }

void Control::setTag(int tag) { m_tag = tag; }

void Control::performClick()
{
    if (isEnabled())
        sendAction(m_action, m_target);
}

namespace {

const char *const Forwarder = "forwardAction(QString,QObject*)";

// A target that takes any action by name (a recorder, a proxy) answers what it has no operation for.
bool forwardsActions(const QObject *target) { return target->metaObject()->indexOfMethod(Forwarder) >= 0; }

} // namespace

bool Control::forward(const QString &action, QObject *target, QObject *sender)
{
    const QMetaObject *meta = target->metaObject();
    const QPointer<Control> control = qobject_cast<Control *>(sender);
    if (!meta->method(meta->indexOfMethod(Forwarder)).invoke(target, Qt::DirectConnection, Q_ARG(QString, action), Q_ARG(QObject *, sender))) {
        logError(QStringLiteral("The action \"%1\" could not be sent").arg(action));
        return false;
    }
    if (control)
        emit control->actionSent(target, action);
    return true;
}

bool Control::sendAction(const QString &action, QObject *target) { return sendAction(action, target, this); }

bool Control::sendAction(const QString &action, QObject *target, QObject *sender)
{
    if (action.isEmpty())
        return false;
    QObject *receiver = nullptr;
    if (target) {
        if (respondsTo(target, action))
            receiver = target;
        else if (forwardsActions(target))
            return forward(action, target, sender);
    } else {
        for (QObject *candidate : responderChain(sender)) {
            if (respondsTo(candidate, action)) {
                receiver = candidate;
                break;
            }
        }
    }
    if (!receiver) {
        logWarning(QStringLiteral("Nothing answers the action \"%1\" of %2 \"%3\"")
                       .arg(action, QLatin1String(sender ? sender->metaObject()->className() : "nothing"),
                            sender ? sender->objectName() : QString()));
        return false;
    }
    const QMetaMethod operation = operationFor(receiver, action);
    // The receiver may close the sender's window and with it the sender.
    const QPointer<Control> control = qobject_cast<Control *>(sender);
    if (operation.parameterCount() == 1 && !takesSender(operation, sender)) {
        logWarning(QStringLiteral("The action \"%1\" of %2 does not take %3 as sender")
                       .arg(action, QLatin1String(receiver->metaObject()->className()),
                            QLatin1String(sender->metaObject()->className())));
        return false;
    }
    const bool sent = operation.parameterCount() == 0
        ? operation.invoke(receiver, Qt::DirectConnection)
        : operation.invoke(receiver, Qt::DirectConnection, QGenericArgument(operation.parameterTypeName(0).constData(), &sender));
    if (!sent) {
        logError(QStringLiteral("The action \"%1\" could not be sent").arg(action));
        return false;
    }
    if (control)
        emit control->actionSent(receiver, action);
    return true;
}

bool Control::respondsTo(const QObject *object, const QString &action) { return operationFor(object, action).isValid(); }

} // namespace platform
