#include "platform/ui/View.h"

#include "platform/layers/Layer.h"
#include "platform/layers/LayerRenderer.h"

#include "platform/foundation/GuardedPointers.h"
#include "platform/graphics/GraphicsContextScope.h"
#include "platform/graphics/PainterGraphicsContext.h"
#include "platform/ui/ForwardedPointer.h"
#include "platform/ui/StillPointer.h"
#include "platform/ui/Window.h"

#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

const char *const lentMark = "platform.lentSubview";

// Mouse events handed from view to view inside one delivery; a hit test that keeps naming other
// widgets stops here rather than recursing for ever.
int forwardingDepth = 0;
constexpr int forwardingLimit = 8;

bool isFlippedSpace(const QWidget *widget)
{
    const auto *view = qobject_cast<const View *>(widget);
    return view && view->isFlipped();
}

// Between a widget's Qt coordinates and its coordinates as a superview; the same mapping both ways.
QPointF flipIn(const QWidget *widget, const QPointF &point)
{
    return isFlippedSpace(widget) ? point : QPointF(point.x(), widget->height() - point.y());
}

QRectF flipIn(const QWidget *widget, const QRectF &rect, int height)
{
    if (isFlippedSpace(widget))
        return rect;
    return QRectF(rect.x(), height - rect.y() - rect.height(), rect.width(), rect.height());
}

QRectF flipIn(const QWidget *widget, const QRectF &rect) { return flipIn(widget, rect, widget->height()); }

// Qt places no widget beyond QWIDGETSIZE_MAX: a frame out of all proportion, or not a number at
// all, ends there instead of overflowing an int.
int widgetCoordinate(double value, double least)
{
    return std::isnan(value) ? 0 : qRound(std::clamp(value, least, double(QWIDGETSIZE_MAX)));
}

QRect rounded(const QRectF &rect)
{
    return QRect(widgetCoordinate(rect.x(), -QWIDGETSIZE_MAX), widgetCoordinate(rect.y(), -QWIDGETSIZE_MAX),
                 widgetCoordinate(rect.width(), 0), widgetCoordinate(rect.height(), 0));
}

QWidget *parentOf(const QWidget *widget) { return widget->isWindow() ? nullptr : widget->parentWidget(); }

void forward(QSinglePointEvent *event, QWidget *target)
{
    const QPointF global = event->globalPosition();
    const QPointF local = target->mapFromGlobal(global);
    if (event->type() == QEvent::Wheel) {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        QWheelEvent copy(local, global, wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(),
                         wheel->modifiers(), wheel->phase(), wheel->inverted(), wheel->source(),
                         wheel->pointingDevice());
        QCoreApplication::sendEvent(target, &copy);
        event->setAccepted(copy.isAccepted());
        return;
    }
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->type() == QEvent::MouseButtonPress || mouse->type() == QEvent::MouseButtonDblClick)
        giveClickFocus(target, local);
    QMouseEvent copy(mouse->type(), local, mouse->scenePosition(), global, mouse->button(), mouse->buttons(),
                     mouse->modifiers(), mouse->pointingDevice());
    copy.setTimestamp(mouse->timestamp());
    QCoreApplication::sendEvent(target, &copy);
    event->setAccepted(copy.isAccepted());
}

} // namespace

QRectF View::frameOf(const QWidget *widget)
{
    if (const auto *view = qobject_cast<const View *>(widget))
        return view->frame();
    QWidget *parent = parentOf(widget);
    if (!parent)
        return QRectF(QPointF(), QSizeF(widget->size()));
    return flipIn(parent, QRectF(widget->geometry()), placementHeight(parent));
}

void View::setFrameOf(QWidget *widget, const QRectF &frame)
{
    if (auto *view = qobject_cast<View *>(widget)) {
        view->setFrame(frame);
        return;
    }
    QWidget *parent = parentOf(widget);
    if (auto *superview = qobject_cast<View *>(parent))
        superview->settleSubviews();
    widget->setGeometry(rounded(parent ? flipIn(parent, frame) : frame));
}

