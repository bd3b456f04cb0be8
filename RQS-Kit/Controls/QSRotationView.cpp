#include "RQS-Kit/Controls/QSRotationView.h"

#include "RQS-Kit/Foundation/Geometry.h"
#include "RQS-Kit/Foundation/QSColor.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContext.h"

#include <QPainterPath>
#include <QTransform>

#include <cmath>
#include <numbers>

namespace {

constexpr double ringBand = 8;

double degrees(double radians) { return radians * 180 / std::numbers::pi; }
double radians(double degrees) { return degrees * std::numbers::pi / 180; }

const QPolygonF &doubleArrow()
{
    static const QPolygonF outline{{1, 7}, {3, 5}, {3, 7}, {12, 7}, {12, 5}, {14, 7}, {14, 8}, {12, 10}, {12, 8}, {3, 8}, {3, 10}, {1, 8}};
    return outline;
}

const QPolygonF &fourWayArrow()
{
    static const QPolygonF outline{{1, 7},   {3, 5},   {3, 7},  {7, 7},   {7, 3},  {5, 3},  {7, 1},   {8, 1},  {10, 3}, {8, 3},
                                   {8, 7},   {12, 7},  {12, 5}, {14, 7},  {14, 8}, {12, 10}, {12, 8}, {8, 8},  {8, 12}, {10, 12},
                                   {8, 14},  {7, 14},  {5, 12}, {7, 12},  {7, 8},  {3, 8},  {3, 10},  {1, 8}};
    return outline;
}

const QPainterPath &radialArrows()
{
    static const QPainterPath shape = [] {
        QPainterPath path;
        path.addPolygon(QPolygonF{{-13, 0}, {-5, 4}, {-5, 1}, {-3, 1}, {-3, -1}, {-5, -1}, {-5, -4}});
        path.closeSubpath();
        path.addPolygon(QPolygonF{{13, 0}, {5, 4}, {5, 1}, {3, 1}, {3, -1}, {5, -1}, {5, -4}});
        path.closeSubpath();
        return path;
    }();
    return shape;
}

// The step into -180..180, so that crossing the negative x axis turns on instead of jumping back.
double wrapped(double step) { return step - 360 * std::round(step / 360); }

} // namespace

QSRotationView::QSRotationView(QWidget *parent)
    : QSTurnedCursorView(QString(), parent)
{
    updateTrackingAreas();
}

QSRotationView::~QSRotationView() = default;

double QSRotationView::radiusReduction() const { return m_radiusReduction; }

void QSRotationView::setRadiusReduction(double percent)
{
    m_radiusReduction = percent;
    setNeedsDisplay(true);
}

bool QSRotationView::dashed() const { return m_dashed; }

void QSRotationView::setDashed(bool dashed)
{
    m_dashed = dashed;
    setNeedsDisplay(true);
}

bool QSRotationView::showCenterArea() const { return m_showCenterArea; }

void QSRotationView::setShowCenterArea(bool show)
{
    m_showCenterArea = show;
    setNeedsDisplay(true);
}

QBrush QSRotationView::fillColor() const { return m_fillColor; }

void QSRotationView::setFillColor(const QBrush &color)
{
    m_fillColor = color;
    setNeedsDisplay(true);
}

QString QSRotationView::fillColorName() const { return m_fillColorName; }

void QSRotationView::setFillColorName(const QString &description)
{
    m_fillColorName = description;
    setFillColor(QSColor::colorFromDescription(description));
}

QString QSRotationView::patternName() const { return m_patternName; }

void QSRotationView::setPatternName(const QString &name)
{
    m_patternName = name;
    m_pattern = platform::Bundle::mainBundle()->imageNamed(name);
    if (m_pattern.isNull())
        platform::logWarning(QStringLiteral("No pattern image named \"%1\"").arg(name));
    setNeedsDisplay(true);
}

bool QSRotationView::highlighted() const { return m_highlighted; }

void QSRotationView::setHighlighted(bool highlighted)
{
    m_highlighted = highlighted;
    setNeedsDisplay(true);
}

QSRotationViewDelegate *QSRotationView::delegate() const { return m_delegate.get(); }
void QSRotationView::setDelegate(platform::Delegate<QSRotationViewDelegate> delegate) { m_delegate.set(delegate); }

double QSRotationView::radius() const
{
    const double full = (bounds().width() + bounds().height()) / 4 - 5.0;
    return full - full * m_radiusReduction / 100;
}

QSRotationView::Polar QSRotationView::rotationForLocation(const QPointF &fromCentre)
{
    const double distance = std::hypot(fromCentre.x(), fromCentre.y());
    const double angle = distance > 0 ? degrees(std::acos(std::clamp(fromCentre.x() / distance, -1.0, 1.0))) : 0;
    return {std::max(0.001, distance), fromCentre.y() < 0 ? -angle : angle};
}

bool QSRotationView::isNearAxisPoint(const Polar &polar)
{
    const double tolerance = degrees(7 / polar.radius);
    const double d = std::fabs(std::fmod(polar.angle, 90.0));
    return tolerance >= std::min(d, 90 - d);
}

