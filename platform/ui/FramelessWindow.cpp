#include "platform/ui/FramelessWindow.h"

#include "platform/foundation/Log.h"
#include "platform/ui/ClearBackground.h"
#include "platform/ui/WindowShadow.h"

#include <QMouseEvent>
#include <QWindow>

namespace platform {

FramelessWindow::FramelessWindow(QWidget *parent, Qt::WindowFlags flags)
    : Window(parent)
{
    const Qt::WindowFlags decorations = Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                                        | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
    setWindowFlags((flags & ~decorations & ~Qt::WindowType_Mask) | Qt::Window | Qt::FramelessWindowHint);
    ClearBackground::apply(this, ClearBackground::Fallback::Panel);
    WindowShadow::cast(this);
}

void FramelessWindow::mousePressEvent(QMouseEvent *event)
{
    // Presses that reach the window itself fell on no control: they are on the background.
    if (event->button() != Qt::LeftButton) {
        Window::mousePressEvent(event);
        return;
    }
    if (!windowHandle() || !windowHandle()->startSystemMove())
        logWarning(QStringLiteral("The window system does not let the window be moved by its background"));
    event->accept();
}

} // namespace platform