int View::placementHeight(const QWidget *superview)
{
    const auto *view = qobject_cast<const View *>(superview);
    return view && view->m_placementSize.isValid() && !view->layout() ? view->m_placementSize.height()
                                                                       : superview->height();
}

void View::settleSubviews()
{
    const QSize old = m_placementSize;
    // Set first: autoresized subviews set their frames, which settles this view again.
    m_placementSize = size();
    if (!old.isValid() || old == m_placementSize || layout())
        return;
    const QList<QWidget *> views = subviews();
    if (!isFlipped()) {
        // Wide, then kept within what a widget can be placed at: a subview far off stays far off.
        for (QWidget *subview : views) {
            const qint64 y = qint64(subview->y()) + m_placementSize.height() - old.height();
            subview->move(subview->x(), int(std::clamp<qint64>(y, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)));
        }
    }
    resizeSubviewsWithOldSize(QSizeF(old));
}

void View::resizeSubviewsWithOldSize(const QSizeF &oldSize)
{
    // A subview may tell a delegate of its new size that deletes subviews.
    for (const QPointer<QWidget> &subview : guardedPointers(subviews())) {
        if (auto *view = qobject_cast<View *>(subview.data()))
            view->resizeWithOldSuperviewSize(oldSize);
    }
}

View::View(QWidget *parent)
    : QWidget(parent)
{
    // Hover moves must reach a view even without tracking areas, so that one whose hit test lets
    // the pointer through can hand them to the view beneath.
    setMouseTracking(true);
    StillPointer::follow();
}

View::~View()
{
    // A copy: a subview let go leaves the list of children.
    for (QWidget *subview : subviews()) {
        if (subview->property(lentMark).toBool()) {
            subview->setProperty(lentMark, QVariant());
            subview->setParent(nullptr);
        }
    }
}

void View::setLentSubview(QWidget *subview, bool lent)
{
    if (subview)
        subview->setProperty(lentMark, lent ? QVariant(true) : QVariant());
}

bool View::isFlipped() const { return false; }

QRectF View::frame() const
{
    QWidget *parent = superview();
    if (!parent)
        return QRectF(m_detachedOrigin.value_or(QPointF()), QSizeF(size()));
    return flipIn(parent, QRectF(geometry()), placementHeight(parent));
}

void View::setFrame(const QRectF &frame)
{
    QWidget *parent = superview();
    if (!parent) {
        m_detachedOrigin = frame.topLeft();
        resize(widgetCoordinate(frame.width(), 0), widgetCoordinate(frame.height(), 0));
    } else {
        if (auto *view = qobject_cast<View *>(parent))
            view->settleSubviews();
        setGeometry(rounded(flipIn(parent, frame)));
    }
    // A hidden view gets no resize event; its subviews follow now all the same.
    settleSubviews();
}

QRectF View::bounds() const { return QRectF(QPointF(), QSizeF(size())); }

unsigned View::autoresizingMask() const { return m_autoresizingMask; }

void View::setAutoresizingMask(unsigned mask) { m_autoresizingMask = mask; }

void View::resizeWithOldSuperviewSize(const QSizeF &oldSize)
{
    if (m_autoresizingMask == Autoresizing::None)
        return;
    setFrame(autoresizedFrame(frame(), m_autoresizingMask, oldSize, QSizeF(superview()->size())));
}

QPointF View::fromQt(const QPointF &point) const { return flipIn(this, point); }

QRectF View::fromQt(const QRectF &rect) const { return flipIn(this, rect); }

QPointF View::convertPointToView(const QPointF &point, const View *view) const
{
    const QPointF global = mapToGlobal(fromQt(point));
    if (view)
        return view->fromQt(view->mapFromGlobal(global));
    const QWidget *top = window();
    const QPointF inTop = top->mapFromGlobal(global);
    return QPointF(inTop.x(), top->height() - inTop.y());
}

QPointF View::convertPointFromView(const QPointF &point, const View *view) const
{
    QPointF global;
    if (view) {
        global = view->mapToGlobal(view->fromQt(point));
    } else {
        const QWidget *top = window();
        global = top->mapToGlobal(QPointF(point.x(), top->height() - point.y()));
    }
    return fromQt(mapFromGlobal(global));
}

QWidget *View::superview() const { return parentOf(this); }

