#include "RQS-Kit/Helper/QSChildSupportWindow.h"

#include <QCloseEvent>
#include <QMouseEvent>

bool QSChildSupportWindow::isChildWindow() const { return m_isChildWindow; }

void QSChildSupportWindow::setIsChildWindow(bool isChild) { m_isChildWindow = isChild; }

platform::Window *QSChildSupportWindow::parentWindow() const { return parentWindowOf(this); }

bool QSChildSupportWindow::isKeyWindow() const
{
    if (m_checkingKey)
        return true;
    m_checkingKey = true;
    bool key = platform::Window::isKeyWindow();
    for (QWidget *child : childWindows()) {
        if (key)
            break;
        const auto *supporting = qobject_cast<const QSChildSupportWindow *>(child);
        key = supporting ? supporting->isKeyWindow() : child->isActiveWindow();
    }
    m_checkingKey = false;
    return key;
}

bool QSChildSupportWindow::canBecomeMainWindow() const { return !parentWindow() && platform::Window::canBecomeMainWindow(); }

void QSChildSupportWindow::performClose()
{
    platform::Window *parent = m_isChildWindow ? parentWindow() : nullptr;
    if (!parent) {
        close();
        return;
    }
    // The parent hides this window with its other children when its close is accepted.
    parent->performClose();
}

void QSChildSupportWindow::closeEvent(QCloseEvent *event)
{
    // The window system's close is the user's close command; a close by code is this window's own.
    if (event->spontaneous() && m_isChildWindow && parentWindow()) {
        event->ignore();
        performClose();
        return;
    }
    platform::Window::closeEvent(event);
}

bool QSChildSupportWindow::event(QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && !parentWindow() && !platform::Window::isKeyWindow()) {
        const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
        if ((button == Qt::LeftButton || button == Qt::RightButton) && isKeyWindow())
            activateWindow();
    }
    return platform::Window::event(event);
}
