#pragma once

#include <QSizeF>
#include <QString>

// Paper sizes as text in the user's units: centimetres where the locale measures in metric,
// inches otherwise. Digits are always written the same way, whatever the locale.
class VXUnitConverter
{
public:
    VXUnitConverter() = delete;

    static bool isMetric();
    // "21.0cm" or "8.3\"" for a length in points.
    static QString nameForLength(double points);
    // The width and height joined by a multiplication sign: "21.0cm×29.7cm".
    static QString nameForSize(const QSizeF &size);
};
