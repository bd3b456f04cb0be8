#include "RQS-Kit/Controls/QSCIImageLayer.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/GraphicsContext.h"

#include <QElapsedTimer>

QSCIImageLayer::QSCIImageLayer(QObject *parent)
    : platform::Layer(parent)
{
}

QImage QSCIImageLayer::image() const { return m_image; }

void QSCIImageLayer::setImage(const QImage &image)
{
    m_image = image;
    m_imageSize = image.size();
    setNeedsDisplay();
}

QSize QSCIImageLayer::imageSize() const { return m_imageSize; }

bool QSCIImageLayer::hasImage() const { return !m_image.isNull(); }

void QSCIImageLayer::drawInContext(platform::GraphicsContext &context)
{
    if (m_image.isNull() || m_imageSize.width() <= 0)
        return;
    QElapsedTimer clock;
    clock.start();
    const double scale = bounds().width() / m_imageSize.width();
    context.scale(scale, scale);
    context.drawImage(m_image, QRectF(QPointF(0, 0), QSizeF(m_imageSize)));
    m_lastRenderDuration = clock.nsecsElapsed() / 1e9 + m_baseDuration;
    platform::NotificationCenter::defaultCenter()->post(QStringLiteral("QSCILDD"), this);
}

bool QSCIImageLayer::actionForKey(const QString &key) const { return key == QLatin1String("opacity"); }
