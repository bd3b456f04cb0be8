#include "platform/ui/Popover.h"

#include "platform/foundation/Log.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <iterator>

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
    const auto originOn = [&](Edge side) {
        switch (side) {
        case Edge::Left:
            return QPoint(anchor.left() - gap - width(), anchor.center().y() - height() / 2);
        case Edge::Right:
            return QPoint(anchor.right() + gap, anchor.center().y() - height() / 2);
        case Edge::Top:
            return QPoint(anchor.center().x() - width() / 2, anchor.top() - gap - height());
        case Edge::Bottom:
            return QPoint(anchor.center().x() - width() / 2, anchor.bottom() + gap);
        }
        return QPoint();
    };
    // Inside its window, which it moves and closes with, so that popovers of several windows
    // never pile up apart from their windows. Where the side asked for has no room, the popover
    // opens on another rather than over the rectangle it points at.
    const QRect area = view->window()->geometry();
    // Beside the rectangle it only has to fit across, above or below it only from top to bottom:
    // the other way it slides along the rectangle's side.
    const auto fits = [&](Edge side) {
        const QRect placed(originOn(side), size());
        if (side == Edge::Left || side == Edge::Right)
            return area.left() <= placed.left() && placed.right() <= area.right();
        return area.top() <= placed.top() && placed.bottom() <= area.bottom();
    };
    const bool across = edge == Edge::Left || edge == Edge::Right;
    const Edge sides[] = {edge,
                          across ? (edge == Edge::Left ? Edge::Right : Edge::Left) : (edge == Edge::Top ? Edge::Bottom : Edge::Top),
                          across ? Edge::Top : Edge::Left, across ? Edge::Bottom : Edge::Right};
    const auto side = std::find_if(std::begin(sides), std::end(sides), fits);
    QPoint origin = originOn(side != std::end(sides) ? *side : edge);
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
