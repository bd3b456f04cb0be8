#include "RQS-Kit/Effects/QSCombinedShadeDescription.h"

#include "RQS-Kit/Effects/FilterApplication.h"
#include "RQS-Kit/Effects/QSCombineFilter.h"
#include "RQS-Kit/Foundation/FxImageExtension.h"

#include <algorithm>

QSCombinedShadeDescription::QSCombinedShadeDescription(const QSShadeDescription &first)
    : QSShadeDescription(first)
{
    m_image = first.image();
}

bool QSCombinedShadeDescription::drawAlike(const QSShadeDescription &a, const QSShadeDescription &b)
{
    const auto fits = [](double x, double y) { return x == y || x == 0 || y == 0; };
    return a.blendMode() == b.blendMode() && a.width() == b.width() && fits(a.corner(), b.corner())
           && fits(a.repeatX(), b.repeatX()) && fits(a.repeatY(), b.repeatY());
}

bool QSCombinedShadeDescription::canJoin(const QSShadeDescription &a, const QSShadeDescription &b)
{
    return QSCombineFilter::isCombinableBlendMode(a.blendMode()) && drawAlike(a, b);
}

bool QSCombinedShadeDescription::canAdd(const QSShadeDescription &shade) const { return drawAlike(*this, shade); }

void QSCombinedShadeDescription::add(const QSShadeDescription &shade)
{
    double m = std::max(intensity(), shade.intensity());
    if (!(m > 0))
        m = 1.0;
    // A filter per join: combined shades may be joined on several workers at once.
    const auto combine = QSFilter::filterOfClass(QStringLiteral("QSCombineFilter"));
    if (!combine)
        return;
    combine->setValueForKey(QStringLiteral("blendMode"), blendMode());
    combine->setValueForKey(QStringLiteral("inputBackgroundImage"), rqs::imageValue(m_image));
    combine->setValueForKey(QStringLiteral("inputBackgroundIntensity"), intensity() / m);
    combine->setValueForKey(QStringLiteral("inputImage"), rqs::imageValue(shade.image()));
    combine->setValueForKey(QStringLiteral("inputIntensity"), shade.intensity() / m);
    m_image = rqs::fixedImage(combine->outputImage());
    setIntensity(m);
    m_options.repeatX = std::max(m_options.repeatX, shade.repeatX());
    m_options.repeatY = std::max(m_options.repeatY, shade.repeatY());
    m_options.corner = std::max(m_options.corner, shade.corner());
}
