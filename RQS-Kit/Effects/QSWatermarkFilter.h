#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

#include <QImage>
#include <QRectF>
#include <QSizeF>

// Places a watermark picture on the background: its size and distance from the edges grow with
// the background's size from the minimum to the maximum placement, the gravity picks the edges it
// keeps to, and it is blended with an opacity and a blend mode.
class QSWatermarkFilter : public QSFilter
{
    Q_OBJECT
    Q_PROPERTY(double opacity READ opacity WRITE setOpacity)
    Q_PROPERTY(QString blendName READ blendName WRITE setBlendName)
    Q_PROPERTY(QImage watermark READ watermark WRITE setWatermark)
    Q_PROPERTY(double minSize READ minSize WRITE setMinSize)
    Q_PROPERTY(double maxSize READ maxSize WRITE setMaxSize)
    Q_PROPERTY(QRectF minRect READ minRect WRITE setMinRect)
    Q_PROPERTY(QRectF maxRect READ maxRect WRITE setMaxRect)
    Q_PROPERTY(uint gravity READ gravity WRITE setGravity)

public:
    // Gravity bits; with neither bit of an axis the watermark is centred along it.
    enum Gravity : uint { Top = 2, Bottom = 4, Left = 8, Right = 16 };

    QSWatermarkFilter();
    static void registerClass();

    // Sizes are given as width and height and kept as the side of the square of equal area.
    void setAdjustment(const QRectF &maxRect, const QSizeF &maxSize, const QRectF &minRect, const QSizeF &minSize);

    double opacity() const { return m_opacity; }
    void setOpacity(double opacity) { m_opacity = opacity; }
    QString blendName() const { return m_blendName; }
    void setBlendName(const QString &name) { m_blendName = name; }
    QImage watermark() const { return m_watermark; }
    void setWatermark(const QImage &watermark);
    double minSize() const { return m_minSize; }
    void setMinSize(double size);
    double maxSize() const { return m_maxSize; }
    void setMaxSize(double size);
    QRectF minRect() const { return m_minRect; }
    void setMinRect(const QRectF &rect);
    QRectF maxRect() const { return m_maxRect; }
    void setMaxRect(const QRectF &rect);
    uint gravity() const { return m_gravity; }
    void setGravity(uint gravity);

    // The watermark drawn at its size and moved to its place; null without a watermark or
    // background, or when either is empty (logged).
    platform::fx::Image cachedImage() const;
    platform::fx::Image outputImage() const override;

private:
    platform::fx::Image placedWatermark() const;

    double m_opacity = 1.0;
    QString m_blendName = QStringLiteral("sourceOver");
    QImage m_watermark;
    double m_minSize = 0, m_maxSize = 0;
    QRectF m_minRect, m_maxRect;
    uint m_gravity = 0;
    mutable platform::fx::Image m_cachedImage;
};

namespace rqs {

// Whether the running system is at least version major.minor.bugfix. On Linux the system's version
// is the kernel's release ("6.1.0-13-amd64" is 6.1.0), read once.
bool systemVersionIsAtLeast(int major, int minor, int bugfix);

} // namespace rqs
