#include "RQS-Kit/Helper/QSHintController.h"

#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/KeyValue.h"
#include "platform/ui/Window.h"

namespace {

struct Registration
{
    const QWidget *window;
    std::shared_ptr<QSHintController> controller;
    QMetaObject::Connection destroyed;
};

QList<Registration> &registrations()
{
    static QList<Registration> list;
    return list;
}

qsizetype indexOfRegisteredWindow(const QWidget *window)
{
    const QList<Registration> &list = registrations();
    for (qsizetype index = 0; index < list.size(); ++index) {
        if (list.at(index).window == window)
            return index;
    }
    return -1;
}

void removeRegistration(qsizetype index)
{
    QObject::disconnect(registrations().takeAt(index).destroyed);
}

// The window a kit child window hangs on, else the Qt parent's window.
const QWidget *parentWindow(const QWidget *window)
{
    if (const QWidget *holder = platform::Window::parentWindowOf(window))
        return holder;
    const QWidget *parent = window->parentWidget();
    return parent ? parent->window() : nullptr;
}

QSHintController *controllerForWindow(const QWidget *window)
{
    const qsizetype index = QSHintController::indexOfWindow(window);
    return index < 0 ? nullptr : registrations().at(index).controller.get();
}

} // namespace

std::shared_ptr<QSHintController> QSHintController::addHintConrollerForWindow(QWidget *window, QWidget *textField)
{
    auto controller = std::make_shared<QSHintController>(textField);
    if (!window)
        return controller;
    const qsizetype index = indexOfRegisteredWindow(window);
    if (index >= 0) {
        registrations()[index].controller = controller;
        return controller;
    }
    const QMetaObject::Connection destroyed = QObject::connect(window, &QObject::destroyed, [window] {
        const qsizetype gone = indexOfRegisteredWindow(window);
        if (gone >= 0)
            removeRegistration(gone);
    });
    registrations().append({window, controller, destroyed});
    return controller;
}

qsizetype QSHintController::indexOfWindow(const QWidget *window)
{
    for (const QWidget *candidate = window; candidate; candidate = parentWindow(candidate)) {
        const qsizetype index = indexOfRegisteredWindow(candidate);
        if (index >= 0)
            return index;
    }
    return -1;
}

qsizetype QSHintController::indexOfController(const QSHintController *controller)
{
    const QList<Registration> &list = registrations();
    for (qsizetype index = 0; index < list.size(); ++index) {
        if (list.at(index).controller.get() == controller)
            return index;
    }
    return -1;
}

void QSHintController::removeControllerForWindow(const QWidget *window)
{
    const qsizetype index = indexOfWindow(window);
    if (index >= 0)
        removeRegistration(index);
}

void QSHintController::sendHint(const QString &text, const QVariant &key, const QWidget *window)
{
    if (QSHintController *controller = controllerForWindow(window))
        controller->sendHint(text, key);
}

void QSHintController::removeHintForKey(const QVariant &key, const QWidget *window)
{
    if (QSHintController *controller = controllerForWindow(window))
        controller->removeHintForKey(key);
}

QSHintController::QSHintController(QWidget *textField)
    : m_hintTF(textField)
{
}

void QSHintController::removeHintController()
{
    const qsizetype index = indexOfController(this);
    if (index >= 0)
        removeRegistration(index);
}

void QSHintController::sendHint(const QString &text, const QVariant &key)
{
    const qsizetype index = m_keys.indexOf(key);
    if (index >= 0) {
        m_keys.removeAt(index);
        m_hints.removeAt(index);
    }
    m_keys.append(key);
    m_hints.append(rqs::localized(text));
    show(m_hints.last());
}

void QSHintController::removeHintForKey(const QVariant &key)
{
    const qsizetype index = m_keys.indexOf(key);
    const bool wasTop = index >= 0 && index == m_keys.size() - 1;
    if (index >= 0) {
        m_keys.removeAt(index);
        m_hints.removeAt(index);
    }
    if (m_hints.isEmpty())
        show(QStringLiteral(""));
    else if (wasTop)
        show(m_hints.last());
}

QWidget *QSHintController::hintTF() const { return m_hintTF; }

QStringList QSHintController::hints() const { return m_hints; }

QVariantList QSHintController::keys() const { return m_keys; }

void QSHintController::show(const QString &text)
{
    if (m_hintTF)
        platform::KeyValue::setValue(m_hintTF, QStringLiteral("text"), text);
}
