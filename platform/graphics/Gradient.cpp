#include "platform/graphics/Gradient.h"

#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContext.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {

Gradient::Gradient(QGradientStops stops)
    : m_stops(std::move(stops))
{
    for (QGradientStop &stop : m_stops)
        stop.first = std::clamp(stop.first, 0.0, 1.0);
    std::stable_sort(m_stops.begin(), m_stops.end(),
                     [](const QGradientStop &a, const QGradientStop &b) { return a.first < b.first; });
}

Gradient::Gradient(const QList<QColor> &colors)
{
    const qsizetype count = colors.size();
    for (qsizetype i = 0; i < count; ++i)
        m_stops.append({count > 1 ? double(i) / double(count - 1) : 0.0, colors[i]});
    if (count == 1)
        m_stops.append({1.0, colors[0]});
}

const QGradientStops &Gradient::stops() const { return m_stops; }

int Gradient::numberOfColorStops() const { return int(m_stops.size()); }

void Gradient::drawInPath(const QPainterPath &path, double angle) const
{
    // The axis runs through the box's centre, just long enough that its ends touch the corners.
    const QRectF box = path.boundingRect();
    const double radians = angle * std::numbers::pi / 180.0;
    const QPointF direction(std::cos(radians), std::sin(radians));
    const double half = (std::abs(box.width() * direction.x()) + std::abs(box.height() * direction.y())) / 2;
    fill(path, QLinearGradient(box.center() - direction * half, box.center() + direction * half));
}

void Gradient::drawInPath(const QPainterPath &path, const QPointF &relativeCenterPosition) const
{
    const QRectF box = path.boundingRect();
    const QPointF center = box.center()
        + QPointF(relativeCenterPosition.x() * box.width() / 2, relativeCenterPosition.y() * box.height() / 2);
    double radius = 0;
    for (const QPointF &corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
        radius = std::max(radius, std::hypot(corner.x() - center.x(), corner.y() - center.y()));
    fill(path, QRadialGradient(center, radius));
}

void Gradient::fill(const QPainterPath &path, QGradient &&gradient) const
{
    if (m_stops.isEmpty())
        return;
    GraphicsContext *context = GraphicsContext::current();
    if (!context) {
        logWarning(QStringLiteral("A gradient was drawn without a graphics context"));
        return;
    }
    gradient.setStops(m_stops);
    context->saveGState();
    context->setFill(QBrush(gradient));
    context->fillPath(path);
    context->restoreGState();
}

QColor Gradient::interpolatedColorAtLocation(double location) const
{
    if (m_stops.isEmpty()) {
        logWarning(QStringLiteral("A gradient without colours was asked for a colour"));
        return {};
    }
    if (location <= m_stops.first().first)
        return m_stops.first().second;
    for (qsizetype i = 1; i < m_stops.size(); ++i) {
        const QGradientStop &a = m_stops[i - 1];
        const QGradientStop &b = m_stops[i];
        if (location > b.first)
            continue;
        const double t = b.first > a.first ? (location - a.first) / (b.first - a.first) : 1;
        const auto mix = [t](float x, float y) { return float(x + (y - x) * t); };
        const QColor from = a.second.toRgb();
        const QColor to = b.second.toRgb();
        return QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()),
                                mix(from.blueF(), to.blueF()), mix(from.alphaF(), to.alphaF()));
    }
    return m_stops.last().second;
}

} // namespace platform
