#include "app/booklet/VXUnitConverter.h"

#include <QLocale>

bool VXUnitConverter::isMetric() { return QLocale().measurementSystem() == QLocale::MetricSystem; }

QString VXUnitConverter::nameForLength(double points)
{
    if (isMetric())
        return QString::number(points / 28.34, 'f', 1) + QStringLiteral("cm");
    return QString::number(points / 72, 'f', 1) + QLatin1Char('"');
}

QString VXUnitConverter::nameForSize(const QSizeF &size)
{
    return nameForLength(size.width()) + QChar(0x00D7) + nameForLength(size.height());
}
