#include "RQS-Kit/Controls/QSFadeoutMaskLayer.h"

#include "platform/graphics/GraphicsContext.h"

#include <QLinearGradient>

#include <algorithm>

QSFadeoutMaskLayer::QSFadeoutMaskLayer(QObject *parent)
    : platform::Layer(parent)
{
}

void QSFadeoutMaskLayer::setTopFadeout(double length)
{
    m_top = length;
    setNeedsDisplay();
}

void QSFadeoutMaskLayer::setBottomFadeout(double length)
{
    m_bottom = length;
    setNeedsDisplay();
}

void QSFadeoutMaskLayer::drawInContext(platform::GraphicsContext &context)
{
    const double height = bounds().height();
    if (height <= 0)
        return;
    // Fades longer than the layer meet instead of crossing.
    const double top = std::clamp(m_top / height, 0.0, 1.0);
    const double bottom = std::clamp(1 - m_bottom / height, top, 1.0);
    QLinearGradient gradient(QPointF(0, 0), QPointF(0, height));
    gradient.setColorAt(0, QColor(0, 0, 0, top > 0 ? 0 : 255));
    gradient.setColorAt(top, Qt::black);
    gradient.setColorAt(bottom, Qt::black);
    gradient.setColorAt(1, QColor(0, 0, 0, bottom < 1 ? 0 : 255));
    context.setFill(QBrush(gradient));
    context.fillRect(QRectF(0, 0, bounds().width(), height));
}
