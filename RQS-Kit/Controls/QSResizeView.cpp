#include "RQS-Kit/Controls/QSResizeView.h"

#include "RQS-Kit/Controls/QSRotatedCursor.h"
#include "platform/graphics/GraphicsContext.h"

#include <QPainterPath>

#include <cmath>

namespace {

// Grab and cursor use a wider band than the hit test, so that a press just inside the view still
// finds its edge.
constexpr double band = 15;
constexpr double hitBand = 10;

const QPolygonF &crossedArrow()
{
    static const QPolygonF outline{{1, 7},  {3, 5},  {3, 7},   {7, 7},   {7, 1},  {8, 1},  {8, 7},  {12, 7}, {12, 5}, {14, 7},
                                   {14, 8}, {12, 10}, {12, 8}, {8, 8},   {8, 14}, {7, 14}, {7, 8},  {3, 8},  {3, 10}, {1, 8}};
    return outline;
}

} // namespace

QSResizeView::QSResizeView(QWidget *parent)
    : QSTurnedCursorView(QStringLiteral("ResizeFrameHint"), parent)
{
    updateTrackingAreas();
}

QSResizeView::~QSResizeView() = default;

quint64 QSResizeView::allowedSides() const { return m_allowedSides; }

void QSResizeView::setAllowedSides(quint64 sides)
{
    m_allowedSides = sides;
    setNeedsDisplay(true);
}

quint64 QSResizeView::resizeSides() const { return m_grab.sides; }
void QSResizeView::setResizeSides(quint64 sides) { m_grab.sides = sides; }
double QSResizeView::tabWidth() const { return m_tabWidth; }

void QSResizeView::setTabWidth(double width)
{
    m_tabWidth = width;
    setNeedsDisplay(true);
}

double QSResizeView::bottomTabWidth() const { return m_bottomTabWidth; }

void QSResizeView::setBottomTabWidth(double width)
{
    m_bottomTabWidth = width;
    setNeedsDisplay(true);
}

QWidget *QSResizeView::topTabContent() const { return m_topTabContent; }

void QSResizeView::setTopTabContent(QWidget *view)
{
    m_topTabContent = view;
    centreTabContents();
}

QWidget *QSResizeView::bottomTabContent() const { return m_bottomTabContent; }

void QSResizeView::setBottomTabContent(QWidget *view)
{
    m_bottomTabContent = view;
    centreTabContents();
}

bool QSResizeView::highlighted() const { return m_highlighted; }

void QSResizeView::setHighlighted(bool highlighted)
{
    m_highlighted = highlighted;
    setNeedsDisplay(true);
}

QSResizeViewDelegate *QSResizeView::delegate() const { return m_delegate.get(); }
void QSResizeView::setDelegate(platform::Delegate<QSResizeViewDelegate> delegate) { m_delegate.set(delegate); }

double QSResizeView::angleForLocation(const QPointF &point) const
{
    const QRectF box = bounds();
    std::optional<double> horizontal, vertical;
    if (point.x() < band && (m_allowedSides & Left))
        horizontal = 180;
    else if (point.x() > box.width() - band && (m_allowedSides & Right))
        horizontal = 0;
    if (point.y() < band && (m_allowedSides & Bottom))
        vertical = 270;
    else if (point.y() > box.height() - band && (m_allowedSides & Top))
        vertical = 90;
    if (horizontal && vertical)
        return (*horizontal + *vertical) / 2;
    return horizontal.value_or(vertical.value_or(0));
}

QSResizeView::Grab QSResizeView::grabForLocation(const QPointF &point) const
{
    const QRectF box = bounds();
    Grab grab;
    if (point.x() < band && (m_allowedSides & Left)) {
        grab.sides |= Left;
        grab.factors.setWidth(-1);
    } else if (point.x() > box.width() - band && (m_allowedSides & Right)) {
        grab.sides |= Right;
        grab.factors.setWidth(1);
    }
    if (point.y() < band && (m_allowedSides & Bottom)) {
        grab.sides |= Bottom;
        grab.factors.setHeight(-1);
    } else if (point.y() > box.height() - band && (m_allowedSides & Top)) {
        grab.sides |= Top;
        grab.factors.setHeight(1);
    }
    return grab;
}

QCursor QSResizeView::cursorForAngle(double degrees) { return QSRotatedCursor(crossedArrow(), degrees); }

void QSResizeView::updateCursorForLocation(const QPointF &point, double extraDegrees)
{
    showCursor(cursorFor(point, extraDegrees));
}

std::optional<QCursor> QSResizeView::cursorForLocation(const QPointF &point)
{
    const QRectF box = bounds();
    if (!box.contains(point) || box.adjusted(hitBand, hitBand, -hitBand, -hitBand).contains(point))
        return std::nullopt;
    return cursorFor(point, shownTurn());
}

std::optional<QCursor> QSResizeView::cursorFor(const QPointF &point, double extraDegrees)
{
    const QCursor cursor = turnedCursor(crossedArrow(), angleForLocation(point) + extraDegrees);
    // The hovered point decides, not the last press, so the cursor is right before any press.
    return grabForLocation(point).sides ? std::optional<QCursor>(cursor) : std::nullopt;
}