QList<QWidget *> View::subviews() const
{
    QList<QWidget *> views;
    for (QObject *child : children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && !widget->isWindow())
            views.append(widget);
    }
    return views;
}

void View::addSubview(QWidget *view)
{
    if (!view || view == this)
        return;
    const QRectF frame = frameOf(view);
    const bool hiddenOnPurpose = view->isHidden() && view->testAttribute(Qt::WA_WState_ExplicitShowHide);
    view->setParent(this);
    view->raise();
    setFrameOf(view, frame);
    if (!hiddenOnPurpose)
        view->show();
}

void View::removeFromSuperview()
{
    if (!superview())
        return;
    m_detachedOrigin = frame().topLeft();
    setParent(nullptr);
}

QWidget *View::hitTest(const QPointF &point)
{
    if (isHidden() || !frame().contains(point))
        return nullptr;
    const QPointF local = pointFromSuperview(point);
    const QList<QWidget *> views = subviews();
    for (auto each = views.crbegin(); each != views.crend(); ++each) {
        QWidget *subview = *each;
        if (subview->isHidden() || subview->testAttribute(Qt::WA_TransparentForMouseEvents))
            continue;
        if (auto *view = qobject_cast<View *>(subview)) {
            if (QWidget *hit = view->hitTest(local))
                return hit;
            continue;
        }
        const QPoint inSubview = (fromQt(local) - QPointF(subview->pos())).toPoint();
        if (subview->rect().contains(inSubview)) {
            QWidget *deepest = subview->childAt(inSubview);
            return deepest ? deepest : subview;
        }
    }
    return this;
}

QPointF View::pointFromSuperview(const QPointF &point) const
{
    QWidget *parent = superview();
    if (!parent) {
        const QPointF up = point - m_detachedOrigin.value_or(QPointF());
        return isFlipped() ? QPointF(up.x(), height() - up.y()) : up;
    }
    return fromQt(flipIn(parent, point) - QPointF(pos()));
}

QPointF View::pointInSuperview(const QPointF &globalPoint) const
{
    QWidget *parent = superview();
    if (!parent) {
        const QPointF inView = mapFromGlobal(globalPoint);
        return QPointF(inView.x(), height() - inView.y()) + m_detachedOrigin.value_or(QPointF());
    }
    return flipIn(parent, parent->mapFromGlobal(globalPoint));
}

void View::setNeedsDisplay(bool needsDisplay)
{
    if (needsDisplay)
        update();
}

void View::setNeedsDisplayInRect(const QRectF &rect) { update(fromQt(rect).toAlignedRect()); }

void View::drawRect(const QRectF &) {}

void View::mouseDown(const MouseEvent &) { m_passedOn = true; }

void View::mouseDragged(const MouseEvent &) { m_passedOn = true; }

void View::mouseUp(const MouseEvent &) { m_passedOn = true; }

void View::mouseMoved(const MouseEvent &) {}

void View::mouseEntered(const MouseEvent &) {}

void View::mouseExited(const MouseEvent &) {}

void View::scrollWheel(const MouseEvent &) { m_passedOn = true; }

void View::keyDown(QKeyEvent *) { m_passedOn = true; }

int View::addTrackingArea(TrackingArea area)
{
    area.identifier = ++m_lastTrackingArea;
    m_trackingAreas.append({area, area.options.testFlag(TrackingArea::AssumeInside)});
    // Made under a pointer that stays where it is, the area hears of it all the same.
    StillPointer::recheckSoon();
    return area.identifier;
}

void View::removeTrackingArea(int identifier)
{
    m_trackingAreas.removeIf([identifier](const Tracked &t) { return t.area.identifier == identifier; });
}

QList<TrackingArea> View::trackingAreas() const
{
    QList<TrackingArea> areas;
    for (const Tracked &tracked : m_trackingAreas)
        areas.append(tracked.area);
    return areas;
}

bool View::isPointerInside(int identifier) const
{
    return std::any_of(m_trackingAreas.cbegin(), m_trackingAreas.cend(),
                       [identifier](const Tracked &t) { return t.area.identifier == identifier && t.inside; });
}

