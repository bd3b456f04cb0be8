#include "platform/graphics/Gradient.h"

#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContext.h"

#include <QLinearGradient>

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
    if (m_stops.isEmpty())
        return;
    GraphicsContext *context = GraphicsContext::current();
    if (!context) {
        logWarning(QStringLiteral("A gradient was drawn without a graphics context"));
        return;
    }
    // The axis runs through the box's centre, just long enough that its ends touch the corners.
    const QRectF box = path.boundingRect();
    const double radians = angle * std::numbers::pi / 180.0;
    const QPointF direction(std::cos(radians), std::sin(radians));
    const double half = (std::abs(box.width() * direction.x()) + std::abs(box.height() * direction.y())) / 2;
    QLinearGradient linear(box.center() - direction * half, box.center() + direction * half);
    linear.setStops(m_stops);
    context->saveGState();
    context->setFill(QBrush(linear));
    context->fillPath(path);
    context->restoreGState();
}

} // namespace platform
