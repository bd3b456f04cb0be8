#include "RQS-Kit/Controls/QSButtonBackgroundCache.h"

#include <QPainter>

#include <cmath>

namespace {

// The cap's width at the background's pixel height, keeping its aspect ratio.
double capWidth(const QImage &cap, double pixelHeight)
{
    const QSizeF size = QSButtonImages::pointSize(cap);
    return size.height() > 0 ? std::round(size.width() / size.height() * pixelHeight) : 0;
}

} // namespace

QImage QSButtonBackgroundCache::background(int slot, const QSButtonImages::ImageSet &left, const QSButtonImages::ImageSet &mid,
                                           const QSButtonImages::ImageSet &right, const QSizeF &size, double scale)
{
    if (size != m_size || scale != m_scale) {
        clear();
        m_size = size;
        m_scale = scale;
    }
    QImage &cached = m_slots.at(slot);
    if (!cached.isNull())
        return cached;
    const int state = slot % 4;
    const QSize pixels(int(std::round(size.width() * scale)), int(std::round(size.height() * scale)));
    if (pixels.width() <= 0 || pixels.height() <= 0 || mid.size() != 4)
        return {};
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const double height = pixels.height();
    const double leftWidth = left.size() == 4 ? capWidth(left[state], height) : 0;
    const double rightWidth = right.size() == 4 ? capWidth(right[state], height) : 0;
    if (leftWidth > 0)
        painter.drawImage(QRectF(0, 0, leftWidth, height), left[state]);
    if (rightWidth > 0)
        painter.drawImage(QRectF(pixels.width() - rightWidth, 0, rightWidth, height), right[state]);
    painter.drawImage(QRectF(leftWidth, 0, pixels.width() - leftWidth - rightWidth, height), mid[state]);
    painter.end();
    image.setDevicePixelRatio(scale);
    ++m_rendered;
    cached = image;
    return cached;
}

void QSButtonBackgroundCache::clear() { m_slots.fill(QImage()); }

int QSButtonBackgroundCache::renderedCount() const { return m_rendered; }
