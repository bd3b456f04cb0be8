#pragma once

#include "platform/layers/Layer.h"

#include <QImage>
#include <QSize>

// One picture drawn from the lower-left corner at the scale that fits its width to the bounds'
// width, the same scale on both axes; each drawing is timed and announced as "QSCILDD".
class QSCIImageLayer : public platform::Layer
{
    Q_OBJECT
public:
    Q_INVOKABLE explicit QSCIImageLayer(QObject *parent = nullptr);

    // Null when there is none.
    QImage image() const;
    // Records the picture's pixel size as the image size and redraws; a null image clears both.
    void setImage(const QImage &image);
    QSize imageSize() const;
    bool hasImage() const;

    // Seconds the owner adds to every measured drawing time.
    double baseDuration() const { return m_baseDuration; }
    void setBaseDuration(double seconds) { m_baseDuration = seconds; }
    double lastRenderDuration() const { return m_lastRenderDuration; }

    void drawInContext(platform::GraphicsContext &context) override;
    // Only opacity changes animate.
    bool actionForKey(const QString &key) const override;

private:
    QImage m_image;
    QSize m_imageSize;
    double m_baseDuration = 0;
    double m_lastRenderDuration = 0;
};