std::optional<QCursor> QSRotationView::cursorForLocation(const QPointF &point)
{
    if (hitTest(point + frame().topLeft()) != this)
        return std::nullopt;
    const Polar polar = rotationForLocation(point - centre());
    m_showRescaling = isNearAxisPoint(polar);
    const bool fourWay = (m_showRescaling || m_isRescaling) && takesResizes();
    // Along the ring: a quarter turn from the radius.
    return turnedCursor(fourWay ? fourWayArrow() : doubleArrow(), shownTurn() + polar.angle, 90);
}

bool QSRotationView::showsRescaling() const { return m_showRescaling && takesResizes(); }

QWidget *QSRotationView::hitTest(const QPointF &point)
{
    QWidget *hit = QSTurnedCursorView::hitTest(point);
    if (hit != this)
        return hit;
    const double distance = rotationForLocation(point - frame().topLeft() - centre()).radius;
    const double r = radius();
    return distance >= r - ringBand && distance <= r + ringBand ? this : nullptr;
}

void QSRotationView::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    const QPointF c = centre();
    const double r = radius();
    if ((m_fillColor.style() != Qt::NoBrush || !m_pattern.isNull()) && m_showCenterArea) {
        context->saveGState();
        QPainterPath outside;
        outside.addRect(bounds());
        outside.addEllipse(c, r, r);
        outside.setFillRule(Qt::OddEvenFill);
        if (m_fillColor.style() != Qt::NoBrush) {
            context->setFill(m_fillColor);
            context->fillPath(outside);
        }
        if (!m_pattern.isNull()) {
            context->clipToPath(outside);
            context->rotate(-std::numbers::pi / 6);
            context->drawTiledImage(m_pattern, QRectF(QPointF(0, 0), m_pattern.deviceIndependentSize()));
        }
        context->restoreGState();
    }
    context->saveGState();
    if (m_highlighted)
        context->setShadow(platform::Shadow{QColor(94, 171, 237), QSizeF(0, 0), 3});
    QPainterPath ring;
    ring.addEllipse(c, r, r);
    if (m_dashed)
        context->setLineDash({6, 6}, 0);
    context->setStroke(Qt::white);
    context->strokePath(ring);
    context->strokePath(ring);
    if (takesResizes()) {
        QPainterPath marks;
        for (const double a : {45.0, 135.0, 225.0, 315.0})
            marks.addEllipse(QRectF(c + r * QPointF(std::cos(radians(a)), std::sin(radians(a))) - QPointF(3.5, 3.5), QSizeF(7, 7)));
        for (const double a : {0.0, 90.0, 180.0, 270.0}) {
            const QPointF at = c + r * QPointF(std::cos(radians(a)), std::sin(radians(a)));
            marks.addPath(QTransform().translate(at.x(), at.y()).rotate(a).map(radialArrows()));
        }
        context->setFill(Qt::white);
        context->fillPath(marks);
        context->fillPath(marks);
    }
    context->restoreGState();
}

platform::TrackingArea QSRotationView::pointerArea() const
{
    return {QSCenteredSquareInRect(bounds()),
            platform::TrackingArea::MouseEnteredAndExited | platform::TrackingArea::MouseMoved
                | platform::TrackingArea::ActiveInKeyWindow,
            0};
}

void QSRotationView::mouseDown(const platform::MouseEvent &event)
{
    m_start = rotationForLocation(event.location - centre());
    m_lastAngle = m_start.angle;
    m_isRescaling = isNearAxisPoint(m_start);
    m_change = {1.0, 0.0};
}

void QSRotationView::mouseDragged(const platform::MouseEvent &event)
{
    const Polar now = rotationForLocation(event.location - centre());
    m_change.angle += wrapped(now.angle - m_lastAngle);
    m_lastAngle = now.angle;
    m_change.radius = now.radius / m_start.radius;
    if (m_change.radius > 10.0)
        platform::logWarning(QStringLiteral("big values: %1, %2").arg(m_change.angle).arg(m_change.radius));
    if (!tell(true))
        return;
    setNeedsDisplay(true);
    showCursor(cursorForLocation(event.location));
}

bool QSRotationView::tell(bool dragging)
{
    // The delegate may delete this view, or itself, in each message.
    const QPointer<QSRotationView> self(this);
    if (QSRotationViewDelegate *delegate = m_delegate.get())
        delegate->rotationViewDidRotate(this, m_change.angle, dragging);
    if (!self || !m_isRescaling)
        return self;
    const bool resizes = takesResizes();
    if (!self || !resizes)
        return self;
    if (QSRotationViewDelegate *delegate = m_delegate.get())
        delegate->rotationViewDidResize(this, m_change.radius, dragging);
    return self;
}

void QSRotationView::mouseUp(const platform::MouseEvent &)
{
    if (!tell(false))
        return;
    setNeedsDisplay(true);
    m_isRescaling = false;
}

QPointF QSRotationView::centre() const { return QPointF(bounds().width() / 2, bounds().height() / 2); }

bool QSRotationView::takesResizes() const
{
    const QSRotationViewDelegate *delegate = m_delegate.get();
    return delegate && delegate->takesResizes();
}
