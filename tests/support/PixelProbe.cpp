#include "PixelProbe.h"

#include <QString>

#include <cstdlib>

bool PixelProbe::isNear(const QImage &image, QPoint at, const QColor &expected, int tolerance)
{
    if (!image.valid(at))
        return false;
    const QColor actual = image.pixelColor(at);
    return std::abs(actual.red() - expected.red()) <= tolerance
        && std::abs(actual.green() - expected.green()) <= tolerance
        && std::abs(actual.blue() - expected.blue()) <= tolerance
        && std::abs(actual.alpha() - expected.alpha()) <= tolerance;
}

QString PixelProbe::describe(const QImage &image, QPoint at)
{
    if (!image.valid(at))
        return QStringLiteral("outside %1x%2").arg(image.width()).arg(image.height());
    const QColor actual = image.pixelColor(at);
    return actual.name() + QLatin1Char('/') + QString::number(actual.alpha());
}
