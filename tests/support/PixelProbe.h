#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QStringList>

#include <utility>

class QWidget;

// Reads pixels of rendered pages; anti-aliasing and colour conversion allow a small tolerance.
class PixelProbe
{
public:
    static bool isNear(const QImage &image, QPoint at, const QColor &expected, int tolerance = 12);
    // The pixel as "#rrggbb/alpha" for failure messages.
    static QString describe(const QImage &image, QPoint at);
    // The probes whose pixel is not near its colour, each as "x,y is #rrggbb/alpha not #rrggbb";
    // empty when all are.
    // What a widget draws, without the window background that grab() would put beneath.
    static QImage drawn(QWidget &widget);
    static QStringList mismatches(const QImage &image, const QList<std::pair<QPoint, QColor>> &probes,
                                  int tolerance = 12);
};
