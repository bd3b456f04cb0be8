#pragma once

#include "RQS-Kit/Effects/QSFrameImageDescription.h"

// A shade of a frame: an image blended over the texture by a blend mode at an intensity.
class QSShadeDescription : public QSFrameImageDescription
{
public:
    // The blend mode is made valid ("sourceOver" for an unknown one).
    QSShadeDescription(const QString &imagePath, const QString &blendMode, double intensity);

    const QString &blendMode() const { return m_blendMode; }
    void setBlendMode(const QString &mode);
    double intensity() const { return m_intensity; }
    void setIntensity(double intensity) { m_intensity = intensity; }

private:
    QString m_blendMode;
    double m_intensity;
};
