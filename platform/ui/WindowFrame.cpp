#include "platform/ui/WindowFrame.h"

#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

// The window manager maps a window once it has framed it. Before then the window system's answer
// is no frame, or one worked out from a size the window manager has not granted yet.
const QWindow *shownByWindowManager(const QWidget *window)
{
    const QWindow *handle = window ? window->windowHandle() : nullptr;
    return handle && handle->handle() && handle->isExposed() ? handle : nullptr;
}

} // namespace

QMargins WindowFrame::margins(const QWidget *window, const QWidget *beside)
{
    if (const QWindow *shown = shownByWindowManager(window))
        return shown->frameMargins();
    return beside ? margins(beside) : QMargins();
}

QRect WindowFrame::geometry(const QWidget *window) { return window->geometry().marginsAdded(margins(window)); }

bool WindowFrame::isFramed(const QWidget *window) { return !margins(window).isNull(); }

// By the inner rectangle: QWidget::move() would place the frame by the one Qt last heard of.
void WindowFrame::moveTo(QWidget *window, const QPoint &corner, const QMargins &margins)
{
    window->setGeometry(QRect(corner + QPoint(margins.left(), margins.top()), window->size()));
}

} // namespace platform
