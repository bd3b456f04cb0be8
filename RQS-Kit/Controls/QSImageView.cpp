#include "RQS-Kit/Controls/QSImageView.h"

#include "platform/fx/Context.h"
#include "platform/graphics/GraphicsContext.h"

#include <cmath>

QSImageView::QSImageView(QWidget *parent)
    : platform::View(parent)
{
}

QImage QSImageView::image() const { return m_image; }

void QSImageView::setImage(const QImage &image)
{
    if (image.cacheKey() == m_image.cacheKey())
        return;
    m_image = image;
    m_ciImage = {};
    m_stretchRect = QRectF(QPointF(0, 0), image.deviceIndependentSize());
    setNeedsDisplay(true);
    updateGeometry();
}

platform::fx::Image QSImageView::ciImage() const { return m_ciImage; }

void QSImageView::setCIImage(const platform::fx::Image &image)
{
    setImage(QImage());
    m_ciImage = image;
    setNeedsDisplay(true);
    updateGeometry();
}

QRectF QSImageView::stretchRect() const { return m_stretchRect; }

QSizeF QSImageView::intrinsicContentSize() const
{
    return m_image.isNull() ? m_ciImage.extent().size() : m_image.deviceIndependentSize();
}

QSize QSImageView::sizeHint() const
{
    const QSizeF size = intrinsicContentSize();
    return QSize(int(std::ceil(size.width())), int(std::ceil(size.height())));
}

void QSImageView::drawRect(const QRectF &)
{
    if (!m_ciImage.isNull()) {
        platform::fx::Context().draw(m_ciImage, bounds(), m_ciImage.extent());
        return;
    }
    if (m_image.isNull())
        return;
    if (platform::GraphicsContext *context = platform::GraphicsContext::current())
        context->drawImage(m_image, bounds());
}