void View::updateTrackingAreas() {}

void View::addCursorRect(const QRectF &rect, const QCursor &cursor) { m_cursorRects.append({rect, cursor}); }

void View::discardCursorRects() { m_cursorRects.clear(); }

void View::invalidateCursorRects() { m_cursorRectsValid = false; }

void View::resetCursorRects() {}

bool View::knowsPageRange(int &, int &) { return false; }

QRectF View::rectForPage(int) { return bounds(); }

bool View::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        if (redispatched(static_cast<QSinglePointEvent *>(event)))
            return true;
        break;
    case QEvent::ParentChange: {
        // Areas that need a superview come and go with it.
        const bool handled = QWidget::event(event);
        updateTrackingAreas();
        return handled;
    }
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        followKeyWindow(event->type() == QEvent::WindowActivate);
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool View::redispatched(QSinglePointEvent *event)
{
    const QEvent::Type type = event->type();
    const bool pressing = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    const bool hovering = type == QEvent::MouseMove && event->buttons() == Qt::NoButton;
    const bool starting = pressing || hovering || type == QEvent::Wheel;
    if (!starting) {
        // The rest of a press goes where the press went.
        if (!m_pressForwarded)
            return false;
        const QPointer<QWidget> target = m_pressTarget;
        if (type == QEvent::MouseButtonRelease && event->buttons() == Qt::NoButton)
            m_pressForwarded = false;
        if (target)
            forward(event, target);
        return true;
    }
    if (forwardingDepth >= forwardingLimit)
        return false;

    View *outermost = this;
    while (auto *up = qobject_cast<View *>(outermost->superview()))
        outermost = up;
    QWidget *target = outermost->hitTest(outermost->pointInSuperview(event->globalPosition()));
    // Events that reach a view from its subviews (ignored there) are this view's to handle.
    if (target == this || (target && isAncestorOf(target))) {
        if (pressing)
            m_pressForwarded = false;
        if (hovering)
            m_hover.moveTo(nullptr, {}, this);
        return false;
    }

    // Where its presses fall through, the pointer still moves over this view's tracking areas.
    // What this view tells may delete it, or its window: the event is then spent.
    const QPointer<View> self(this);
    if (hovering) {
        track(mouseEvent(event, 0), true);
        if (!self)
            return true;
    }
    QWidget *top = outermost->window();
    const bool passThrough = !target;
    const bool wasTransparent = outermost->testAttribute(Qt::WA_TransparentForMouseEvents);
    if (passThrough) {
        if (top == outermost) {
            event->ignore();
            return true;
        }
        // Kept transparent while the event is delivered, so that views beneath that let it
        // through as well cannot hand it back.
        outermost->setAttribute(Qt::WA_TransparentForMouseEvents, true);
        target = top->childAt(top->mapFromGlobal(event->globalPosition()).toPoint());
        if (!target)
            target = top;
    }
    if (pressing) {
        m_pressForwarded = true;
        m_pressTarget = target;
    }
    ++forwardingDepth;
    const QPointer<View> outermostView(outermost);
    const QPointer<QWidget> receiver(target);
    if (hovering)
        m_hover.moveTo(target, target->mapFromGlobal(event->globalPosition()), this);
    if (self && receiver)
        forward(event, target);
    --forwardingDepth;
    if (passThrough && !wasTransparent && outermostView)
        outermostView->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    if (!self || !receiver) {
        event->accept();
        return true;
    }
    // The pointer is over this view as far as Qt knows, so it shows the cursor of what it passes to.
    if (hovering && target) {
        if (target->testAttribute(Qt::WA_SetCursor))
            setCursor(target->cursor());
        else
            unsetCursor();
    }
    return true;
}

MouseEvent View::mouseEvent(const QSinglePointEvent *event, int clickCount) const
{
    MouseEvent mouse;
    mouse.location = fromQt(event->position());
    mouse.locationInWindow = convertPointToView(mouse.location, nullptr);
    mouse.button = event->button();
    mouse.buttons = event->buttons();
    mouse.modifiers = event->modifiers();
    mouse.clickCount = clickCount;
    return mouse;
}

