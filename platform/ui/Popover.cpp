#include "platform/ui/Popover.h"

#include "platform/foundation/Log.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace platform {

namespace {

constexpr int gap = 6;

} // namespace

// Not a Qt::Popup: a popup grabs mouse and keyboard, and a popover that opens by itself must not
// take the keyboard from the window the user is typing in.
Popover::Popover(QWidget *parent)
    : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setFrameShape(QFrame::StyledPanel);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void Popover::showRelativeToRect(const QRect &rect, QWidget *view, Edge edge)
{
    if (!view) {
        logWarning(QStringLiteral("Popover \"%1\" shown on no view").arg(objectName()));
        return;
    }
    adjustSize();
    const QRect anchor(view->mapToGlobal(rect.topLeft()), rect.size());
    QPoint origin;
    switch (edge) {
    case Edge::Left:
        origin = QPoint(anchor.left() - gap - width(), anchor.center().y() - height() / 2);
        break;
    case Edge::Right:
        origin = QPoint(anchor.right() + gap, anchor.center().y() - height() / 2);
        break;
    case Edge::Top:
        origin = QPoint(anchor.center().x() - width() / 2, anchor.top() - gap - height());
        break;
    case Edge::Bottom:
        origin = QPoint(anchor.center().x() - width() / 2, anchor.bottom() + gap);
        break;
    }
    // Inside its window, which it moves and closes with, so that popovers of several windows
    // never pile up apart from their windows.
    const QRect area = view->window()->geometry();
    origin.setX(std::clamp(origin.x(), area.left(), std::max(area.left(), area.right() - width())));
    origin.setY(std::clamp(origin.y(), area.top(), std::max(area.top(), area.bottom() - height())));
    if (auto *window = qobject_cast<Window *>(view->window()))
        window->addChildWindow(this);
    move(origin);
    show();
    qApp->installEventFilter(this);
}

bool Popover::isShown() const { return isVisible(); }

bool Popover::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (!geometry().contains(static_cast<QMouseEvent *>(event)->globalPosition().toPoint()))
            close();
        break;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        break;
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}

void Popover::hideEvent(QHideEvent *event)
{
    qApp->removeEventFilter(this);
    QFrame::hideEvent(event);
    emit didClose();
}

} // namespace platform
