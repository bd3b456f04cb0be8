#include "RQS-Kit/Effects/QSShadeDescription.h"

#include "RQS-Kit/Effects/QSAdjustableBlendFilter.h"

QSShadeDescription::QSShadeDescription(const QString &imagePath, const QString &blendMode, double intensity)
    : QSFrameImageDescription(imagePath), m_blendMode(QSAdjustableBlendFilter::verifiedBlendMode(blendMode)),
      m_intensity(intensity)
{
}

void QSShadeDescription::setBlendMode(const QString &mode) { m_blendMode = QSAdjustableBlendFilter::verifiedBlendMode(mode); }
