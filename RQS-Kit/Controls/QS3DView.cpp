#include "RQS-Kit/Controls/QS3DView.h"

#include "RQS-Kit/Controls/QS3DLayer.h"
#include "RQS-Kit/Controls/QSHostedView.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/layers/Layer.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWheelEvent>

using platform::Layer;
using platform::MouseEvent;
using platform::View;

namespace {

// The view hit may lie deep inside a turned subview; mouse handlers belong to views only.
View *viewAtOrAbove(QWidget *widget)
{
    while (widget && !qobject_cast<View *>(widget))
        widget = widget->parentWidget();
    return qobject_cast<View *>(widget);
}

} // namespace

QS3DView::QS3DView(QWidget *parent)
    : View(parent)
{
    setWantsLayer(true);
    m_layer3D = new QS3DLayer(this);
    m_layer3D->setFrame(bounds());
    m_layer3D->setAutoresizingMask(Layer::WidthSizable | Layer::HeightSizable);
    layer()->addSublayer(m_layer3D);
    m_layer3D->setDepthFactor(2.0);
}

void QS3DView::addSubview(QWidget *view)
{
    auto *subview = qobject_cast<View *>(view);
    if (!subview) {
        platform::logWarning(QStringLiteral("Only views can be shown in 3-D"));
        return;
    }
    adopt(subview);
    m_layer3D->addSublayer(subview->layer());
    QSHostedView::host(subview);
}

void QS3DView::addSubview(View *view, bool above, View *relativeTo)
{
    if (!view || !relativeTo || relativeTo->superview() != this) {
        platform::logWarning(QStringLiteral("A 3-D subview is placed next to a view that is not a subview"));
        return;
    }
    adopt(view);
    if (above)
        m_layer3D->insertSublayerAbove(view->layer(), relativeTo->layer());
    else
        m_layer3D->insertSublayerBelow(view->layer(), relativeTo->layer());
    QSHostedView::host(view);
}

void QS3DView::adopt(View *view)
{
    view->setWantsLayer(true);
    View::addSubview(view);
}

double QS3DView::depthFactor() const { return m_layer3D->depthFactor(); }

bool QS3DView::setDepthFactor(double depthFactor) { return m_layer3D->setDepthFactor(depthFactor); }

double QS3DView::focalLength() const { return m_layer3D->focalLength(); }

bool QS3DView::setFocalLength(double millimetres) { return m_layer3D->setFocalLength(millimetres); }

double QS3DView::fov() const { return m_layer3D->fov(); }

bool QS3DView::setFov(double degrees) { return m_layer3D->setFov(degrees); }

QWidget *QS3DView::hitTest(const QPointF &point)
{
    if (isHidden() || !frame().contains(point))
        return nullptr;
    m_forwardView = widgetAt(fromSuperview(point));
    return m_forwardView ? this : nullptr;
}

QWidget *QS3DView::widgetAt(const QPointF &point) const
{
    for (QWidget *each : subviews()) {
        auto *subview = qobject_cast<View *>(each);
        if (!subview || !subview->layer())
            continue;
        const QPointF inView = subview->convertPointToView(pointInSubview(point, subview), this);
        if (QWidget *hit = subview->hitTest(inView))
            return hit;
    }
    return nullptr;
}

View *QS3DView::hoveredViewAt(const QPointF &point) const { return viewAtOrAbove(widgetAt(point)); }

QPointF QS3DView::fromSuperview(const QPointF &point) const
{
    const QRectF frame = this->frame();
    const auto *superview = qobject_cast<const View *>(this->superview());
    if (superview && superview->isFlipped())
        return QPointF(point.x() - frame.x(), frame.y() + frame.height() - point.y());
    return point - frame.topLeft();
}

QPointF QS3DView::pointInSubview(const QPointF &point, View *subview) const
{
    QPointF inLayer = subview->layer()->convertPointFromLayer(point, layer());
    // Layers are y-up.
    if (subview->isFlipped())
        inLayer.setY(subview->bounds().height() - inLayer.y());
    return inLayer;
}

View *QS3DView::subviewHolding(QWidget *widget) const
{
    while (widget && widget->parentWidget() != this)
        widget = widget->parentWidget();
    return qobject_cast<View *>(widget);
}

MouseEvent QS3DView::remade(const MouseEvent &event, View *target) const
{
    View *subview = subviewHolding(target);
    MouseEvent copy = event;
    copy.trackingArea = 0;
    if (!subview)
        return copy;
    copy.location = target->convertPointFromView(pointInSubview(event.location, subview), subview);
    copy.locationInWindow = target->convertPointToView(copy.location, nullptr);
    return copy;
}

void QS3DView::forward(const MouseEvent &event, void (View::*handler)(const MouseEvent &), QEvent::Type type)
{
    QWidget *target = m_forwardView;
    // Qt focuses the widget under a press of its own only; this one went to the 3-D view.
    if (type == QEvent::MouseButtonPress)
        platform::giveClickFocus(target, pointIn(event, target));
    if (!qobject_cast<View *>(target)) {
        if (sendAsQtEvent(event, type, target))
            return;
        // A widget that does not take the event leaves it to the view holding it.
        target = viewAtOrAbove(target);
        m_forwardView = target;
    }
    if (auto *view = qobject_cast<View *>(target))
        (view->*handler)(remade(event, view));
}

QPointF QS3DView::pointIn(const MouseEvent &event, QWidget *target) const
{
    View *subview = subviewHolding(target);
    if (!subview)
        return {};
    QPointF inSubview = pointInSubview(event.location, subview);
    if (!subview->isFlipped())
        inSubview.setY(subview->height() - inSubview.y());
    return target->mapFrom(subview, inSubview);
}

