#include "PixelProbe.h"

#include <QString>
#include <QWidget>

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

QStringList PixelProbe::mismatches(const QImage &image, const QList<std::pair<QPoint, QColor>> &probes, int tolerance)
{
    QStringList found;
    for (const auto &[at, colour] : probes) {
        if (!isNear(image, at, colour, tolerance))
            found << QStringLiteral("%1,%2 is %3 not %4").arg(at.x()).arg(at.y()).arg(describe(image, at), colour.name());
    }
    return found;
}

QImage PixelProbe::drawn(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}
