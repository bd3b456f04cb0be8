#include "RQS-Kit/Foundation/WindowExtension.h"

#include "platform/foundation/Log.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace rqs {

namespace {

bool canHoldSheets(const QWidget *window)
{
    const Qt::WindowType type = window->windowType();
    return window->isVisible() && type != Qt::ToolTip && type != Qt::Popup;
}

} // namespace

QImage newCGImageScreenshot(QWidget *window)
{
    if (!window) {
        platform::logWarning(QStringLiteral("No window to take a screenshot of"));
        return {};
    }
    // grab() renders only the client area, which is what the crop to the content would leave.
    return window->window()->grab().toImage();
}

QWidget *windowForSheetWithView(const QWidget *view)
{
    if (view)
        return view->window();
    if (QWidget *active = QApplication::activeWindow())
        return active;
    // The window list in the order the windows were made.
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (QWindow *handle : windows) {
        // Only a shown window surely has a native window already; asking another for its id would make one.
        if (!handle->isVisible())
            continue;
        QWidget *window = QWidget::find(handle->winId());
        if (window && canHoldSheets(window))
            return window;
    }
    return nullptr;
}

} // namespace rqs