MouseEvent View::pointerNow() const
{
    MouseEvent mouse;
    mouse.location = fromQt(mapFromGlobal(StillPointer::position()));
    mouse.locationInWindow = convertPointToView(mouse.location, nullptr);
    return mouse;
}

QRectF View::areaRect(const TrackingArea &area) const
{
    return area.options.testFlag(TrackingArea::InVisibleRect) ? bounds() : area.rect;
}

int View::addTrackingAreaAtPointer(TrackingArea area, bool *inside)
{
    *inside = isVisible() && window()->underMouse() && isTrackingActive(area.options)
        && areaRect(area).contains(pointerNow().location);
    if (*inside)
        area.options |= TrackingArea::AssumeInside;
    return addTrackingArea(area);
}

void View::deliver(QEvent *event, void (View::*handler)(const MouseEvent &), const MouseEvent &mouse)
{
    // The handler may tell a target or delegate that deletes this view or its window; the event
    // is then spent.
    const QPointer<View> self(this);
    m_passedOn = false;
    (this->*handler)(mouse);
    event->setAccepted(!self || !m_passedOn);
}

void View::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    // A layer moved into another view's layer tree is drawn there, over what this view draws.
    const bool drawsLayer = m_layer && !m_layer->superlayer();
    if (drawsLayer)
        painter.setOpacity(m_layer->presentedOpacity());
    PainterGraphicsContext context(&painter, height());
    if (isFlipped()) {
        context.translate(0, height());
        context.scale(1, -1);
    }
    GraphicsContextScope scope(&context);
    drawRect(fromQt(QRectF(event->rect())));
    if (drawsLayer)
        LayerRenderer::renderContent(*m_layer, context);
}

bool View::wantsLayer() const { return m_layer; }

void View::setWantsLayer(bool wants)
{
    if (wants == wantsLayer())
        return;
    if (!wants) {
        delete m_layer;
        return;
    }
    m_layer = new Layer(this);
    m_layer->setAnchorPoint(QPointF(0, 0));
    m_layer->setBounds(QRectF(QPointF(0, 0), QSizeF(size())));
    connect(m_layer, &Layer::needsRedraw, this, qOverload<>(&QWidget::update));
}

Layer *View::layer() const { return m_layer; }

void View::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_pressClickCount = 1;
    deliver(event, &View::mouseDown, mouseEvent(event, 1));
}

void View::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_pressClickCount = 2;
    deliver(event, &View::mouseDown, mouseEvent(event, 2));
}

void View::mouseMoveEvent(QMouseEvent *event)
{
    const MouseEvent mouse = mouseEvent(event, 0);
    const QPointer<View> self(this);
    track(mouse, true);
    if (!self) {
        event->accept();
        return;
    }
    if (event->buttons().testFlag(Qt::LeftButton)) {
        deliver(event, &View::mouseDragged, mouse);
        return;
    }
    updateCursor(mouse.location);
    event->ignore();
}

void View::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    deliver(event, &View::mouseUp, mouseEvent(event, m_pressClickCount));
}

void View::wheelEvent(QWheelEvent *event)
{
    MouseEvent mouse = mouseEvent(event, 0);
    mouse.hasPreciseScrollingDeltas = !event->pixelDelta().isNull();
    mouse.scrollingDelta = mouse.hasPreciseScrollingDeltas ? QPointF(event->pixelDelta())
                                                           : QPointF(event->angleDelta()) / 120.0;
    deliver(event, &View::scrollWheel, mouse);
}

void View::keyPressEvent(QKeyEvent *event)
{
    const QPointer<View> self(this);
    m_passedOn = false;
    keyDown(event);
    event->setAccepted(!self || !m_passedOn);
}

void View::enterEvent(QEnterEvent *event)
{
    // The move that follows reports the pointer moving.
    const MouseEvent mouse = mouseEvent(event, 0);
    const QPointer<View> self(this);
    track(mouse, false);
    if (!self)
        return;
    updateCursor(mouse.location);
    QWidget::enterEvent(event);
}

void View::leaveEvent(QEvent *event)
{
    const QPointer<View> self(this);
    exitAll(pointerNow());
    if (!self)
        return;
    m_hover.moveTo(nullptr, {}, this);
    QWidget::leaveEvent(event);
}