QWidget *QSResizeView::hitTest(const QPointF &point)
{
    const QPointF inView = point - frame().topLeft();
    const QRectF box = bounds();
    const double left = (m_allowedSides & Left) ? hitBand : 0;
    const double bottom = (m_allowedSides & Bottom) ? hitBand : 0;
    const double right = (m_allowedSides & Right) ? hitBand : 0;
    const double top = (m_allowedSides & Top) ? hitBand : 0;
    const QRectF inner(left, bottom, box.width() - left - right, box.height() - bottom - top);
    if (inner.contains(inView)) {
        QWidget *hit = QSTurnedCursorView::hitTest(point);
        return hit == this ? nullptr : hit;
    }
    return box.contains(inView) ? this : nullptr;
}

void QSResizeView::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    const double w = bounds().width();
    const double h = bounds().height();
    context->saveGState();
    if (m_highlighted)
        context->setShadow(platform::Shadow{QColor(94, 171, 237), QSizeF(0, 0), 3});
    context->setFill(Qt::white);
    // Qt measures arc angles y-down, so y-up angles are negated.
    QPainterPath frame;
    frame.addRect(bounds().adjusted(5, 5, -5, -5));
    frame.addRect(bounds().adjusted(4, 4, -4, -4));
    if (m_tabWidth >= 4) {
        const double left = (w - m_tabWidth) / 2, right = (w + m_tabWidth) / 2;
        frame.moveTo(left, h - 5);
        frame.arcTo(QRectF(left, h - 26, 4, 4), -180, -90);
        frame.arcTo(QRectF(right - 4, h - 26, 4, 4), -270, -90);
        frame.lineTo(right, h - 5);
    }
    if (m_bottomTabWidth >= 4) {
        const double left = (w - m_bottomTabWidth) / 2, right = (w + m_bottomTabWidth) / 2;
        frame.moveTo(left, 5);
        frame.arcTo(QRectF(left, 19, 4, 4), -180, 90);
        frame.arcTo(QRectF(right - 4, 19, 4, 4), -90, 90);
        frame.lineTo(right, 5);
    }
    frame.setFillRule(Qt::OddEvenFill);
    context->fillPath(frame);
    context->fillPath(frame);

    const auto allowed = [this](quint64 sides) { return (m_allowedSides & sides) == sides; };
    QPainterPath handles;
    const auto handle = [&handles](double x, double y) { handles.addEllipse(QRectF(x, y, 7, 7)); };
    if (allowed(Left | Bottom))
        handle(1, 1);
    if (allowed(Left | Top))
        handle(1, h - 8);
    if (allowed(Top | Right))
        handle(w - 8, h - 8);
    if (allowed(Right | Bottom))
        handle(w - 8, 1);
    if (allowed(Left))
        handle(1, h / 2 - 3.5);
    if (allowed(Top))
        handle(w / 2 - 3.5, h - 8);
    if (allowed(Right))
        handle(w - 8, h / 2 - 3.5);
    if (allowed(Bottom))
        handle(w / 2 - 3.5, 1);
    context->fillPath(handles);
    context->restoreGState();
}

platform::TrackingArea QSResizeView::pointerArea() const
{
    return {{}, platform::TrackingArea::MouseEnteredAndExited | platform::TrackingArea::MouseMoved
                    | platform::TrackingArea::InVisibleRect | platform::TrackingArea::ActiveInKeyWindow, 0};
}

void QSResizeView::mouseDown(const platform::MouseEvent &event)
{
    m_orgLocation = event.location;
    m_grab = grabForLocation(event.location);
    // Distances from the grabbed edges, so that a view grown meanwhile still measures right.
    if (m_grab.sides & Right)
        m_orgLocation.setX(bounds().width() - event.location.x());
    if (m_grab.sides & Top)
        m_orgLocation.setY(bounds().height() - event.location.y());
    report(QSizeF(0, 0), 0);
}

void QSResizeView::mouseDragged(const platform::MouseEvent &event)
{
    const double rx = (m_grab.sides & Left) ? m_orgLocation.x() : bounds().width() - m_orgLocation.x();
    const double ry = (m_grab.sides & Bottom) ? m_orgLocation.y() : bounds().height() - m_orgLocation.y();
    const double dx = (m_grab.sides & (Left | Right)) ? (event.location.x() - rx) * m_grab.factors.width() : 0;
    const double dy = (m_grab.sides & (Top | Bottom)) ? (event.location.y() - ry) * m_grab.factors.height() : 0;
    report(QSizeF(dx, dy), 1);
}

void QSResizeView::mouseUp(const platform::MouseEvent &) { report(QSizeF(0, 0), 2); }

void QSResizeView::resizeEvent(QResizeEvent *event)
{
    QSTurnedCursorView::resizeEvent(event);
    centreTabContents();
}

void QSResizeView::centreTabContents()
{
    for (QWidget *content : {m_topTabContent.data(), m_bottomTabContent.data()}) {
        if (!content)
            continue;
        const double across = content->parentWidget() ? content->parentWidget()->width() : 0;
        content->move(int(std::lround(across / 2 - content->width() / 2.0)), content->y());
    }
}

void QSResizeView::report(const QSizeF &change, int state)
{
    if (QSResizeViewDelegate *delegate = m_delegate.get())
        delegate->resizeViewDidResize(this, m_grab.sides, change, state);
}
