#include "RQS-Kit/Controls/QSGridLayout.h"

#include <algorithm>
#include <cmath>

double QSGridLayout::availableWidth() const
{
    const double m = margin.width();
    return scrollSize.width() - std::max(scrollerWidth, m) - m - std::max(m - scrollerWidth, 0.0);
}

int QSGridLayout::columns() const
{
    return std::max(1, int(std::floor(availableWidth() / (iconSize.width() + spacing.width()))));
}

double QSGridLayout::extraSpace() const
{
    const int c = columns();
    return c == 1 ? 0 : (availableWidth() - iconSize.width() * c - spacing.width()) / (c - 1);
}

int QSGridLayout::rows(const Section &section) const
{
    return (section.tiles + columns() - 1) / columns();
}

double QSGridLayout::containerHeight(const QList<Section> &sections) const
{
    int allRows = 0;
    double titles = 0;
    for (const Section &section : sections) {
        allRows += rows(section);
        titles += section.titleHeight;
    }
    return std::max(titles + 2 * margin.height() + 2 * spacing.height()
                        + allRows * (iconSize.height() + spacing.height()),
                    scrollSize.height());
}

QList<QRectF> QSGridLayout::backgroundFrames(const QList<Section> &sections) const
{
    const double H = containerHeight(sections);
    const int c = columns();
    const double e = extraSpace();
    double offset = margin.height() + spacing.height();
    QList<QRectF> frames;
    for (const Section &section : sections) {
        const double t = section.hasBackground ? section.titleHeight : 0;
        const double h = rows(section) * (spacing.height() + iconSize.height());
        const int n = std::min(section.tiles, c);
        frames.append(QRectF(margin.width(), H - (h - 0.5 * spacing.height() + offset + t),
                             spacing.width() + n * (e + iconSize.width()), t + h));
        offset += t + h;
    }
    return frames;
}

QList<QList<QRectF>> QSGridLayout::cells(const QList<Section> &sections) const
{
    const double H = containerHeight(sections);
    const int c = columns();
    const double e = extraSpace();
    double offset = margin.height() + spacing.height();
    QList<QList<QRectF>> all;
    for (const Section &section : sections) {
        const double t = section.hasBackground ? section.titleHeight : 0;
        QList<QRectF> cells;
        for (int i = 0; i < section.tiles; ++i) {
            const int column = i % c;
            const int row = i / c;
            cells.append(QRectF((iconSize.width() + e) * column + spacing.width() + margin.width(),
                                H - ((iconSize.height() + spacing.height()) * row + t + offset + iconSize.height()),
                                iconSize.width(), iconSize.height()));
        }
        all.append(cells);
        offset += t + rows(section) * (spacing.height() + iconSize.height());
    }
    return all;
}
