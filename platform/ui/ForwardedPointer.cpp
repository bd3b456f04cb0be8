#include "platform/ui/ForwardedPointer.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QWidget>

namespace platform {

namespace {

bool takesClicks(const QWidget *widget)
{
    const QWidget *proxy = widget;
    while (proxy->focusProxy())
        proxy = proxy->focusProxy();
    return (widget->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus
        && (proxy->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus;
}

void sendHover(QWidget *widget, QEvent::Type type, const QPointF &point, const QPointF &global)
{
    if (!widget->testAttribute(Qt::WA_Hover))
        return;
    QHoverEvent hover(type, point, global, type == QEvent::HoverEnter ? QPointF(-1, -1) : point,
                      QGuiApplication::keyboardModifiers());
    QCoreApplication::sendEvent(widget, &hover);
}

} // namespace

void giveClickFocus(QWidget *pressed, QPointF point)
{
    for (QWidget *widget = pressed; widget; widget = widget->parentWidget()) {
        if (widget->isEnabled() && QRectF(widget->rect()).contains(point) && takesClicks(widget)) {
            widget->setFocus(Qt::MouseFocusReason);
            return;
        }
        const QWidget *proxy = widget->focusProxy() ? widget->focusProxy() : widget;
        if (widget->isWindow() || proxy->hasFocus())
            return;
        point += widget->pos();
    }
}

QWidget *ForwardedHover::target() const { return m_entered.isEmpty() ? nullptr : m_entered.first().data(); }

void ForwardedHover::moveTo(QWidget *target, QPointF point, const QWidget *handingView)
{
    const QPointF global = target ? target->mapToGlobal(point) : QPointF();
    QList<QWidget *> chain;
    for (QWidget *widget = target; widget && !widget->isWindow(); widget = widget->parentWidget()) {
        if (widget == handingView || widget->isAncestorOf(handingView))
            break;
        chain.append(widget);
    }
    for (const QPointer<QWidget> &left : std::as_const(m_entered)) {
        if (!left || chain.contains(left.data()))
            continue;
        left->setAttribute(Qt::WA_UnderMouse, false);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(left, &leave);
        if (left)
            sendHover(left, QEvent::HoverLeave, left->mapFromGlobal(global), global);
    }
    QList<QPointer<QWidget>> entered;
    for (QWidget *widget : chain)
        entered.append(widget);
    // Outermost first, as Qt enters them.
    for (auto each = entered.crbegin(); each != entered.crend(); ++each) {
        QWidget *widget = *each;
        if (!widget)
            continue;
        const QPointF local = widget->mapFromGlobal(global);
        if (m_entered.contains(*each)) {
            sendHover(widget, QEvent::HoverMove, local, global);
            continue;
        }
        widget->setAttribute(Qt::WA_UnderMouse, true);
        QEnterEvent enter(local, widget->window()->mapFromGlobal(global), global);
        QCoreApplication::sendEvent(widget, &enter);
        if (*each)
            sendHover(widget, QEvent::HoverEnter, local, global);
    }
    m_entered = entered;
}

} // namespace platform
