#include "RQS-Kit/Controls/QSVignetteLayer.h"

#include "platform/graphics/GraphicsContext.h"

#include <QRadialGradient>

#include <algorithm>

QSVignetteLayer::QSVignetteLayer(const QColor &color, double startRadius, double endRadius, QObject *parent)
    : platform::Layer(parent)
    , m_color(color.toRgb())
    , m_startRadius(startRadius)
    , m_endRadius(endRadius)
{
}

void QSVignetteLayer::drawInContext(platform::GraphicsContext &context)
{
    const double w = bounds().width();
    const double h = bounds().height();
    if (w <= 0 || h <= 0)
        return;
    const double r = std::max(w, h) / 2;
    const QPointF centre(w / 2, h / 2);
    context.translate(centre.x(), centre.y());
    context.scale(w / 2 / r, h / 2 / r);
    context.translate(-centre.x(), -centre.y());
    QRadialGradient gradient(centre, m_endRadius * r, centre, m_startRadius * r);
    gradient.setColorAt(0, QColor::fromRgbF(0, 0, 0, 0));
    gradient.setColorAt(0.1, QColor::fromRgbF(m_color.redF() * 0.05f, m_color.greenF() * 0.05f,
                                              m_color.blueF() * 0.05f, m_color.alphaF() * 0.05f));
    gradient.setColorAt(1, m_color);
    context.setFill(QBrush(gradient));
    // Beyond the end circle the full colour: cover the whole (unscaled) bounds.
    context.fillRect(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r));
}
