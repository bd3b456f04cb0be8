#include "RQS-Kit/Controls/QS3PartImageView.h"

#include "platform/graphics/GraphicsContext.h"

QS3PartImageView::QS3PartImageView(QWidget *parent)
    : platform::View(parent)
{
}

QImage QS3PartImageView::leftImg() const { return m_left; }

void QS3PartImageView::setLeftImg(const QImage &image) { replace(m_left, image); }

QImage QS3PartImageView::midImg() const { return m_mid; }

void QS3PartImageView::setMidImg(const QImage &image) { replace(m_mid, image); }

QImage QS3PartImageView::rightImg() const { return m_right; }

void QS3PartImageView::setRightImg(const QImage &image) { replace(m_right, image); }

void QS3PartImageView::replace(QImage &held, const QImage &image)
{
    if (image.cacheKey() == held.cacheKey())
        return;
    held = image;
    setNeedsDisplay(true);
}

void QS3PartImageView::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    const QRectF area = bounds();
    const QSizeF left = m_left.deviceIndependentSize(), mid = m_mid.deviceIndependentSize(),
                 right = m_right.deviceIndependentSize();
    if (!m_left.isNull())
        context->drawImage(m_left, QRectF(area.topLeft(), left));
    if (!m_mid.isNull())
        context->drawImage(m_mid, QRectF(area.x() + left.width(), area.y(), area.width() - left.width() - right.width(), mid.height()));
    if (!m_right.isNull())
        context->drawImage(m_right, QRectF(QPointF(area.right() - right.width(), area.y()), right));
}
