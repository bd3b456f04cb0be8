#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>

// Where the grid puts its sections and tiles, top to bottom in a y-up container.
struct QSGridLayout
{
    struct Section
    {
        int tiles = 0;
        double titleHeight = 0;
        bool hasBackground = false;
    };

    QSizeF scrollSize;
    double scrollerWidth = 0;
    QSizeF margin{5, 35};
    QSizeF spacing{15, 15};
    QSizeF iconSize{200, 200};

    double availableWidth() const;
    // At least one.
    int columns() const;
    // Extra horizontal space between columns; 0 with one column.
    double extraSpace() const;
    double containerHeight(const QList<Section> &sections) const;
    // The background frame of each section, and the cell of each tile, section by section.
    QList<QRectF> backgroundFrames(const QList<Section> &sections) const;
    QList<QList<QRectF>> cells(const QList<Section> &sections) const;

private:
    int rows(const Section &section) const;
};
