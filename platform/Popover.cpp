#include "platform/Popover.h"

#include "platform/Log.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace platform {

namespace {

constexpr int gap = 6;

} // namespace

Popover::Popover(QWidget *parent)
    : QFrame(parent, Qt::Popup)
{
    setFrameShape(QFrame::StyledPanel);
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
    if (const QScreen *screen = view->screen() ? view->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        origin.setX(std::clamp(origin.x(), area.left(), std::max(area.left(), area.right() - width())));
        origin.setY(std::clamp(origin.y(), area.top(), std::max(area.top(), area.bottom() - height())));
    }
    move(origin);
    show();
}

bool Popover::isShown() const { return isVisible(); }

void Popover::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    emit didClose();
}

} // namespace platform
