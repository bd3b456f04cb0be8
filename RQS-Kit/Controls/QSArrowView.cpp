#include "RQS-Kit/Controls/QSArrowView.h"

#include "platform/graphics/GraphicsContext.h"

#include <QPolygonF>

QSArrowView::QSArrowView(QWidget *parent)
    : platform::View(parent)
{
}

QPointF QSArrowView::fromPoint() const { return m_fromPoint; }

void QSArrowView::setFromPoint(const QPointF &point)
{
    m_fromPoint = point;
    setNeedsDisplay(true);
}

QPointF QSArrowView::toPoint() const { return m_toPoint; }
void QSArrowView::setToPoint(const QPointF &point) { m_toPoint = point; }
int QSArrowView::fromDirection() const { return m_fromDirection; }
void QSArrowView::setFromDirection(int direction) { m_fromDirection = direction; }
int QSArrowView::toDirection() const { return m_toDirection; }
void QSArrowView::setToDirection(int direction) { m_toDirection = direction; }
QSizeF QSArrowView::headSize() const { return m_headSize; }
void QSArrowView::setHeadSize(const QSizeF &size) { m_headSize = size; }
double QSArrowView::width() const { return m_width; }
void QSArrowView::setWidth(double width) { m_width = width; }
QColor QSArrowView::color() const { return m_color; }
void QSArrowView::setColor(const QColor &color) { m_color = color; }
bool QSArrowView::curved() const { return m_curved; }
void QSArrowView::setCurved(bool curved) { m_curved = curved; }

QPointF QSArrowView::center() const
{
    return {m_center.x() < 0 ? bounds().width() / 2 : m_center.x(), m_center.y() < 0 ? bounds().height() / 2 : m_center.y()};
}

void QSArrowView::setCenter(const QPointF &center) { m_center = center; }

QPointF QSArrowView::pulledBack(const QPointF &point, int direction) const
{
    if (direction < 0 || direction >= directionCount)
        return point;
    const double h = m_headSize.height();
    if (direction % 2 == 1)
        return point - QPointF(h * (direction - 2), 0);
    return point - QPointF(0, h * (direction - 1));
}

QPainterPath QSArrowView::connector() const
{
    const QPointF from = pulledBack(m_fromPoint, m_fromDirection);
    const QPointF to = pulledBack(m_toPoint, m_toDirection);
    const QPointF c = center();
    QPointF a, b;
    if (m_fromDirection % 2 == m_toDirection % 2) {
        const bool horizontal = m_fromDirection % 2 == 1;
        a = horizontal ? QPointF(c.x(), from.y()) : QPointF(from.x(), c.y());
        b = horizontal ? QPointF(c.x(), to.y()) : QPointF(to.x(), c.y());
    } else {
        a = b = m_fromDirection % 2 == 1 ? QPointF(to.x(), from.y()) : QPointF(from.x(), to.y());
    }
    QPainterPath path(from);
    if (m_curved) {
        path.cubicTo(a, b, to);
    } else {
        path.lineTo(a);
        path.lineTo(b);
        path.lineTo(to);
    }
    return path;
}

void QSArrowView::drawArrowAt(const QPointF &point, int direction) const
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (direction < 0 || direction >= directionCount || !context)
        return;
    const double h = m_headSize.height();
    const QPointF centre = direction % 2 == 1 ? QPointF(point.x() - (direction - 2) * h / 2, point.y())
                                              : QPointF(point.x(), point.y() - (direction - 1) * h / 2);
    // The template's tip points up; vertical heads turn half a turn more, so that every tip
    // lands on its end point.
    const double degrees = direction * 90 + (direction % 2 == 0 ? 180 : 0);
    const QTransform placement = QTransform::fromScale(m_headSize.width(), m_headSize.height())
        * QTransform().rotate(degrees) * QTransform::fromTranslate(centre.x(), centre.y());
    QPainterPath head;
    head.addPolygon(placement.map(QPolygonF({{0, 0.5}, {0.5, -0.5}, {-0.5, -0.5}, {0, 0.5}})));
    context->fillPath(head);
}

void QSArrowView::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    context->setLineJoin(Qt::RoundJoin);
    context->setLineCap(Qt::FlatCap);
    context->setLineWidth(m_width);
    context->setStroke(m_color);
    context->strokePath(connector());
    context->setFill(m_color);
    drawArrowAt(m_fromPoint, m_fromDirection);
    drawArrowAt(m_toPoint, m_toDirection);
}