void View::resizeEvent(QResizeEvent *event)
{
    if (m_layer)
        m_layer->setBounds(QRectF(QPointF(0, 0), QSizeF(size())));
    settleSubviews();
    m_cursorRectsValid = false;
    QWidget::resizeEvent(event);
    updateTrackingAreas();
}

void View::track(const MouseEvent &event, bool reportMoves)
{
    // A view moved under a still pointer hears it move; one that sees it where it was does not.
    const bool wentOn = m_lastMoved != event.location;
    if (reportMoves)
        m_lastMoved = event.location;
    QList<int> identifiers;
    for (const Tracked &tracked : m_trackingAreas)
        identifiers.append(tracked.area.identifier);
    int movedIn = 0;
    // Handlers may add and remove areas; each one is looked up again. They may delete this view.
    const QPointer<View> self(this);
    for (int identifier : identifiers) {
        auto tracked = std::find_if(m_trackingAreas.begin(), m_trackingAreas.end(),
                                    [identifier](const Tracked &t) { return t.area.identifier == identifier; });
        if (tracked == m_trackingAreas.end())
            continue;
        const TrackingArea::Options options = tracked->area.options;
        const QRectF rect = areaRect(tracked->area);
        const bool inside = isTrackingActive(options) && rect.contains(event.location);
        if (inside && options.testFlag(TrackingArea::MouseMoved) && movedIn == 0)
            movedIn = identifier;
        if (inside == tracked->inside)
            continue;
        tracked->inside = inside;
        if (options.testFlag(TrackingArea::MouseEnteredAndExited)) {
            MouseEvent crossing = event;
            crossing.trackingArea = identifier;
            if (inside)
                mouseEntered(crossing);
            else
                mouseExited(crossing);
            if (!self)
                return;
        }
    }
    if (reportMoves && wentOn && movedIn != 0 && event.buttons == Qt::NoButton) {
        MouseEvent moved = event;
        moved.trackingArea = movedIn;
        mouseMoved(moved);
    }
}

bool View::isTrackingActive(TrackingArea::Options options) const
{
    return !options.testFlag(TrackingArea::ActiveInKeyWindow) || isActiveWindow();
}

void View::followKeyWindow(bool active)
{
    if (std::none_of(m_trackingAreas.cbegin(), m_trackingAreas.cend(), [](const Tracked &t) {
            return t.area.options.testFlag(TrackingArea::ActiveInKeyWindow);
        }))
        return;
    // A pointer already over such an area is heard where it is, as after a move.
    if (active)
        StillPointer::recheckSoon();
    else
        exitAll(pointerNow(), true);
}

void View::exitAll(const MouseEvent &event, bool keyWindowOnly)
{
    if (!keyWindowOnly)
        m_lastMoved.reset();
    QList<int> exited;
    for (Tracked &tracked : m_trackingAreas) {
        if (keyWindowOnly && !tracked.area.options.testFlag(TrackingArea::ActiveInKeyWindow))
            continue;
        if (tracked.inside && tracked.area.options.testFlag(TrackingArea::MouseEnteredAndExited))
            exited.append(tracked.area.identifier);
        tracked.inside = false;
    }
    const QPointer<View> self(this);
    for (int identifier : exited) {
        MouseEvent crossing = event;
        crossing.trackingArea = identifier;
        mouseExited(crossing);
        if (!self)
            return;
    }
}

bool View::cursorRectsEnabled() const
{
    const auto *host = qobject_cast<const Window *>(window());
    return !host || host->areCursorRectsEnabled();
}

void View::updateCursor(const QPointF &location)
{
    if (!cursorRectsEnabled())
        return;
    if (!m_cursorRectsValid) {
        m_cursorRectsValid = true;
        m_cursorRects.clear();
        resetCursorRects();
    }
    for (auto each = m_cursorRects.crbegin(); each != m_cursorRects.crend(); ++each) {
        if (each->rect.contains(location)) {
            setCursor(each->cursor);
            return;
        }
    }
    if (!m_cursorRects.isEmpty())
        unsetCursor();
}

} // namespace platform
