#pragma once

#include <QImage>
#include <QString>

// A tool bar shade image 30 × 20: a 6-point red left edge, a green middle, an 8-point blue right
// edge. True once written.
inline bool writeBandShade(const QString &path)
{
    QImage shade(30, 20, QImage::Format_ARGB32);
    shade.fill(Qt::green);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 6; ++x)
            shade.setPixelColor(x, y, Qt::red);
        for (int x = 22; x < 30; ++x)
            shade.setPixelColor(x, y, Qt::blue);
    }
    return shade.save(path);
}
