#include "RQS-Kit/Effects/QSWatermarkFilter.h"

#include "RQS-Kit/Effects/FilterApplication.h"
#include "platform/foundation/Log.h"
#include "platform/fx/Numbers.h"
#include "platform/graphics/ImageAllocationLimit.h"

#include <QPainter>
#include <QRegularExpression>
#include <QSysInfo>

#include <array>
#include <cmath>
#include <mutex>

using namespace platform::fx;

namespace {

const QString ClassName = QStringLiteral("QSWatermarkFilter");

// A width or height of 0 or less follows from the watermark's aspect ratio.
QRectF completed(QRectF rect, const QSizeF &watermark)
{
    if (rect.height() <= 0)
        rect.setHeight(rect.width() / watermark.width() * watermark.height());
    else if (rect.width() <= 0)
        rect.setWidth(rect.height() / watermark.height() * watermark.width());
    return rect;
}

double between(double from, double to, double t)
{
    return t * (to - from) + from;
}

} // namespace

QSWatermarkFilter::QSWatermarkFilter()
    : QSFilter(ClassName, {{QStringLiteral("inputBackgroundImage"), InputAttribute::Kind::Image}})
{
    connect(this, &Filter::keyValueChanged, this, [this] { m_cachedImage = {}; });
}

void QSWatermarkFilter::registerClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        registerForCopying<QSWatermarkFilter>({QStringLiteral("inputBackgroundImage"), QStringLiteral("opacity"),
                                               QStringLiteral("minSize"), QStringLiteral("maxSize"),
                                               QStringLiteral("minRect"), QStringLiteral("maxRect"),
                                               QStringLiteral("watermark"), QStringLiteral("blendName"),
                                               QStringLiteral("gravity")});
        registerFilterClass<QSWatermarkFilter>();
    });
}

void QSWatermarkFilter::setAdjustment(const QRectF &maxRect, const QSizeF &maxSize, const QRectF &minRect,
                                      const QSizeF &minSize)
{
    setMinSize(std::sqrt(minSize.width() * minSize.height()));
    setMaxSize(std::sqrt(maxSize.width() * maxSize.height()));
    setMinRect(minRect);
    setMaxRect(maxRect);
}

// Every placement input drops the placed watermark, so that the next output follows it.
void QSWatermarkFilter::setWatermark(const QImage &watermark)
{
    m_watermark = watermark;
    m_cachedImage = {};
}

void QSWatermarkFilter::setMinSize(double size)
{
    m_minSize = size;
    m_cachedImage = {};
}

void QSWatermarkFilter::setMaxSize(double size)
{
    m_maxSize = size;
    m_cachedImage = {};
}

void QSWatermarkFilter::setMinRect(const QRectF &rect)
{
    m_minRect = rect;
    m_cachedImage = {};
}

void QSWatermarkFilter::setMaxRect(const QRectF &rect)
{
    m_maxRect = rect;
    m_cachedImage = {};
}

void QSWatermarkFilter::setGravity(uint gravity)
{
    m_gravity = gravity;
    m_cachedImage = {};
}

Image QSWatermarkFilter::cachedImage() const
{
    if (m_cachedImage.isNull())
        m_cachedImage = placedWatermark();
    return m_cachedImage;
}

Image QSWatermarkFilter::placedWatermark() const
{
    const Image background = imageValue(QStringLiteral("inputBackgroundImage"));
    if (m_watermark.isNull() || background.isNull())
        return {};
    const QRectF b = background.extent();
    const QSizeF w = m_watermark.size();
    if (b.isEmpty() || w.isEmpty()) {
        platform::logWarning(QStringLiteral("A watermark cannot be placed with an empty picture"));
        return {};
    }
    const double area = std::sqrt(b.width() * b.height());
    const double range = m_maxSize > m_minSize ? m_maxSize - m_minSize : 1.0;
    const double t = std::max(std::min(range, area - m_minSize), 0.0) / range;
    const QRectF low = completed(m_minRect, w), high = completed(m_maxRect, w);
    using platform::fx::Numbers::toInt;
    const QSize size(toInt(std::round(between(low.width(), high.width(), t))),
                     toInt(std::round(between(low.height(), high.height(), t))));
    if (size.isEmpty()) {
        platform::logWarning(QStringLiteral("The watermark's placement gives it no size"));
        return {};
    }
    if (qint64(size.width()) * size.height() * 4 > platform::imageAllocationLimitBytes()) {
        platform::logWarning(QStringLiteral("The watermark's placement makes it %1 × %2 pixels, more than a picture may hold")
                                 .arg(size.width())
                                 .arg(size.height()));
        return {};
    }
    QImage drawn(size, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    {
        QPainter painter(&drawn);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(QPoint(), size), m_watermark);
    }
    const double dx = between(low.x(), high.x(), t), dy = between(low.y(), high.y(), t);
    const double x = (m_gravity & Left) ? dx : (m_gravity & Right) ? b.width() - size.width() - dx
                                                                   : (b.width() - size.width()) * 0.5;
    const double y = (m_gravity & Bottom) ? dy : (m_gravity & Top) ? b.height() - size.height() - dy
                                                                   : (b.height() - size.height()) * 0.5;
    return Image::fromQImage(drawn).transformed(QTransform::fromTranslate(x, y));
}

Image QSWatermarkFilter::outputImage() const
{
    const Image background = imageValue(QStringLiteral("inputBackgroundImage"));
    const Image placed = cachedImage();
    if (placed.isNull())
        return {};
    return rqs::applyFilter(QStringLiteral("QSAdjustableBlendFilter"),
                            {{QStringLiteral("inputImage"), rqs::imageValue(placed)},
                             {QStringLiteral("inputBackgroundImage"), rqs::imageValue(background)},
                             {QStringLiteral("inputIntensity"), m_opacity},
                             {QStringLiteral("inputBlendName"), m_blendName},
                             {QStringLiteral("inputUseExtent"), 1}})
        .cropped(background.extent());
}

bool rqs::systemVersionIsAtLeast(int major, int minor, int bugfix)
{
    // Missing parts count 0.
    static const std::array<int, 3> running = [] {
        std::array<int, 3> parts{};
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?")).match(QSysInfo::kernelVersion());
        for (int i = 0; i < 3; ++i)
            parts[std::size_t(i)] = match.captured(i + 1).toInt();
        return parts;
    }();
    return running >= std::array<int, 3>{major, minor, bugfix};
}
