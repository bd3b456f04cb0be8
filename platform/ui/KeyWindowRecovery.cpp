#include "platform/ui/KeyWindowRecovery.h"

#include <QGuiApplication>
#include <QPointer>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace platform {

namespace {

// The window that has the keyboard as the X server has it now; XCB_NONE when there is no X server.
xcb_window_t inputFocus()
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return XCB_NONE;
    const std::unique_ptr<xcb_get_input_focus_reply_t, decltype(&std::free)> reply(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr), &std::free);
    return reply ? reply->focus : xcb_window_t(XCB_NONE);
}

} // namespace

void KeyWindowRecovery::install()
{
    static QPointer<KeyWindowRecovery> installed;
    if (installed || !qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    installed = new KeyWindowRecovery;
}

KeyWindowRecovery::KeyWindowRecovery()
    : QObject(qGuiApp)
{
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &KeyWindowRecovery::follow);
    follow(QGuiApplication::focusWindow());
}

void KeyWindowRecovery::follow(QWindow *active)
{
    disconnect(m_hiding);
    // Qt counts no window active a moment after its active one went, whatever it made active since
    // on hearing back of its own request.
    if (!active) {
        recoverLater();
        return;
    }
    // Qt keeps a hidden window as its focus window and tells of no change: the hiding is the sign.
    m_hiding = connect(active, &QWindow::visibleChanged, this, [this](bool visible) {
        if (!visible)
            recoverLater();
    });
    // Qt heard back of the window's request only after it went.
    if (!active->isVisible())
        recoverLater();
}

void KeyWindowRecovery::recoverLater()
{
    // Once the window has gone from the X server too, so that its answer comes after.
    QMetaObject::invokeMethod(this, &KeyWindowRecovery::recover, Qt::QueuedConnection);
}

void KeyWindowRecovery::recover()
{
    const QWindow *active = QGuiApplication::focusWindow();
    if (active && active->isVisible())
        return;
    const xcb_window_t focus = inputFocus();
    if (focus == XCB_NONE || focus == XCB_INPUT_FOCUS_POINTER_ROOT)
        return;
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (QWindow *window : windows) {
        if (window->handle() && window->isVisible() && window->winId() == focus) {
            window->requestActivate();
            return;
        }
    }
}

} // namespace platform
