#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>

// Reads pixels of rendered pages; anti-aliasing and colour conversion allow a small tolerance.
class PixelProbe
{
public:
    static bool isNear(const QImage &image, QPoint at, const QColor &expected, int tolerance = 12);
    // The pixel as "#rrggbb/alpha" for failure messages.
    static QString describe(const QImage &image, QPoint at);
};