bool QS3DView::sendAsQtEvent(const MouseEvent &event, QEvent::Type type, QWidget *target) const
{
    if (!subviewHolding(target))
        return false;
    const QPointF local = pointIn(event, target);
    const QPointF global = target->mapToGlobal(local);
    if (type == QEvent::MouseButtonPress && event.clickCount == 2)
        type = QEvent::MouseButtonDblClick;
    QMouseEvent copy(type, local, target->window()->mapFromGlobal(global), global, event.button, event.buttons,
                     event.modifiers);
    return sendUnpropagated(&copy, target);
}

bool QS3DView::sendWheel(const MouseEvent &event, QWidget *target) const
{
    if (!subviewHolding(target))
        return false;
    const QPointF local = pointIn(event, target);
    // Back to Qt's deltas, as View reads them.
    const QPoint pixels = event.hasPreciseScrollingDeltas ? event.scrollingDelta.toPoint() : QPoint();
    const QPoint angle = event.hasPreciseScrollingDeltas ? QPoint() : (event.scrollingDelta * 120).toPoint();
    QWheelEvent copy(local, target->mapToGlobal(local), pixels, angle, event.buttons, event.modifiers, Qt::NoScrollPhase,
                     false);
    return sendUnpropagated(&copy, target);
}

bool QS3DView::sendUnpropagated(QInputEvent *event, QWidget *target)
{
    // Qt would hand an ignored event to the parents, where it lies untransformed.
    const QPointer<QWidget> receiver = target;
    const bool propagated = !target->testAttribute(Qt::WA_NoMousePropagation);
    target->setAttribute(Qt::WA_NoMousePropagation);
    QCoreApplication::sendEvent(target, event);
    if (!receiver)
        return true;
    receiver->setAttribute(Qt::WA_NoMousePropagation, !propagated);
    return event->isAccepted();
}

void QS3DView::mouseDown(const MouseEvent &event)
{
    if (m_forwardView)
        forward(event, &View::mouseDown, QEvent::MouseButtonPress);
    else
        View::mouseDown(event);
}

void QS3DView::mouseDragged(const MouseEvent &event)
{
    if (m_forwardView)
        forward(event, &View::mouseDragged, QEvent::MouseMove);
    else
        View::mouseDragged(event);
}

void QS3DView::mouseUp(const MouseEvent &event)
{
    if (m_forwardView)
        forward(event, &View::mouseUp, QEvent::MouseButtonRelease);
    else
        View::mouseUp(event);
}

void QS3DView::scrollWheel(const MouseEvent &event)
{
    // Beneath lies what the subviews hide, untransformed: a wheel is never passed on to it.
    QWidget *target = m_forwardView;
    if (target && !qobject_cast<View *>(target) && sendWheel(event, target))
        return;
    if (View *view = viewAtOrAbove(target))
        view->scrollWheel(remade(event, view));
}

bool QS3DView::tookOtherButton(QMouseEvent *event, bool otherButton, void (View::*handler)(const MouseEvent &), int clickCount)
{
    if (!otherButton || !m_forwardView)
        return false;
    (this->*handler)(mouseEvent(event, clickCount));
    event->accept();
    return true;
}

void QS3DView::mousePressEvent(QMouseEvent *event)
{
    if (!tookOtherButton(event, event->button() != Qt::LeftButton, &View::mouseDown, 1))
        View::mousePressEvent(event);
}

void QS3DView::mouseMoveEvent(QMouseEvent *event)
{
    const Qt::MouseButtons buttons = event->buttons();
    if (!tookOtherButton(event, buttons != Qt::NoButton && !buttons.testFlag(Qt::LeftButton), &View::mouseDragged, 0))
        View::mouseMoveEvent(event);
}

void QS3DView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!tookOtherButton(event, event->button() != Qt::LeftButton, &View::mouseUp, 1))
        View::mouseReleaseEvent(event);
}

void QS3DView::updateMouseHover(const MouseEvent &event, View *view)
{
    if (view == m_lastHitView) {
        if (view)
            view->mouseMoved(remade(event, view));
        return;
    }
    if (View *left = m_lastHitView)
        left->mouseExited(remade(event, left));
    m_lastHitView = view;
    if (view)
        view->mouseEntered(remade(event, view));
}

bool QS3DView::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        // A move over no subview is let through to what lies beneath and never reaches this view's
        // handlers, so hover is followed here for every move.
        const auto *move = static_cast<QMouseEvent *>(event);
        if (move->buttons() == Qt::NoButton) {
            const MouseEvent mouse = mouseEvent(move, 0);
            QWidget *hit = widgetAt(mouse.location);
            View *view = viewAtOrAbove(hit);
            updateMouseHover(mouse, view);
            // Views follow the pointer through their handlers, other widgets as Qt would have them.
            if (hit && hit != view)
                m_widgetHover.moveTo(hit, pointIn(mouse, hit), view);
            else
                m_widgetHover.moveTo(nullptr, {}, this);
        }
        break;
    }
    case QEvent::Leave:
        updateMouseHover(MouseEvent(), nullptr);
        m_widgetHover.moveTo(nullptr, {}, this);
        break;
    case QEvent::ParentChange:
        if (superview())
            platform::NotificationCenter::defaultCenter()->post(QStringLiteral("3DViewActive"), this);
        else
            m_forwardView = nullptr;
        break;
    default:
        break;
    }
    return View::event(event);
}

void QS3DView::resizeEvent(QResizeEvent *event)
{
    View::resizeEvent(event);
    // The subviews were autoresized on untransformed frames; their layers follow.
    for (QWidget *each : subviews()) {
        if (auto *subview = qobject_cast<View *>(each); subview && subview->layer())
            QSHostedView::placeLayer(subview);
    }
}
