#include "RQS-Kit/Controls/QSCIImageLayer.h"

#include "platform/graphics/GraphicsContext.h"

QSCIImageLayer::QSCIImageLayer(QWidget *parent)
    : platform::View(parent)
{
}

QImage QSCIImageLayer::image() const { return m_image; }

void QSCIImageLayer::setImage(const QImage &image)
{
    m_image = image;
    m_imageSize = image.size();
    setNeedsDisplay(true);
}

QSize QSCIImageLayer::imageSize() const { return m_imageSize; }

void QSCIImageLayer::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (m_image.isNull() || m_imageSize.width() <= 0 || !context)
        return;
    const double scale = bounds().width() / m_imageSize.width();
    context->saveGState();
    context->scale(scale, scale);
    context->drawImage(m_image, QRectF(QPointF(0, 0), QSizeF(m_imageSize)));
    context->restoreGState();
}
